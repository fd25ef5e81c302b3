// Play, Stop, Step and the tempo controls as a guitarist uses them, heard through a recording
// output: the toolbar's buttons clicked, keys pressed, the tempo typed.
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <set>

#include "RecordBuilders.h"
#include "ScriptedPrompter.h"
#include "app/DesignPageController.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PlayPageController.h"
#include "app/PlaybackController.h"
#include "app/ScalesPageController.h"
#include "app/SpokenNoteNames.h"
#include "app/TfrmIntCalc.h"
#include "app/TfrmMain.h"
#include "playback/RecordingSink.h"
#include "theory/ChordData.h"
#include "theory/ScaleData.h"

using namespace strumox;
using namespace strumox::app;
using pages::Page;
using pages::PlayPage;

namespace {

void clickTab(TfrmMain& w, Page page)
{
    QTabBar* bar = w.findChild<QTabWidget*>("PageControl1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(int(page)).center());
}

QToolButton* button(TfrmMain& w, const char* name) { return w.findChild<QToolButton*>(name); }

bool menusEnabled(TfrmMain& w)
{
    for (QAction* a : w.menuBar()->actions())
        if (!a->isEnabled())
            return false;
    return true;
}

// Note-ons with a velocity, as (channel, key).
std::multiset<std::pair<int, int>> notesStruck(const playback::RecordingSink& sink)
{
    std::multiset<std::pair<int, int>> out;
    for (const auto& m : sink.messages())
        if ((m.status & 0xF0) == 0x90 && m.data2 > 0)
            out.insert({m.status & 15, m.data1});
    return out;
}

// A menu's item chosen with the mouse: the bar's title clicked, then the item.
void chooseMenuItem(TfrmMain& w, const char* menuName, const char* itemName)
{
    auto* menu = w.menuBar()->findChild<QMenu*>(menuName);
    QTest::mouseClick(w.menuBar(), Qt::LeftButton, Qt::NoModifier,
                      w.menuBar()->actionGeometry(menu->menuAction()).center());
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                      menu->actionGeometry(menu->findChild<QAction*>(itemName)).center());
}

}  // namespace

class PlaybackWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_data;
    std::unique_ptr<TfrmMain> m_w;
    testsupport::ScriptedPrompter m_prompter;
    playback::RecordingSink* m_sink = nullptr;

    TfrmMain& window()
    {
        m_w = std::make_unique<TfrmMain>(m_data.path().toStdString() + "/", &m_prompter);
        m_w->playback().setOutputFactory([this](int) {
            auto sink = std::make_unique<playback::RecordingSink>();
            m_sink = sink.get();
            return sink;
        });
        m_w->show();
        QApplication::setActiveWindow(m_w.get());
        // Key events go to the active window; a test typing into an inactive one fails on its own.
        if (!QTest::qWaitForWindowActive(m_w.get()))
            qWarning("the main window never became active");
        // All strings at once: a chord then lasts 800 ticks.
        m_w->fretboardPanel().sbStrumSpeed->setValue(0);
        return *m_w;
    }

private slots:
    void initTestCase()
    {
        const std::string dir = m_data.path().toStdString() + "/";
        theory::writeChordDataFiles(dir);
        theory::writeScaleFile(dir);
        // Voices and speech away from their defaults, so a setting that is not passed on shows.
        QFile ini(m_data.filePath("Kq.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Guitar]\nPatch=40\nVolume=90\n[Main]\nSpeechVol=200\nSpeechOn=1\n");
    }
    void cleanup() { m_w.reset(); }

    void designedChordIsStrummedWhileMenusRestAndPlayComesUpAtTheEnd()
    {
        TfrmMain& w = window();
        clickTab(w, Page::ChordDesign);
        w.designPage().work() = testsupport::openCMajor();
        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        QVERIFY(button(w, "sbtnPlay")->isChecked());
        QVERIFY(!menusEnabled(w));
        // A second click while it plays changes nothing; so does Stop on this page.
        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        QTest::mouseClick(button(w, "sbtnStop"), Qt::LeftButton);
        QVERIFY(button(w, "sbtnPlay")->isChecked());
        // Page changes are refused while it plays.
        clickTab(w, Page::Chords);
        QCOMPARE(w.activePage(), Page::ChordDesign);

        QTRY_VERIFY_WITH_TIMEOUT(!button(w, "sbtnPlay")->isChecked(), 5000);
        QVERIFY(menusEnabled(w));
        QVERIFY(m_sink);
        const std::multiset<std::pair<int, int>> expected{{0, 48}, {0, 52}, {0, 55}, {0, 60}, {0, 64}};
        QCOMPARE(notesStruck(*m_sink), expected);
        // Every dot the notes lit went out with them.
        for (const auto& g : w.fretboard().display().scene().sounding)
            QVERIFY(!g);
    }

    void playPageCursorMovesAndStopPutsEverythingBack()
    {
        TfrmMain& w = window();
        clickTab(w, Page::PlayPage);
        PlayPage::Slots song{};
        for (int s : {0, 8, 16})
            song[size_t(s)] = testsupport::openCMajor();
        w.playPage().model().load(song, pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
        // The tempo typed past its top is held there when the box is left.
        auto* tempo = w.findChild<QLineEdit*>("meditTempoMain");
        QTest::mouseClick(tempo, Qt::LeftButton);
        QTRY_COMPARE(tempo->selectedText(), QString("100"));
        QTest::keyClicks(tempo, "300");
        QTest::keyClick(tempo, Qt::Key_Return);
        QCOMPARE(tempo->text(), QString("250"));
        QVERIFY(w.playPage().unsavedWork());

        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        QVERIFY(!tempo->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(w.playPage().playCursor().value_or(0) >= 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(notesStruck(*m_sink).size() >= 10, 5000);
        QTest::mouseClick(button(w, "sbtnStop"), Qt::LeftButton);
        QVERIFY(!button(w, "sbtnPlay")->isChecked());
        QVERIFY(!w.playPage().playCursor());
        QVERIFY(tempo->isEnabled());
        QVERIFY(!m_sink->silences().empty());
        QCOMPARE(m_sink->tempos().back(), 240000u);
    }

    void stepModeStepsWithTheKeysAndAnEmptyPageLetsPlayUp()
    {
        TfrmMain& w = window();
        clickTab(w, Page::PlayPage);
        QTest::mouseClick(button(w, "sbtnStep"), Qt::LeftButton);
        // Nothing to step to: Play springs back.
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(!button(w, "sbtnPlay")->isChecked());

        PlayPage::Slots song{};
        song[5] = testsupport::openCMajor();
        song[40] = testsupport::openCMajor();
        w.playPage().model().load(song, pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(button(w, "sbtnPlay")->isChecked());
        QCOMPARE(w.playPage().stepArrow(), std::optional<int>(5));
        // A step key while the chord still sounds is ignored.
        QTest::keyClick(&w, Qt::Key_Right);
        QCOMPARE(w.playPage().stepArrow(), std::optional<int>(5));
        // The chord sounds out; Play stays down, waiting for the next step.
        QTRY_COMPARE_WITH_TIMEOUT(notesStruck(*m_sink).size(), size_t(5), 5000);
        QTest::qWait(1200);
        QVERIFY(button(w, "sbtnPlay")->isChecked());
        QTest::keyClick(&w, Qt::Key_Right);
        QCOMPARE(w.playPage().stepArrow(), std::optional<int>(40));
        QTest::qWait(1200);
        QTest::keyClick(&w, Qt::Key_Left);
        QCOMPARE(w.playPage().stepArrow(), std::optional<int>(5));
        // Loop refuses a change while playing.
        const bool loop = button(w, "sbtnLoop")->isChecked();
        QTest::mouseClick(button(w, "sbtnLoop"), Qt::LeftButton);
        QCOMPARE(button(w, "sbtnLoop")->isChecked(), loop);
        QTest::qWait(1200);
        QTest::mouseClick(button(w, "sbtnStop"), Qt::LeftButton);
        QVERIFY(!button(w, "sbtnPlay")->isChecked());
        QVERIFY(!w.playPage().stepArrow());
    }

    void scaleRunPausesOnTheScalesPageAndStopPutsItsDotOutAtOnce()
    {
        TfrmMain& w = window();
        clickTab(w, Page::Scales);
        QVERIFY(w.scalesPage().addRow(testsupport::cMajorScale()));
        w.fretboardPanel().sbStrumSpeed->setValue(-200);  // a note every 200 ms at 120 bpm
        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(notesStruck(*m_sink).size() >= 2, 3000);
        QTest::mouseClick(button(w, "sbtnPause"), Qt::LeftButton);
        QVERIFY(button(w, "sbtnPause")->isChecked());
        const std::size_t held = m_sink->messageCount();
        QTest::qWait(600);
        QCOMPARE(m_sink->messageCount(), held);
        QTest::mouseClick(button(w, "sbtnPause"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_sink->messageCount() > held, 3000);

        const auto& sounding = w.fretboard().display().scene().sounding;
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(sounding.begin(), sounding.end(), [](const auto& g) { return bool(g); }),
                                 3000);
        QTest::mouseClick(button(w, "sbtnStop"), Qt::LeftButton);
        QVERIFY(!button(w, "sbtnPlay")->isChecked() && !button(w, "sbtnPause")->isChecked());
        QVERIFY(std::none_of(sounding.begin(), sounding.end(), [](const auto& g) { return bool(g); }));
    }

    // Count-off, Show Arpeggio and the tempo box as they bear on the song: no cursor before the
    // first downbeat, the neck following the slots only with Show Arpeggio down, and a tempo box
    // left as it was not counting as a change to the page.
    void countOffKeepsTheCursorAwayAndShowArpeggioDecidesWhatTheNeckShows()
    {
        TfrmMain& w = window();
        clickTab(w, Page::PlayPage);
        PlayPage::Slots song{};
        song[0] = testsupport::openCMajor();
        song[2] = testsupport::shapeChord(7, "major", "320003");
        w.playPage().model().load(song, pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
        auto* tempo = w.findChild<QLineEdit*>("meditTempoMain");
        QTest::mouseClick(tempo, Qt::LeftButton);
        QTest::keyClick(tempo, Qt::Key_Return);
        QVERIFY(!w.playPage().unsavedWork());

        QVERIFY(!w.fretboardPanel().sbShowArp->isChecked());
        QTest::mouseClick(button(w, "sbtnCount"), Qt::LeftButton);
        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        QTest::qWait(400);  // inside the count-off's four beats (2.4 s at 100 bpm)
        QVERIFY(!w.playPage().playCursor());
        QTRY_VERIFY_WITH_TIMEOUT(w.playPage().playCursor() == std::optional<int>(1), 5000);
        // The neck shows only the sounding dots: no chord was drawn for the slots.
        QVERIFY(w.fretboard().display().scene().glyphs.empty());
        QTest::mouseClick(button(w, "sbtnStop"), Qt::LeftButton);

        QTest::mouseClick(w.fretboardPanel().sbShowArp, Qt::LeftButton);
        QTest::mouseClick(button(w, "sbtnCount"), Qt::LeftButton);
        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.fretboard().display().scene().glyphs.empty(), 3000);
        QTest::mouseClick(button(w, "sbtnStop"), Qt::LeftButton);
    }

    // ---- the interval calculator borrows the output device
    void intervalCalculatorSoundsOnItsOwnOutputWhileOursIsClosed()
    {
        TfrmMain& w = window();
        QTRY_VERIFY(w.playback().outputOpen());
        TfrmIntCalc& calc = w.intervalCalculator();
        playback::RecordingSink* calcSink = nullptr;
        calc.setOutputFactory([&calcSink] {
            auto sink = std::make_unique<playback::RecordingSink>();
            calcSink = sink.get();
            return sink;
        });
        chooseMenuItem(w, "menuOptions", "mnuIntervalCalculator");
        QTRY_VERIFY(calc.isVisible());
        QVERIFY(calcSink && !w.playback().outputOpen());

        QTest::mouseClick(calc.sbtnChordScale, Qt::LeftButton);
        calc.cbScales->setFocus();
        QTest::keyClick(calc.cbScales, Qt::Key_Down);  // "major"
        calc.trkbarIntCalc->setFocus();
        QTest::keyClick(calc.trkbarIntCalc, Qt::Key_End);
        QTest::mouseClick(calc.sbtnPlay, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(calc.boxLit(0) && calc.boxLit(4) && calc.boxLit(7), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!calc.sbtnPlay->isChecked(), 5000);
        // The guitar of Kq.ini, the triad over C, every note let go.
        const auto sent = calcSink->messages();
        QVERIFY(!sent.empty());
        QCOMPARE(sent.front(), (playback::TimedMessage{0, 0xC0, 40, 0}));
        QCOMPARE(notesStruck(*calcSink), (std::multiset<std::pair<int, int>>{{0, 48}, {0, 52}, {0, 55}}));
        std::multiset<int> velocities;
        for (const auto& m : sent)
            if (m.status == 0x90)
                velocities.insert(m.data2);
        QCOMPARE(velocities, (std::multiset<int>{0, 0, 0, 90, 90, 90}));

        QTest::mouseClick(calc.btnClose, Qt::LeftButton);
        QVERIFY(!calc.isVisible());
        QVERIFY(w.playback().outputOpen());
    }

    // ---- spoken note names
    void noteMarkersSpeakTheNamesOffThePlayPageOnly()
    {
        TfrmMain& w = window();
        QTRY_VERIFY(w.spokenNames());
        QCOMPARE(w.spokenNames()->volume(), 200.0 / 255.0);
        QSignalSpy spoken(w.spokenNames(), &SpokenNoteNames::spoken);
        // B flat barred at the first fret: two black keys, named from the flat table.
        const pages::DiagramRecord bFlat = testsupport::shapeChord(10, "major", "x13331");
        clickTab(w, Page::ChordDesign);
        w.designPage().work() = bFlat;
        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!button(w, "sbtnPlay")->isChecked(), 5000);
        QStringList names;
        for (const QList<QVariant>& call : spoken)
            names << call.at(0).toString();
        names.sort();
        QCOMPARE(names, (QStringList{"SPEAK_010", "SPEAK_010", "SPEAK_2", "SPEAK_5", "SPEAK_5"}));

        // The PlayPage's song lights the dots in silence.
        clickTab(w, Page::PlayPage);
        PlayPage::Slots song{};
        song[0] = bFlat;
        w.playPage().model().load(song, pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
        QTest::mouseClick(button(w, "sbtnPlay"), Qt::LeftButton);
        const auto& sounding = w.fretboard().display().scene().sounding;
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(sounding.begin(), sounding.end(), [](const auto& g) { return bool(g); }),
                                 5000);
        QTest::mouseClick(button(w, "sbtnStop"), Qt::LeftButton);
        QCOMPARE(spoken.count(), 5);
    }
};

QTEST_MAIN(PlaybackWindowTest)
#include "playback_window_test.moc"
