// File > Export MIDI... and Export WAV... as a guitarist reaches them: the menu bar clicked, a
// name typed in the file dialog (or the dialog cancelled), the progress dialog's Cancel.
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

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

namespace {

// Opens the File menu by a click on its title, then clicks the item; false when that did not close
// the menu (a disabled item), which is then closed here.
[[nodiscard]] bool clickFileItem(TfrmMain& w, const char* itemName)
{
    QMenuBar* bar = w.menuBar();
    auto* menu = bar->findChild<QMenu*>("menuFile");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 1000))
        return false;
    const QRect item = menu->actionGeometry(menu->findChild<QAction*>(itemName));
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, item.center());
    const bool chosen = !menu->isVisible();
    menu->close();
    return chosen;
}

}  // namespace

class ExportWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_data, m_songs;
    std::string song(const char* name) const { return m_songs.path().toStdString() + "/" + name; }
    int songCount() const { return int(QDir(m_songs.path()).entryList(QDir::Files).size()); }

private slots:
    void initTestCase() { theory::writeChordDataFiles(m_data.path().toStdString() + "/"); }

    void exportsThePlayPageSongAsPlayWouldSoundIt()
    {
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(m_data.path().toStdString() + "/", &prompter);
        w.playback().setOutputFactory([](int) { return std::make_unique<playback::RecordingSink>(); });
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy finished(w.findChild<ExportController*>(), &ExportController::finished);

        QVERIFY(!clickFileItem(w, "mnuExportMidi"));  // not from the Chords page
        QTabBar* tabs = w.findChild<QTabWidget*>("PageControl1")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(int(pages::Page::PlayPage)).center());
        pages::PlayPage::Slots sheet{};
        for (int s : {0, 8, 16})
            sheet[size_t(s)] = testsupport::openCMajor();
        w.playPage().model().load(sheet, pages::TimeSignature::FourFour, pages::PlayPage::MarkerBytes{});
        w.playback().setBpm(90);
        QTest::mouseClick(w.findChild<QToolButton*>("sbtnClick"), Qt::LeftButton);

        // A cancelled file dialog: nothing written, no progress shown.
        QVERIFY(clickFileItem(w, "mnuExportWav"));
        QCOMPARE(prompter.dialogs.back(), std::string("Export WAV|Wave Files (*.wav)"));
        QVERIFY(!w.findChild<QProgressDialog*>());
        QCOMPARE(songCount(), 0);

        // A name without extension gets ".mid"; the tempo box and the Click button are heard.
        prompter.fileNames = {song("song")};
        QVERIFY(clickFileItem(w, "mnuExportMidi"));
        QCOMPARE(prompter.dialogs.back(), std::string("Export MIDI|MIDI Files (*.mid)"));
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(finished.back().at(0).toBool());
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
        QCOMPARE(clicks, 36 * 4);  // every beat of the page's 36 measures

        // Cancel in the progress dialog: the WAV render stops and leaves nothing.
        prompter.fileNames = {song("song.wav")};
        QVERIFY(clickFileItem(w, "mnuExportWav"));
        QProgressDialog* progress = nullptr;
        QTRY_VERIFY((progress = w.findChild<QProgressDialog*>()) && progress->isVisible());
        QCOMPARE(progress->windowTitle(), QString("Strumox"));
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QTRY_COMPARE(finished.count(), 2);
        QVERIFY(!finished.back().at(0).toBool());
        QCOMPARE(songCount(), 1);
        QVERIFY(prompter.messages.empty());
    }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
