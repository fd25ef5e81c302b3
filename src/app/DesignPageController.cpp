#include "app/DesignPageController.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include "app/DesignPageView.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/UpDown.h"

namespace strumox::app {

using pages::DiagramRecord;

DesignPageController::DesignPageController(const theory::NoteNames& names, const session::BusyGuard& busy,
                                           FretboardController& fretboard, QWidget* parent)
    : QObject(parent), m_names(names), m_busy(busy), m_fretboard(fretboard)
{
    m_view = new DesignPageView(parent);
    connect(m_view->udRoot, &UpDown::stepped, this, &DesignPageController::rootStepped);
    connect(m_view->udRoot, &UpDown::released, this, &DesignPageController::rootReleased);
    connect(m_view->udBass, &UpDown::stepped, this, &DesignPageController::bassStepped);
    connect(m_view, &DesignPageView::fretBoxLeft, this, &DesignPageController::fretBoxLeft);
    connect(m_view->markerGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            m_marker = static_cast<std::uint8_t>(id);
    });

    FretboardPanel* panel = fretboard.panel();
    connect(panel->imgFretboard, &PictureWidget::mousePressed, this, &DesignPageController::picturePressed);
    connect(panel->editChordNameUser, &QLineEdit::textEdited, this, &DesignPageController::typedChordName);
    connect(&fretboard, &FretboardController::tuningApplied, this, &DesignPageController::tuningApplied);
    redraw();
    qApp->installEventFilter(this);
}

DesignPageController::~DesignPageController() { qApp->removeEventFilter(this); }

QWidget* DesignPageController::view() const { return m_view; }

QAbstractScrollArea* DesignPageController::scrollBox() const { return m_view->listChordDesign; }

bool DesignPageController::isActive() const { return m_fretboard.activePage() == pages::Page::ChordDesign; }

std::optional<DiagramRecord> DesignPageController::arpeggioChord() const
{
    // The formula laid over the neck stays; the arpeggio would cover it.
    if (m_showIntervalsDown)
        return std::nullopt;
    return m_work;
}

void DesignPageController::redraw()
{
    m_view->editRoot->setText(QString::fromStdString(m_names.note(m_work.root)));
    m_view->editBass->setText(QString::fromStdString(m_names.note(m_work.bass % 12)));
}

std::vector<session::CloseDocument> DesignPageController::closeDocuments() const
{
    // Design pages are not saved yet: a Yes keeps the window open rather than lose the work.
    return {{session::DocumentKind::ChordDesign, m_document, nullptr}};
}

void DesignPageController::showWork()
{
    // Under the formula display the chord is shown alone, so the arpeggio does not cover it.
    m_fretboard.showChord(m_work, !m_showIntervalsDown);
    if (!m_work.isEmpty() && m_work.bass % 12 != m_work.root)
        m_fretboard.setChordName(m_work.root, m_work.name, m_work.bass % 12);
}

void DesignPageController::showEditedWork()
{
    showWork();
    // The edited chord's interval text follows what the interval fields now say; merely showing
    // the work chord (a page change) keeps the text it came with.
    if (!m_work.isEmpty())
        m_work.formula = fretboard::intervalText(m_fretboard.display().panels().intervals);
}

void DesignPageController::showRootAndBass()
{
    m_view->udRoot->setPosition(m_work.root);
    m_view->udBass->setPosition(m_work.bass % 12);
    redraw();
}

void DesignPageController::updateFretBoxes()
{
    const auto texts = fretboard::fretBoxTexts(m_work);
    for (size_t s = 0; s < 6; ++s)
        m_view->editTab[s]->setText(QString::fromStdString(texts[s]));
}

void DesignPageController::picturePressed(int x, int y, Qt::MouseButton button)
{
    if (m_busy.playDown || !isActive())
        return;
    // The press edits the position under the mouse; outside the counting area there is none.
    const auto at = m_fretboard.hoverAt(x, y);
    if (!at)
        return;
    const bool right = button == Qt::RightButton;
    fretboard::applyFretClick(m_work, at->string, at->fret, right, m_marker, m_compound);
    if (right)
        showRootAndBass();
    updateFretBoxes();
    showEditedWork();
    if (right)
        m_fretboard.showHoverInterval(theory::intervalName(0));
}

void DesignPageController::rootStepped(int root)
{
    fretboard::setWorkRoot(m_work, root);
    m_view->udBass->setPosition(root);
    redraw();
}

void DesignPageController::rootReleased()
{
    fretboard::recomputeIntervals(m_work, m_compound);
    showEditedWork();
}

void DesignPageController::bassStepped(int bass)
{
    fretboard::setWorkBass(m_work, bass);
    redraw();
    if (m_showIntervalsDown)
        return;
    m_fretboard.setChordName(m_work.root, m_work.name, bass);
}

void DesignPageController::typedChordName(const QString& text)
{
    if (!isActive())
        return;
    if (auto suffix = fretboard::suffixFromTypedName(text.toStdString())) {
        m_work.name = *suffix;
        m_fretboard.chordSuffixTyped(m_work.name);
    }
}

void DesignPageController::fretBoxLeft(int string)
{
    if (m_busy.playDown)
        return;
    QLineEdit* box = m_view->editTab[static_cast<size_t>(string)];
    const std::string kept =
        fretboard::applyFretBox(m_work, string, box->text().toStdString(), m_marker, m_compound);
    box->setText(QString::fromStdString(kept));
    showEditedWork();
}

void DesignPageController::tuningApplied(const theory::Tuning& tuning, const std::string& name)
{
    if (!isActive() || m_work.isEmpty())
        return;
    fretboard::retune(m_work, tuning, name, m_compound);
    showEditedWork();
}

bool DesignPageController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isActive() || (keysLive && !keysLive()))
        return false;
    // The finger marker buttons answer to their own keys, number pad included.
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != m_view->window())
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    QToolButton* button = nullptr;
    if (key >= Qt::Key_1 && key <= Qt::Key_4)
        button = m_view->sbtnFinger[static_cast<size_t>(key - Qt::Key_1)];
    else if (key == Qt::Key_P)
        button = m_view->sbtnPlain;
    if (!button)
        return false;
    button->setChecked(true);
    if (parkFocus)
        parkFocus();
    return true;
}

}  // namespace strumox::app
