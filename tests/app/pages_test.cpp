#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "ScriptedPrompter.h"
#include "app/ChordFinderController.h"
#include "app/ChordPageController.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/PrintPageController.h"
#include "app/ScalesPageController.h"
#include "app/TdlgBeginFret.h"
#include "app/TfrmMain.h"
#include "app/UpDown.h"
#include "pages/RecordConversions.h"
#include "theory/ChordData.h"
#include "theory/ScaleData.h"

using namespace strumox;
using namespace strumox::app;
using namespace strumox::fretboard;
using pages::Page;
using session::Answer;
using pages::Placement;
using pages::Cell;

namespace {

// Centre of a cell's diagram on a page picture.
QPoint cellPoint(Page page, Cell c)
{
    const pages::PixelPoint o = pages::diagramOrigin(page, c);
    return {o.x + 52, o.y + 60};
}

void press(GridPageController& page, Page kind, Cell c, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(page.picture(), button, Qt::NoModifier, cellPoint(kind, c));
}

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;   // a program directory with the generated data files
    QTemporaryDir m_empty;  // one without

    std::string dataDir() const { return m_data.path().toStdString() + "/"; }

    std::unique_ptr<TfrmMain> makeWindow(testsupport::ScriptedPrompter& prompter, const std::string& dir)
    {
        auto w = std::make_unique<TfrmMain>(dir, &prompter);
        w->show();
        return w;
    }

    void findChord(TfrmMain& w, int key, int family, int type, const QString& caption)
    {
        w.finder().chooseKey(key);
        w.finder().chooseChordType(family, type, caption);
        w.finder().showChords();
    }

private slots:
    void initTestCase()
    {
        theory::writeChordDataFiles(dataDir());
        theory::writeScaleFile(dataDir());
    }

    // --- chord finder ----------------------------------------------------------------------
    void showChordsAddsSetsUpToFive()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(w->setActivePage(Page::ChordDesign));
        findChord(*w, 2, 2, 1, "m7");
        QCOMPARE(w->activePage(), Page::Chords);
        const auto& model = w->chordPage().model();
        QCOMPARE(model.setCount(), 1);
        QCOMPARE(model.selected, (Cell{0, 0}));
        QCOMPARE(QString::fromStdString(model.selection.name), QString("m7"));
        QCOMPARE(int(model.selection.root), 2);
        QCOMPARE(int(model.selection.bass), 26);
        for (int c = 0; c < 6; ++c)
            QVERIFY(!model.slot(c, 0).isEmpty());
        QCOMPARE(w->fretboardPanel().editChordNameUser->text(), QString("D m7"));
        QVERIFY(!w->fretboardPanel().upDown[0]->isEnabled());

        for (int i = 1; i < 5; ++i)
            w->finder().showChords();
        QCOMPARE(model.setCount(), 5);
        QVERIFY(prompter.asked.empty());
        w->finder().showChords();
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Maximum is 5 sets of chords. Clear the Chord page."}));
        QCOMPARE(model.setCount(), 5);

        w->erasePage();
        QCOMPARE(model.setCount(), 0);
        QVERIFY(model.selection.isEmpty());
        QCOMPARE(w->windowTitle(), QString("Strumox!"));
        w->finder().showChords();
        QCOMPARE(model.setCount(), 1);
    }

    void aKeyWithoutAChordTypeShowsTheMajorChords()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        w->finder().chooseKey(7);
        w->finder().showChords();
        QCOMPARE(w->findChild<QLineEdit*>("editChordName")->text(), QString("major"));
        QCOMPARE(QString::fromStdString(w->chordPage().model().selection.name), QString("major"));
        QCOMPARE(int(w->chordPage().model().selection.root), 7);
    }

    void noKeyMeansNothingHappens()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        w->finder().showChords();
        QCOMPARE(w->chordPage().model().setCount(), 0);
        QVERIFY(prompter.asked.empty());
    }

    void missingDictionaryFilesAreReportedAndNothingChanges()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, m_empty.path().toStdString() + "/");
        findChord(*w, 0, 1, 2, "maj7");
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Could Not Find Chord Data Files."}));
        QCOMPARE(w->chordPage().model().setCount(), 0);
    }

    // --- Chord page ------------------------------------------------------------------------
    void chordPageClicksSelectOnlyFilledSets()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        findChord(*w, 0, 1, 0, "major");
        ChordPageController& page = w->chordPage();
        press(page, Page::Chords, Cell{2, 1});  // a set that is not there
        QCOMPARE(page.model().selected, (Cell{0, 0}));
        press(page, Page::Chords, Cell{2, 0});
        QCOMPARE(page.model().selected, (Cell{2, 0}));
        QVERIFY(page.model().selection == page.model().slot(2, 0));
        const FretboardScene shown = w->fretboard().display().scene();
        QCOMPARE(int(shown.glyphs.size()), 6);
        QCOMPARE(shown.glyphs[0].fret, int(page.model().slot(2, 0).frets[0]));
    }

    // --- Print page ------------------------------------------------------------------------
    void sendToPrintPagePlacesWhereTheUserClicks()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        findChord(*w, 9, 2, 0, "minor");
        ChordPageController& chords = w->chordPage();
        press(chords, Page::Chords, Cell{1, 0}, Qt::RightButton);
        QCOMPARE(chords.model().clicked, (Cell{1, 0}));
        chords.popmenuChords->close();
        chords.sendToPrintPage();
        QCOMPARE(w->activePage(), Page::Print);
        QCOMPARE(w->transfer().mode(Page::Print), Placement::Place);

        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{3, 2});
        const pages::PrintRecord& placed = print.model().cell(Cell{3, 2});
        QVERIFY(!placed.isEmpty());
        QCOMPARE(int(placed.isChord), 1);
        QVERIFY(pages::printToChord(placed).frets == chords.model().slot(1, 0).frets);
        QCOMPARE(print.model().selected, (Cell{3, 2}));
        QCOMPARE(w->transfer().mode(Page::Print), Placement::None);

        // A filled target asks first; No keeps waiting for a click, a right click gives up.
        w->setActivePage(Page::Chords);
        chords.sendToPrintPage();
        prompter.answers = {Answer::No};
        press(print, Page::Print, Cell{3, 2});
        QCOMPARE(prompter.asked.back(), std::string("Do you want to replace this diagram?"));
        QCOMPARE(w->transfer().mode(Page::Print), Placement::Place);
        press(print, Page::Print, Cell{0, 0}, Qt::RightButton);
        QCOMPARE(w->transfer().mode(Page::Print), Placement::None);
        QVERIFY(print.model().cell(Cell{0, 0}).isEmpty());
    }

    void anInterruptedMovePutsTheDiagramBack()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        findChord(*w, 0, 3, 0, "7");
        w->chordPage().model().clicked = Cell{0, 0};
        w->chordPage().sendToPrintPage();
        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{1, 1});
        const pages::PrintRecord before = print.model().cell(Cell{1, 1});

        print.model().clicked = Cell{1, 1};
        print.moveClicked();
        QVERIFY(print.model().cell(Cell{1, 1}).isEmpty());
        QCOMPARE(w->transfer().mode(Page::Print), Placement::Move);
        QVERIFY(w->setActivePage(Page::Chords));
        QVERIFY(print.model().cell(Cell{1, 1}) == before);

        // A completed move lands in the new cell and leaves the old one empty.
        QVERIFY(w->setActivePage(Page::Print));
        print.model().clicked = Cell{1, 1};
        print.moveClicked();
        press(print, Page::Print, Cell{4, 3});
        QVERIFY(print.model().cell(Cell{4, 3}) == before);
        QVERIFY(print.model().cell(Cell{1, 1}).isEmpty());
    }

    void deletingTheLastDiagramErasesThePrintPage()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        findChord(*w, 4, 1, 2, "maj7");
        w->chordPage().model().clicked = Cell{0, 0};
        w->chordPage().sendToPrintPage();
        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{2, 0});
        print.model().clicked = Cell{2, 0};
        prompter.answers = {Answer::No};
        print.deleteClicked();
        QVERIFY(!print.model().cell(Cell{2, 0}).isEmpty());
        prompter.answers = {Answer::Yes};
        print.deleteClicked();
        QCOMPARE(prompter.asked.back(), std::string("Do you want to erase this diagram?"));
        QVERIFY(!print.model().anyFilled());
        QVERIFY(print.model().selection.isEmpty());
        QCOMPARE(w->windowTitle(), QString("Strumox!"));
    }

    // --- scales ----------------------------------------------------------------------------
    void showScaleAddsARowAndShowsItOnTheNeck()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        w->finder().chooseKey(9);
        w->finder().chooseScale(10, "Minor Pentatonic");
        QCOMPARE(w->findChild<QPushButton*>("btnShowChords")->text(), QString("Show Scale"));
        w->fretboardPanel().editTuningName->clear();
        w->finder().showChords();
        QCOMPARE(w->activePage(), Page::Scales);
        const auto& model = w->scalesPage().model();
        QCOMPARE(model.rowCount(), 1);
        const pages::ScaleRecord& row = model.row(0);
        QCOMPARE(QString::fromStdString(row.name), QString("Minor Pentatonic"));
        QCOMPARE(QString::fromStdString(row.tuningName), QString(" E A D G B E"));
        QCOMPARE(int(row.root), 9);
        QVERIFY((row.beginFret == std::array<std::uint8_t, 6>{1, 4, 8, 12, 16, 20}));
        FretboardPanel& p = w->fretboardPanel();
        QCOMPARE(p.lblChordNameCaption->text(), QString("Scale Name:"));
        QCOMPARE(p.editChordNameUser->text(), QString("A Minor Pentatonic"));
        QCOMPARE(p.editNotes->text(), QString(" A C D E G"));
        QVERIFY(p.upDown[0]->isEnabled());
        // The first position starts at the nut: frets 0..4 of the five-fret span.
        for (const auto& g : w->fretboard().display().scene().glyphs)
            QVERIFY2(g.fret <= 4, qPrintable(QString("fret %1").arg(g.fret)));

        // The full fretboard shows the scale along the whole neck.
        w->fretboardPanel().sbtnShowFullScale->click();
        int highest = 0;
        for (const auto& g : w->fretboard().display().scene().glyphs)
            highest = std::max(highest, g.fret);
        QVERIFY(highest >= 20);
    }

    void aScaleSentBackFromThePrintPageLandsInTheFirstFreeRow()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        w->finder().chooseKey(0);
        w->finder().chooseScale(0, "Ionian (Major)");
        w->finder().showChords();
        ScalesPageController& scales = w->scalesPage();
        scales.model().clicked = Cell{2, 0};
        scales.sendToPrintPage();
        QCOMPARE(w->activePage(), Page::Print);
        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{0, 0});
        const pages::PrintRecord& cell = print.model().cell(Cell{0, 0});
        QCOMPARE(int(cell.isChord), 0);
        QCOMPARE(int(cell.baseFret), 8);  // the beginning fret of column 2

        print.model().clicked = Cell{0, 0};
        print.sendToScalePage();
        QCOMPARE(w->activePage(), Page::Scales);
        press(scales, Page::Scales, Cell{0, 4});
        QCOMPARE(scales.model().rowCount(), 2);
        QCOMPARE(QString::fromStdString(scales.model().row(1).name), QString("Ionian (Major)"));
        QCOMPARE(scales.model().selected, (Cell{0, 1}));
    }

    void beginningFretDialogAcceptsOneToTwenty()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        TdlgBeginFret& dlg = w->beginFretDialog();
        for (const char* bad : {"0", "21", "99"}) {
            dlg.lblPrompt->setStyleSheet("color: black;");
            dlg.meditBeginFret->setText(bad);
            dlg.tryAccept();
            QVERIFY2(dlg.lblPrompt->styleSheet().contains("red"), bad);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }

        w->finder().chooseKey(0);
        w->finder().chooseScale(9, "Major Pentatonic");
        w->finder().showChords();
        ScalesPageController& scales = w->scalesPage();
        scales.applyBeginningFret(Cell{0, 0}, 5);
        QCOMPARE(int(scales.model().row(0).beginFret[0]), 5);
        QCOMPARE(int(scales.model().selection.beginFret[0]), 5);
        // The selected position now starts at fret 5: no open strings, frets 5..9.
        for (const auto& g : w->fretboard().display().scene().glyphs)
            QVERIFY(g.fret >= 5 && g.fret <= 9);
    }

    void leftHandedRedrawsThePages()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        findChord(*w, 0, 1, 0, "major");
        const QImage right = w->chordPage().picture()->grabPicture();
        w->fretboardPanel().sbtnLeftHanded->click();
        const QImage left = w->chordPage().picture()->grabPicture();
        QVERIFY(right != left);
        QCOMPARE(w->activePage(), Page::Chords);
        QCOMPARE(w->fretboardPanel().editChordNameUser->text(), QString("C major"));
    }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
