// Crash recovery in the window: unsaved pages written at a change of page, offered back by the
// next window's start (Yes restores them changed and without a name, No drops them), removed by a
// save, an erase and a clean close; a damaged file and a folder that refuses writes each told on
// one status line.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "RecordBuilders.h"
#include "ScriptedPrompter.h"
#include "app/ChordPageController.h"
#include "app/DesignPageController.h"
#include "app/PageFileController.h"
#include "app/PlayPageController.h"
#include "app/PlayPageView.h"
#include "app/RecoveryController.h"
#include "app/TfrmMain.h"
#include "pages/PageFiles.h"
#include "pages/PlayPage.h"
#include "theory/ChordData.h"

using namespace strumox;
using namespace strumox::app;
using pages::Cell;
using pages::Page;
using session::Answer;
using Questions = std::vector<std::string>;

namespace {

void clickTab(TfrmMain& w, Page page)
{
    QTabBar* bar = w.findChild<QTabWidget*>("PageControl1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(int(page)).center());
}

// Chords page column 0 sent to the PlayPage from its popup and placed at `at` by a click.
void placeChord(TfrmMain& w, Cell at)
{
    ChordPageController& chords = w.chordPage();
    clickTab(w, Page::Chords);
    const pages::PixelPoint o = pages::diagramOrigin(Page::Chords, Cell{0, 0});
    QTest::mouseClick(chords.picture(), Qt::RightButton, Qt::NoModifier, {o.x + 52, o.y + 60});
    QAction* send = chords.popmenuChords->findChild<QAction*>("pmenuChordsToPlayPage");
    QTest::mouseClick(chords.popmenuChords, Qt::LeftButton, Qt::NoModifier,
                      chords.popmenuChords->actionGeometry(send).center());
    const pages::PixelPoint slot = pages::PlayPage::diagramAt(at);
    QTest::mouseClick(w.playPage().picture(), Qt::LeftButton, Qt::NoModifier, {slot.x + 29, slot.y + 30});
}

// What the worker was handed is on the disk and its reports have arrived.
void settle(TfrmMain& w)
{
    w.recovery().waitForWrites();
    QCoreApplication::processEvents();
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_data;
    std::unique_ptr<QTemporaryDir> m_home;  // XDG_DATA_HOME, a fresh one for each test

    std::unique_ptr<TfrmMain> started(testsupport::ScriptedPrompter& prompter)
    {
        auto w = std::make_unique<TfrmMain>(m_data.path().toStdString() + "/", &prompter);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            return nullptr;
        w->startRecovery();
        // The Chords page has chords to send.
        w->menuBar()->findChild<QAction*>("mnuA")->trigger();
        QTest::mouseClick(w->findChild<QPushButton*>("btnShowChords"), Qt::LeftButton);
        return w;
    }

private slots:
    void initTestCase() { theory::writeChordDataFiles(m_data.path().toStdString() + "/"); }
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home->path()));
    }

    void aChangedPlayPageComesBackChangedWithoutANameAndACleanCloseLeavesNothing()
    {
        testsupport::ScriptedPrompter first;
        auto w = started(first);
        QVERIFY(w);
        QCOMPARE(first.questions, Questions{});
        const std::string ppf = *w->recovery().pathOf(Page::PlayPage);
        QCOMPARE(ppf, m_home->path().toStdString() + "/strumox/recovery/playpage.ppf");
        placeChord(*w, Cell{4, 2});
        QVERIFY(!exists(ppf));
        clickTab(*w, Page::Chords);
        settle(*w);
        const pages::PlayPage::Slots content = w->playPage().model().allSlots();
        const auto kept = pages::readPlayPageFile(ppf, nullptr);
        QVERIFY(kept && kept->diagrams == content && !content[4 + 2 * 12].isEmpty());
        QVERIFY(!exists(*w->recovery().pathOf(Page::ChordDesign)));
        w.reset();  // gone without the closing questions

        testsupport::ScriptedPrompter second({Answer::Yes});
        w = started(second);
        QVERIFY(w);
        QCOMPARE(second.questions, Questions{kRecoveryQuestion});
        QVERIFY(w->playPage().model().allSlots() == content);
        QVERIFY(w->playPage().model().modified);
        QVERIFY(w->pageFiles().fileName(Page::PlayPage).empty() && w->playPage().fileName().empty());
        // The restored page is kept again at once, in case the program goes down a second time.
        settle(*w);
        QVERIFY(exists(ppf) && exists(pages::repeatFilePath(ppf)));
        QVERIFY(!exists(*w->recovery().pathOf(Page::ChordDesign)));
        clickTab(*w, Page::PlayPage);
        QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(second.dialogs.size(), size_t(1));  // Save asked for a name (and was cancelled)

        clickTab(*w, Page::Chords);
        settle(*w);
        QVERIFY(exists(ppf));
        QVERIFY(w->close());  // the PlayPage's save question answered No
        QVERIFY(std::filesystem::is_empty(w->recovery().folder()));
    }

    void noDropsTheFilesAndSavingOrErasingRemovesAPagesFile()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = started(prompter);
        QVERIFY(w);
        const std::string ppf = *w->recovery().pathOf(Page::PlayPage);
        const std::string cds = *w->recovery().pathOf(Page::ChordDesign);
        w->designPage().group().place(0, testsupport::shapeChord(0, "", "x32010"));
        placeChord(*w, Cell{0, 0});
        clickTab(*w, Page::ChordDesign);
        settle(*w);
        QVERIFY(exists(ppf) && exists(cds));

        prompter.fileNames = {QDir(m_home->path()).filePath("song.ppf").toStdString()};
        clickTab(*w, Page::PlayPage);
        QTest::mouseClick(w->findChild<QToolButton*>("sbtnSave"), Qt::LeftButton);
        settle(*w);
        QVERIFY(!exists(ppf) && !exists(pages::repeatFilePath(ppf)) && exists(cds));
        clickTab(*w, Page::ChordDesign);
        QTest::mouseClick(w->findChild<QToolButton*>("sbtnErase"), Qt::LeftButton);  // save question: No
        settle(*w);
        QVERIFY(!exists(cds));

        placeChord(*w, Cell{1, 0});
        clickTab(*w, Page::Chords);
        settle(*w);
        QVERIFY(exists(ppf));
        w.reset();
        testsupport::ScriptedPrompter declining({Answer::No});
        w = started(declining);
        QVERIFY(w);
        QCOMPARE(declining.questions, Questions{kRecoveryQuestion});
        QVERIFY(!w->playPage().model().modified && !w->playPage().model().filled(1));
        QVERIFY(std::filesystem::is_empty(w->recovery().folder()));
    }

    void aDamagedFileAndAFolderThatRefusesWritesAreToldOnceEach()
    {
        const QString folder = m_home->filePath("strumox/recovery");
        QVERIFY(QDir().mkpath(folder));
        std::ofstream(QDir(folder).filePath("design.cds").toStdString()) << "not a design group";
        testsupport::ScriptedPrompter prompter({Answer::Yes});
        auto w = started(prompter);
        QVERIFY(w);
        QVERIFY(w->statusBar()->currentMessage().contains("design.cds"));
        QVERIFY(!w->designPage().group().modified && prompter.messages.empty());
        QVERIFY(std::filesystem::is_empty(w->recovery().folder()));

        // A file where the folder should be: nothing can be written.
        QVERIFY(QDir(folder).removeRecursively());
        std::ofstream(folder.toStdString()) << "";
        QSignalSpy told(&w->recovery(), &RecoveryController::statusMessage);
        placeChord(*w, Cell{0, 0});
        for (Page page : {Page::Chords, Page::PlayPage, Page::Chords}) {
            clickTab(*w, page);
            settle(*w);
        }
        QCOMPARE(told.count(), 1);
        QVERIFY(w->statusBar()->currentMessage().contains("cannot be made"));
    }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
