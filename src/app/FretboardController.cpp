#include "app/FretboardController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>

#include "app/FretboardPanel.h"
#include "app/PageController.h"
#include "app/PictureWidget.h"
#include "app/UpDown.h"
#include "fretboard/KeyboardLayout.h"

namespace strumox::app {

using pages::DiagramRecord;
namespace colours = fretboard::colours;

namespace {

QColor toColor(std::uint32_t rgb) { return QColor::fromRgb(rgb); }

void setFieldColours(QLineEdit* e, std::uint32_t text, std::uint32_t background)
{
    QPalette pal = e->palette();
    pal.setColor(QPalette::Text, toColor(text));
    pal.setColor(QPalette::Base, toColor(background));
    e->setPalette(pal);
}

// Undoes a toggle press the busy guard refused, without running the handler again.
void undoPress(QAbstractButton* b, bool down)
{
    if (!b)
        return;
    const QSignalBlocker block(b);
    b->setChecked(!down);
}

}  // namespace

FretboardController::FretboardController(const theory::NoteNames& names, const session::BusyGuard& busy,
                                         theory::Tuning& currentTuning, QObject* parent)
    : QObject(parent), m_names(names), m_busy(busy), m_currentTuning(currentTuning), m_display(names)
{
}

FretboardController::~FretboardController()
{
    if (m_panel)
        qApp->removeEventFilter(this);
}

void FretboardController::attach(FretboardPanel* panel, PictureWidget* keyboard)
{
    m_panel = panel;
    m_keyboard = keyboard;

    connect(panel->imgFretboard, &PictureWidget::mouseMoved, this, &FretboardController::pictureMoved);
    connect(panel->imgFretboard, &PictureWidget::mouseLeft, this, &FretboardController::clearHoverPanels);
    for (int s = 0; s < 6; ++s) {
        UpDown* ud = panel->upDown[static_cast<size_t>(s)];
        connect(ud, &UpDown::stepped, this, [this, s](int pos) { tuningStepped(s, pos); });
        connect(ud, &UpDown::released, this, &FretboardController::tuningReleased);
    }
    connect(panel->sbtnBassNote, &QToolButton::toggled, this, &FretboardController::setBassNote);
    connect(panel->sbtnLeftHanded, &QToolButton::toggled, this, &FretboardController::setLeftHanded);
    connect(panel->sbtnShowFullScale, &QToolButton::toggled, this, &FretboardController::setShowFullFretboard);
    connect(panel->sbShowArp, &QToolButton::toggled, this, &FretboardController::setShowArpeggio);
    // A tuning name typed over the read-out is what the read-out holds, spelled anew with the rest.
    connect(panel->editTuningName, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_display.setTuningName(text.toStdString()); });
    renameNotes();
    refresh();
    qApp->installEventFilter(this);
}

bool FretboardController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove || m_panel->pnlNote->text().isEmpty())
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == m_panel->window() && w != m_panel->imgFretboard && w != m_keyboard)
        clearHoverPanels();
    return false;
}

fretboard::DisplayContext FretboardController::context() const
{
    fretboard::DisplayContext ctx;
    ctx.designPageActive = activePage() == pages::Page::ChordDesign;
    ctx.showIntervalsDown = m_active && m_active->showIntervalsDown();
    ctx.showArpeggioDown = m_showArpeggio;
    ctx.showFullFretboard = m_showFull;
    return ctx;
}

pages::Page FretboardController::activePage() const { return m_active ? m_active->page() : pages::Page::Chords; }

void FretboardController::refresh()
{
    if (!m_panel)
        return;
    const fretboard::FretboardPanels& p = m_display.panels();
    m_panel->lblChordNameCaption->setText(QString::fromStdString(p.chordNameCaption));
    m_panel->editChordNameUser->setText(QString::fromStdString(p.chordName));
    setFieldColours(m_panel->editChordNameUser, p.chordNameColour, colours::kWhite);
    m_panel->editTuningName->setText(QString::fromStdString(p.tuningName));
    m_panel->editNotes->setText(QString::fromStdString(p.notes));
    setFieldColours(m_panel->editNotes, p.notesColour, colours::kWhite);
    const QColor inactive = m_panel->palette().color(QPalette::Disabled, QPalette::WindowText);
    for (size_t k = 0; k < p.intervals.size(); ++k) {
        const fretboard::IntervalField& f = p.intervals[k];
        QLineEdit* e = m_panel->editIntervals[k];
        e->setText(QString::fromStdString(f.caption));
        e->setProperty("tag", f.tag);
        setFieldColours(e, f.inactive ? inactive.rgb() & 0xFFFFFF : f.text, f.background);
    }
    m_panel->pnlNote->setText(QString::fromStdString(p.note));
    m_panel->pnlInterval->setText(QString::fromStdString(p.interval));
    showTuningControls(m_display.openStrings());
    m_panel->imgFretboard->refresh();
    if (m_keyboard)
        m_keyboard->refresh();
    emit displayChanged();
}

void FretboardController::showChord(const DiagramRecord& d, bool arpeggio)
{
    fretboard::DisplayContext ctx = context();
    ctx.showArpeggioDown = ctx.showArpeggioDown && arpeggio;
    m_display.showChord(d, ctx);
    refresh();
}

void FretboardController::showIntervals(const DiagramRecord& d, std::uint32_t colour)
{
    m_display.showIntervals(d, colour, context());
    refresh();
}

void FretboardController::showScale(const pages::ScaleRecord& r, int beginFret, int span)
{
    m_display.showScale(r, beginFret, span, context());
    if (r.isEmpty())
        resetToStandardTuning();
    refresh();
}

void FretboardController::noteSounding(int string, int fret, int mark)
{
    m_display.noteSounding(string, fret, mark);
    if (m_panel)
        m_panel->imgFretboard->refresh();
}

void FretboardController::noteEnded(int string, int fret, bool wipe)
{
    m_display.noteEnded(string, fret, wipe);
    if (m_panel)
        m_panel->imgFretboard->refresh();
}

void FretboardController::clearSounding()
{
    m_display.clearSounding();
    if (m_panel)
        m_panel->imgFretboard->refresh();
}

void FretboardController::clearDisplay()
{
    m_display.clearDisplay();
    refresh();
}

void FretboardController::setChordName(int root, const std::string& suffix, int bass)
{
    m_display.setChordName(root, suffix, bass);
    if (m_panel)
        m_panel->editChordNameUser->setText(QString::fromStdString(m_display.panels().chordName));
}

void FretboardController::chordSuffixTyped(const std::string& suffix) { m_display.setChordSuffix(suffix); }

void FretboardController::setActivePage(PageController& page)
{
    m_active = &page;
    m_display.resetIntervalColours();
    setTuningControlsEnabled(page.tuningEditable());
    page.showOnFretboard();
}

void FretboardController::pictureMoved(int x, int y)
{
    m_display.hover(x, y);
    if (m_panel) {
        m_panel->pnlNote->setText(QString::fromStdString(m_display.panels().note));
        m_panel->pnlInterval->setText(QString::fromStdString(m_display.panels().interval));
    }
}

std::optional<fretboard::FretPosition> FretboardController::hoverAt(int x, int y)
{
    if (!m_display.hover(x, y))
        return std::nullopt;
    return fretboard::FretPosition{m_display.hoverString(), m_display.hoverFret()};
}

void FretboardController::showHoverInterval(const std::string& text)
{
    m_display.setHoverInterval(text);
    if (m_panel)
        m_panel->pnlInterval->setText(QString::fromStdString(text));
}

void FretboardController::keyboardMoved(int x, int y)
{
    const auto key = fretboard::keyAt(x, y);
    if (!key || !m_panel)
        return;
    m_display.hoverKey(*key);
    m_panel->pnlNote->setText(QString::fromStdString(m_display.panels().note));
    m_panel->pnlInterval->setText(QString::fromStdString(m_display.panels().interval));
}

void FretboardController::clearHoverPanels()
{
    m_display.clearHover();
    if (m_panel) {
        m_panel->pnlNote->clear();
        m_panel->pnlInterval->clear();
    }
}

void FretboardController::tuningStepped(int string, int position)
{
    if (m_busy.holds()) {
        // Put the control back where it was.
        m_panel->upDown[static_cast<size_t>(string)]->setPosition(m_display.openStrings()[static_cast<size_t>(string)]);
        return;
    }
    m_display.setOpenString(string, position);
    m_panel->editString[static_cast<size_t>(string)]->setText(QString::fromStdString(m_names.octaveName(position)));
}

void FretboardController::tuningReleased()
{
    if (m_busy.holds())
        return;
    m_currentTuning = m_display.openStrings();
    const std::string name = theory::tuningName(m_currentTuning, m_names);
    m_display.setTuningName(name);
    m_panel->editTuningName->setText(QString::fromStdString(name));
    emit tuningApplied(m_currentTuning, name);
}

void FretboardController::setTuningControlsEnabled(bool enabled)
{
    if (!m_panel)
        return;
    for (auto* ud : m_panel->upDown)
        ud->setEnabled(enabled);
}

void FretboardController::showTuningControls(const theory::Tuning& t)
{
    if (!m_panel)
        return;
    for (size_t s = 0; s < 6; ++s) {
        m_panel->upDown[s]->setPosition(t[s]);
        m_panel->editString[s]->setText(QString::fromStdString(m_names.octaveName(t[s])));
    }
}

void FretboardController::showOpenStrings(const theory::Tuning& t)
{
    m_display.setOpenStrings(t);
    showTuningControls(t);
}

void FretboardController::resetToStandardTuning()
{
    m_currentTuning = theory::kStandardTuning;
    m_display.setOpenStrings(theory::kStandardTuning);
    showTuningControls(theory::kStandardTuning);
}

bool FretboardController::setBassNote(bool down)
{
    if (m_busy.holds()) {
        undoPress(m_panel ? m_panel->sbtnBassNote : nullptr, down);
        return false;
    }
    m_bassNote = down;
    return true;
}

bool FretboardController::setLeftHanded(bool down)
{
    if (m_busy.holds()) {
        undoPress(m_panel ? m_panel->sbtnLeftHanded : nullptr, down);
        return false;
    }
    m_display.setHandLayout(fretboard::HandLayout::forHand(down));
    m_display.clearDisplay();
    refresh();
    emit handednessChanged();
    if (m_active)
        setActivePage(*m_active);
    return true;
}

bool FretboardController::setShowFullFretboard(bool down)
{
    if (m_busy.holds()) {
        undoPress(m_panel ? m_panel->sbtnShowFullScale : nullptr, down);
        return false;
    }
    m_showFull = down;
    if (m_active)
        m_active->fullFretboardChanged();
    return true;
}

bool FretboardController::setShowArpeggio(bool down)
{
    if (m_busy.holds()) {
        undoPress(m_panel ? m_panel->sbShowArp : nullptr, down);
        return false;
    }
    m_showArpeggio = down;
    const std::optional<DiagramRecord> d = m_active ? m_active->arpeggioChord() : std::nullopt;
    if (!d)
        return true;
    if (down && !d->isEmpty())
        showIntervals(*d, colours::kBlack);
    else
        showChord(*d);
    return true;
}

void FretboardController::toggleShowArpeggio()
{
    if (m_panel)
        m_panel->sbShowArp->toggle();
}

void FretboardController::renameNotes()
{
    m_display.respell();
    if (!m_panel)
        return;
    const fretboard::FretboardPanels& p = m_display.panels();
    m_panel->editChordNameUser->setText(QString::fromStdString(p.chordName));
    m_panel->editNotes->setText(QString::fromStdString(p.notes));
    m_panel->editTuningName->setText(QString::fromStdString(p.tuningName));
    m_panel->pnlNote->setText(QString::fromStdString(p.note));
    showTuningControls(m_display.openStrings());
}

void FretboardController::storeExitSettings(settings::AppSettings& s) const
{
    if (m_panel)
        s.strumSpeed = m_panel->sbStrumSpeed->value();
    s.bassNote = m_bassNote;
    s.leftHanded = leftHanded();
    s.showFull = m_showFull;
}

}  // namespace strumox::app
