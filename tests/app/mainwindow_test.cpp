#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "ScriptedPrompter.h"
#include "app/BlankPageController.h"
#include "app/DesignPageController.h"
#include "app/DesignPageView.h"
#include "app/MainMenus.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/TfrmMain.h"
#include "app/UpDown.h"
#include "fretboard/FretboardGeometry.h"

using namespace strumox;
using namespace strumox::app;
using namespace strumox::fretboard;
using pages::Page;
using session::Answer;

namespace {

// Centre of the marker cell of (string, fret) on the picture, for either hand.
QPoint cellCentre(int string, int fret, bool leftHanded)
{
    const HandLayout h = HandLayout::forHand(leftHanded);
    // The left-handed nut marker reaches past the counting area's right edge (744).
    const int x = std::min(h.fretX[static_cast<size_t>(fret)] + 6, 740);
    return {x, kStringTop[static_cast<size_t>(string)] + 6};
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string appDir() const { return m_dir.path().toStdString() + "/"; }

    std::unique_ptr<TfrmMain> makeWindow(testsupport::ScriptedPrompter& prompter)
    {
        auto w = std::make_unique<TfrmMain>(appDir(), &prompter);
        w->show();
        return w;
    }

    void click(TfrmMain& w, int string, int fret, Qt::MouseButton button = Qt::LeftButton)
    {
        PictureWidget* pic = w.fretboardPanel().imgFretboard;
        const QPoint pt = cellCentre(string, fret, w.fretboard().leftHanded());
        QTest::mouseMove(pic, pt);
        QTest::mouseClick(pic, button, Qt::NoModifier, pt);
    }

    QStringList intervalCaptions(TfrmMain& w)
    {
        QStringList out;
        for (auto* e : w.fretboardPanel().editIntervals)
            out << e->text();
        return out;
    }

    // Frets a C major chord: x 3 2 0 1 0, root C by a right click on the A string.
    void fretCMajor(TfrmMain& w)
    {
        click(w, 4, 3, Qt::RightButton);
        click(w, 3, 2);
        click(w, 2, 0);  // muted at start: a nut click opens it
        click(w, 1, 1);
        click(w, 0, 0);
    }

private slots:
    // --- window parts ---------------------------------------------------------------------
    void pagesAndMenusCarryTheirNames()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        auto* pages = w->findChild<QTabWidget*>("PageControl1");
        QVERIFY(pages);
        const QStringList expected{"pageChords", "pageChordDesign", "pagePlayPage", "pagePrint", "pageScales",
                                   "pageTablature"};
        QCOMPARE(pages->count(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(pages->widget(i)->objectName(), expected[i]);
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Flats"));
        QStringList menus;
        for (QAction* a : w->menuBar()->actions())
            menus << a->text().remove('&');
        QCOMPARE(menus, (QStringList{"File", "Key", "Major", "Minor", "Dominant", "Scale", "Options", "Help"}));
        // The tuning up-downs are off on the Chords page, on for Chord Design.
        QVERIFY(!w->fretboardPanel().upDown[0]->isEnabled());
        QVERIFY(w->setActivePage(Page::ChordDesign));
        QVERIFY(w->fretboardPanel().upDown[0]->isEnabled());
    }

    void windowPlacementFollowsScreenSize()
    {
        QVERIFY(TfrmMain::shouldMaximise(QSize(1024, 768)));
        QVERIFY(TfrmMain::shouldMaximise(QSize(800, 600)));
        QVERIFY(!TfrmMain::shouldMaximise(QSize(1280, 1024)));
        QVERIFY(!TfrmMain::shouldMaximise(QSize(1024, 769)));
        QVERIFY(!TfrmMain::shouldMaximise(QSize(1025, 768)));
    }

    void helpMenuGainsWebSitesAndAtMost26Tutorials()
    {
        QTemporaryDir dir;
        QFile ini(dir.filePath("Kq.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[WebSites]\nNumber=2\n1=Lessons\n1A=https://example.org/lessons\n2=Local page\n2A=/tmp/page.htm\n");
        ini.close();
        QVERIFY(QDir(dir.path()).mkdir("KQ65 Tutorials"));
        for (int i = 0; i < 27; ++i) {
            QFile page(dir.filePath(QStringLiteral("KQ65 Tutorials/lesson%1.htm").arg(i, 2, 10, QChar('0'))));
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir.path().toStdString() + "/", &prompter);
        const QList<QAction*> items = w.menus().helpMenu()->actions();
        QVERIFY(items.size() >= 6);
        QVERIFY(items[2]->isSeparator());
        QCOMPARE(items[3]->text(), QString("Tab Web Sites..."));
        QMenu* sites = items[3]->menu();
        QVERIFY(sites);
        QCOMPARE(sites->actions().size(), 2);
        QCOMPARE(sites->actions()[1]->text(), QString("Local page"));
        QCOMPARE(sites->actions()[1]->statusTip(), QString("/tmp/page.htm"));
        QCOMPARE(items[4]->text(), QString("Tutorials..."));
        QMenu* tutorials = items[4]->menu();
        QCOMPARE(tutorials->actions().size(), 26);
        QCOMPARE(tutorials->actions()[0]->text(), QString("lesson00"));
        QVERIFY(w.close());
    }

    // --- fingering editor on the picture ---------------------------------------------------
    void frettingOnTheDesignPageBuildsTheChord_data()
    {
        QTest::addColumn<bool>("leftHanded");
        QTest::newRow("right-handed") << false;
        QTest::newRow("left-handed") << true;
    }

    void frettingOnTheDesignPageBuildsTheChord()
    {
        QFETCH(bool, leftHanded);
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        if (leftHanded)
            w->fretboardPanel().sbtnLeftHanded->click();
        QCOMPARE(w->fretboard().leftHanded(), leftHanded);
        QVERIFY(w->setActivePage(Page::ChordDesign));
        fretCMajor(*w);

        const pages::DiagramRecord& d = w->designPage().work();
        QCOMPARE(d.root, std::uint8_t(0));
        QCOMPARE(d.bass, std::uint8_t(24));
        const std::array<std::uint8_t, 6> frets{0, 1, 0, 2, 3, 0};
        const std::array<std::uint8_t, 6> markers{0, 6, 0, 6, 6, 5};
        const std::array<std::uint8_t, 6> sounding{64, 60, 55, 52, 48, 0};
        QVERIFY(d.frets == frets);
        QVERIFY(d.markers == markers);
        QVERIFY(d.sounding == sounding);
        QCOMPARE(d.intervals[0], std::uint8_t(0));
        QCOMPARE(d.intervals[1], std::uint8_t(4));
        QCOMPARE(d.intervals[2], std::uint8_t(7));
        QCOMPARE(d.intervals[3], std::uint8_t(255));
        QCOMPARE(d.baseFret, std::uint8_t(1));
        QCOMPARE(QString::fromStdString(d.formula), QString("1 3 5     "));  // seven captions, each with its blank

        FretboardPanel& p = w->fretboardPanel();
        QCOMPARE(p.editNotes->text(), QString(" C E G"));
        QCOMPARE(intervalCaptions(*w), (QStringList{"1", "3", "5", "", "", "", "", ""}));
        QCOMPARE(p.editIntervals[1]->property("tag").toInt(), 4);
        QCOMPARE(p.editChordNameUser->text(), QString("C "));
        QCOMPARE(p.editTuningName->text(), QString("Standard"));
        DesignPageView& design = w->designPage().designView();
        QCOMPARE(design.editRoot->text(), QString("C"));
        QCOMPARE(design.editBass->text(), QString("C"));
        const QStringList boxes{"0", "1", "0", "2", "3", ""};
        for (int s = 0; s < 6; ++s)
            QCOMPARE(design.editTab[static_cast<size_t>(s)]->text(), boxes[s]);

        // The picture shows the glyphs where the hand puts them: the root glyph on the A string.
        const FretboardScene& scene = w->fretboard().display().scene();
        QCOMPARE(scene.leftHanded, leftHanded);
        QCOMPARE(int(scene.glyphs.size()), 6);
        QCOMPARE(scene.glyphs[4].fret, 3);
        QCOMPARE(scene.glyphs[4].cellX, glyphCellX(6, true));
        QCOMPARE(scene.glyphs[5].cellX, glyphCellX(5, false));
    }

    void showingTheWorkChordAgainKeepsItsIntervalText()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->setActivePage(Page::ChordDesign));
        fretCMajor(*w);
        w->designPage().work().formula = "1 3 5";  // as a dictionary chord carries it
        QVERIFY(w->setActivePage(Page::Chords));
        QVERIFY(w->setActivePage(Page::ChordDesign));
        QCOMPARE(QString::fromStdString(w->designPage().work().formula), QString("1 3 5"));
        click(*w, 0, 3);  // an edit writes the fields' text again
        QCOMPARE(QString::fromStdString(w->designPage().work().formula), QString("1 3 5     "));
    }

    void hoverNamesTheNoteAndItsInterval()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->setActivePage(Page::ChordDesign));
        fretCMajor(*w);
        PictureWidget* pic = w->fretboardPanel().imgFretboard;
        // High E string, fret 2: F#, a tritone above C.
        QTest::mouseMove(pic, cellCentre(0, 2, false));
        QCOMPARE(w->fretboardPanel().pnlNote->text(), QString("Gb"));
        QCOMPARE(w->fretboardPanel().pnlInterval->text(), QString("b5 / #11"));
        QTest::mouseMove(pic, QPoint(2, 60));  // left of the counting area
        QCOMPARE(w->fretboardPanel().pnlNote->text(), QString());
    }

    void clicksOffTheDesignPageChangeNothing()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        click(*w, 4, 3);
        QVERIFY(w->designPage().work() == pages::DiagramRecord::blankWork());
    }

    void rightClickAtTheNutMakesTheStringOpenAndTheRoot()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->setActivePage(Page::ChordDesign));
        click(*w, 3, 0, Qt::RightButton);  // open D string
        const auto& d = w->designPage().work();
        QCOMPARE(d.markers[3], std::uint8_t(0));
        QCOMPARE(d.root, std::uint8_t(2));
        QCOMPARE(w->fretboardPanel().pnlInterval->text(), QString("1"));
        QCOMPARE(w->designPage().designView().editRoot->text(), QString("D"));
    }

    void bassControlNamesTheSlashChord()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->setActivePage(Page::ChordDesign));
        fretCMajor(*w);
        for (int i = 0; i < 4; ++i)
            w->designPage().designView().udBass->step(+1);  // C -> E
        QCOMPARE(w->fretboardPanel().editChordNameUser->text(), QString("C  /E"));
        QCOMPARE(w->designPage().work().bass, std::uint8_t(4 + 24));
        // Typing a name sets the suffix only.
        QTest::keyClicks(w->fretboardPanel().editChordNameUser, "");
        w->fretboardPanel().editChordNameUser->setText("Cmaj7/E");
        emit w->fretboardPanel().editChordNameUser->textEdited("Cmaj7/E");
        QCOMPARE(QString::fromStdString(w->designPage().work().name), QString("maj7"));
    }

    void typingANameSuspendsTheWindowKeys()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(w->keyPreviewEnabled());
        w->fretboardPanel().editTuningName->setFocus();
        QVERIFY(!w->keyPreviewEnabled());
        w->fretboardPanel().sbStrumSpeed->setFocus();
        QVERIFY(w->keyPreviewEnabled());
        w->fretboardPanel().editChordNameUser->setFocus();
        QVERIFY(!w->keyPreviewEnabled());
        w->designPage().designView().editTab[2]->setFocus();
        QVERIFY(!w->keyPreviewEnabled());
    }

    void fingerKeysPressTheMarkerButtonsOnTheDesignPage()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QWidget* focus = w->fretboardPanel().sbStrumSpeed;
        QTest::keyClick(focus, Qt::Key_3);  // Chords page: the keys mean nothing
        QVERIFY(w->designPage().designView().sbtnPlain->isChecked());
        QVERIFY(w->setActivePage(Page::ChordDesign));
        QTest::keyClick(focus, Qt::Key_3);
        QVERIFY(w->designPage().designView().sbtnFinger[2]->isChecked());
        click(*w, 1, 1);
        QCOMPARE(int(w->designPage().work().markers[1]), 3);
        QTest::keyClick(focus, Qt::Key_P);
        QVERIFY(w->designPage().designView().sbtnPlain->isChecked());
        // While a name is typed the keys are letters, not buttons.
        w->fretboardPanel().editTuningName->setFocus();
        QTest::keyClick(w->fretboardPanel().editTuningName, Qt::Key_2);
        QVERIFY(w->designPage().designView().sbtnPlain->isChecked());
    }

    // --- tuning ----------------------------------------------------------------------------
    void tuningStepsWrapAndNameTheTuning()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->setActivePage(Page::ChordDesign));
        fretCMajor(*w);
        FretboardPanel& p = w->fretboardPanel();
        UpDown* low = p.upDown[5];
        low->step(-1);
        low->step(-1);
        QCOMPARE(p.editString[5]->text(), QString("D2"));
        emit low->released();
        QCOMPARE(p.editTuningName->text(), QString("D A D G B E "));
        QCOMPARE(int(w->currentTuning()[5]), 38);
        // The work chord follows the new tuning: the A string's C stays, intervals recomputed.
        QCOMPARE(QString::fromStdString(w->designPage().work().tuningName), QString("D A D G B E "));
        low->step(+1);
        low->step(+1);
        emit low->released();
        QCOMPARE(p.editTuningName->text(), QString("Standard"));

        UpDown* high = p.upDown[0];
        for (int i = 0; i < 5; ++i)
            high->step(+1);  // 64 -> 69
        QCOMPARE(p.editString[0]->text(), QString("A4"));
        high->step(+1);
        QCOMPARE(p.editString[0]->text(), QString("A1"));
        high->step(-1);
        QCOMPARE(p.editString[0]->text(), QString("A4"));
    }

    // --- flats and sharps ------------------------------------------------------------------
    void flatSharpSwitchRenamesEveryCaption()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QMenu* key = w->menuBar()->findChild<QMenu*>("menuKey");
        QVERIFY(key);
        key->actions().at(1)->trigger();  // Db
        auto* root = w->findChild<QLineEdit*>("editChordRoot");
        QCOMPARE(root->text(), QString("Db"));
        QVERIFY(w->setActivePage(Page::ChordDesign));
        w->designPage().designView().udRoot->step(+1);
        QCOMPARE(w->designPage().designView().editRoot->text(), QString("Db"));
        w->fretboardPanel().upDown[1]->step(-1);  // B3 -> Bb3

        w->toggleFlatSharp();
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Sharps"));
        QCOMPARE(key->actions().at(1)->text(), QString("C#"));
        QCOMPARE(root->text(), QString("C#"));
        QCOMPARE(w->designPage().designView().editRoot->text(), QString("C#"));
        QCOMPARE(w->designPage().designView().editBass->text(), QString("C#"));
        QCOMPARE(w->fretboardPanel().editString[1]->text(), QString("A#3"));

        w->toggleFlatSharp();
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Flats"));
        QCOMPARE(key->actions().at(1)->text(), QString("Db"));
        QCOMPARE(root->text(), QString("Db"));
        QCOMPARE(w->fretboardPanel().editString[1]->text(), QString("Bb3"));
    }

    // --- busy guard, flip, wheel -----------------------------------------------------------
    void pageChangesAndToggleButtonsAreRefusedWhileBusy()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        w->busy().playDown = true;
        QVERIFY(!w->setActivePage(Page::Print));
        QCOMPARE(w->activePage(), Page::Chords);
        w->fretboardPanel().sbtnLeftHanded->click();
        QVERIFY(!w->fretboardPanel().sbtnLeftHanded->isChecked());
        QVERIFY(!w->fretboard().leftHanded());
        QVERIFY(!w->flip(true));
        QVERIFY(!w->isFlipped());
        w->busy().playDown = false;
        QVERIFY(w->flip(true));
        QVERIFY(w->isFlipped());
        QVERIFY(w->fretboardPanel().sbtnFlip->isChecked());
        // Flipped: the fretboard panel sits above the page control.
        QVERIFY(w->fretboardPanel().y() < w->findChild<QTabWidget*>("PageControl1")->y());
        QVERIFY(w->flip(false));
        QVERIFY(w->fretboardPanel().y() > w->findChild<QTabWidget*>("PageControl1")->y());
    }

    void wheelNotchScrollsTheActivePageThreeLines()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->setActivePage(Page::PlayPage));
        auto* scroll = w->findChild<QScrollArea*>("pagePlayPage");
        QVERIFY(scroll);
        QScrollBar* bar = scroll->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int step = bar->singleStep();
        const int lines = QApplication::wheelScrollLines();
        auto turn = [&](int delta) {
            QWheelEvent ev(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
            QApplication::sendEvent(w->fretboardPanel().editNotes, &ev);
        };
        turn(-120);
        QCOMPARE(bar->value(), lines * step);
        turn(-40);
        turn(-40);
        QCOMPARE(bar->value(), lines * step);
        turn(-40);
        QCOMPARE(bar->value(), 2 * lines * step);
        turn(120);
        QCOMPARE(bar->value(), lines * step);
    }

    // --- closing ---------------------------------------------------------------------------
    void closingAsksAboutUnsavedWorkInOrder()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        *w->playPage().document(session::DocumentKind::PlayPage) = {true, "/songs/blues.ppf"};
        w->designPage().document() = {true, ""};
        prompter.answers = {Answer::Cancel};
        QVERIFY(!w->close());
        QCOMPARE(prompter.asked,
                 (std::vector<std::string>{"Save PlayPage changes to /songs/blues.ppf before closing?"}));
        QVERIFY(w->isVisible());

        prompter.asked.clear();
        prompter.answers = {Answer::No, Answer::No};
        QVERIFY(w->close());
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Save PlayPage changes to /songs/blues.ppf before closing?",
                                                           "Save Chord Design Page changes before closing?"}));
    }

    void closingWhilePlayingIsRefused()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        w->busy().playDown = true;
        QVERIFY(!w->close());
        QVERIFY(prompter.asked.empty());
        w->busy().stepDown = true;
        QVERIFY(!w->close());
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Step Play is active"}));
        w->busy() = {};
        QVERIFY(w->close());
    }

    void closingWritesTheExitSettings()
    {
        {
            testsupport::ScriptedPrompter prompter;
            auto w = makeWindow(prompter);
            w->fretboardPanel().sbtnLeftHanded->click();
            w->fretboardPanel().sbtnBassNote->click();
            w->fretboardPanel().sbStrumSpeed->setValue(-123);
            QVERIFY(w->close());
        }
        const settings::AppSettings s = settings::readStartupSettings(appDir());
        QVERIFY(s.leftHanded);
        QVERIFY(s.bassNote);
        QCOMPARE(s.strumSpeed, -123);
        // And the next window starts that way.
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->fretboard().leftHanded());
        QVERIFY(w->fretboardPanel().sbtnLeftHanded->isChecked());
        QCOMPARE(w->fretboardPanel().sbStrumSpeed->value(), -123);
        QVERIFY(w->close());
        QFile::remove(m_dir.filePath("Kq.ini"));
    }

    void aRefusedSettingsWriteIsReportedAndTheWindowStillCloses()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Kq.ini"));  // a folder where the file should go
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir.path().toStdString() + "/", &prompter);
        w.show();
        QVERIFY(w.close());
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Unable to write to " + dir.path().toStdString() + "/Kq.ini"}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
