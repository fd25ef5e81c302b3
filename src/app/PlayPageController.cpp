#include "app/PlayPageController.h"

#include <QAction>
#include <QButtonGroup>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PlayPageView.h"
#include "app/TdlgRepeat.h"
#include "app/pictures/PlayPagePicture.h"
#include "pages/RecordConversions.h"

namespace strumox::app {

using pages::Page;
using pages::Placement;
using pages::PlayPage;
using Mode = pages::PlayPage::Mode;

namespace {
constexpr int kDragTickMs = 20;
// The picture and, right of it, the "Page n" labels.
constexpr int kContentWidth = 840;
}  // namespace

PlayPageController::PlayPageController(PlayPageServices s, QWidget* parent)
    : QObject(parent), m_names(s.names), m_busy(s.busy), m_prompter(s.prompter), m_fretboard(s.fretboard),
      m_transfer(s.transfer), m_settings(s.settings), m_undoButton(s.undoButton), m_loopButton(s.loopButton)
{
    buildView(parent);
    buildPopup();
    m_dlgRepeat = new TdlgRepeat(m_view);

    connect(m_picture, &PlayPageImage::pressed, this, &PlayPageController::pressed);
    connect(m_picture, &PlayPageImage::doubleClicked, this, &PlayPageController::doubleClicked);
    connect(m_picture, &PlayPageImage::dragWanted, this, &PlayPageController::dragWanted);
    connect(m_picture, &PlayPageImage::dragMoved, this, &PlayPageController::dragMoved);
    connect(m_picture, &PlayPageImage::dragLeft, this, [this] {
        if (!m_dragging)
            dragEnded();
    });
    // The drop's question comes once the drag has let go of the mouse.
    connect(m_picture, &PlayPageImage::dropped, this, &PlayPageController::dropped, Qt::QueuedConnection);
    m_picture->acceptsDrag = [this] { return !m_busy.holds() && hasSelection() && m_model.filled(selectedSlot()); };

    timerPageDrag = new QTimer(this);
    timerPageDrag->setObjectName("timerPageDrag");
    timerPageDrag->setInterval(kDragTickMs);
    connect(timerPageDrag, &QTimer::timeout, this, &PlayPageController::dragTick);

    if (m_undoButton)
        connect(m_undoButton, &QToolButton::clicked, this, &PlayPageController::undoClicked);
    if (m_loopButton) {
        // Loop Play also decides whether loop marks are drawn.
        m_loopButton->setCheckable(true);
        m_loopButton->setEnabled(true);
        connect(m_loopButton, &QToolButton::toggled, this, &PlayPageController::redraw);
    }
}

void PlayPageController::buildView(QWidget* parent)
{
    m_view = new QWidget(parent);
    auto* layout = new QHBoxLayout(m_view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    m_scroll = new QScrollArea(m_view);
    m_scroll->setObjectName("scrollPlayPage");
    m_scroll->setBackgroundRole(QPalette::Base);
    auto* content = new QWidget;
    content->setObjectName("pnlPlayPage");
    content->setFixedSize(kContentWidth, PlayPage::kPictureHeight);
    content->setAutoFillBackground(true);
    QPalette pal = content->palette();
    pal.setColor(QPalette::Window, Qt::white);
    content->setPalette(pal);
    m_picture = new PlayPageImage(
        QSize(PlayPage::kPictureWidth, PlayPage::kPictureHeight),
        [this](QPainter& p) {
            const pictures::PlayPagePaintContext ctx{
                m_names, m_fretboard.display().handLayout(),
                m_settings.ppTinyFont ? pictures::kPlayTitleTinyPixelSize : pictures::kPlayTitleNormalPixelSize,
                m_loopButton && m_loopButton->isChecked()};
            pictures::paintPlayPage(p, m_model, ctx);
        },
        content);
    m_picture->setOverlay([this](QPainter& p) { pictures::drawPlayMarks(p, m_playCursor, m_stepArrow); });
    m_picture->setObjectName("imgPlayPage");
    m_picture->setAcceptDrops(true);
    // The labels stand beside the picture at their page's height and scroll with it.
    for (int page = 1; page <= PlayPage::kPageCount; ++page) {
        auto* label = new QLabel(QStringLiteral("Page %1").arg(page), content);
        label->setObjectName(QStringLiteral("lblPage%1").arg(page));
        const pages::PixelPoint at = PlayPage::pageLabelAt(page);
        label->move(at.x, at.y);
    }
    m_scroll->setWidget(content);
    layout->addWidget(m_scroll, 1);

    auto* side = new QVBoxLayout;
    side->setSpacing(4);
    auto button = [this](const char* name, const QString& text, const QString& hint) {
        auto* b = new QToolButton(m_view);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(hint);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(44, 28);
        return b;
    };
    sbtnTime = button("sbtnTime", "4/4", "Time Signature");
    connect(sbtnTime, &QToolButton::toggled, this, &PlayPageController::timeToggled);
    side->addWidget(sbtnTime);
    side->addSpacing(12);
    m_pageGroup = new QButtonGroup(this);
    m_pageGroup->setExclusive(true);
    for (int page = 1; page <= PlayPage::kPageCount; ++page) {
        QToolButton* b = button(qPrintable(QStringLiteral("sbtnPage%1").arg(page)), QString::number(page),
                                QStringLiteral("PlayPage %1").arg(page));
        m_pageGroup->addButton(b, page);
        sbtnPage[static_cast<size_t>(page - 1)] = b;
        side->addWidget(b);
    }
    sbtnPage[0]->setChecked(true);
    connect(m_pageGroup, &QButtonGroup::idClicked, this, &PlayPageController::pageClicked);
    side->addStretch(1);
    layout->addLayout(side);
}

void PlayPageController::buildPopup()
{
    popmenuPlayPage = new QMenu(m_picture);
    popmenuPlayPage->setObjectName("popmenuPlayPage");
    auto item = [this](const char* name, const QString& caption, void (PlayPageController::*handler)()) {
        QAction* a = popmenuPlayPage->addAction(caption);
        a->setObjectName(name);
        if (handler)
            connect(a, &QAction::triggered, this, [this, handler] {
                if (!m_busy.holds() && hasSelection())
                    (this->*handler)();
            });
        return a;
    };
    m_play = item("pmenuPlayPlay", "Play Chord", nullptr);
    connect(m_play, &QAction::triggered, this, [this] {
        if (hasSelection() && m_model.filled(selectedSlot()) && playSlotChord)
            playSlotChord(m_model.slot(selectedSlot()));
    });
    m_chordItems[0] = item("pmenuPlayToDesign", "Send To Chord Design", &PlayPageController::sendToChordDesign);
    m_chordItems[1] = item("pmenuPlayToPrint", "Send To Print Page", &PlayPageController::sendToPrintPage);
    popmenuPlayPage->addSeparator();
    item("pmenuPlayInsertSpace", "Insert Space", &PlayPageController::insertSpace);
    m_chordItems[2] = item("pmenuPlayDeleteChord", "Delete Chord", &PlayPageController::deleteChord);
    m_chordItems[3] = item("pmenuPlayCutChord", "Cut and Move Chord", &PlayPageController::cutChord);
    m_chordItems[4] = item("pmenuPlayCopyChord", "Copy and Move Chord", &PlayPageController::copyChord);
    popmenuPlayPage->addSeparator();
    item("pmenuPlayInsertMeasure", "Insert Measure", &PlayPageController::insertMeasure);
    item("pmenuPlayDeleteMeasure", "Delete Measure", &PlayPageController::deleteMeasure);
    item("pmenuPlayCutMeasure", "Cut and Move Measure", &PlayPageController::cutMeasure);
    item("pmenuPlayCopyMeasure", "Copy and Move Measure", &PlayPageController::copyMeasure);
    popmenuPlayPage->addSeparator();
    item("pmenuPlayRepeat", "Repeat Markers", &PlayPageController::repeatMarkers);
}

QAbstractScrollArea* PlayPageController::scrollBox() const { return m_scroll; }

bool PlayPageController::isActive() const { return m_fretboard.activePage() == Page::PlayPage; }

void PlayPageController::redraw() { m_picture->refresh(); }

void PlayPageController::changed()
{
    redraw();
    updateUndoButton();
}

void PlayPageController::updateUndoButton()
{
    if (m_undoButton && isActive())
        m_undoButton->setEnabled(m_model.undoAvailable());
}

void PlayPageController::updateCursor()
{
    Placement shared = Placement::None;
    switch (m_model.mode()) {
    case Mode::None: m_picture->unsetCursor(); break;
    case Mode::Place:
        m_picture->setCursor(Qt::CrossCursor);
        shared = Placement::Place;
        break;
    case Mode::Move:
        m_picture->setCursor(Qt::SizeAllCursor);
        shared = Placement::Move;
        break;
    case Mode::MeasureMove:
        m_picture->setCursor(Qt::SizeHorCursor);
        shared = Placement::Move;
        break;
    }
    m_transfer.setMode(Page::PlayPage, shared);
}

void PlayPageController::scrollTo(int y) { m_scroll->verticalScrollBar()->setValue(y); }

void PlayPageController::setPlayCursor(std::optional<int> beatCell)
{
    m_playCursor = beatCell;
    m_picture->refreshOverlay();
}

void PlayPageController::setStepArrow(std::optional<int> slot)
{
    m_stepArrow = slot;
    m_picture->refreshOverlay();
}

void PlayPageController::scrollToSlot(int slot)
{
    scrollTo(PlayPage::staffTop(PlayPage::cellOf(slot).row) - 95);
}

bool PlayPageController::ask(const std::string& question)
{
    return m_prompter.askYesNo(question) == session::Answer::Yes;
}

// --- the page as the window sees it -------------------------------------------------------------

void PlayPageController::showOnFretboard()
{
    // The tuning boxes tell the tuning the song is written for: the first chord's, looking down
    // the columns; the fretboard itself shows no chord.
    if (const auto s = m_model.firstFilledByColumn())
        m_fretboard.showOpenStrings(m_model.slot(*s).tuning);
    m_fretboard.showChord(pages::DiagramRecord{});
    updateUndoButton();
}

void PlayPageController::awaitPlacement(Placement placement)
{
    m_model.pendingDiagram = m_transfer.pendingDiagram;
    m_model.setMode(placement == Placement::Place  ? Mode::Place
                    : placement == Placement::Move ? Mode::Move
                                                   : Mode::None);
    updateCursor();
}

void PlayPageController::leave()
{
    m_model.endPlacement();
    updateCursor();
    timerPageDrag->stop();
    // Undo belongs to this page.
    if (m_undoButton)
        m_undoButton->setEnabled(false);
}

void PlayPageController::erase()
{
    if (m_model.modified) {
        const auto answer = m_prompter.askYesNoCancel("Do you want to save changes to this Play Page before erasing?");
        if (answer == session::Answer::Cancel)
            return;
        if (answer == session::Answer::Yes && !(savePage && savePage()))
            return;
    }
    m_model.erase();
    m_fretboard.clearDisplay();
    m_fileName.clear();
    emit titleCleared();
    sbtnPage[0]->setChecked(true);
    m_pageDown = 1;
    scrollTo(0);
    changed();
}

std::function<void(const std::string&)> PlayPageController::fileWriter() const
{
    // Shared, so copies of the writer do not copy the 288 records again.
    auto file = std::make_shared<pages::PlayPageFile>();
    file->threeFour = m_model.timeSignature() == pages::TimeSignature::ThreeFour;
    file->strumSpeed = m_fretboard.panel()->sbStrumSpeed->value();
    file->tempo = tempo ? tempo() : 100;
    file->loop = m_loopButton && m_loopButton->isChecked();
    file->bass = m_fretboard.bassNote();
    file->diagrams = m_model.allSlots();
    const auto markers = m_model.markerBytes(pages::PlayPage::MarkerCopy::Current);
    file->markers = std::vector<std::uint8_t>(markers.begin(), markers.end());
    return [file = std::shared_ptr<const pages::PlayPageFile>(std::move(file))](const std::string& path) {
        pages::writePlayPageFile(path, *file);
    };
}

void PlayPageController::fileSaved(const std::string& path)
{
    // Whatever form it was read in, the file now holds the current one.
    m_versionSuffix.clear();
    m_fileName = path;
    m_model.modified = false;
    m_model.clearUndo();
    updateUndoButton();
}

void PlayPageController::recovered()
{
    m_versionSuffix.clear();
    m_fileName.clear();
    m_model.modified = true;
}

bool PlayPageController::readFile(const std::string& path, std::string* error)
{
    const auto file = pages::readPlayPageFile(path, error);
    if (!file)
        return false;
    m_versionSuffix = file->older ? " (KQ5 Version)" : "";
    m_loopButton->setChecked(file->loop);
    m_fretboard.setBassNote(file->bass);
    m_fretboard.panel()->sbStrumSpeed->setValue(file->strumSpeed);
    if (setTempo)
        setTempo(file->tempo);
    const auto sig = file->threeFour ? pages::TimeSignature::ThreeFour : pages::TimeSignature::FourFour;
    {
        // The button shows the file's signature; the model takes it with the content below.
        const QSignalBlocker block(sbtnTime);
        sbtnTime->setChecked(file->threeFour);
    }
    m_model.endPlacement();
    m_model.load(file->diagrams, sig, pages::currentRepeatMarkers(*file));
    // The content just read is what Undo goes back to.
    m_model.takeUndoSnapshot();
    m_model.clearUndo();
    m_model.modified = false;
    m_fileName = path;
    sbtnPage[0]->setChecked(true);
    m_pageDown = 1;
    scrollTo(0);
    changed();
    if (isActive())
        showOnFretboard();
    if (file->tempoWasZero)
        m_prompter.message(path + " gives no tempo; it opens at 100 beats per minute.");
    return true;
}

std::vector<session::CloseDocument> PlayPageController::closeDocuments() const
{
    return {{session::DocumentKind::PlayPage, {m_model.modified, m_fileName}, savePage}};
}

// --- mouse ----------------------------------------------------------------------------------------

void PlayPageController::pressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_dragArmed = false;
    if (m_busy.holds())
        return;
    const auto hit = PlayPage::hitTest(x, y);
    if (!hit)
        return;
    m_dragArmed = button == Qt::LeftButton;
    m_model.selected = *hit;
    if (m_model.mode() != Mode::None) {
        place(*hit, button, modifiers);
        return;
    }
    if (button == Qt::RightButton)
        popupAt();
}

void PlayPageController::place(pages::Cell cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const bool measure = m_model.mode() == Mode::MeasureMove;
    // A measure in the air is in the undo snapshot, not in the pending diagram.
    if (button == Qt::RightButton || (!measure && m_model.pendingDiagram.isEmpty())) {
        m_model.endPlacement();
        updateCursor();
        return;
    }
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (m_model.placeNeedsQuestion(cell, alt) &&
        !ask(measure ? "Do you want to replace this measure?" : "Do you want to replace this diagram?"))
        return;
    m_model.placeAt(cell, alt, ctrl);
    changed();
    updateCursor();
}

void PlayPageController::doubleClicked(int x, int y)
{
    if (m_busy.holds())
        return;
    // The second press of a double click picks its slot as any press does.
    const auto hit = PlayPage::hitTest(x, y);
    if (!hit)
        return;
    m_model.selected = *hit;
    if (m_model.doubleClickStart())
        redraw();
}

// --- drag and drop --------------------------------------------------------------------------------

void PlayPageController::dragWanted()
{
    if (!m_dragArmed || m_busy.holds() || !hasSelection())
        return;
    m_dragArmed = false;
    m_dragging = true;
    timerPageDrag->setInterval(kDragTickMs);
    timerPageDrag->start();
    m_picture->dragSlot(m_model.filled(selectedSlot()));
    m_dragging = false;
    dragEnded();
}

void PlayPageController::dragMoved(QPoint at)
{
    m_dragY = m_picture->mapTo(m_scroll->viewport(), at).y();
    if (!timerPageDrag->isActive()) {
        timerPageDrag->setInterval(kDragTickMs);
        timerPageDrag->start();
    }
}

void PlayPageController::dragEnded() { timerPageDrag->stop(); }

void PlayPageController::dragTick()
{
    const PlayPage::DragScroll step = PlayPage::dragScrollStep(m_dragY, m_scroll->viewport()->height());
    QScrollBar* bar = m_scroll->verticalScrollBar();
    if (step.lines != 0)
        bar->setValue(bar->value() + step.lines * bar->singleStep());
    if (step.intervalMs != 0)
        timerPageDrag->setInterval(step.intervalMs);
}

void PlayPageController::dropped(int x, int y, Qt::KeyboardModifiers modifiers)
{
    if (!m_dragging)
        dragEnded();
    if (m_busy.holds())
        return;
    const auto target = PlayPage::hitTest(x, y);
    if (!target || !hasSelection() || !m_model.filled(selectedSlot()))
        return;
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (m_model.dropNeedsQuestion(*target, alt) && !ask("Do you want to replace this diagram?"))
        return;
    m_model.drop(m_model.selected, *target, alt, ctrl);
    if (ctrl)
        m_transfer.pendingDiagram = m_model.pendingDiagram;
    changed();
    updateCursor();
}

// --- buttons --------------------------------------------------------------------------------------

void PlayPageController::timeToggled(bool down)
{
    if (m_busy.holds()) {
        const QSignalBlocker block(sbtnTime);
        sbtnTime->setChecked(!down);
        return;
    }
    m_model.setTimeSignature(down ? pages::TimeSignature::ThreeFour : pages::TimeSignature::FourFour);
    sbtnTime->setText(down ? "3/4" : "4/4");
    redraw();
}

void PlayPageController::pageClicked(int page)
{
    if (m_busy.holds()) {
        sbtnPage[static_cast<size_t>(m_pageDown - 1)]->setChecked(true);
        return;
    }
    m_pageDown = page;
    scrollTo(PlayPage::pageScrollY(page));
}

void PlayPageController::undoClicked()
{
    if (m_busy.holds() || !isActive() || !m_model.undoAvailable())
        return;
    m_model.undo();
    changed();
}

// --- popup ----------------------------------------------------------------------------------------

void PlayPageController::popupAt()
{
    const bool filled = m_model.filled(selectedSlot());
    for (QAction* a : m_chordItems)
        a->setEnabled(filled);
    m_play->setEnabled(filled);
    popmenuPlayPage->popup(QCursor::pos());
}

void PlayPageController::sendToChordDesign()
{
    if (!m_model.filled(selectedSlot()))
        return;
    m_transfer.pendingDiagram = m_model.slot(selectedSlot());
    emit pageRequested(Page::ChordDesign, Placement::Place);
}

void PlayPageController::sendToPrintPage()
{
    if (!m_model.filled(selectedSlot()))
        return;
    m_transfer.pendingPrint = pages::chordToPrint(m_model.slot(selectedSlot()));
    emit pageRequested(Page::Print, Placement::Place);
}

void PlayPageController::insertSpace()
{
    m_model.insertSpace(selectedSlot());
    changed();
}

void PlayPageController::deleteChord()
{
    const int s = selectedSlot();
    if (!m_model.filled(s) || !ask("Do you want to delete this diagram?"))
        return;
    m_model.deleteChord(s);
    changed();
}

void PlayPageController::cutChord()
{
    if (!m_model.filled(selectedSlot()))
        return;
    m_model.cutChord(selectedSlot());
    m_transfer.pendingDiagram = m_model.pendingDiagram;
    changed();
    updateCursor();
}

void PlayPageController::copyChord()
{
    if (!m_model.filled(selectedSlot()))
        return;
    m_model.copyChord(selectedSlot());
    m_transfer.pendingDiagram = m_model.pendingDiagram;
    updateUndoButton();
    updateCursor();
}

void PlayPageController::insertMeasure()
{
    m_model.insertMeasure(selectedMeasure());
    changed();
}

void PlayPageController::deleteMeasure()
{
    const int m = selectedMeasure();
    // The snapshot comes before the question, so Undo is offered even after a No.
    m_model.takeUndoSnapshot();
    if (m_model.measureFilled(m) && !ask("Do you want to delete this measure?")) {
        updateUndoButton();
        return;
    }
    m_model.deleteMeasure(m);
    changed();
}

void PlayPageController::cutMeasure()
{
    m_model.cutMeasure(selectedMeasure());
    changed();
    updateCursor();
}

void PlayPageController::copyMeasure()
{
    m_model.copyMeasure(selectedMeasure());
    updateCursor();
}

void PlayPageController::repeatMarkers()
{
    m_model.beginRepeatMarkers();
    const int measure = m_model.measureAt(m_model.selected);
    const PlayPage::RepeatDialogValues shown = m_model.repeatDialogValues(measure);
    const auto chosen = m_dlgRepeat->ask(measure, shown);
    if (!chosen)
        return;
    m_model.applyRepeatMarkers(measure, *chosen, shown.loop);
    m_model.loadAndDrawMarkers();
    redraw();
}

}  // namespace strumox::app
