// File > Export MIDI... and Export WAV... as a guitarist reaches them: through the menu bar, a
// file name typed in the dialog, the progress dialog's Cancel.
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <filesystem>

#include "MidiFileReader.h"
#include "RecordBuilders.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "app/ExportController.h"
#include "app/PlayPageController.h"
#include "app/PlaybackController.h"
#include "app/TfrmMain.h"
#include "playback/RecordingSink.h"
#include "theory/ChordData.h"

using namespace strumox;
using namespace strumox::app;
using pages::Page;
using pages::PlayPage;

namespace {

// Opens the File menu by a click on its title and clicks the item; false when the item could not
// be clicked (missing or disabled: the menu then stays open and is closed here).
[[nodiscard]] bool clickFileItem(TfrmMain& w, const char* itemName)
{
    QMenuBar* bar = w.menuBar();
    auto* menu = bar->findChild<QMenu*>("menuFile");
    auto* item = menu->findChild<QAction*>(itemName);
    if (!item)
        return false;
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 1000))
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(item).center());
    if (!menu->isVisible())
        return true;
    menu->close();
    return false;
}

std::vector<std::string> filesIn(const QTemporaryDir& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path().toStdString()))
        names.push_back(e.path().filename().string());
    return names;
}

}  // namespace

class ExportWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_data;
    QTemporaryDir m_songs;
    testsupport::ScriptedPrompter m_prompter;
    std::unique_ptr<TfrmMain> m_w;

    std::string song(const char* name) const { return m_songs.path().toStdString() + "/" + name; }

private slots:
    void initTestCase() { theory::writeChordDataFiles(m_data.path().toStdString() + "/"); }

    void exportMidiWritesThePlayPageSongAsPlayWouldSoundIt()
    {
        m_w = std::make_unique<TfrmMain>(m_data.path().toStdString() + "/", &m_prompter);
        TfrmMain& w = *m_w;
        w.playback().setOutputFactory([](int) { return std::make_unique<playback::RecordingSink>(); });
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* exporter = w.findChild<ExportController*>();
        QVERIFY(exporter);
        QSignalSpy finished(exporter, &ExportController::finished);

        // Not on another page.
        QVERIFY(!clickFileItem(w, "mnuExportMidi"));
        QVERIFY(m_prompter.dialogs.empty());

        QTabBar* tabs = w.findChild<QTabWidget*>("PageControl1")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(int(Page::PlayPage)).center());
        PlayPage::Slots sheet{};
        for (int s : {0, 8, 16})
            sheet[size_t(s)] = testsupport::openCMajor();
        w.playPage().model().load(sheet, pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
        w.playback().setBpm(90);
        QTest::mouseClick(w.findChild<QToolButton*>("sbtnClick"), Qt::LeftButton);

        // A cancelled file dialog writes nothing and shows no progress.
        QVERIFY(clickFileItem(w, "mnuExportWav"));
        QCOMPARE(m_prompter.dialogs.back(), std::string("Export WAV|Wave Files (*.wav)"));
        QVERIFY(!w.findChild<QProgressDialog*>());
        QVERIFY(filesIn(m_songs).empty());

        // A name without extension gets ".mid"; the tempo box and the Click button are taken.
        m_prompter.fileNames = {song("song")};
        QVERIFY(clickFileItem(w, "mnuExportMidi"));
        QCOMPARE(m_prompter.dialogs.back(), std::string("Export MIDI|MIDI Files (*.mid)"));
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.back().at(0).toBool(), true);
        QCOMPARE(filesIn(m_songs), std::vector<std::string>{"song.mid"});
        const std::string bytes = testsupport::readText(song("song.mid"));
        QCOMPARE(bytes.substr(0, 4), std::string("MThd"));
        const testsupport::MidiFileContents midi = testsupport::readMidiFile(bytes);
        QCOMPARE(midi.error, std::string());
        QCOMPARE(midi.tempos, std::vector<std::uint32_t>{666667});  // 60,000,000 / 90
        int clicks = 0, strings = 0;
        for (const auto& e : midi.tracks.at(0)) {
            clicks += e.status == 0x99 && e.data2 > 0;
            strings += e.status == 0x90 && e.data2 > 0;
        }
        QCOMPARE(strings, 3 * 5);  // x32010 three times
        QCOMPARE(clicks, 36 * 4);  // a click on every beat of the page's 36 measures
        QVERIFY(m_prompter.messages.empty());

        // Cancel in the progress dialog: the WAV render stops and leaves nothing.
        m_prompter.fileNames = {song("song.wav")};
        QVERIFY(clickFileItem(w, "mnuExportWav"));
        QProgressDialog* progress = nullptr;
        QTRY_VERIFY((progress = w.findChild<QProgressDialog*>()) && progress->isVisible());
        QCOMPARE(progress->windowTitle(), QString("Strumox"));
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(finished.back().at(0).toBool(), false);
        QCOMPARE(filesIn(m_songs), std::vector<std::string>{"song.mid"});
        QVERIFY(m_prompter.messages.empty());
    }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
