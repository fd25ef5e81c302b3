#include "app/TfrmMain.h"

#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/BlankPageController.h"
#include "app/ChordFinderController.h"
#include "app/ChordPageController.h"
#include "app/DesignPageController.h"
#include "app/DesignPageView.h"
#include "app/ExportController.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/PageFileController.h"
#include "app/PictureWidget.h"
#include "app/PlayPageController.h"
#include "app/PrintPageController.h"
#include "app/QtPrompter.h"
#include "app/RecoveryController.h"
#include "app/ScalesPageController.h"
#include "app/PlaybackController.h"
#include "app/SpokenNoteNames.h"
#include "app/TdlgBeginFret.h"
#include "app/TdlgTempo.h"
#include "app/TfrmIntCalc.h"
#include "app/UpDown.h"
#include "app/WheelScroller.h"
#include "app/pictures/KeyboardPicture.h"
#include "playback/sinks/OutputDevices.h"
#include "session/ShutdownSequence.h"
#include "settings/IniFile.h"

namespace strumox::app {

using pages::Page;
using session::DocumentKind;

namespace {

const QString kTitle = QStringLiteral("Strumox!");
// The spoken names load this long after the window shows, so start-up never waits for them.
constexpr int kSpokenNamesDelayMs = 300;

// The page control's tabs: object name and caption, in tab order.
struct TabInfo {
    const char* objectName;
    const char* caption;
};
constexpr TabInfo kTabs[pages::kPageCount] = {
    {"pageChords", "Chords"}, {"pageChordDesign", "Chord Design"}, {"pagePlayPage", "PlayPage"},
    {"pagePrint", "Print"},   {"pageScales", "Scales"},            {"pageTablature", "Tablature"},
};

}  // namespace

TfrmMain::TfrmMain(std::string appDir, session::Prompter* prompter, QWidget* parent)
    : QMainWindow(parent), m_appDir(std::move(appDir)), m_prompter(prompter)
{
    setObjectName("TfrmMain");
    if (!m_prompter) {
        m_ownPrompter = std::make_unique<QtPrompter>(this);
        m_prompter = m_ownPrompter.get();
    }
    setWindowTitle(kTitle);
    settings::StartupSettings startup = settings::loadStartupSettings(m_appDir);
    m_settings = std::move(startup.values);
    // An unreadable or overstated settings file is told once the window is up to carry the box.
    for (const std::string& notice : startup.notices.messages())
        QMetaObject::invokeMethod(this, [this, notice] { m_prompter->message(notice); }, Qt::QueuedConnection);
    m_scaleSpan = m_settings.scaleFrets;

    m_central = new QWidget(this);
    m_layout = new QVBoxLayout(m_central);
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(2);
    setCentralWidget(m_central);
    // The status bar is there from the start at a height of its own: a message arriving or
    // timing out never resizes the page control or moves the fretboard panel.
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(statusBar()->fontMetrics().height() + 6);

    m_fretboard = new FretboardController(m_names, m_busy, m_currentTuning, this);
    m_toolbar = new MainToolbar(
        [this](QPainter& p) { pictures::paintKeyboard(p, m_fretboard->display().keyboard()); }, m_central);
    m_fretboardPanel = new FretboardPanel(m_fretboard->display(), m_central);
    m_fretboard->attach(m_fretboardPanel, m_toolbar->imgKeyboard);
    connect(m_toolbar->imgKeyboard, &PictureWidget::mouseMoved, m_fretboard, &FretboardController::keyboardMoved);
    connect(m_toolbar->imgKeyboard, &PictureWidget::mouseLeft, m_fretboard, &FretboardController::clearHoverPanels);
    connect(m_toolbar->sbtnErase, &QToolButton::clicked, this, &TfrmMain::erasePage);
    connect(m_fretboardPanel->sbtnFlip, &QToolButton::toggled, this, [this](bool down) { flip(down); });
    connect(m_fretboard, &FretboardController::handednessChanged, this, &TfrmMain::redrawAllPages);

    buildPages();
    m_recovery = new RecoveryController({m_pageControllers.begin(), m_pageControllers.end()}, *m_prompter, this);
    connect(m_recovery, &RecoveryController::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(m_recovery, &RecoveryController::pageRestored, m_pageFiles, &PageFileController::pageErased);
    connect(m_pageFiles, &PageFileController::pageSettled, m_recovery, &RecoveryController::pageSettled);
    m_layout->addWidget(m_toolbar);
    m_layout->addWidget(m_pages, 1);
    m_layout->addWidget(m_fretboardPanel);

    m_finder = new ChordFinderController(
        m_appDir, m_names, m_busy, *m_prompter, m_currentTuning,
        {m_toolbar->editChordRoot, m_toolbar->editChordName, m_toolbar->label4, m_toolbar->btnShowChords,
         m_fretboardPanel->editTuningName},
        *m_chordPage, *m_scalesPage, *m_fretboard, this);
    m_finder->activatePage = [this](Page p) { return setActivePage(p); };
    m_finder->parkFocus = [this] { parkFocus(); };
    connect(m_toolbar->btnShowChords, &QPushButton::clicked, m_finder, &ChordFinderController::showChords);

    m_menus = new MainMenus(menuBar(), m_names, this);
    buildPlayback();
    m_frmIntCalc = new TfrmIntCalc(m_appDir, this);
    // The calculator sounds on the chosen device itself; ours steps aside while it is shown.
    m_frmIntCalc->setOutputFactory(
        [this] { return playback::OutputDevices().openOutput(m_settings.midiOutDevice); });
    connect(m_frmIntCalc, &TfrmIntCalc::outputOpening, m_playback, &PlaybackController::closeOutput);
    connect(m_frmIntCalc, &TfrmIntCalc::outputClosed, m_playback, &PlaybackController::reopenOutput);
    wireMenus();
    m_menus->addHelpAdditions(m_settings.webSites, QString::fromStdString(m_appDir) + "KQ65 Tutorials/");
    m_wheel = new WheelScroller(this, [this] { return active().scrollBox(); });

    m_fretboard->resetToStandardTuning();
    applyStartupSettings();
    m_pages->setCurrentIndex(static_cast<int>(Page::Chords));
    m_fretboard->setActivePage(*m_chordPage);
    updatePageCommands();

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
    // The calculator hiding as the window goes must not bring our output back up.
    disconnect(m_frmIntCalc, nullptr, m_playback, nullptr);
    // A fret box losing the focus then must not edit the chord or write to the status bar.
    m_designPage->designView().blockSignals(true);
    disconnect(m_designPage, nullptr, this, nullptr);
    // Their application-wide filters look at the fretboard panel and the pages, which go first:
    // the focus leaving a dying line edit would reach them through a half-destroyed panel.
    for (QObject* filter : std::initializer_list<QObject*>{m_designPage, m_fretboard, m_wheel})
        qApp->removeEventFilter(filter);
}

void TfrmMain::buildPages()
{
    m_pageFiles = new PageFileController(*m_prompter, m_busy, m_appDir, m_settings, this);
    m_pageFiles->activePage = [this] { return activePage(); };
    m_pageFiles->pageOf = [this](Page p) -> PageController& { return pageController(p); };
    connect(m_pageFiles, &PageFileController::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_pageFiles, &PageFileController::pageOpened, this, [this](Page p) { setActivePage(p); });
    m_pages = new QTabWidget(m_central);
    m_pages->setObjectName("PageControl1");
    m_dlgBeginFret = new TdlgBeginFret(this);
    const GridPageServices services{m_names, m_busy, *m_prompter, *m_fretboard, m_transfer, m_scaleSpan};
    m_chordPage = new ChordPageController(services, m_pages);
    m_designPage = new DesignPageController(
        {m_names, m_busy, *m_prompter, *m_fretboard, m_transfer, m_appDir, m_settings}, m_pages);
    m_designPage->keysLive = [this] { return m_keyPreview; };
    m_designPage->parkFocus = [this] { parkFocus(); };
    m_designPage->saveGroup = [this] { return m_pageFiles->savePage(Page::ChordDesign, false); };
    connect(m_designPage, &DesignPageController::pageRequested, this, &TfrmMain::onPageRequested);
    connect(m_designPage, &DesignPageController::titleCleared, this,
            [this] { m_pageFiles->pageErased(Page::ChordDesign); });
    connect(m_designPage, &DesignPageController::statusMessage, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    });
    m_playPage = new PlayPageController({m_names, m_busy, *m_prompter, *m_fretboard, m_transfer, m_settings,
                                         m_toolbar->findChild<QToolButton*>("sbtnUndo"),
                                         m_toolbar->findChild<QToolButton*>("sbtnLoop")},
                                        m_pages);
    m_playPage->savePage = [this] { return m_pageFiles->savePage(Page::PlayPage, false); };
    connect(m_playPage, &PlayPageController::pageRequested, this, &TfrmMain::onPageRequested);
    connect(m_playPage, &PlayPageController::titleCleared, this, [this] { m_pageFiles->pageErased(Page::PlayPage); });
    m_printPage = new PrintPageController(services, m_pages);
    m_scalesPage = new ScalesPageController(services, *m_dlgBeginFret, m_pages);
    m_tablature = new BlankPageController(
        {Page::Tablature, true, false, QString(), {DocumentKind::RawTab, DocumentKind::TabPage}}, *m_fretboard,
        m_pages);
    m_pageControllers = {m_chordPage, m_designPage, m_playPage, m_printPage, m_scalesPage, m_tablature};

    for (size_t i = 0; i < m_pageControllers.size(); ++i) {
        QWidget* view = m_pageControllers[i]->view();
        view->setObjectName(kTabs[i].objectName);
        m_pages->addTab(view, kTabs[i].caption);
    }
    for (GridPageController* grid : std::initializer_list<GridPageController*>{m_chordPage, m_printPage, m_scalesPage}) {
        connect(grid, &GridPageController::pageRequested, this, &TfrmMain::onPageRequested);
        connect(grid, &GridPageController::titleCleared, this, [this, grid] { m_pageFiles->pageErased(grid->page()); });
    }
    connect(m_pages, &QTabWidget::currentChanged, this, &TfrmMain::onPageChanged);
}

void TfrmMain::buildPlayback()
{
    auto button = [this](const char* name) { return m_toolbar->findChild<QToolButton*>(name); };
    const PlaybackControls controls{button("sbtnPlay"),
                                    button("sbtnStop"),
                                    button("sbtnPause"),
                                    button("sbtnStep"),
                                    button("sbtnLoop"),
                                    button("sbtnCount"),
                                    button("sbtnClick"),
                                    button("sbtnRootPlay"),
                                    m_fretboardPanel->sbtnBassNote,
                                    m_fretboardPanel->sbShowArp,
                                    m_fretboardPanel->sbStrumSpeed,
                                    m_toolbar->findChild<QLineEdit*>("meditTempoMain"),
                                    m_toolbar->findChild<UpDown*>("UpDownTempo")};
    m_dlgTempo = new TdlgTempo(this);
    m_playback = new PlaybackController(
        {m_names, m_busy, *m_fretboard, *m_playPage, m_settings, m_scaleSpan,
         [this]() -> PageController& { return active(); }, [this](bool on) { m_menus->setAllEnabled(on); },
         [this](const QString& text) { statusBar()->showMessage(text, 10000); },
         [](int index) { return playback::OutputDevices().openOutput(index); }, nullptr},
        controls, *m_dlgTempo, this);
    for (PageController* page : m_pageControllers)
        page->pressPlay = [this](bool fromRoot) { m_playback->pressPlay(fromRoot); };
    m_playPage->playSlotChord = [this](const pages::DiagramRecord& chord) { m_playback->playSingleChord(chord); };
    m_playPage->tempo = [this] { return m_playback->bpm(); };
    m_playPage->setTempo = [this](int bpm) { m_playback->setBpm(bpm); };
    m_playback->tempoEdited = [this] { m_playPage->tempoChanged(); };
    connect(m_menus, &MainMenus::tempoRequested, m_playback, &PlaybackController::openTempoDialog);
    // The window's own keys: Space and the arrows play, stop and step wherever the focus rests,
    // except while a name or the tempo is typed.
    qApp->installEventFilter(this);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_keyPreview && isActiveWindow() && !QApplication::activeModalWidget() &&
        !QApplication::activePopupWidget()) {
        // Text fields keep their keys: a space or an arrow there edits the text.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this && !qobject_cast<QLineEdit*>(w) &&
            m_playback->keyPressed(static_cast<QKeyEvent*>(event)->key()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // The synthesizer and the ports come up only once the window is there to be seen.
    if (!m_playback->outputOpen())
        m_playback->openOutputSoon();
    // So do the spoken names, which start the multimedia layer.
    if (!m_spokenNames)
        QTimer::singleShot(kSpokenNamesDelayMs, this, &TfrmMain::startSpokenNames);
    if (!m_midiInTried) {
        m_midiInTried = true;
        QTimer::singleShot(kSpokenNamesDelayMs, this, &TfrmMain::openMidiInput);
    }
}

void TfrmMain::openMidiInput()
{
    // The chosen input port is held open while the program runs; what it sends is not used.
    const playback::OutputDevices devices;
    if (devices.inputCount() == 0)
        return;
    m_midiIn = devices.openInput(std::clamp(m_settings.midiInDevice, 0, devices.inputCount() - 1));
    if (!m_midiIn->isOpen())
        statusBar()->showMessage(QString::fromStdString(m_midiIn->problem()), 10000);
}

void TfrmMain::startSpokenNames()
{
    if (m_spokenNames)
        return;
    m_spokenNames = new SpokenNoteNames(this);
    m_spokenNames->setSpeechVolume(m_settings.speechVol);
    m_playback->setSpokenNames(m_spokenNames);
}

void TfrmMain::wireMenus()
{
    connect(m_menus, &MainMenus::eraseRequested, this, &TfrmMain::erasePage);
    connect(m_menus, &MainMenus::exitRequested, this, &QWidget::close);
    connect(m_menus, &MainMenus::openRequested, m_pageFiles, &PageFileController::open);
    connect(m_menus, &MainMenus::saveRequested, m_pageFiles, &PageFileController::save);
    connect(m_menus, &MainMenus::saveAsRequested, m_pageFiles, &PageFileController::saveAs);
    connect(m_menus, &MainMenus::recentMenuAboutToShow, m_pageFiles, &PageFileController::fillRecentMenu);
    m_export = new ExportController(*this, *m_prompter);
    connect(m_menus, &MainMenus::exportMidiRequested, m_export,
            [this] { m_export->exportSong(ExportController::Kind::Midi); });
    connect(m_menus, &MainMenus::exportWavRequested, m_export,
            [this] { m_export->exportSong(ExportController::Kind::Wav); });
    connect(m_toolbar->findChild<QToolButton*>("sbtnOpen"), &QToolButton::clicked, m_pageFiles,
            &PageFileController::open);
    connect(m_toolbar->findChild<QToolButton*>("sbtnSave"), &QToolButton::clicked, m_pageFiles,
            &PageFileController::save);
    connect(m_menus, &MainMenus::fileMenuAboutToShow, this, &TfrmMain::updatePageCommands);
    connect(m_menus, &MainMenus::keyChosen, this, [this](int key) {
        m_finder->chooseKey(key);
        parkFocus();
    });
    connect(m_menus, &MainMenus::chordTypeChosen, this, [this](int family, int type, const QString& caption) {
        m_finder->chooseChordType(family, type, caption);
        parkFocus();
    });
    connect(m_menus, &MainMenus::scaleChosen, this, [this](int index, const QString& caption) {
        m_finder->chooseScale(index, caption);
        parkFocus();
    });
    connect(m_menus, &MainMenus::flatSharpToggled, this, &TfrmMain::toggleFlatSharp);
    connect(m_menus, &MainMenus::intervalCalculatorRequested, this, [this] {
        if (m_busy.holds())
            return;
        m_frmIntCalc->setGuitarSound(m_settings.guitarPatch, m_settings.guitarVolume);
        m_frmIntCalc->show();
        m_frmIntCalc->raise();
        m_frmIntCalc->activateWindow();
    });
    connect(m_menus, &MainMenus::flipToggled, this, [this] {
        if (m_busy.holds())
            return;
        m_fretboardPanel->sbtnFlip->setChecked(!m_flipped);
    });
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
    for (PageController* page : m_pageControllers)
        page->leave();
    m_fretboard->setActivePage(active());
    m_pageFiles->pageChanged();
    m_recovery->keepUnsavedPages();
    updatePageCommands();
    parkFocus();
}

void TfrmMain::onPageRequested(Page page, pages::Placement placement)
{
    if (setActivePage(page))
        pageController(page).awaitPlacement(placement);
}

void TfrmMain::startRecovery() { m_recovery->start(); }

void TfrmMain::erasePage()
{
    if (m_busy.holds())
        return;
    if (active().erasable())
        active().erase();
    parkFocus();
}

void TfrmMain::updatePageCommands()
{
    // The other pages erase with their own documents' questions, which come with those pages.
    const bool erasable = active().erasable();
    m_toolbar->sbtnErase->setEnabled(erasable);
    m_menus->setEraseEnabled(erasable);
    m_menus->setNewCaption(active().newCaption());
    const bool kept = active().fileKind().has_value();
    m_menus->setFileCommandsEnabled(kept);
    m_menus->setExportEnabled(m_export->available());
    for (const char* name : {"sbtnOpen", "sbtnSave"})
        m_toolbar->findChild<QToolButton*>(name)->setEnabled(kept);
}

void TfrmMain::redrawAllPages()
{
    for (PageController* page : m_pageControllers)
        page->redraw();
}

void TfrmMain::toggleFlatSharp()
{
    m_names.toggle();
    m_menus->renameNotes();
    m_finder->renameNotes();
    m_fretboard->renameNotes();
    // Headers and titles on the pages are spelled anew; what the fretboard shows stays.
    redrawAllPages();
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
    m_menus->setFlipped(flipped);
    parkFocus();
    return true;
}

void TfrmMain::parkFocus()
{
    if (m_fretboardPanel)
        m_fretboardPanel->sbStrumSpeed->setFocus();
}

void TfrmMain::placeOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize full = screen ? screen->size() : QSize(1024, 768);
    move(avail.topLeft());
    if (shouldMaximise(full)) {
        // Sized to the screen first: without a window manager to carry out the maximise, the
        // window still fills the small screen instead of shrinking to its smallest layout.
        resize(avail.size());
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
    if (m_pageFiles->openByExtension(path.toStdString())) {
        parkFocus();
        return;
    }
    const auto kind = pages::pageFileKindOf(path.toStdString());
    if (kind) {
        // Other page files open from File > Open on their own page.
        statusBar()->showMessage(QStringLiteral("\"%1\" is a page file: open it with File > Open on its page.")
                                     .arg(QFileInfo(path).fileName()),
                                 8000);
        return;
    }
    // Tab files open here once the tablature pages arrive; until then say so plainly.
    statusBar()->showMessage(QStringLiteral("Cannot open \"%1\": this kind of file is not supported yet.")
                                 .arg(QFileInfo(path).fileName()),
                             8000);
}

void TfrmMain::closeEvent(QCloseEvent* e)
{
    std::vector<session::CloseDocument> documents;
    for (const PageController* page : m_pageControllers)
        for (session::CloseDocument& doc : page->closeDocuments())
            documents.push_back(std::move(doc));
    if (!session::mayClose(m_busy, documents, *m_prompter)) {
        e->ignore();
        return;
    }
    writeExitSettings();
    m_recovery->discardAll();
    e->accept();
}

void TfrmMain::writeExitSettings()
{
    m_fretboard->storeExitSettings(m_settings);
    m_pageFiles->storeExitSettings(m_settings);
    for (const PageController* page : m_pageControllers)
        page->storeExitSettings(m_settings);
    // The LED guitar's two toolbar switches; their controller comes with the LED guitar's link.
    m_settings.glowAnimate = m_toolbar->sbtnFLAnimate->isChecked();
    m_settings.glowShowFlash = m_toolbar->sbtnRootFlash->isChecked();
    try {
        settings::writeExitSettings(m_appDir, m_settings);
    } catch (const settings::SettingsWriteError& err) {
        // Settings are not worth keeping the window open for: say so and close anyway.
        emit settingsWriteFailed(QString::fromUtf8(err.what()));
        m_prompter->message(err.what());
    }
}

}  // namespace strumox::app
