#include "app/TfrmMain.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QWheelEvent>

#include "app/ChordFinderController.h"
#include "app/ChordPageController.h"
#include "app/DesignPageView.h"
#include "app/PrintPageController.h"
#include "app/ScalesPageController.h"
#include "app/TdlgBeginFret.h"
#include "pages/RecordConversions.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/MainToolbar.h"
#include "app/PictureWidget.h"
#include "app/QtPrompter.h"
#include "app/UpDown.h"
#include "app/core/IniFile.h"
#include "app/core/ShutdownSequence.h"
#include "app/pictures/KeyboardPicture.h"
#include "theory/ChordTypes.h"
#include "ui/HelpMenu.h"

namespace strumox::app {

namespace {

const QString kTitle = QStringLiteral("Strumox!");

struct PageInfo {
    const char* objectName;
    const char* caption;
    QSize picture;  // the page picture the scroll box shows; empty for pages with their own view
};

constexpr PageInfo kPageInfo[kPageCount] = {
    {"pageChords", "Chords", {772, 800}},   {"pageChordDesign", "Chord Design", {}},
    {"pagePlayPage", "PlayPage", {772, 3335}}, {"pagePrint", "Print", {772, 800}},
    {"pageScales", "Scales", {776, 800}},   {"pageTablature", "Tablature", {772, 800}},
};

}  // namespace

TfrmMain::TfrmMain(std::string appDir, Prompter* prompter, QWidget* parent)
    : QMainWindow(parent), m_appDir(std::move(appDir)), m_prompter(prompter)
{
    setObjectName("TfrmMain");
    if (!m_prompter) {
        m_ownPrompter = std::make_unique<QtPrompter>(this);
        m_prompter = m_ownPrompter.get();
    }
    setWindowTitle(kTitle);

    m_fretboard = new FretboardController(m_names, m_busy, m_currentTuning, this);
    m_fretboard->pageDiagram = [this](Page page) -> std::optional<pages::DiagramRecord> {
        switch (page) {
        case Page::Chords: return m_chordPage->model().selection;
        case Page::ChordDesign: return m_fretboard->workDiagram();
        case Page::PlayPage: return pages::DiagramRecord{};  // the PlayPage's shown chord comes with it
        case Page::Print: {
            const pages::PrintRecord& sel = m_printPage->model().selection;
            if (!sel.isEmpty() && !sel.isChord)
                return std::nullopt;
            return pages::printToChord(sel);
        }
        default: return std::nullopt;
        }
    };
    m_fretboard->redisplayPage = [this](Page page) {
        if (GridPageController* grid = gridPage(page))
            grid->showSelection();
    };

    m_central = new QWidget(this);
    m_layout = new QVBoxLayout(m_central);
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(2);
    setCentralWidget(m_central);

    buildMenus();
    buildToolbar();
    buildPages();
    m_fretboardPanel = new FretboardPanel(m_fretboard->display(), m_central);
    m_layout->addWidget(m_toolbar);
    m_layout->addWidget(m_pages, 1);
    m_layout->addWidget(m_fretboardPanel);
    m_fretboard->attach(m_fretboardPanel, m_designPage, m_toolbar->imgKeyboard);
    m_finder = new ChordFinderController(
        m_appDir, m_names, m_busy, *m_prompter, m_currentTuning,
        {m_toolbar->editChordRoot, m_toolbar->editChordName, m_toolbar->label4, m_toolbar->btnShowChords, m_fretboardPanel->editTuningName}, *m_chordPage,
        *m_scalesPage, *m_fretboard, this);
    m_finder->activatePage = [this](Page p) { return setActivePage(p); };
    m_finder->parkFocus = [this] { parkFocus(); };
    connect(m_toolbar->btnShowChords, &QPushButton::clicked, m_finder, &ChordFinderController::showChords);
    connect(m_fretboardPanel->sbtnFlip, &QToolButton::toggled, this, [this](bool down) { flip(down); });
    connect(m_fretboard, &FretboardController::handednessChanged, this, &TfrmMain::redrawAllPages);

    // Start-up state, in the order the window's shared state depends on it.
    m_settings = readStartupSettings(m_appDir);
    m_scaleFrets = std::clamp(m_settings.scaleFrets, 1, 6);
    buildHelpAdditions();
    m_fretboard->resetToStandardTuning();
    applyStartupSettings();
    m_pages->setCurrentIndex(static_cast<int>(Page::Chords));
    m_fretboard->setActivePage(Page::Chords);
    m_fretboard->setTuningControlsEnabled(false);
    updateNewCaption();
    updateEraseEnabled();

    qApp->installEventFilter(this);
    // Typed names must reach their fields, so the window's own keys rest while they have focus.
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        const bool typing = now && (now == m_fretboardPanel->editTuningName ||
                                    now == m_fretboardPanel->editChordNameUser ||
                                    now->objectName().startsWith("editTab"));
        m_keyPreview = !typing;
    });
    placeOnScreen();
    parkFocus();
}

TfrmMain::~TfrmMain()
{
    // Destroying the children moves the focus; by then this is no longer a whole window.
    disconnect(m_focusWatch);
    qApp->removeEventFilter(this);
}

void TfrmMain::buildMenus()
{
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("&File");
    file->setObjectName("menuFile");
    m_mnuNew = file->addAction("&New Chord Page");
    m_mnuNew->setObjectName("mnuNew");
    connect(m_mnuNew, &QAction::triggered, this, &TfrmMain::erasePage);
    auto* open = file->addAction("&Open...");
    open->setObjectName("mnuOpen");
    open->setEnabled(false);
    auto* save = file->addAction("&Save");
    save->setObjectName("mnuSave");
    save->setEnabled(false);
    auto* saveAs = file->addAction("Save &As...");
    saveAs->setObjectName("mnuSaveAs");
    saveAs->setEnabled(false);
    file->addSeparator();
    auto* print = file->addAction("&Print Page...");
    print->setObjectName("mnuPrint");
    print->setEnabled(false);
    file->addSeparator();
    auto* exit = file->addAction("E&xit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(file, &QMenu::aboutToShow, this, &TfrmMain::updateNewCaption);

    m_keyMenu = bar->addMenu("&Key");
    m_keyMenu->setObjectName("menuKey");
    for (int k = 0; k < 12; ++k) {
        const QString name = QString::fromStdString(m_names.note(k));
        QAction* a = m_keyMenu->addAction(name);
        a->setObjectName(QStringLiteral("mnu") + name);
        connect(a, &QAction::triggered, this, [this, k] {
            m_finder->chooseKey(k);
            parkFocus();
        });
        m_keyItems[static_cast<size_t>(k)] = a;
    }

    for (const auto& fam : theory::kFamilies) {
        QMenu* menu = bar->addMenu(fam.menuTitle);
        menu->setObjectName(QStringLiteral("menu") + fam.menuTitle);
        QMenu* more = menu->addMenu("More Chords...");
        for (int t = 0; t < fam.typeCount; ++t) {
            const QString caption = QString::fromUtf8(theory::kChordTypeCaptions[static_cast<size_t>(fam.firstFormula + t)].data(),
                                                      int(theory::kChordTypeCaptions[static_cast<size_t>(fam.firstFormula + t)].size()));
            QAction* a = t < fam.mainItems ? menu->addAction(caption) : more->addAction(caption);
            const int family = static_cast<int>(fam.family);
            connect(a, &QAction::triggered, this, [this, family, t, caption] {
                m_finder->chooseChordType(family, t, caption);
                parkFocus();
            });
        }
    }

    QMenu* scale = bar->addMenu("&Scale");
    scale->setObjectName("menuScale");
    QMenu* moreScales = scale->addMenu("More Scales...");
    for (int i = 0; i < theory::kScaleCount; ++i) {
        const auto sv = theory::kScaleNames[static_cast<size_t>(i)];
        const QString caption = QString::fromUtf8(sv.data(), int(sv.size()));
        QAction* a = i < theory::kScaleMainItems ? scale->addAction(caption) : moreScales->addAction(caption);
        connect(a, &QAction::triggered, this, [this, i, caption] {
            m_finder->chooseScale(i, caption);
            parkFocus();
        });
    }

    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("menuOptions");
    m_mnuFlatSharp = options->addAction("Flats");
    m_mnuFlatSharp->setObjectName("mnuFlatSharp");
    m_mnuFlatSharp->setToolTip("Switch note names between flats and sharps");
    connect(m_mnuFlatSharp, &QAction::triggered, this, &TfrmMain::toggleFlatSharp);
    m_menuFlip = options->addAction("Flip");
    m_menuFlip->setObjectName("menuFlip");
    connect(m_menuFlip, &QAction::triggered, this, [this] {
        if (m_busy.holds())
            return;
        m_fretboardPanel->sbtnFlip->setChecked(!m_flipped);
    });
    options->addSeparator();
    auto* prefs = options->addAction("Preferences...");
    prefs->setObjectName("mnuPreferences");
    prefs->setEnabled(false);
    auto* calc = options->addAction("Interval Calculator...");
    calc->setObjectName("mnuIntervalCalculator");
    calc->setEnabled(false);

    m_helpMenu = bar->addMenu("&Help");
    m_helpMenu->setObjectName("menuHelp");
    auto* topics = m_helpMenu->addAction("&Help Topics");
    topics->setObjectName("mnuHelpTopics");
    topics->setEnabled(false);
    auto* tips = m_helpMenu->addAction("Show Tips...");
    tips->setObjectName("mnuShowTips");
    tips->setEnabled(false);
    m_helpMenu->addSeparator();
    auto* about = m_helpMenu->addAction("&About...");
    about->setObjectName("mnuAbout");
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, "About Strumox",
                           QStringLiteral("                Strumox! version: %1\n\n"
                                          "Chords, scales, song sheets and tablature for guitarists.")
                               .arg(QStringLiteral(STRUMOX_VERSION)));
    });
}

void TfrmMain::buildHelpAdditions()
{
    ui::addHelpMenuAdditions(m_helpMenu, m_settings.webSites, QString::fromStdString(m_appDir) + "KQ65 Tutorials/");
}

void TfrmMain::buildToolbar()
{
    m_toolbar = new MainToolbar([this](QPainter& p) { paintKeyboard(p, m_fretboard->display().keyboard()); },
                                m_central);
    connect(m_toolbar->sbtnErase, &QToolButton::clicked, this, &TfrmMain::erasePage);
    connect(m_toolbar->imgKeyboard, &PictureWidget::mouseMoved, m_fretboard, &FretboardController::keyboardMoved);
    connect(m_toolbar->imgKeyboard, &PictureWidget::mouseLeft, m_fretboard, &FretboardController::clearHoverPanels);
}

void TfrmMain::buildPages()
{
    m_pages = new QTabWidget(m_central);
    m_pages->setObjectName("PageControl1");
    m_dlgBeginFret = new TdlgBeginFret(this);
    const GridPageServices services{m_names, m_busy, *m_prompter, *m_fretboard, m_transfer, m_scaleFrets};
    m_chordPage = new ChordPageController(services, m_pages);
    m_scalesPage = new ScalesPageController(services, *m_dlgBeginFret, m_pages);
    m_printPage = new PrintPageController(services, m_pages);
    m_chordPage->toggleArpeggio = [this] { m_fretboardPanel->sbShowArp->toggle(); };
    for (int i = 0; i < kPageCount; ++i) {
        const PageInfo& info = kPageInfo[i];
        QWidget* page = nullptr;
        if (i == static_cast<int>(Page::ChordDesign)) {
            m_designPage = new DesignPageView(m_pages);
            page = m_designPage;
            m_scrollTargets[static_cast<size_t>(i)] = m_designPage->listChordDesign;
        } else if (GridPageController* grid = gridPage(static_cast<Page>(i))) {
            page = grid->scrollBox();
            m_scrollTargets[static_cast<size_t>(i)] = grid->scrollBox();
            connect(grid, &GridPageController::pageRequested, this, &TfrmMain::onPageRequested);
            connect(grid, &GridPageController::titleCleared, this, [this] { setWindowTitle(kTitle); });
        } else {
            auto* scroll = new QScrollArea(m_pages);
            scroll->setObjectName(QStringLiteral("scroll") + info.caption);
            auto* picture = new QWidget;
            picture->setObjectName(QStringLiteral("img") + QString(info.caption).remove(' '));
            picture->setFixedSize(info.picture);
            picture->setAutoFillBackground(true);
            QPalette pal = picture->palette();
            pal.setColor(QPalette::Window, Qt::white);
            picture->setPalette(pal);
            picture->setMouseTracking(true);
            scroll->setWidget(picture);
            page = scroll;
            m_scrollTargets[static_cast<size_t>(i)] = scroll;
        }
        page->setObjectName(info.objectName);
        m_pages->addTab(page, info.caption);
    }
    connect(m_pages, &QTabWidget::currentChanged, this, &TfrmMain::onPageChanged);
}

void TfrmMain::applyStartupSettings()
{
    FretboardPanel& p = *m_fretboardPanel;
    p.sbStrumSpeed->setValue(m_settings.strumSpeed);
    // Each of these runs its handler, as a press would.
    p.sbtnBassNote->setChecked(m_settings.bassNote);
    p.sbtnShowFullScale->setChecked(m_settings.showFull);
    p.sbtnLeftHanded->setChecked(m_settings.leftHanded);
    m_toolbar->sbtnFLAnimate->setChecked(m_settings.glowAnimate);
    m_toolbar->sbtnRootFlash->setChecked(m_settings.glowShowFlash);
}

Page TfrmMain::activePage() const { return static_cast<Page>(m_pages->currentIndex()); }

bool TfrmMain::setActivePage(Page page)
{
    if (m_busy.holds())
        return false;
    m_pages->setCurrentIndex(static_cast<int>(page));
    return activePage() == page;
}

void TfrmMain::onPageChanged(int index)
{
    if (m_busy.holds()) {
        // A page change is refused while anything plays: put the old tab back.
        const QSignalBlocker block(m_pages);
        m_pages->setCurrentIndex(m_lastPage);
        return;
    }
    m_lastPage = index;
    for (Page p : {Page::Chords, Page::Scales, Page::Print})
        gridPage(p)->endPlacement();
    m_fretboard->setActivePage(static_cast<Page>(index));
    // No page has a file name yet: the caption keeps the separator the file name follows.
    setWindowTitle(kTitle + "   ");
    updateEraseEnabled();
    parkFocus();
}

GridPageController* TfrmMain::gridPage(Page page) const
{
    switch (page) {
    case Page::Chords: return m_chordPage;
    case Page::Scales: return m_scalesPage;
    case Page::Print: return m_printPage;
    default: return nullptr;
    }
}

void TfrmMain::onPageRequested(Page page, Placement placement)
{
    if (!setActivePage(page))
        return;
    m_transfer.setMode(page, placement);
    if (GridPageController* grid = gridPage(page))
        grid->updateCursor();
}

void TfrmMain::erasePage()
{
    if (m_busy.holds())
        return;
    if (GridPageController* grid = gridPage(activePage()))
        grid->erase();
    parkFocus();
}

void TfrmMain::updateEraseEnabled()
{
    // The other pages erase with their own documents' questions, which come with those pages.
    const bool erasable = gridPage(activePage()) != nullptr;
    m_toolbar->sbtnErase->setEnabled(erasable);
    m_mnuNew->setEnabled(erasable);
}

void TfrmMain::redrawAllPages()
{
    for (Page p : {Page::Chords, Page::Scales, Page::Print})
        gridPage(p)->redraw();
    if (!m_busy.playDown)
        m_fretboard->setActivePage(activePage());
}

void TfrmMain::updateNewCaption()
{
    switch (activePage()) {
    case Page::Chords: m_mnuNew->setText("&New Chord Page"); break;
    case Page::PlayPage: m_mnuNew->setText("&New Play Page"); break;
    case Page::Scales: m_mnuNew->setText("&New Scale Page"); break;
    case Page::ChordDesign: m_mnuNew->setText("&New Design Page"); break;
    case Page::Print: m_mnuNew->setText("&New Print Page"); break;
    case Page::Tablature: break;  // keeps its previous caption
    }
}

void TfrmMain::toggleFlatSharp()
{
    m_names.toggle();
    m_mnuFlatSharp->setText(QString::fromStdString(m_names.switchCaption()));
    for (int k = 0; k < 12; ++k)
        m_keyItems[static_cast<size_t>(k)]->setText(QString::fromStdString(m_names.note(k)));
    if (m_finder->chosenKey() != -1 && !m_toolbar->editChordRoot->text().isEmpty())
        m_toolbar->editChordRoot->setText(QString::fromStdString(m_names.note(m_finder->chosenKey())));
    m_fretboard->renameNotes();
    // Headers and titles on the pages are spelled anew; what the fretboard shows stays.
    for (Page p : {Page::Chords, Page::Scales, Page::Print})
        gridPage(p)->redraw();
    parkFocus();
}

bool TfrmMain::flip(bool flipped)
{
    if (m_busy.holds()) {
        const QSignalBlocker block(m_fretboardPanel->sbtnFlip);
        m_fretboardPanel->sbtnFlip->setChecked(m_flipped);
        return false;
    }
    m_flipped = flipped;
    m_layout->removeWidget(m_toolbar);
    m_layout->removeWidget(m_fretboardPanel);
    m_layout->insertWidget(0, flipped ? static_cast<QWidget*>(m_fretboardPanel) : static_cast<QWidget*>(m_toolbar));
    m_layout->addWidget(flipped ? static_cast<QWidget*>(m_toolbar) : static_cast<QWidget*>(m_fretboardPanel));
    // The keyboard rides with the fretboard when flipped, under the read-outs.
    if (flipped) {
        m_toolbar->pnlKeyboard->setParent(m_fretboardPanel);
        m_toolbar->pnlKeyboard->move(2, FretboardPanel::kKeyboardTopFlipped);
    } else {
        m_toolbar->pnlKeyboard->setParent(m_toolbar);
        m_toolbar->pnlKeyboard->move(2, MainToolbar::kKeyboardTop);
    }
    m_toolbar->pnlKeyboard->show();
    m_layout->activate();
    {
        const QSignalBlocker block(m_fretboardPanel->sbtnFlip);
        m_fretboardPanel->sbtnFlip->setChecked(flipped);
    }
    m_menuFlip->setChecked(flipped);
    parkFocus();
    return true;
}

void TfrmMain::parkFocus() { m_fretboardPanel ? m_fretboardPanel->sbStrumSpeed->setFocus() : void(); }

void TfrmMain::placeOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize full = screen ? screen->size() : QSize(1024, 768);
    move(avail.topLeft());
    if (shouldMaximise(full)) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        resize(1024, 768);
    }
}

void TfrmMain::activateFromSecondInstance(const QString& path)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (!path.isEmpty())
        openDocument(path);
}

void TfrmMain::openDocument(const QString& path)
{
    // Page and tab files open here as each file kind arrives; until then say so plainly.
    statusBar()->showMessage(QStringLiteral("Cannot open \"%1\": this kind of file is not supported yet.")
                                 .arg(QFileInfo(path).fileName()),
                             8000);
}

QAbstractScrollArea* TfrmMain::wheelTarget() const
{
    return m_scrollTargets[static_cast<size_t>(m_pages->currentIndex())];
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        // Leaving the pictures for anywhere else in the window empties the hover read-outs.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this && w != m_fretboardPanel->imgFretboard && w != m_toolbar->imgKeyboard &&
            !m_fretboardPanel->pnlNote->text().isEmpty())
            m_fretboard->clearHoverPanels();
    }
    if (event->type() == QEvent::KeyPress && m_keyPreview && activePage() == Page::ChordDesign) {
        // The finger marker buttons answer to their own keys, number pad included.
        auto* w = qobject_cast<QWidget*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        QToolButton* button = nullptr;
        if (key >= Qt::Key_1 && key <= Qt::Key_4)
            button = m_designPage->sbtnFinger[static_cast<size_t>(key - Qt::Key_1)];
        else if (key == Qt::Key_P)
            button = m_designPage->sbtnPlain;
        if (button && w && w->window() == this) {
            button->setChecked(true);
            parkFocus();
            return true;
        }
    }
    if (event->type() == QEvent::Wheel) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const int lines = m_wheel.feed(wheel->angleDelta().y(), QApplication::wheelScrollLines());
            if (QAbstractScrollArea* target = wheelTarget()) {
                QScrollBar* bar = target->verticalScrollBar();
                for (int i = 0; i < std::abs(lines); ++i)
                    bar->triggerAction(lines > 0 ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent* e)
{
    auto saveNotYet = [] { return false; };  // the documents' savers arrive with their pages
    const std::vector<CloseDocument> docs{
        {"Save PlayPage changes ", playPageDoc.modified, playPageDoc.fileName, saveNotYet},
        {"Save Chord Design Page changes ", designDoc.modified, designDoc.fileName, saveNotYet},
        {"Save Raw Tab changes ", rawTabDoc.modified, rawTabDoc.fileName, saveNotYet},
        {"Save Strumox Tab file (.sxt) changes ", tabPageDoc.modified, tabPageDoc.fileName, saveNotYet},
    };
    if (!mayClose(m_busy, docs, *m_prompter)) {
        e->ignore();
        return;
    }
    writeExitSettings();
    e->accept();
}

void TfrmMain::writeExitSettings()
{
    m_settings.strumSpeed = m_fretboardPanel->sbStrumSpeed->value();
    m_settings.bassNote = m_fretboard->bassNote();
    m_settings.leftHanded = m_fretboard->leftHanded();
    m_settings.showFull = m_fretboard->showFullFretboard();
    m_settings.glowAnimate = m_toolbar->sbtnFLAnimate->isChecked();
    m_settings.glowShowFlash = m_toolbar->sbtnRootFlash->isChecked();
    try {
        app::writeExitSettings(m_appDir, m_settings);
    } catch (const SettingsWriteError& err) {
        // Settings are not worth keeping the window open for: say so and close anyway.
        emit settingsWriteFailed(QString::fromUtf8(err.what()));
        m_prompter->message(err.what());
    }
}

}  // namespace strumox::app
