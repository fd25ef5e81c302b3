// The PlayPage as a guitarist uses it: chords sent from the Chords page and placed by clicks
// (Ctrl keeps placing, Alt inserts), measures cut and moved from the popup, Undo, the Time
// Signature and page buttons, slots dragged onto other slots, and the Repeat Markers dialog.
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "ScriptedPrompter.h"
#include "app/ChordPageController.h"
#include "app/DesignPageController.h"
#include "app/DesignPageView.h"
#include "app/PrintPageController.h"
#include "app/FretboardPanel.h"
#include "app/PlayPageController.h"
#include "app/PlayPageView.h"
#include "app/TdlgRepeat.h"
#include "app/TfrmMain.h"
#include "app/UpDown.h"
#include "theory/ChordData.h"

using namespace strumox;
using namespace strumox::app;
using pages::Cell;
using pages::Page;
using pages::PlayPage;
using session::Answer;

namespace {

QPoint slotPoint(Cell c)
{
    const pages::PixelPoint o = PlayPage::diagramAt(c);
    return {o.x + 29, o.y + 30};
}

void click(PlayPageController& page, Cell c, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
{
    QTest::mouseClick(page.picture(), b, m, slotPoint(c));
}

// Right-clicks, then clicks the popup's item with the mouse; false (and a warning) when the popup
// did not open or the item is not enabled.
[[nodiscard]] bool choose(QWidget* picture, QPoint at, QMenu* popup, const char* item)
{
    QTest::mouseClick(picture, Qt::RightButton, Qt::NoModifier, at);
    auto* action = popup->findChild<QAction*>(item);
    if (!popup->isVisible() || !action || !action->isEnabled()) {
        qWarning("%s is not an enabled item of an open popup", item);
        popup->close();
        return false;
    }
    QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, popup->actionGeometry(action).center());
    return !popup->isVisible();
}

[[nodiscard]] bool choose(PlayPageController& page, Cell c, const char* item)
{
    return choose(page.picture(), slotPoint(c), page.popmenuPlayPage, item);
}

// Runs `answer` inside the dialog's own loop once it is up; a dialog left open is cancelled.
void whenOpen(QDialog& dlg, std::function<void()> answer, bool& leftOpen)
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

// A slot dragged within the picture and let go at `at` (offscreen has no real drag).
void dragTo(PlayPageImage* picture, QPoint at, Qt::KeyboardModifiers m, bool drop = true)
{
    std::unique_ptr<QMimeData> data(PlayPageImage::slotMimeData());
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, m);
    QApplication::sendEvent(picture, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data.get(), Qt::LeftButton, m);
    QApplication::sendEvent(picture, &move);
    if (!drop)
        return;
    QDropEvent dropEvent(at, Qt::CopyAction, data.get(), Qt::LeftButton, m);
    QApplication::sendEvent(picture, &dropEvent);
    QCoreApplication::processEvents();
}

void clickTab(TfrmMain& w, Page page)
{
    QTabBar* bar = w.findChild<QTabWidget*>("PageControl1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(int(page)).center());
}

// The middle of a Chords or Print page cell.
QPoint cellPoint(Page page, Cell c)
{
    const pages::PixelPoint o = pages::diagramOrigin(page, c);
    return {o.x + 52, o.y + 60};
}

pages::DiagramRecord named(int k)
{
    pages::DiagramRecord d;
    d.empty = 0;
    d.name = "c" + std::to_string(k);
    return d;
}

// Slots 0..95 filled with chords of their own number.
PlayPage::Slots firstRowsFilled()
{
    PlayPage::Slots s{};
    for (int k = 0; k < 96; ++k)
        s[size_t(k)] = named(k);
    return s;
}

}  // namespace

class PlayPageTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_data;

    std::unique_ptr<TfrmMain> window(testsupport::ScriptedPrompter& prompter)
    {
        auto w = std::make_unique<TfrmMain>(m_data.path().toStdString() + "/", &prompter);
        w->show();
        return w;
    }

    // The window on the PlayPage with a page loaded as a file would load it.
    std::unique_ptr<TfrmMain> loaded(testsupport::ScriptedPrompter& prompter)
    {
        auto w = window(prompter);
        w->playPage().model().load(firstRowsFilled(), pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
        clickTab(*w, Page::PlayPage);
        return w;
    }

    QToolButton* toolbarButton(TfrmMain& w, const char* name) { return w.findChild<QToolButton*>(name); }

private slots:
    void initTestCase() { theory::writeChordDataFiles(m_data.path().toStdString() + "/"); }

    void sentChordsArePlacedCtrlKeepsPlacingAltInserts()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = window(prompter);
        w->menuBar()->findChild<QAction*>("mnuA")->trigger();
        QTest::mouseClick(w->findChild<QPushButton*>("btnShowChords"), Qt::LeftButton);
        ChordPageController& chords = w->chordPage();
        PlayPageController& page = w->playPage();
        const PlayPage& model = page.model();
        QToolButton* undo = toolbarButton(*w, "sbtnUndo");
        auto send = [&](int column) {
            clickTab(*w, Page::Chords);
            return choose(chords.picture(), cellPoint(Page::Chords, Cell{column, 0}), chords.popmenuChords,
                          "pmenuChordsToPlayPage");
        };
        const pages::DiagramRecord first = chords.model().slot(1, 0), second = chords.model().slot(0, 0);

        QVERIFY(send(1));
        QCOMPARE(w->activePage(), Page::PlayPage);
        QCOMPARE(model.mode(), PlayPage::Mode::Place);
        QVERIFY(!undo->isEnabled());
        click(page, Cell{2, 0});
        QVERIFY(model.slot(Cell{2, 0}) == first);
        QCOMPARE(model.mode(), PlayPage::Mode::None);
        QVERIFY(model.modified && undo->isEnabled());

        // Ctrl keeps the diagram for further clicks; the first click without it is the last.
        QVERIFY(send(1));
        click(page, Cell{3, 0}, Qt::LeftButton, Qt::ControlModifier);
        click(page, Cell{7, 0}, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(model.mode(), PlayPage::Mode::Place);
        click(page, Cell{0, 1});
        QCOMPARE(model.mode(), PlayPage::Mode::None);
        for (Cell c : {Cell{3, 0}, Cell{7, 0}, Cell{0, 1}})
            QVERIFY(model.slot(c) == first);

        // Alt inserts: the rest of the 4/4 measure moves one slot on, its last chord drops off.
        QVERIFY(send(0));
        click(page, Cell{2, 0}, Qt::LeftButton, Qt::AltModifier);
        QVERIFY(prompter.questions.empty());
        QVERIFY(model.slot(Cell{2, 0}) == second);
        QVERIFY(model.slot(Cell{3, 0}) == first && model.slot(Cell{4, 0}) == first);
        QVERIFY(model.slot(Cell{7, 0}).isEmpty());
        QVERIFY(model.slot(Cell{0, 1}) == first);

        // Over a chord it asks; No keeps waiting, a right press gives up.
        QVERIFY(send(0));
        prompter.answers = {Answer::No};
        click(page, Cell{3, 0});
        QCOMPARE(prompter.questions, std::vector<std::string>{"Do you want to replace this diagram?"});
        QVERIFY(model.slot(Cell{3, 0}) == first);
        QCOMPARE(model.mode(), PlayPage::Mode::Place);
        click(page, Cell{9, 9}, Qt::RightButton);
        QCOMPARE(model.mode(), PlayPage::Mode::None);
        QVERIFY(!page.popmenuPlayPage->isVisible());

        // Undo takes back the insert, once.
        QTest::mouseClick(undo, Qt::LeftButton);
        QVERIFY(model.slot(Cell{2, 0}) == first && model.slot(Cell{7, 0}) == first);
        QVERIFY(!undo->isEnabled());
    }

    void popupEnablingAndCutAndMoveMeasure()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = loaded(prompter);
        PlayPageController& page = w->playPage();
        const PlayPage& model = page.model();
        const PlayPage::Slots before = model.allSlots();

        // Over an empty slot the chord items are off, the measure items on; Play Chord is never on.
        QTest::mouseClick(page.picture(), Qt::RightButton, Qt::NoModifier, slotPoint(Cell{5, 10}));
        QVERIFY(page.popmenuPlayPage->isVisible());
        auto enabled = [&](const char* name) { return page.popmenuPlayPage->findChild<QAction*>(name)->isEnabled(); };
        for (const char* name : {"pmenuPlayPlay", "pmenuPlayToDesign", "pmenuPlayToPrint", "pmenuPlayDeleteChord",
                                 "pmenuPlayCutChord", "pmenuPlayCopyChord"})
            QVERIFY2(!enabled(name), name);
        for (const char* name : {"pmenuPlayInsertSpace", "pmenuPlayInsertMeasure", "pmenuPlayDeleteMeasure",
                                 "pmenuPlayCutMeasure", "pmenuPlayCopyMeasure", "pmenuPlayRepeat"})
            QVERIFY2(enabled(name), name);
        page.popmenuPlayPage->close();

        // Measure 2 (slots 8..15) cut from the popup and put on measure 14 (slots 104..111).
        QVERIFY(choose(page, Cell{1, 1}, "pmenuPlayCutMeasure"));
        QCOMPARE(model.mode(), PlayPage::Mode::MeasureMove);
        QVERIFY(!model.measureFilled(1));
        click(page, PlayPage::cellOf(106));
        QVERIFY(prompter.questions.empty());
        for (int i = 0; i < 8; ++i)
            QVERIFY(model.slot(104 + i) == before[size_t(8 + i)]);
        QVERIFY(!model.measureFilled(1));
        QCOMPARE(model.mode(), PlayPage::Mode::None);

        // Onto a filled measure it asks first.
        QVERIFY(choose(page, PlayPage::cellOf(104), "pmenuPlayCopyMeasure"));
        prompter.answers = {Answer::Yes};
        click(page, Cell{0, 0});
        QCOMPARE(prompter.questions, std::vector<std::string>{"Do you want to replace this measure?"});
        QVERIFY(model.slot(0) == before[8]);

        QTest::mouseClick(toolbarButton(*w, "sbtnUndo"), Qt::LeftButton);
        QVERIFY(model.slot(0) == before[0]);
        QVERIFY(model.slot(104) == before[8]);
    }

    void timeSignatureStartCursorAndPageButtons()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = loaded(prompter);
        PlayPageController& page = w->playPage();
        const PlayPage& model = page.model();
        const PlayPage::Slots before = model.allSlots();
        const QImage fourFour = page.picture()->grabPicture();

        // A double click on the second slot of a measure brings the red start cursor there; on
        // the third it does nothing.
        QTest::mouseDClick(page.picture(), Qt::LeftButton, Qt::NoModifier, slotPoint(Cell{9, 0}));
        QCOMPARE(model.startPosition(), (Cell{8, 0}));
        const pages::PixelPoint cursor = PlayPage::startCursorAt(Cell{8, 0});
        QCOMPARE(page.picture()->grabPicture().pixelColor(cursor.x + 3, cursor.y + 12).red(), 220);
        QTest::mouseDClick(page.picture(), Qt::LeftButton, Qt::NoModifier, slotPoint(Cell{2, 2}));
        QCOMPARE(model.startPosition(), (Cell{8, 0}));

        QTest::mouseClick(page.sbtnTime, Qt::LeftButton);
        QCOMPARE(model.timeSignature(), pages::TimeSignature::ThreeFour);
        QCOMPARE(page.sbtnTime->text(), QString("3/4"));
        QVERIFY(model.allSlots() == before);
        QVERIFY(model.markers() == PlayPage::defaultMarkers(pages::TimeSignature::ThreeFour));
        QCOMPARE(model.startPosition(), (Cell{0, 0}));
        QVERIFY(page.picture()->grabPicture() != fourFour);
        QTest::mouseClick(page.sbtnTime, Qt::LeftButton);
        QVERIFY(page.picture()->grabPicture() == fourFour);

        QScrollBar* bar = page.scroll()->verticalScrollBar();
        QTest::mouseClick(page.sbtnPage[2], Qt::LeftButton);
        QCOMPARE(bar->value(), 1584);

        // While playing both are refused and the buttons stay as they were.
        w->busy().playDown = true;
        QTest::mouseClick(page.sbtnTime, Qt::LeftButton);
        QVERIFY(!page.sbtnTime->isChecked());
        QCOMPARE(model.timeSignature(), pages::TimeSignature::FourFour);
        QTest::mouseClick(page.sbtnPage[0], Qt::LeftButton);
        QVERIFY(page.sbtnPage[2]->isChecked() && !page.sbtnPage[0]->isChecked());
        QCOMPARE(bar->value(), 1584);
        w->busy().playDown = false;
    }

    void slotsDraggedOntoOtherSlots()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = loaded(prompter);
        PlayPageController& page = w->playPage();
        const PlayPage& model = page.model();

        click(page, Cell{1, 0});  // the slot the drag starts on
        dragTo(page.picture(), slotPoint(Cell{4, 10}), Qt::NoModifier);
        QVERIFY(model.slot(Cell{4, 10}) == named(1));
        QVERIFY(model.slot(Cell{1, 0}) == named(1));

        prompter.answers = {Answer::No};
        dragTo(page.picture(), slotPoint(Cell{2, 0}), Qt::NoModifier);
        QCOMPARE(prompter.questions, std::vector<std::string>{"Do you want to replace this diagram?"});
        QVERIFY(model.slot(Cell{2, 0}) == named(2));

        // Alt inserts without asking; Ctrl leaves the chord in hand for further clicks.
        dragTo(page.picture(), slotPoint(Cell{2, 0}), Qt::AltModifier);
        QVERIFY(model.slot(Cell{2, 0}) == named(1) && model.slot(Cell{3, 0}) == named(2));
        dragTo(page.picture(), slotPoint(Cell{0, 12}), Qt::ControlModifier);
        QCOMPARE(model.mode(), PlayPage::Mode::Move);
        click(page, Cell{5, 12});
        QVERIFY(model.slot(Cell{5, 12}) == named(1));
        QCOMPARE(prompter.questions.size(), size_t(1));

        // An empty slot cannot be dragged anywhere.
        click(page, Cell{6, 20});
        dragTo(page.picture(), slotPoint(Cell{7, 20}), Qt::NoModifier);
        QVERIFY(model.slot(Cell{7, 20}).isEmpty());

        // Held near the bottom of the scroll box the drag scrolls the page down.
        click(page, Cell{1, 0});
        QScrollBar* bar = page.scroll()->verticalScrollBar();
        const int top = bar->value();
        const int height = page.scroll()->viewport()->height();
        dragTo(page.picture(), QPoint(100, top + height - 10), Qt::NoModifier, false);
        QVERIFY(page.timerPageDrag->isActive());
        QTRY_VERIFY(bar->value() > top);
        QDragLeaveEvent leave;
        QApplication::sendEvent(page.picture(), &leave);
        QVERIFY(!page.timerPageDrag->isActive());
    }

    void repeatMarkersDialog()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = loaded(prompter);
        PlayPageController& page = w->playPage();
        const PlayPage& model = page.model();
        TdlgRepeat& dlg = page.repeatDialog();
        auto ok = [&] { QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton); };
        bool leftOpen = false;

        QString number;
        bool focused = false;
        whenOpen(dlg, [&] {
            number = dlg.lblNum->text();
            QVERIFY(!dlg.cbRepeat->isChecked() && dlg.editRepeat->text().isEmpty());
            QTest::mouseClick(dlg.cbRepeat, Qt::LeftButton);
            focused = dlg.focusWidget() == dlg.editRepeat;
            QTest::keyClicks(dlg.editRepeat, "3000");
            QTest::mouseClick(dlg.cbLoop, Qt::LeftButton);
            ok();
        }, leftOpen);
        QVERIFY(choose(page, Cell{5, 1}, "pmenuPlayRepeat"));  // 4/4: measure 3
        QVERIFY(!leftOpen);
        QCOMPARE(number, QString("3"));
        QVERIFY(focused);
        QCOMPARE(int(model.markers()[PlayPage::RepeatCount][2]), 255);
        QCOMPARE(int(model.markers()[PlayPage::LoopMark][2]), 1);
        QCOMPARE(int(model.markers()[PlayPage::LoopMark][35]), 0);
        QVERIFY(model.markers(PlayPage::MarkerCopy::KeptFourFour) == model.markers());

        // Shown again as stored; a click in the count selects it, and the loop taken off this
        // measure goes to the last one.
        QString selected;
        whenOpen(dlg, [&] {
            QVERIFY(dlg.cbRepeat->isChecked() && dlg.cbLoop->isChecked());
            QTest::mouseClick(dlg.editRepeat, Qt::LeftButton);
            QTRY_COMPARE(dlg.editRepeat->selectedText(), QString("255"));
            selected = dlg.editRepeat->selectedText();
            QTest::mouseClick(dlg.cbLoop, Qt::LeftButton);
            QTest::mouseClick(dlg.cbRepeat, Qt::LeftButton);
            ok();
        }, leftOpen);
        QVERIFY(choose(page, Cell{6, 1}, "pmenuPlayRepeat"));
        QVERIFY(!leftOpen);
        QCOMPARE(selected, QString("255"));
        QCOMPARE(int(model.markers()[PlayPage::RepeatCount][2]), 0);
        QCOMPARE(int(model.markers()[PlayPage::LoopMark][2]), 0);
        QCOMPARE(int(model.markers()[PlayPage::LoopMark][35]), 1);

        // Cancel changes nothing.
        const auto kept = model.markers();
        whenOpen(dlg, [&] {
            QTest::mouseClick(dlg.cbReturn, Qt::LeftButton);
            QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        }, leftOpen);
        QVERIFY(choose(page, Cell{0, 0}, "pmenuPlayRepeat"));
        QVERIFY(!leftOpen);
        QVERIFY(model.markers() == kept);
    }

    // The Print page sends chord cells only; the Chord Design page sends a strip slot.
    void printAndDesignPagesSendChords()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = window(prompter);
        w->menuBar()->findChild<QAction*>("mnuD")->trigger();
        QTest::mouseClick(w->findChild<QPushButton*>("btnShowChords"), Qt::LeftButton);
        ChordPageController& chords = w->chordPage();
        PrintPageController& print = w->printPage();
        PlayPageController& page = w->playPage();
        QVERIFY(choose(chords.picture(), cellPoint(Page::Chords, Cell{2, 0}), chords.popmenuChords, "pmenuChordsToPrint"));
        QTest::mouseClick(print.picture(), Qt::LeftButton, Qt::NoModifier, cellPoint(Page::Print, Cell{0, 0}));
        QVERIFY(choose(print.picture(), cellPoint(Page::Print, Cell{0, 0}), print.popmenuPrint, "pmenuPrintToPlayPage"));
        QCOMPARE(w->activePage(), Page::PlayPage);
        click(page, Cell{0, 3});
        QVERIFY(page.model().slot(Cell{0, 3}).frets == chords.model().slot(2, 0).frets);

        clickTab(*w, Page::Chords);
        QVERIFY(choose(chords.picture(), cellPoint(Page::Chords, Cell{4, 0}), chords.popmenuChords, "pmenuChordsToDesign"));
        DesignStripWidget* strip = w->designPage().designView().imgChordDesign;
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(76 + 30, 60));
        QVERIFY(choose(strip, QPoint(76 + 30, 60), strip->findChild<QMenu*>("popmenuDesign"), "pmenuDesignToPlayPage"));
        QCOMPARE(w->activePage(), Page::PlayPage);
        click(page, Cell{1, 3});
        QVERIFY(page.model().slot(Cell{1, 3}) == chords.model().slot(4, 0));
    }

    void pageChangeTuningAndErase()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = window(prompter);
        PlayPage::Slots content{};
        content[size_t(12 * 5)] = named(1);  // column 0, row 5: found before row 0's column 1
        content[size_t(12 * 5)].tuning = {62, 57, 55, 50, 45, 38};  // D A D G A D, high string first
        content[1] = named(2);
        w->playPage().model().load(content, pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
        clickTab(*w, Page::PlayPage);
        FretboardPanel& p = w->fretboardPanel();
        QCOMPARE(p.editString[5]->text().left(1), QString("D"));
        QCOMPARE(p.editString[1]->text().left(1), QString("A"));
        QVERIFY(!p.upDown[0]->isEnabled());

        // Erase asks to save a changed page; the save cannot happen yet, so nothing is erased.
        PlayPageController& page = w->playPage();
        page.model().modified = true;
        prompter.answers = {Answer::Yes};
        QTest::mouseClick(toolbarButton(*w, "sbtnErase"), Qt::LeftButton);
        QCOMPARE(prompter.questions.back(), std::string("Do you want to save changes to this Play Page before erasing?"));
        QVERIFY(page.model().filled(1));
        prompter.answers = {Answer::No};
        QTest::mouseClick(toolbarButton(*w, "sbtnErase"), Qt::LeftButton);
        QVERIFY(!page.model().filled(1) && !page.model().modified);
        QCOMPARE(w->windowTitle(), QString("Strumox!"));
    }
};

QTEST_MAIN(PlayPageTest)
#include "playpage_test.moc"
