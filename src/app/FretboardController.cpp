#include "app/FretboardController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/DesignPageView.h"
#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/UpDown.h"
#include "app/core/KeyboardLayout.h"

namespace strumox::app {

using pages::DiagramRecord;

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

FretboardController::FretboardController(const theory::NoteNames& names, const BusyGuard& busy,
                                         theory::Tuning& currentTuning, QObject* parent)
    : QObject(parent), m_names(names), m_busy(busy), m_currentTuning(currentTuning), m_display(names)
{
}

void FretboardController::attach(FretboardPanel* panel, DesignPageView* design, PictureWidget* keyboard)
{
    m_panel = panel;
    m_design = design;
    m_keyboard = keyboard;

    connect(panel->imgFretboard, &PictureWidget::mouseMoved, this, &FretboardController::pictureMoved);
    connect(panel->imgFretboard, &PictureWidget::mouseLeft, this, &FretboardController::clearHoverPanels);
    connect(panel->imgFretboard, &PictureWidget::mousePressed, this, &FretboardController::picturePressed);
    for (int s = 0; s < 6; ++s) {
        UpDown* ud = panel->upDown[static_cast<size_t>(s)];
        connect(ud, &UpDown::stepped, this, [this, s](int pos) { tuningStepped(s, pos); });
        connect(ud, &UpDown::released, this, &FretboardController::tuningReleased);
    }
    connect(panel->sbtnBassNote, &QToolButton::toggled, this, &FretboardController::setBassNote);
    connect(panel->sbtnLeftHanded, &QToolButton::toggled, this, &FretboardController::setLeftHanded);
    connect(panel->sbtnShowFullScale, &QToolButton::toggled, this, &FretboardController::setShowFullFretboard);
    connect(panel->sbShowArp, &QToolButton::toggled, this, &FretboardController::setShowArpeggio);
    connect(panel->editChordNameUser, &QLineEdit::textEdited, this, &FretboardController::typedChordName);

    connect(design->udRoot, &UpDown::stepped, this, &FretboardController::rootStepped);
    connect(design->udRoot, &UpDown::released, this, &FretboardController::rootReleased);
    connect(design->udBass, &UpDown::stepped, this, &FretboardController::bassStepped);
    connect(design, &DesignPageView::fretBoxLeft, this, &FretboardController::fretBoxLeft);
    renameNotes();
    refreshViews();
}

DisplayContext FretboardController::context() const
{
    DisplayContext ctx;
    ctx.designPageActive = m_page == Page::ChordDesign;
    ctx.showIntervalsDown = m_showIntervalsDown;
    ctx.showArpeggioDown = m_showArpeggio;
    ctx.showFullFretboard = m_showFull;
    return ctx;
}

MarkerChoice FretboardController::markerChoice() const
{
    if (!m_design)
        return std::uint8_t{pages::MarkerPlain};
    const int id = m_design->markerGroup->checkedId();
    if (id < 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(id);
}

void FretboardController::refreshViews()
{
    if (!m_panel)
        return;
    const FretboardPanels& p = m_display.panels();
    m_panel->lblChordNameCaption->setText(QString::fromStdString(p.chordNameCaption));
    m_panel->editChordNameUser->setText(QString::fromStdString(p.chordName));
    setFieldColours(m_panel->editChordNameUser, p.chordNameColour, colours::kWhite);
    m_panel->editTuningName->setText(QString::fromStdString(p.tuningName));
    m_panel->editNotes->setText(QString::fromStdString(p.notes));
    setFieldColours(m_panel->editNotes, p.notesColour, colours::kWhite);
    const QColor inactive = m_panel->palette().color(QPalette::Disabled, QPalette::WindowText);
    for (size_t k = 0; k < p.intervals.size(); ++k) {
        const IntervalField& f = p.intervals[k];
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

void FretboardController::showChord(const DiagramRecord& d)
{
    m_display.showChord(d, context());
    refreshViews();
}

void FretboardController::showIntervals(const DiagramRecord& d, std::uint32_t colour)
{
    m_display.showIntervals(d, colour, context());
    refreshViews();
}

void FretboardController::showScale(const pages::ScaleRecord& r, int beginFret, int frets)
{
    m_display.showScale(r, beginFret, frets, context());
    if (r.isEmpty())
        resetToStandardTuning();
    refreshViews();
}

void FretboardController::clearDisplay()
{
    m_display.clearDisplay();
    refreshViews();
}

void FretboardController::setActivePage(Page page)
{
    m_page = page;
    // Interval read-outs return to black on white on every page change.
    for (auto& f : m_display.panels().intervals) {
        f.text = colours::kBlack;
        f.background = colours::kWhite;
    }
    switch (page) {
    case Page::ChordDesign:
        setTuningControlsEnabled(true);
        showWork();
        return;
    case Page::Scales:
    case Page::Tablature:
        setTuningControlsEnabled(true);
        break;
    case Page::Chords:
    case Page::PlayPage:
    case Page::Print:
        setTuningControlsEnabled(false);
        break;
    }
    if (redisplayPage && page != Page::PlayPage && page != Page::Tablature) {
        redisplayPage(page);
        return;
    }
    refreshViews();
}

void FretboardController::pictureMoved(int x, int y)
{
    m_display.hover(x, y);
    if (m_panel) {
        m_panel->pnlNote->setText(QString::fromStdString(m_display.panels().note));
        m_panel->pnlInterval->setText(QString::fromStdString(m_display.panels().interval));
    }
}

void FretboardController::keyboardMoved(int x, int y)
{
    const auto key = keyAt(x, y);
    if (!key || !m_panel)
        return;
    m_panel->pnlNote->setText(QString::fromStdString(m_names.note(*key)));
    m_panel->pnlInterval->setText(QString::fromStdString(theory::hoverIntervalText(*key, m_display.shownRoot())));
}

void FretboardController::clearHoverPanels()
{
    m_display.clearHover();
    if (m_panel) {
        m_panel->pnlNote->clear();
        m_panel->pnlInterval->clear();
    }
}

void FretboardController::picturePressed(int x, int y, Qt::MouseButton button)
{
    if (m_busy.playDown || m_page != Page::ChordDesign)
        return;
    if (!(x > 4 && x <= 744 && y > 8 && y <= 105))
        return;
    // The press edits the position under the mouse, which the move before it hit-tested.
    if (!m_display.hover(x, y))
        return;
    const int s = m_display.hoverString();
    const int f = m_display.hoverFret();
    const bool right = button == Qt::RightButton;
    applyFretClick(m_work, s, f, right, markerChoice(), m_compound);
    if (right && m_design) {
        m_design->udRoot->setPosition(m_work.root);
        m_design->udBass->setPosition(m_work.root);
        m_design->editRoot->setText(QString::fromStdString(m_names.note(m_work.root)));
        m_design->editBass->setText(QString::fromStdString(m_names.note(m_work.root)));
    }
    updateFretBoxes();
    showEditedWork();
    if (right) {
        m_display.panels().interval = theory::intervalName(0);  // the root
        m_panel->pnlInterval->setText("1");
    }
}

void FretboardController::showWork()
{
    if (m_showIntervalsDown) {
        // The chord goes under the formula display, so the arpeggio must not cover it.
        const bool arp = m_showArpeggio;
        m_showArpeggio = false;
        m_display.showChord(m_work, context());
        m_showArpeggio = arp;
    } else {
        m_display.showChord(m_work, context());
    }
    updateChordNameWithBass();
    refreshViews();
}

void FretboardController::showEditedWork()
{
    showWork();
    // The edited chord's interval text follows what the interval fields now say; merely showing
    // the work chord (a page change) keeps the text it came with.
    if (!m_work.isEmpty())
        m_work.formula = intervalText(m_display.panels().intervals);
}

void FretboardController::updateChordNameWithBass()
{
    if (!m_design || m_work.isEmpty())
        return;
    if (m_design->udBass->position() != m_design->udRoot->position()) {
        m_display.panels().chordName = m_names.note(m_design->udRoot->position()) + " " + m_work.name + " /" +
                                       m_names.note(m_design->udBass->position());
    }
}

void FretboardController::updateFretBoxes()
{
    if (!m_design)
        return;
    const auto texts = fretBoxTexts(m_work);
    for (size_t s = 0; s < 6; ++s)
        m_design->editTab[s]->setText(QString::fromStdString(texts[s]));
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
    for (size_t s = 0; s < 6; ++s)
        m_currentTuning[s] = static_cast<std::uint8_t>(m_panel->upDown[s]->position());
    const std::string name = theory::tuningName(m_currentTuning, m_names);
    m_display.panels().tuningName = name;
    m_panel->editTuningName->setText(QString::fromStdString(name));
    if (m_page == Page::ChordDesign && !m_work.isEmpty()) {
        retune(m_work, m_currentTuning, name, m_compound);
        showEditedWork();
    }
    // The Scales and Tablature pages take the tuning once they exist.
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

void FretboardController::resetToStandardTuning()
{
    m_currentTuning = theory::kStandardTuning;
    m_display.setOpenStrings(theory::kStandardTuning);
    showTuningControls(theory::kStandardTuning);
}

void FretboardController::rootStepped(int root)
{
    m_design->editRoot->setText(QString::fromStdString(m_names.note(root)));
    m_design->udBass->setPosition(root);
    m_design->editBass->setText(QString::fromStdString(m_names.note(root)));
    setWorkRoot(m_work, root);
}

void FretboardController::rootReleased()
{
    recomputeIntervals(m_work, m_compound);
    showEditedWork();
}

void FretboardController::bassStepped(int bass)
{
    m_design->editBass->setText(QString::fromStdString(m_names.note(bass)));
    setWorkBass(m_work, bass);
    if (m_showIntervalsDown)
        return;
    std::string name = m_names.note(m_design->udRoot->position()) + " " + m_work.name;
    if (bass != m_design->udRoot->position())
        name += " /" + m_names.note(bass);
    m_display.panels().chordName = name;
    m_panel->editChordNameUser->setText(QString::fromStdString(name));
}

void FretboardController::typedChordName(const QString& text)
{
    if (m_page != Page::ChordDesign)
        return;
    if (auto suffix = suffixFromTypedName(text.toStdString()))
        m_work.name = *suffix;
}

void FretboardController::fretBoxLeft(int string)
{
    if (!m_design || m_busy.playDown)
        return;
    QLineEdit* box = m_design->editTab[static_cast<size_t>(string)];
    const std::string kept = applyFretBox(m_work, string, box->text().toStdString(), markerChoice(), m_compound);
    box->setText(QString::fromStdString(kept));
    m_display.setHover(string, m_work.frets[static_cast<size_t>(string)]);
    showEditedWork();
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
    m_display.setHandLayout(HandLayout::forHand(down));
    m_display.clearDisplay();
    refreshViews();
    emit handednessChanged();
    setActivePage(m_page);
    return true;
}

bool FretboardController::setShowFullFretboard(bool down)
{
    if (m_busy.holds()) {
        undoPress(m_panel ? m_panel->sbtnShowFullScale : nullptr, down);
        return false;
    }
    m_showFull = down;
    if (redisplayPage && (m_page == Page::Chords || m_page == Page::Scales || m_page == Page::Print))
        redisplayPage(m_page);
    return true;
}

bool FretboardController::setShowArpeggio(bool down)
{
    if (m_busy.holds()) {
        undoPress(m_panel ? m_panel->sbShowArp : nullptr, down);
        return false;
    }
    m_showArpeggio = down;
    std::optional<DiagramRecord> d;
    if (m_page == Page::ChordDesign) {
        if (m_showIntervalsDown)
            return true;
        d = m_work;
    } else if (pageDiagram) {
        d = pageDiagram(m_page);
    }
    if (!d)
        return true;
    if (down && !d->isEmpty())
        showIntervals(*d, colours::kBlack);
    else
        showChord(*d);
    return true;
}

void FretboardController::renameNotes()
{
    if (m_panel)
        showTuningControls(m_display.openStrings());
    if (m_design) {
        m_design->editRoot->setText(QString::fromStdString(m_names.note(m_design->udRoot->position())));
        m_design->editBass->setText(QString::fromStdString(m_names.note(m_design->udBass->position())));
    }
}

}  // namespace strumox::app
