// Play, Stop, Step and the tempo controls as a guitarist uses them, heard through a recording
// output: the toolbar's buttons clicked, keys pressed, the tempo typed.
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
#include "app/TfrmMain.h"
#include "playback/RecordingSink.h"
#include "theory/ChordData.h"

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
        QTest::qWaitForWindowActive(m_w.get());
        // All strings at once: a chord then lasts 800 ticks.
        m_w->fretboardPanel().sbStrumSpeed->setValue(0);
        return *m_w;
    }

private slots:
    void initTestCase() { theory::writeChordDataFiles(m_data.path().toStdString() + "/"); }
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
};

QTEST_MAIN(PlaybackWindowTest)
#include "playback_window_test.moc"
