#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <tuple>

#include "ScriptedPrompter.h"
#include "app/ChordFinderController.h"
#include "app/ChordPageController.h"
#include "app/DesignPageController.h"
#include "app/DesignPageView.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/MainMenus.h"
#include "app/PictureWidget.h"
#include "app/PrintPageController.h"
#include "app/ScalesPageController.h"
#include "app/TdlgBeginFret.h"
#include "app/TfrmMain.h"
#include "app/UpDown.h"
#include "fretboard/FretboardGeometry.h"
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

// Right-clicks a cell, which must open the page's popup, then clicks the popup's item with the
// mouse; the item's work (a dialog included) is done when this returns.
[[nodiscard]] bool chooseFromPopup(GridPageController& page, Page kind, Cell c, QMenu* popup, const char* item)
{
    press(page, kind, c, Qt::RightButton);
    if (!popup->isVisible()) {
        qWarning("the right click opened no popup");
        return false;
    }
    auto* action = popup->findChild<QAction*>(item);
    if (!action || !action->isEnabled()) {
        qWarning("%s is not an enabled item of the popup", item);
        popup->close();
        return false;
    }
    QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, popup->actionGeometry(action).center());
    if (popup->isVisible()) {
        qWarning("the popup stayed open");
        popup->close();
        return false;
    }
    return true;
}

[[nodiscard]] bool clickTab(TfrmMain& w, Page page)
{
    QTabBar* bar = w.findChild<QTabWidget*>("PageControl1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(static_cast<int>(page)).center());
    return w.activePage() == page;
}

// A menu bar item by its caption, looked for in the named menu and its submenus.
QAction* itemIn(QMenu* menu, const QString& caption)
{
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            if (QAction* found = itemIn(a->menu(), caption))
                return found;
        } else if (a->text() == caption) {
            return a;
        }
    }
    return nullptr;
}

[[nodiscard]] bool chooseFromMenuBar(TfrmMain& w, const char* menu, const QString& caption)
{
    auto* m = w.menuBar()->findChild<QMenu*>(menu);
    QAction* a = m ? itemIn(m, caption) : nullptr;
    if (!a)
        return false;
    a->trigger();
    return true;
}

void clickShowChords(TfrmMain& w) { QTest::mouseClick(w.findChild<QPushButton*>("btnShowChords"), Qt::LeftButton); }

// Runs `answer` once the beginning-fret dialog is up, inside the dialog's own event loop; a
// dialog the answer left open is cancelled so that the test cannot hang, and reported.
void whenBeginFretDialogOpens(TdlgBeginFret& dlg, std::function<void()> answer, bool& leftOpen)
{
    leftOpen = false;
    auto* poll = new QTimer(&dlg);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, &dlg, [&dlg, poll, answer, &leftOpen] {
        if (!dlg.isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer();
        if (dlg.isVisible()) {
            leftOpen = true;
            dlg.reject();
        }
    });
    poll->start();
}

QAbstractButton* dialogButton(TdlgBeginFret& dlg, QDialogButtonBox::StandardButton which)
{
    return dlg.findChild<QDialogButtonBox*>()->button(which);
}

// Opens a menu of the menu bar by clicking its title, then clicks the named item in it.
[[nodiscard]] bool clickMenuItem(TfrmMain& w, const char* menuName, const char* itemName)
{
    QMenuBar* bar = w.menuBar();
    auto* menu = bar->findChild<QMenu*>(menuName);
    auto* item = menu ? menu->findChild<QAction*>(itemName) : nullptr;
    if (!item)
        return false;
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 1000)) {
        qWarning("%s did not open", menuName);
        return false;
    }
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(item).center());
    if (menu->isVisible()) {
        qWarning("%s stayed open", menuName);
        menu->close();
        return false;
    }
    return true;
}

// Pixels of the red selection frame's outline around `c` that are red, out of how many.
std::pair<int, int> redOnFrame(const QImage& picture, Page page, Cell c)
{
    const pages::PixelRect r = pages::selectionRect(page, c);
    int red = 0, total = 0;
    auto look = [&](int x, int y) {
        if (!picture.rect().contains(x, y))
            return;  // the last row's frame runs along the picture's bottom edge
        ++total;
        red += picture.pixelColor(x, y) == QColor(Qt::red) ? 1 : 0;
    };
    // A one-pixel pen outlines the rectangle on both of its corner points' rows and columns.
    for (int x = r.left; x <= r.right; ++x) {
        look(x, r.top);
        look(x, r.bottom);
    }
    for (int y = r.top + 1; y < r.bottom; ++y) {
        look(r.left, y);
        look(r.right, y);
    }
    return {red, total};
}

bool framed(GridPageController& page, Page kind, Cell c)
{
    const auto [red, total] = redOnFrame(page.picture()->grabPicture(), kind, c);
    return red == total;
}

// The cells of the page whose frame outline shows any red at all.
std::vector<Cell> cellsWithFrameRed(GridPageController& page, Page kind)
{
    const QImage picture = page.picture()->grabPicture();
    std::vector<Cell> out;
    for (int r = 0; r < pages::kGridRows; ++r)
        for (int c = 0; c < pages::kGridColumns; ++c)
            if (redOnFrame(picture, kind, Cell{c, r}).first > 0)
                out.push_back(Cell{c, r});
    return out;
}

// What the fretboard picture shows, in a form two moments can be compared by.
std::vector<std::tuple<int, int, int, std::uint32_t>> sceneOf(const FretboardController& fb)
{
    std::vector<std::tuple<int, int, int, std::uint32_t>> out;
    for (const auto& g : fb.display().scene().glyphs)
        out.emplace_back(0, g.string, g.fret, std::uint32_t(g.cellX));
    for (const auto& q : fb.display().scene().squares)
        out.emplace_back(1, q.string, q.fret, q.rgb);
    std::sort(out.begin(), out.end());
    return out;
}

// The frets the picture marks with a glyph, by string (-1 none).
std::array<int, 6> glyphFrets(const FretboardController& fb)
{
    std::array<int, 6> frets;
    frets.fill(-1);
    for (const auto& g : fb.display().scene().glyphs)
        frets[size_t(g.string)] = g.fret;
    return frets;
}

std::array<int, 6> fretsOf(const pages::DiagramRecord& d)
{
    std::array<int, 6> frets;
    for (size_t s = 0; s < 6; ++s)
        frets[s] = d.frets[s];
    return frets;
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

    // Key menu, chord-type menu, then the Show Chords button.
    [[nodiscard]] bool findChord(TfrmMain& w, const char* keyItem, const char* typeMenu, const QString& caption)
    {
        QAction* key = w.menuBar()->findChild<QAction*>(keyItem);
        if (!key)
            return false;
        key->trigger();
        if (!chooseFromMenuBar(w, typeMenu, caption))
            return false;
        clickShowChords(w);
        return true;
    }

    [[nodiscard]] bool findScale(TfrmMain& w, const char* keyItem, const QString& scale)
    {
        QAction* key = w.menuBar()->findChild<QAction*>(keyItem);
        if (!key)
            return false;
        key->trigger();
        return chooseFromMenuBar(w, "menuScale", scale);
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
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QVERIFY(findChord(*w, "mnuD", "menuMinor", "m7"));
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
            clickShowChords(*w);
        QCOMPARE(model.setCount(), 5);
        QVERIFY(prompter.asked.empty());
        clickShowChords(*w);
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Maximum is 5 sets of chords. Clear the Chord page."}));
        QCOMPARE(model.setCount(), 5);

        QTest::mouseClick(w->findChild<QToolButton*>("sbtnErase"), Qt::LeftButton);
        QCOMPARE(model.setCount(), 0);
        QVERIFY(model.selection.isEmpty());
        QCOMPARE(w->windowTitle(), QString("Strumox!"));
        clickShowChords(*w);
        QCOMPARE(model.setCount(), 1);
    }

    void aKeyWithoutAChordTypeShowsTheMajorChords()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        w->menuBar()->findChild<QAction*>("mnuG")->trigger();
        clickShowChords(*w);
        QCOMPARE(w->findChild<QLineEdit*>("editChordName")->text(), QString("major"));
        QCOMPARE(QString::fromStdString(w->chordPage().model().selection.name), QString("major"));
        QCOMPARE(int(w->chordPage().model().selection.root), 7);
    }

    void noKeyMeansNothingHappens()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        clickShowChords(*w);
        QCOMPARE(w->chordPage().model().setCount(), 0);
        QVERIFY(prompter.asked.empty());
    }

    void missingDictionaryFilesAreReportedAndNothingChanges()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, m_empty.path().toStdString() + "/");
        QVERIFY(findChord(*w, "mnuC", "menuMajor", "maj7"));
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Could Not Find Chord Data Files."}));
        QCOMPARE(w->chordPage().model().setCount(), 0);
    }

    // --- Chord page ------------------------------------------------------------------------
    void chordPageClicksSelectOnlyFilledSets()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuC", "menuMajor", "major"));
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

    // The popup's Show Arpeggio acts as a left click on the diagram under the mouse followed by a
    // press of the Show Arpeggio button: the neck never shows one diagram's arpeggio over another's
    // fingering.
    void popupShowArpeggioFirstSelectsAndShowsTheDiagramUnderTheMouse()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuC", "menuMajor", "major"));
        ChordPageController& page = w->chordPage();
        FretboardController& fb = w->fretboard();
        QToolButton* arp = w->fretboardPanel().sbShowArp;
        const Cell first{0, 0}, target{3, 0}, other{5, 0};
        QVERIFY(fretsOf(page.model().slot(target)) != fretsOf(page.model().slot(first)));

        QVERIFY(chooseFromPopup(page, Page::Chords, target, page.popmenuChords, "pmenuChordsArpeggio"));
        QCOMPARE(page.model().selected, target);
        QVERIFY(page.model().selection == page.model().slot(target));
        QVERIFY(arp->isChecked());
        QCOMPARE(glyphFrets(fb), fretsOf(page.model().slot(target)));
        QVERIFY(!fb.display().scene().squares.empty());
        QVERIFY(framed(page, Page::Chords, target));
        QCOMPARE(cellsWithFrameRed(page, Page::Chords), std::vector<Cell>{target});
        const auto byPopup = sceneOf(fb);
        const QString nameByPopup = w->fretboardPanel().editChordNameUser->text();

        // The same by hand: release the button, click the first diagram, then the target, press.
        QTest::mouseClick(arp, Qt::LeftButton);
        press(page, Page::Chords, first);
        press(page, Page::Chords, target);
        QTest::mouseClick(arp, Qt::LeftButton);
        QVERIFY(arp->isChecked());
        QCOMPARE(sceneOf(fb), byPopup);
        QCOMPARE(w->fretboardPanel().editChordNameUser->text(), nameByPopup);

        // With the arpeggio already on, the item on another diagram shows that one and releases
        // the button, as the click and the press would.
        QVERIFY(chooseFromPopup(page, Page::Chords, other, page.popmenuChords, "pmenuChordsArpeggio"));
        QCOMPARE(page.model().selected, other);
        QVERIFY(!arp->isChecked());
        QCOMPARE(glyphFrets(fb), fretsOf(page.model().slot(other)));
        QVERIFY(fb.display().scene().squares.empty());

        // Other items of the popup do not select.
        QVERIFY(chooseFromPopup(page, Page::Chords, first, page.popmenuChords, "pmenuChordsToPrint"));
        QCOMPARE(page.model().selected, other);
    }

    // --- Print page ------------------------------------------------------------------------
    void sendToPrintPagePlacesWhereTheUserClicks()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuA", "menuMinor", "minor"));
        ChordPageController& chords = w->chordPage();
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{1, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        QCOMPARE(chords.model().clicked, (Cell{1, 0}));
        QCOMPARE(chords.model().selected, (Cell{0, 0}));  // a right click does not select
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
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{1, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        QCOMPARE(w->activePage(), Page::Print);
        prompter.answers = {Answer::No};
        press(print, Page::Print, Cell{3, 2});
        QCOMPARE(prompter.asked.back(), std::string("Do you want to replace this diagram?"));
        QCOMPARE(w->transfer().mode(Page::Print), Placement::Place);
        press(print, Page::Print, Cell{0, 0}, Qt::RightButton);
        QCOMPARE(w->transfer().mode(Page::Print), Placement::None);
        QVERIFY(print.model().cell(Cell{0, 0}).isEmpty());

        // Deleting the selected diagram puts the one selected next on the neck.
        auto neck = [&] {
            std::vector<std::tuple<int, int, int>> out;
            for (const auto& g : w->fretboard().display().scene().glyphs)
                out.emplace_back(g.string, g.fret, g.cellX);
            return out;
        };
        const auto first = neck();
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{4, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        press(print, Page::Print, Cell{0, 0});
        QCOMPARE(print.model().selected, (Cell{0, 0}));
        QVERIFY(neck() != first);
        prompter.answers = {Answer::Yes};
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{0, 0}, print.popmenuPrint, "pmenuPrintDelete"));
        QVERIFY(print.model().cell(Cell{0, 0}).isEmpty());
        QCOMPARE(print.model().selected, (Cell{3, 2}));
        QVERIFY(neck() == first);
    }

    void sendToChordDesignPlacesOnTheDesignStrip()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuA", "menuMinor", "minor"));
        ChordPageController& chords = w->chordPage();
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{2, 0}, chords.popmenuChords, "pmenuChordsToDesign"));
        QCOMPARE(w->activePage(), Page::ChordDesign);
        DesignPageController& design = w->designPage();
        DesignPageView& v = design.designView();
        auto pressSlot = [&](int k, Qt::MouseButton b) {
            QTest::mouseClick(v.imgChordDesign, b, Qt::NoModifier, QPoint(76 * k + 10, 60));
        };
        pressSlot(3, Qt::LeftButton);
        QVERIFY(design.group().slot(3) == chords.model().slot(2, 0));
        QCOMPARE(design.group().selected(), 3);
        QVERIFY(design.work() == design.group().slot(3));
        QCOMPARE(v.editRoot->text(), QString("A"));
        QCOMPARE(w->transfer().mode(Page::ChordDesign), Placement::None);

        // Onto the same slot again: it asks, No keeps waiting, a right press gives up.
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{0, 0}, chords.popmenuChords, "pmenuChordsToDesign"));
        prompter.answers = {Answer::No};
        pressSlot(3, Qt::LeftButton);
        QCOMPARE(prompter.asked.back(), std::string("Do you want to replace this diagram?"));
        QVERIFY(design.group().slot(3) == chords.model().slot(2, 0));
        QCOMPARE(w->transfer().mode(Page::ChordDesign), Placement::Place);
        pressSlot(0, Qt::RightButton);
        QCOMPARE(w->transfer().mode(Page::ChordDesign), Placement::None);
        QVERIFY(!design.group().filled(0));

        // From the Print page a chord cell goes the same way, a scale cell cannot.
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{1, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{0, 0});
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{0, 0}, print.popmenuPrint, "pmenuPrintToDesign"));
        QCOMPARE(w->activePage(), Page::ChordDesign);
        pressSlot(5, Qt::LeftButton);
        QVERIFY(design.group().slot(5).frets == chords.model().slot(1, 0).frets);
    }

    void anInterruptedMovePutsTheDiagramBack()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuC", "menuDominant", "7"));
        ChordPageController& chords = w->chordPage();
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{0, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{1, 1});
        const pages::PrintRecord before = print.model().cell(Cell{1, 1});
        QVERIFY(!before.isEmpty());

        QVERIFY(chooseFromPopup(print, Page::Print, Cell{1, 1}, print.popmenuPrint, "pmenuPrintMove"));
        QVERIFY(print.model().cell(Cell{1, 1}).isEmpty());
        QCOMPARE(w->transfer().mode(Page::Print), Placement::Move);
        QCOMPARE(print.picture()->cursor().shape(), Qt::SizeAllCursor);
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(print.model().cell(Cell{1, 1}) == before);
        QCOMPARE(w->transfer().mode(Page::Print), Placement::None);

        // A right click gives the move up as well: the diagram stays where it was.
        QVERIFY(clickTab(*w, Page::Print));
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{1, 1}, print.popmenuPrint, "pmenuPrintMove"));
        press(print, Page::Print, Cell{4, 3}, Qt::RightButton);
        QVERIFY(print.model().cell(Cell{1, 1}) == before);
        QVERIFY(print.model().cell(Cell{4, 3}).isEmpty());
        QVERIFY(!print.popmenuPrint->isVisible());

        // A completed move lands in the new cell and leaves the old one empty.
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{1, 1}, print.popmenuPrint, "pmenuPrintMove"));
        press(print, Page::Print, Cell{4, 3});
        QVERIFY(print.model().cell(Cell{4, 3}) == before);
        QVERIFY(print.model().cell(Cell{1, 1}).isEmpty());
        QCOMPARE(w->transfer().mode(Page::Print), Placement::None);
    }

    // The red frame goes with a moved diagram: none marks the emptied cell while the diagram is
    // carried; it lands with the diagram, or comes back with it when the move is given up.
    void theSelectionFrameFollowsAMovedDiagram()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuG", "menuMajor", "major"));
        ChordPageController& chords = w->chordPage();
        PrintPageController& print = w->printPage();
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{0, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        press(print, Page::Print, Cell{0, 0});
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{2, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        press(print, Page::Print, Cell{1, 1});
        QCOMPARE(print.model().selected, (Cell{1, 1}));
        QCOMPARE(cellsWithFrameRed(print, Page::Print), (std::vector<Cell>{Cell{1, 1}}));
        QVERIFY(framed(print, Page::Print, Cell{1, 1}));

        // The selected diagram lifted: no frame anywhere until it is put down.
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{1, 1}, print.popmenuPrint, "pmenuPrintMove"));
        QVERIFY(print.model().cell(Cell{1, 1}).isEmpty());
        QCOMPARE(cellsWithFrameRed(print, Page::Print), std::vector<Cell>{});
        press(print, Page::Print, Cell{4, 3});
        QCOMPARE(print.model().selected, (Cell{4, 3}));
        QCOMPARE(cellsWithFrameRed(print, Page::Print), (std::vector<Cell>{Cell{4, 3}}));
        QVERIFY(framed(print, Page::Print, Cell{4, 3}));

        // Given up with a right click: the diagram and its frame are back where they were.
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{4, 3}, print.popmenuPrint, "pmenuPrintMove"));
        QCOMPARE(cellsWithFrameRed(print, Page::Print), std::vector<Cell>{});
        press(print, Page::Print, Cell{2, 2}, Qt::RightButton);
        QVERIFY(!print.model().cell(Cell{4, 3}).isEmpty());
        QCOMPARE(cellsWithFrameRed(print, Page::Print), (std::vector<Cell>{Cell{4, 3}}));

        // A diagram that is not the selected one moves without the frame; it marks the landing.
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{0, 0}, print.popmenuPrint, "pmenuPrintMove"));
        QCOMPARE(cellsWithFrameRed(print, Page::Print), (std::vector<Cell>{Cell{4, 3}}));
        press(print, Page::Print, Cell{5, 4});
        QCOMPARE(cellsWithFrameRed(print, Page::Print), (std::vector<Cell>{Cell{5, 4}}));
        QVERIFY(framed(print, Page::Print, Cell{5, 4}));
    }

    void deletingTheLastDiagramErasesThePrintPage()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuE", "menuMajor", "maj7"));
        ChordPageController& chords = w->chordPage();
        QVERIFY(chooseFromPopup(chords, Page::Chords, Cell{0, 0}, chords.popmenuChords, "pmenuChordsToPrint"));
        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{2, 0});
        prompter.answers = {Answer::No};
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{2, 0}, print.popmenuPrint, "pmenuPrintDelete"));
        QCOMPARE(prompter.asked.back(), std::string("Do you want to erase this diagram?"));
        QVERIFY(!print.model().cell(Cell{2, 0}).isEmpty());
        prompter.answers = {Answer::Yes};
        QVERIFY(chooseFromPopup(print, Page::Print, Cell{2, 0}, print.popmenuPrint, "pmenuPrintDelete"));
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
        QVERIFY(findScale(*w, "mnuA", "Minor Pentatonic"));
        QCOMPARE(w->findChild<QPushButton*>("btnShowChords")->text(), QString("Show Scale"));
        QLineEdit* tuningName = w->fretboardPanel().editTuningName;
        QTest::mouseClick(tuningName, Qt::LeftButton);
        QTest::keyClick(tuningName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(tuningName, Qt::Key_Delete);
        QCOMPARE(tuningName->text(), QString());
        clickShowChords(*w);
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
        QTest::mouseClick(w->fretboardPanel().sbtnShowFullScale, Qt::LeftButton);
        int highest = 0;
        for (const auto& g : w->fretboard().display().scene().glyphs)
            highest = std::max(highest, g.fret);
        QVERIFY(highest >= 20);
    }

    void aScaleSentBackFromThePrintPageLandsInTheFirstFreeRow()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findScale(*w, "mnuC", "Ionian (Major)"));
        clickShowChords(*w);
        ScalesPageController& scales = w->scalesPage();
        QVERIFY(chooseFromPopup(scales, Page::Scales, Cell{2, 0}, scales.popmenuScales, "pmenu5ToPrint"));
        QCOMPARE(w->activePage(), Page::Print);
        PrintPageController& print = w->printPage();
        press(print, Page::Print, Cell{0, 0});
        const pages::PrintRecord& cell = print.model().cell(Cell{0, 0});
        QCOMPARE(int(cell.isChord), 0);
        QCOMPARE(int(cell.baseFret), 8);  // the beginning fret of column 2

        QVERIFY(chooseFromPopup(print, Page::Print, Cell{0, 0}, print.popmenuPrint, "pmenuPrintToScales"));
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
        QVERIFY(findScale(*w, "mnuC", "Major Pentatonic"));
        clickShowChords(*w);
        ScalesPageController& scales = w->scalesPage();
        TdlgBeginFret& dlg = w->beginFretDialog();
        bool leftOpen = false;

        // Each refused entry turns the prompt red and keeps the dialog up; Cancel then changes nothing.
        for (const char* bad : {"0", "21", "99"}) {
            QString offered;
            bool red = false;
            bool stillUp = false;
            whenBeginFretDialogOpens(dlg, [&] {
                offered = dlg.meditBeginFret->text();
                QTest::keyClicks(dlg.meditBeginFret, bad);  // over the selected fret
                QTest::mouseClick(dialogButton(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
                red = dlg.lblPrompt->styleSheet().contains("red");
                stillUp = dlg.isVisible();
                QTest::mouseClick(dialogButton(dlg, QDialogButtonBox::Cancel), Qt::LeftButton);
            }, leftOpen);
            QVERIFY(chooseFromPopup(scales, Page::Scales, Cell{0, 0}, scales.popmenuScales, "pmenu5StartFret"));
            QVERIFY2(!leftOpen, bad);
            QCOMPARE(offered, QString("1"));
            QVERIFY2(red, bad);
            QVERIFY2(stillUp, bad);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(int(scales.model().row(0).beginFret[0]), 1);
        }

        whenBeginFretDialogOpens(dlg, [&] {
            QVERIFY(!dlg.lblPrompt->styleSheet().contains("red"));  // a new question starts clean
            QTest::keyClicks(dlg.meditBeginFret, "5");
            QTest::mouseClick(dialogButton(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
        }, leftOpen);
        QVERIFY(chooseFromPopup(scales, Page::Scales, Cell{0, 0}, scales.popmenuScales, "pmenu5StartFret"));
        QVERIFY(!leftOpen);
        QCOMPARE(int(scales.model().row(0).beginFret[0]), 5);
        QCOMPARE(int(scales.model().selection.beginFret[0]), 5);
        // The selected position now starts at fret 5: no open strings, frets 5..9.
        for (const auto& g : w->fretboard().display().scene().glyphs)
            QVERIFY(g.fret >= 5 && g.fret <= 9);
    }

    // --- flats and sharps -------------------------------------------------------------------
    // The switch renames every note the window shows, all at once, and changes nothing else.
    void flatsAndSharpsRenameTheShownChordAndScale()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        FretboardPanel& p = w->fretboardPanel();
        FretboardController& fb = w->fretboard();
        QVERIFY(findChord(*w, "mnuDb", "menuMinor", "m7"));
        ChordPageController& chords = w->chordPage();
        press(chords, Page::Chords, Cell{2, 0});
        QCOMPARE(p.editChordNameUser->text(), QString("Db m7"));
        QCOMPARE(p.editNotes->text(), QString(" Db E Ab B"));
        const pages::ChordPageModel chordsBefore = chords.model();
        const auto sceneBefore = sceneOf(fb);
        const QImage flatPage = chords.picture()->grabPicture();

        QVERIFY(clickMenuItem(*w, "menuOptions", "mnuFlatSharp"));
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Sharps"));
        QCOMPARE(p.editChordNameUser->text(), QString("C# m7"));
        QCOMPARE(p.editNotes->text(), QString(" C# E G# B"));
        QCOMPARE(sceneOf(fb), sceneBefore);
        QCOMPARE(chords.model().selected, chordsBefore.selected);
        QVERIFY(chords.model().selection == chordsBefore.selection);
        QVERIFY(chords.picture()->grabPicture() != flatPage);  // the set header names C#

        QVERIFY(clickMenuItem(*w, "menuOptions", "mnuFlatSharp"));
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Flats"));
        QCOMPARE(p.editChordNameUser->text(), QString("Db m7"));
        QCOMPARE(p.editNotes->text(), QString(" Db E Ab B"));
        QCOMPARE(sceneOf(fb), sceneBefore);
        QVERIFY(chords.picture()->grabPicture() == flatPage);

        // A scale: its name and notes on the panel and on the page.
        QVERIFY(findScale(*w, "mnuEb", "Ionian (Major)"));
        clickShowChords(*w);
        QCOMPARE(w->activePage(), Page::Scales);
        QCOMPARE(p.editChordNameUser->text(), QString("Eb Ionian (Major)"));
        QCOMPARE(p.editNotes->text(), QString(" Eb F G Ab Bb C D"));
        const auto scaleScene = sceneOf(fb);
        const QImage flatScales = w->scalesPage().picture()->grabPicture();

        QVERIFY(clickMenuItem(*w, "menuOptions", "mnuFlatSharp"));
        QCOMPARE(p.editChordNameUser->text(), QString("D# Ionian (Major)"));
        QCOMPARE(p.editNotes->text(), QString(" D# F G G# A# C D"));
        QCOMPARE(sceneOf(fb), scaleScene);
        QCOMPARE(w->scalesPage().model().selected, (Cell{0, 0}));
        QVERIFY(w->scalesPage().picture()->grabPicture() != flatScales);
    }

    // On the Chord Design page the name is made of the root and bass controls and the typed
    // suffix; the switch spells it anew from those.
    void flatsAndSharpsRenameTheDesignedSlashChord()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(clickTab(*w, Page::ChordDesign));
        FretboardPanel& p = w->fretboardPanel();
        const HandLayout hand = HandLayout::forHand(false);
        auto fret = [&](int string, int at, Qt::MouseButton button) {
            const QPoint pt(hand.fretX[size_t(at)] + 6, kStringTop[size_t(string)] + 6);
            QTest::mouseMove(p.imgFretboard, pt);
            QTest::mouseClick(p.imgFretboard, button, Qt::NoModifier, pt);
        };
        fret(4, 1, Qt::RightButton);  // Bb on the A string, the root
        fret(3, 3, Qt::LeftButton);
        fret(2, 3, Qt::LeftButton);
        auto* bassUp = w->designPage().designView().udBass->findChild<QToolButton*>("btnUp");
        QVERIFY(bassUp);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(bassUp, Qt::LeftButton);  // Bb -> B -> C -> Db
        QCOMPARE(p.editChordNameUser->text(), QString("Bb  /Db"));
        const auto scene = sceneOf(w->fretboard());

        QVERIFY(clickMenuItem(*w, "menuOptions", "mnuFlatSharp"));
        QCOMPARE(p.editChordNameUser->text(), QString("A#  /C#"));
        QCOMPARE(w->designPage().designView().editBass->text(), QString("C#"));
        QCOMPARE(sceneOf(w->fretboard()), scene);

        QTest::mouseClick(p.editChordNameUser, Qt::LeftButton);
        QTest::keyClick(p.editChordNameUser, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(p.editChordNameUser, "A#m7");
        QCOMPARE(QString::fromStdString(w->designPage().work().name), QString("m7"));
        QVERIFY(clickMenuItem(*w, "menuOptions", "mnuFlatSharp"));
        QCOMPARE(p.editChordNameUser->text(), QString("Bb m7 /Db"));
        QCOMPARE(int(w->designPage().work().root), 10);
    }

    void leftHandedRedrawsThePages()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter, dataDir());
        QVERIFY(findChord(*w, "mnuC", "menuMajor", "major"));
        const QImage right = w->chordPage().picture()->grabPicture();
        QTest::mouseClick(w->fretboardPanel().sbtnLeftHanded, Qt::LeftButton);
        const QImage left = w->chordPage().picture()->grabPicture();
        QVERIFY(right != left);
        QCOMPARE(w->activePage(), Page::Chords);
        QCOMPARE(w->fretboardPanel().editChordNameUser->text(), QString("C major"));
    }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
