#include "app/DesignPageController.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/DesignPageView.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/TZoStaffBox.h"
#include "app/UpDown.h"
#include "app/UserChordMenu.h"
#include "app/pictures/DiagramPictures.h"
#include "fretboard/ChordNaming.h"
#include "pages/RecordConversions.h"
#include "settings/Settings.h"
#include "theory/ChordData.h"
#include "theory/ChordSearch.h"

namespace strumox::app {

using pages::DiagramRecord;
using pages::Page;
using pages::Placement;

namespace {

constexpr int kBuiltInTypes = theory::kChordTypeCount;
constexpr int kDesignFontTiny = 8;
constexpr int kDesignFontNormal = 9;

QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

DesignPageController::DesignPageController(DesignPageServices s, QWidget* parent)
    : QObject(parent), m_names(s.names), m_busy(s.busy), m_prompter(s.prompter), m_fretboard(s.fretboard),
      m_transfer(s.transfer), m_appDir(std::move(s.appDir)), m_settings(s.settings)
{
    m_view = new DesignPageView(
        [this](QPainter& p) {
            const int font = m_settings.cdTinyFont ? kDesignFontTiny : kDesignFontNormal;
            for (int k = 0; k < pages::DesignGroup::kSlots; ++k)
                pictures::drawDesignSlot(p, m_group.slot(k), k, m_names, m_fretboard.display().handLayout(), font);
            if (const int k = m_group.selected(); k >= 0) {
                p.setPen(Qt::red);
                p.setBrush(Qt::NoBrush);
                p.drawRect(k * pictures::kDesignSlotWidth, 0, pictures::kDesignSlotWidth - 1,
                           pictures::kDesignStripHeight - 1);
            }
        },
        parent);
    DesignPageView& v = *m_view;
    m_staff = new TZoStaffBox(v.staffHost);
    m_staff->setObjectName("StaffBox");

    connect(v.udRoot, &UpDown::stepped, this, &DesignPageController::rootStepped);
    connect(v.udRoot, &UpDown::released, this, &DesignPageController::rootReleased);
    connect(v.udBass, &UpDown::stepped, this, &DesignPageController::bassStepped);
    connect(m_view, &DesignPageView::fretBoxLeft, this, &DesignPageController::fretBoxLeft);
    connect(v.markerGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            m_marker = static_cast<std::uint8_t>(id);
    });
    connect(v.imgChordDesign, &PictureWidget::mousePressed, this, &DesignPageController::stripPressed);
    connect(v.imgChordDesign, &PictureWidget::mouseMoved, this, [this] { m_fretboard.clearHoverPanels(); });
    connect(v.imgChordDesign, &DesignStripWidget::dropped, this,
            [this](const QString& source, int x, int) { dropped(source, x); });
    connect(v.btnSearch, &QPushButton::clicked, this, &DesignPageController::search);
    connect(v.sbDisplayIntervals, &QToolButton::toggled, this, &DesignPageController::showIntervalsToggled);
    connect(v.ComboBox1, &QComboBox::activated, this, &DesignPageController::chordTypePicked);

    FretboardPanel* panel = m_fretboard.panel();
    v.imgChordDesign->acceptsSource = [this, panel](const QString& source) {
        return source == m_view->listChordDesign->objectName() || source == panel->bitbtnDrag->objectName();
    };
    connect(panel->imgFretboard, &PictureWidget::mousePressed, this, &DesignPageController::picturePressed);
    connect(panel->editChordNameUser, &QLineEdit::textEdited, this, &DesignPageController::typedChordName);
    connect(&m_fretboard, &FretboardController::tuningApplied, this, &DesignPageController::tuningApplied);
    // The drag button and the interval fields are watched by the application-wide filter below.

    popmenuDesign = new QMenu(v.imgChordDesign);
    popmenuDesign->setObjectName("popmenuDesign");
    auto item = [this](const char* name, const QString& caption, bool enabled) {
        QAction* a = popmenuDesign->addAction(caption);
        a->setObjectName(name);
        a->setEnabled(enabled);
        return a;
    };
    connect(item("pmenuDesignPlay", "Play Chord", true), &QAction::triggered, this, [this] {
        if (m_clicked < 0 || !m_group.filled(m_clicked))
            return;
        takeUp(m_clicked);
        if (pressPlay)
            pressPlay(false);
    });
    connect(item("pmenuDesignToPlayPage", "Send To PlayPage", true), &QAction::triggered, this, [this] {
        if (m_clicked < 0 || !m_group.filled(m_clicked))
            return;
        m_transfer.pendingDiagram = m_group.slot(m_clicked);
        emit pageRequested(Page::PlayPage, Placement::Place);
    });
    m_toPrint = item("pmenuDesignToPrint", "Send To Print Page", true);
    connect(m_toPrint, &QAction::triggered, this, &DesignPageController::sendToPrintPage);
    connect(item("pmenuDesignDelete", "Delete", true), &QAction::triggered, this, &DesignPageController::deleteClicked);
    connect(item("pmenuDesignMove", "Move", true), &QAction::triggered, this, &DesignPageController::moveClicked);

    fillChordTypes();
    m_userChords = new UserChordMenu(v.ComboBox1, settings::settingsFilePath(m_appDir), m_prompter, this);
    connect(m_userChords, &UserChordMenu::userChordDeleted, this, [this] {
        // The list shows no choice now; the display follows as Show Intervals would.
        showIntervalsToggled(m_showIntervalsDown);
    });
    redraw();
    qApp->installEventFilter(this);
}

DesignPageController::~DesignPageController() { qApp->removeEventFilter(this); }

QWidget* DesignPageController::view() const { return m_view; }

QAbstractScrollArea* DesignPageController::scrollBox() const { return m_view->listChordDesign; }

bool DesignPageController::isActive() const { return m_fretboard.activePage() == Page::ChordDesign; }

void DesignPageController::fillChordTypes()
{
    QComboBox* box = m_view->ComboBox1;
    for (const theory::ChordFormula& f : theory::chordFormulas())
        box->addItem(latin1(std::string(f.suffix)));
    for (const std::string& name : m_settings.userChordNames)
        box->addItem(latin1(name));
    box->setCurrentIndex(0);
}

std::optional<DiagramRecord> DesignPageController::arpeggioChord() const
{
    // The formula laid over the neck stays; the arpeggio would cover it.
    if (m_showIntervalsDown)
        return std::nullopt;
    return m_work;
}

void DesignPageController::showOnFretboard()
{
    m_fretboard.panel()->bitbtnDrag->show();
    showWorkAndFormula();
    nameFrettedChord();
}

void DesignPageController::redraw()
{
    m_view->editRoot->setText(latin1(m_names.note(m_work.root)));
    m_view->editBass->setText(latin1(m_names.note(m_work.bass % 12)));
    m_view->imgChordDesign->refresh();
}

std::vector<session::CloseDocument> DesignPageController::closeDocuments() const
{
    return {{session::DocumentKind::ChordDesign, document(), saveGroup}};
}

// --- Showing the work chord -----------------------------------------------------------------------

void DesignPageController::showWork()
{
    // Under the formula display the chord is shown alone, so the arpeggio does not cover it.
    m_fretboard.showChord(m_work, !m_showIntervalsDown);
    if (!m_work.isEmpty() && m_work.bass % 12 != m_work.root)
        m_fretboard.setChordName(m_work.root, m_work.name, m_work.bass % 12);
    updateStaff();
}

void DesignPageController::showEditedWork()
{
    showWork();
    // The edited chord's interval text follows what the interval fields now say; merely showing
    // the work chord (a page change) keeps the text it came with.
    if (!m_work.isEmpty())
        m_work.formula = fretboard::intervalText(m_fretboard.display().panels().intervals);
    if (m_showIntervalsDown)
        showFormula();
    nameFrettedChord();
}

void DesignPageController::showWorkAndFormula()
{
    showWork();
    if (m_showIntervalsDown)
        showFormula();
}

void DesignPageController::updateStaff()
{
    if (isActive())
        m_staff->setChordNotes(m_work.isEmpty() ? theory::SoundingNotes{} : m_work.sounding);
}

std::optional<theory::FormulaRecord> DesignPageController::formulaOfEntry(int entry)
{
    if (entry < 0)
        return std::nullopt;
    if (entry >= kBuiltInTypes)
        return m_userChords->formulaOf(entry);
    std::string error;
    auto record = theory::readFormulaRecord(m_appDir + std::string(theory::kFormulaFileName), entry, &error);
    if (!record)
        m_prompter.message(error);
    return record;
}

void DesignPageController::showFormula()
{
    // With no chord type chosen there is nothing to lay over the neck: the work chord stays alone.
    const auto formula = formulaOfEntry(m_view->ComboBox1->currentIndex());
    if (!formula)
        return;
    DiagramRecord shown;
    shown.empty = 0;
    shown.name = formula->suffix;
    shown.formula = formula->text;
    shown.intervals = formula->intervals;
    shown.root = static_cast<std::uint8_t>(m_view->udRoot->position());
    m_fretboard.showIntervals(shown, fretboard::colours::kBlue);
}

void DesignPageController::showIntervalsToggled(bool down)
{
    if (m_busy.holds()) {
        const QSignalBlocker block(m_view->sbDisplayIntervals);
        m_view->sbDisplayIntervals->setChecked(m_showIntervalsDown);
        return;
    }
    m_showIntervalsDown = down;
    if (isActive())
        showWorkAndFormula();
}

void DesignPageController::chordTypePicked()
{
    if (m_showIntervalsDown && isActive())
        showWorkAndFormula();
    if (parkFocus)
        parkFocus();
}

void DesignPageController::intervalFieldClicked(int field)
{
    if (!isActive() || m_showIntervalsDown || m_busy.holds())
        return;
    const int v = m_fretboard.display().panels().intervals[static_cast<size_t>(field)].tag;
    // The root, the thirds' major form, the fifth and the sevenths have no second name.
    if (v < 0 || v == 0 || v == 4 || v == 7 || v == 10 || v == 11)
        return;
    m_compound[static_cast<size_t>(v)] = !m_compound[static_cast<size_t>(v)];
    fretboard::recomputeIntervals(m_work, m_compound);
    showEditedWork();
}

void DesignPageController::nameFrettedChord()
{
    if (!isActive())
        return;
    std::string error;
    const auto formulas = theory::readFormulaFile(m_appDir + std::string(theory::kFormulaFileName), &error);
    const auto name = formulas ? fretboard::defaultChordName(m_work, *formulas, m_names) : std::nullopt;
    m_naming = name.has_value();
    emit statusMessage(name ? QStringLiteral("Fretted chord: %1").arg(latin1(*name)) : QString());
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

// --- Editing the work chord -----------------------------------------------------------------------

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

// --- Search ---------------------------------------------------------------------------------------

void DesignPageController::search()
{
    if (m_busy.holds())
        return;
    QListWidget* list = m_view->listChordDesign;
    list->clear();
    m_found.clear();
    std::string error;
    const auto formulas = theory::readFormulaFile(m_appDir + std::string(theory::kFormulaFileName), &error);
    if (!formulas) {
        m_prompter.message(error);
        return;
    }
    const auto outcome = theory::searchChords(
        fretboard::searchInputOf(m_work), static_cast<theory::IntervalOption>(m_view->intervalOption()),
        static_cast<theory::RootOption>(m_view->rootOption()), *formulas, m_names);
    m_view->setIntervalOption(static_cast<int>(outcome.intervalOp));
    m_view->setRootOption(static_cast<int>(outcome.rootOp));
    if (outcome.searched) {
        for (const theory::SearchResult& r : outcome.results) {
            list->addItem(latin1(r.text));
            m_found.push_back({r.formulaIndex, r.root});
        }
        if (outcome.results.empty())
            list->addItem(latin1(std::string(theory::kNoChordsFound)));
    }
    if (parkFocus)
        parkFocus();
}

// --- The design strip -----------------------------------------------------------------------------

void DesignPageController::takeUp(int slot)
{
    m_group.select(slot);
    m_work = m_group.slot(slot);
    showRootAndBass();
    updateFretBoxes();
    showWorkAndFormula();
    m_view->imgChordDesign->refresh();
}

void DesignPageController::endPlacement()
{
    m_transfer.setMode(Page::ChordDesign, Placement::None);
    updateCursor();
}

void DesignPageController::updateCursor()
{
    QWidget* strip = m_view->imgChordDesign;
    switch (m_transfer.mode(Page::ChordDesign)) {
    case Placement::None: strip->unsetCursor(); break;
    case Placement::Place: strip->setCursor(Qt::CrossCursor); break;
    case Placement::Move: strip->setCursor(Qt::SizeAllCursor); break;
    }
}

void DesignPageController::awaitPlacement(Placement placement)
{
    m_transfer.setMode(Page::ChordDesign, placement);
    updateCursor();
}

void DesignPageController::leave()
{
    m_fretboard.panel()->bitbtnDrag->hide();
    // The fretted chord's name belongs to this page.
    if (m_naming) {
        m_naming = false;
        emit statusMessage(QString());
    }
    // A diagram lifted by Move and not yet put down goes back where it was rather than be lost.
    if (m_group.cancelLift())
        m_view->imgChordDesign->refresh();
    endPlacement();
}

void DesignPageController::stripPressed(int x, int, Qt::MouseButton button)
{
    if (m_busy.holds())
        return;
    const auto at = pages::DesignGroup::slotAt(x);
    if (!at)
        return;
    const int k = *at;
    m_clicked = k;
    switch (m_transfer.mode(Page::ChordDesign)) {
    case Placement::Place: {
        const DiagramRecord pending = m_transfer.pendingDiagram;
        if (button == Qt::RightButton || pending.isEmpty()) {
            endPlacement();
            return;
        }
        if (m_group.filled(k) &&
            m_prompter.askYesNo("Do you want to replace this diagram?", true) != session::Answer::Yes)
            return;
        m_group.place(k, pending);
        endPlacement();
        takeUp(k);
        return;
    }
    case Placement::Move:
        // Any button puts the lifted diagram down.
        m_group.putDown(k);
        endPlacement();
        takeUp(k);
        return;
    case Placement::None: break;
    }
    if (!m_group.filled(k))
        return;
    if (button == Qt::RightButton) {
        popupAt(k);
        return;
    }
    if (k != m_group.selected())
        takeUp(k);
}

void DesignPageController::popupAt(int)
{
    popmenuDesign->popup(QCursor::pos());
}

void DesignPageController::sendToPrintPage()
{
    if (m_clicked < 0 || !m_group.filled(m_clicked))
        return;
    m_transfer.pendingPrint = pages::chordToPrint(m_group.slot(m_clicked));
    emit pageRequested(Page::Print, Placement::Place);
}

void DesignPageController::deleteClicked()
{
    if (m_clicked < 0 || !m_group.filled(m_clicked) || m_busy.holds())
        return;
    if (m_prompter.askYesNo("Do you want to erase this diagram?", true) != session::Answer::Yes)
        return;
    if (const auto next = m_group.remove(m_clicked))
        takeUp(*next);
    m_view->imgChordDesign->refresh();
}

void DesignPageController::moveClicked()
{
    if (m_clicked < 0 || m_busy.holds() || !m_group.lift(m_clicked))
        return;
    m_transfer.setMode(Page::ChordDesign, Placement::Move);
    updateCursor();
    m_view->imgChordDesign->refresh();
}

void DesignPageController::dropped(const QString& source, int x)
{
    if (m_busy.holds())
        return;
    if (source == m_view->listChordDesign->objectName())
        loadFound();
    else if (source == m_fretboard.panel()->bitbtnDrag->objectName())
        dropWork(x);
}

void DesignPageController::loadFound()
{
    const int row = m_view->listChordDesign->currentRow();
    // "No Chords Found" has no chord behind it: dropping it changes nothing.
    if (row < 0 || row >= static_cast<int>(m_found.size()))
        return;
    if (m_group.modified) {
        const auto answer = m_prompter.askYesNoCancel("Do you want to save changes to this Design Group before modifying?");
        if (answer == session::Answer::Cancel)
            return;
        if (answer == session::Answer::Yes && !(saveGroup && saveGroup()))
            return;
    }
    const Found chosen = m_found[static_cast<size_t>(row)];
    std::string error;
    const auto lookup = theory::lookupChord(m_appDir, chosen.formulaIndex, chosen.root, &error);
    if (!lookup) {
        m_prompter.message(error);
        return;
    }
    pages::DesignGroup::Slots six;
    for (size_t i = 0; i < six.size(); ++i)
        six[i] = pages::designDiagramOf(lookup->fingerings[i], lookup->formula, chosen.root);
    m_group.load(six);
    m_fileName.clear();
    m_view->lblCDFilePath->setText("File:");
    takeUp(0);
    emit titleCleared();
}

void DesignPageController::dropWork(int x)
{
    const auto at = pages::DesignGroup::slotAt(x);
    if (!at || m_work.isEmpty())
        return;
    const int k = *at;
    if (m_group.filled(k) &&
        m_prompter.askYesNo("Do you want to replace this diagram?", true) != session::Answer::Yes)
        return;
    // The interval fields must show the chord's own intervals, not the formula's, to be copied.
    if (m_showIntervalsDown)
        showWork();
    const FretboardPanel& panel = *m_fretboard.panel();
    std::array<std::string, 6> strings;
    for (size_t s = 0; s < 6; ++s)
        strings[s] = panel.editString[s]->text().toLatin1().toStdString();
    m_work.tuningName = pages::stripTuningName(panel.editTuningName->text().toLatin1().toStdString(), strings);
    m_work.formula = fretboard::intervalText(m_fretboard.display().panels().intervals);
    m_group.place(k, m_work);
    if (m_showIntervalsDown)
        showFormula();
    m_view->imgChordDesign->refresh();
}

std::function<void(const std::string&)> DesignPageController::fileWriter() const
{
    pages::DesignFile file;
    file.diagrams = m_group.all();
    return [file](const std::string& path) { pages::writeDesignFile(path, file); };
}

void DesignPageController::fileSaved(const std::string& path)
{
    m_group.modified = false;
    m_fileName = path;
    m_view->lblCDFilePath->setText("File: " + QString::fromStdString(path));
}

void DesignPageController::recovered()
{
    m_group.modified = true;
    m_fileName.clear();
    m_view->lblCDFilePath->setText("File:");
}

bool DesignPageController::readFile(const std::string& path, std::string* error)
{
    const auto file = pages::readDesignFile(path, error);
    if (!file)
        return false;
    endPlacement();
    m_group.erase();
    m_group.load(file->diagrams);
    m_group.select(-1);
    m_view->listChordDesign->clear();
    m_found.clear();
    for (int k = 0; k < pages::DesignGroup::kSlots; ++k)
        if (m_group.filled(k)) {
            m_clicked = k;
            // The group is shown as it was kept, not under a formula.
            m_view->sbDisplayIntervals->setChecked(false);
            takeUp(k);
            break;
        }
    fileSaved(path);
    m_view->imgChordDesign->refresh();
    return true;
}

void DesignPageController::erase()
{
    if (m_group.modified) {
        const auto answer = m_prompter.askYesNoCancel("Do you want to save changes to this Design Group before erasing?");
        if (answer == session::Answer::Cancel)
            return;
        if (answer == session::Answer::Yes && !(saveGroup && saveGroup()))
            return;
    }
    m_group.erase();
    endPlacement();
    m_fileName.clear();
    m_view->lblCDFilePath->setText("File:");
    m_view->imgChordDesign->refresh();
    emit titleCleared();
}

bool DesignPageController::eventFilter(QObject* watched, QEvent* event)
{
    FretboardPanel* panel = m_fretboard.panel();
    if (watched == panel->bitbtnDrag) {
        // A press on the drag button starts carrying the work chord toward the strip.
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (!m_busy.holds() && !m_work.isEmpty())
                DesignPageView::startChordDrag(panel->bitbtnDrag);
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int k = 0; k < 7; ++k)
            if (watched == panel->editIntervals[static_cast<size_t>(k)]) {
                intervalFieldClicked(k);
                return false;
            }
    }
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
