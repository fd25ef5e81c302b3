// Page files from the window: Save, Open and Open Recent by the keys and menus a guitarist uses,
// the title and label that name the file, refused and damaged files that leave the page alone,
// and a PlayPage file handed to the program.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "ScriptedPrompter.h"
#include "app/ChordPageController.h"
#include "app/DesignPageController.h"
#include "app/DesignPageView.h"
#include "app/MainMenus.h"
#include "app/PageFileController.h"
#include "app/PlayPageController.h"
#include "app/PrintPageController.h"
#include "app/ScalesPageController.h"
#include "app/TfrmMain.h"
#include "pages/PageFiles.h"
#include "theory/ChordData.h"
#include "theory/ScaleData.h"

using namespace strumox;
using namespace strumox::app;
using pages::Page;
using session::Answer;

namespace {

std::uintmax_t sizeOf(const std::string& path) { return std::filesystem::file_size(path); }

[[nodiscard]] bool chooseFromMenu(TfrmMain& w, const char* menu, const QString& caption)
{
    auto* m = w.menuBar()->findChild<QMenu*>(menu);
    if (!m)
        return false;
    for (QAction* a : m->findChildren<QAction*>())
        if (a->text() == caption) {
            a->trigger();
            return true;
        }
    return false;
}

void saveKeys(TfrmMain& w) { QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier); }
void openKeys(TfrmMain& w) { QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier); }

}  // namespace

class PageFileWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_data;  // the program directory: data files, Kq.ini
    QTemporaryDir m_songs;  // where the user keeps page files
    std::string appDir() const { return m_data.path().toStdString() + "/"; }
    std::string songs(const std::string& name) const { return m_songs.path().toStdString() + "/" + name; }

    std::unique_ptr<TfrmMain> makeWindow(testsupport::ScriptedPrompter& prompter)
    {
        auto w = std::make_unique<TfrmMain>(appDir(), &prompter);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            return nullptr;
        return w;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_data.isValid() && m_songs.isValid());
        theory::writeChordDataFiles(appDir());
        theory::writeScaleFile(appDir());
    }

    // Every grid page: saved under a typed name (the kind's extension added), erased, opened
    // again to the same content with its first diagram selected; the title names the file.
    void gridPagesSaveAndOpenAgain()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w);
        QVERIFY(chooseFromMenu(*w, "menuKey", "A"));
        QVERIFY(chooseFromMenu(*w, "menuMinor", "minor"));
        QTest::mouseClick(w->findChild<QPushButton*>("btnShowChords"), Qt::LeftButton);
        ChordPageController& chords = w->chordPage();
        QCOMPARE(chords.model().setCount(), 1);
        const auto before = chords.model().slot(3, 0);

        prompter.fileNames = {songs("am")};
        saveKeys(*w);
        QCOMPARE(prompter.dialogs.back(), std::string("Save Chord Page File|Chord Page Files (*.cpf)"));
        QCOMPARE(sizeOf(songs("am.cpf")), std::uintmax_t(2728));
        QCOMPARE(w->windowTitle(), QString("Strumox!   am.cpf"));

        w->erasePage();
        QCOMPARE(w->windowTitle(), QString("Strumox!"));
        QCOMPARE(chords.model().setCount(), 0);
        prompter.fileNames = {songs("am.cpf")};
        openKeys(*w);
        QCOMPARE(prompter.dialogs.back(), std::string("Open Chord Page File|Chord Page Files (*.cpf)"));
        QCOMPARE(chords.model().setCount(), 1);
        QVERIFY(chords.model().slot(3, 0) == before);
        QCOMPARE(chords.model().selected, (pages::Cell{0, 0}));
        QCOMPARE(w->windowTitle(), QString("Strumox!   am.cpf"));

        // Save again writes the same file without asking for a name.
        const auto dialogs = prompter.dialogs.size();
        saveKeys(*w);
        QCOMPARE(prompter.dialogs.size(), dialogs);
        // Save As asks even so, and the page goes on under the new name.
        prompter.fileNames = {songs("am2")};
        QVERIFY(chooseFromMenu(*w, "menuFile", "Save &As..."));
        QCOMPARE(prompter.dialogs.size(), dialogs + 1);
        QCOMPARE(sizeOf(songs("am2.cpf")), std::uintmax_t(2728));
        QCOMPARE(w->windowTitle(), QString("Strumox!   am2.cpf"));

        // A file of another kind is refused and the page stays as it is.
        std::filesystem::copy_file(songs("am.cpf"), songs("fake.spf"));
        QVERIFY(w->setActivePage(Page::Scales));
        prompter.fileNames = {songs("fake.spf")};
        openKeys(*w);
        QCOMPARE(prompter.messages.back(), std::string("This is not a Scale Page file"));
        QCOMPARE(w->scalesPage().model().rowCount(), 0);
        QCOMPARE(w->windowTitle(), QString("Strumox!   "));
    }

    void theDesignGroupIsKeptAndADamagedFileChangesNothing()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w);
        QVERIFY(w->setActivePage(Page::ChordDesign));
        DesignPageController& design = w->designPage();
        const auto found = theory::lookupChord(appDir(), 3, 7, nullptr);  // G maj7
        QVERIFY(found);
        for (int k = 0; k < 6; ++k)
            design.group().place(k, pages::designDiagramOf(found->fingerings[size_t(k)], found->formula, 7));
        const auto group = design.group().all();

        // Erasing the unsaved group asks first; Yes saves it under the name given.
        prompter.answers = {Answer::Yes};
        prompter.fileNames = {songs("gmaj7.cds")};
        w->erasePage();
        QCOMPARE(prompter.questions.back(), std::string("Do you want to save changes to this Design Group before erasing?"));
        QCOMPARE(sizeOf(songs("gmaj7.cds")), std::uintmax_t(616));
        QCOMPARE(design.group().filledCount(), 0);
        QCOMPARE(design.designView().lblCDFilePath->text(), QString("File:"));

        prompter.fileNames = {songs("gmaj7.cds")};
        openKeys(*w);
        QVERIFY(design.group().all() == group);
        QVERIFY(design.work() == group[0]);
        QCOMPARE(design.designView().lblCDFilePath->text(), QString::fromStdString("File: " + songs("gmaj7.cds")));
        QVERIFY(!design.document().modified);

        // A group with a name of its own is saved under it, without a dialog.
        design.group().place(5, group[0]);
        const auto changed = design.group().all();
        const auto dialogs = prompter.dialogs.size();
        prompter.answers = {Answer::Yes};
        w->erasePage();
        QCOMPARE(prompter.dialogs.size(), dialogs);
        QCOMPARE(design.group().filledCount(), 0);
        prompter.fileNames = {songs("gmaj7.cds")};
        openKeys(*w);
        QVERIFY(design.group().all() == changed);

        // A file cut short is refused whole: the group stays as it was.
        std::filesystem::copy_file(songs("gmaj7.cds"), songs("short.cds"));
        std::filesystem::resize_file(songs("short.cds"), 615);
        design.group().remove(5);
        const auto kept = design.group().all();
        prompter.fileNames = {songs("short.cds")};
        openKeys(*w);
        QVERIFY(prompter.messages.back().find("short.cds") != std::string::npos);
        QVERIFY(design.group().all() == kept);
    }

    // A failed save keeps the page marked as changed and the old file as it was.
    void aFailedSaveKeepsTheChanges()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w);
        QVERIFY(w->setActivePage(Page::PlayPage));
        PlayPageController& play = w->playPage();
        const auto found = theory::lookupChord(appDir(), 0, 2, nullptr);  // D
        QVERIFY(found);
        auto content = play.model().allSlots();
        content[13] = pages::designDiagramOf(found->fingerings[0], found->formula, 2);
        play.model().load(content, pages::TimeSignature::FourFour, pages::defaultRepeatMarkers(false));
        play.model().modified = true;

        prompter.fileNames = {songs("song.ppf")};
        saveKeys(*w);
        QCOMPARE(sizeOf(songs("song.ppf")), std::uintmax_t(25432));
        QCOMPARE(sizeOf(songs("song.rpt")), std::uintmax_t(192));
        QVERIFY(!play.model().modified);

        std::ifstream in(songs("song.ppf"), std::ios::binary);
        const std::string old((std::istreambuf_iterator<char>(in)), {});
        std::filesystem::permissions(songs("song.ppf"), std::filesystem::perms::owner_read);
        play.model().modified = true;
        saveKeys(*w);
        QVERIFY(!prompter.messages.empty());
        QVERIFY(play.model().modified);
        std::ifstream again(songs("song.ppf"), std::ios::binary);
        QCOMPARE(std::string((std::istreambuf_iterator<char>(again)), {}), old);
        std::filesystem::permissions(songs("song.ppf"), std::filesystem::perms::owner_all);

        // Opening over the changes asks about them once, before the file is chosen.
        const auto questions = prompter.questions.size();
        prompter.answers = {Answer::No};
        prompter.fileNames = {songs("song.ppf")};
        openKeys(*w);
        QCOMPARE(prompter.questions.size(), questions + 1);
        QVERIFY(!play.model().modified);
    }

    // An older PlayPage handed to the program (upper-case extension) opens without a question,
    // says its version in the title, and is saved in the current form.
    void anOlderPlayPageHandedOverOpensAndIsSavedNew()
    {
        const std::string path = songs("OLD.PPF");
        {
            std::string bytes(88 * 73, '\0');
            const std::string id = "kqPlayPage";
            bytes[1] = static_cast<char>(id.size());
            std::copy(id.begin(), id.end(), bytes.begin() + 2);
            bytes[17] = 4;
            std::copy_n("-300", 4, bytes.begin() + 18);
            bytes[85] = 120;
            for (int s = 0; s < 72; ++s) {
                const auto rec = pages::DiagramRecord{}.toBytes();
                std::copy(rec.begin(), rec.end(), bytes.begin() + 88 * (s + 1));
            }
            const auto found = theory::lookupChord(appDir(), 0, 9, nullptr);  // A
            const auto a = pages::designDiagramOf(found->fingerings[0], found->formula, 9).toBytes();
            std::copy(a.begin(), a.end(), bytes.begin() + 88 * (1 + 70));
            std::ofstream(path, std::ios::binary) << bytes;
        }
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w);
        w->playPage().model().modified = true;  // unsaved work is not asked about here
        w->openDocument(QString::fromStdString(path));
        QVERIFY(prompter.questions.empty());
        QCOMPARE(w->activePage(), Page::PlayPage);
        QCOMPARE(w->windowTitle(), QString("Strumox!   OLD.PPF (KQ5 Version)"));
        QVERIFY(!w->playPage().model().slot(70).isEmpty());
        QVERIFY(!w->playPage().model().modified);

        saveKeys(*w);
        QCOMPARE(sizeOf(path), std::uintmax_t(25432));
        QCOMPARE(w->windowTitle(), QString("Strumox!   OLD.PPF"));
        const auto reread = pages::readPlayPageFile(path, nullptr);
        QVERIFY(reread && !reread->older);
        QCOMPARE(reread->tempo, 120);
        QVERIFY(reread->diagrams[70] == w->playPage().model().slot(70));

        // Both saved files are offered again, newest first; a file that is gone is greyed.
        QMenu* recent = w->menus().recentMenu();
        w->pageFiles().fillRecentMenu(recent);
        QVERIFY(recent->actions().size() >= 1);
        QVERIFY(recent->actions().first()->text().endsWith(QString::fromStdString(path)));
        std::filesystem::rename(path, songs("moved.ppf"));
        w->pageFiles().fillRecentMenu(recent);
        QVERIFY(!recent->actions().first()->isEnabled());
    }
};

QTEST_MAIN(PageFileWindowTest)
#include "page_file_window_test.moc"
