#pragma once
// The main window: lays out the toolbar, the page control and the fretboard panel, holds the few
// values every page shares (note names, the current tuning, the busy guard, what is being sent
// between pages, the settings read at start) and wires each control to the controller that owns
// its work. It decides nothing a page or the fretboard decides.
#include <QMainWindow>
#include <array>
#include <memory>

#include "pages/PageGeometry.h"
#include "pages/PageTransfer.h"
#include "session/BusyGuard.h"
#include "settings/Settings.h"
#include "theory/Notes.h"

class QAction;
class QMenu;
class QTabWidget;
class QVBoxLayout;

namespace strumox::session {
class Prompter;
}
namespace strumox::playback {
class MidiInputPort;
}

namespace strumox::app {

class BlankPageController;
class ChordFinderController;
class ChordPageController;
class DesignPageController;
class ExportController;
class FretboardController;
class FretboardPanel;
class MainMenus;
class MainToolbar;
class PageController;
class PageFileController;
class PlayPageController;
class PrintPageController;
class RecoveryController;
class ScalesPageController;
class PlaybackController;
class SpokenNoteNames;
class TdlgBeginFret;
class TdlgTempo;
class TfrmIntCalc;
class WheelScroller;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // `appDir` ends with a '/'. Without a prompter, questions go to message boxes.
    explicit TfrmMain(std::string appDir, session::Prompter* prompter = nullptr, QWidget* parent = nullptr);
    ~TfrmMain() override;

    const std::string& appDir() const { return m_appDir; }
    const theory::NoteNames& noteNames() const { return m_names; }
    const theory::Tuning& currentTuning() const { return m_currentTuning; }
    session::BusyGuard& busy() { return m_busy; }
    const settings::AppSettings& settings() const { return m_settings; }

    pages::Page activePage() const;
    // Page change as the tab control does it; refused (returns false) while busy.
    bool setActivePage(pages::Page page);
    PageController& pageController(pages::Page page) const { return *m_pageControllers[size_t(page)]; }

    void toggleFlatSharp();
    bool flip(bool flipped);
    bool isFlipped() const { return m_flipped; }

    // A second copy asked us forward, with a file to open or none.
    void activateFromSecondInstance(const QString& path);
    // Opens a file by its extension (the command-line file and the hand-over).
    void openDocument(const QString& path);

    // The placement rule: top-left; 1024 x 768 on a larger screen, maximised otherwise.
    static bool shouldMaximise(QSize screen) { return !(screen.height() > 768 || screen.width() > 1024); }
    void placeOnScreen();

    // Whether the window's own keys (play, stop, step) are live; off while a name is typed.
    bool keyPreviewEnabled() const { return m_keyPreview; }

    FretboardController& fretboard() { return *m_fretboard; }
    FretboardPanel& fretboardPanel() { return *m_fretboardPanel; }
    ChordFinderController& finder() { return *m_finder; }
    ChordPageController& chordPage() { return *m_chordPage; }
    DesignPageController& designPage() { return *m_designPage; }
    PlayPageController& playPage() { return *m_playPage; }
    PrintPageController& printPage() { return *m_printPage; }
    ScalesPageController& scalesPage() { return *m_scalesPage; }
    BlankPageController& tablature() { return *m_tablature; }
    pages::PageTransfer& transfer() { return m_transfer; }
    TdlgBeginFret& beginFretDialog() { return *m_dlgBeginFret; }
    TfrmIntCalc& intervalCalculator() { return *m_frmIntCalc; }
    MainMenus& menus() { return *m_menus; }
    PlaybackController& playback() { return *m_playback; }
    // Null until shortly after the window first shows.
    SpokenNoteNames* spokenNames() { return m_spokenNames; }
    TdlgTempo& tempoDialog() { return *m_dlgTempo; }
    PageFileController& pageFiles() { return *m_pageFiles; }
    RecoveryController& recovery() { return *m_recovery; }
    // The program's start, once the window shows: the offer to restore what a crash left
    // unsaved, after which this window keeps its own unsaved pages for recovery.
    void startRecovery();
    // Erase Page / File New on the active page.
    void erasePage();

signals:
    // Written settings could not be saved; shown to the user, closing goes on.
    void settingsWriteFailed(const QString& message);

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPages();
    void wireMenus();
    void buildPlayback();
    void openMidiInput();
    void applyStartupSettings();
    void onPageChanged(int index);
    void onPageRequested(pages::Page page, pages::Placement placement);
    PageController& active() const { return pageController(activePage()); }
    void updatePageCommands();
    void redrawAllPages();
    void parkFocus();
    void writeExitSettings();
    void startSpokenNames();

    std::string m_appDir;
    std::unique_ptr<session::Prompter> m_ownPrompter;
    session::Prompter* m_prompter;
    settings::AppSettings m_settings;
    int m_scaleSpan = theory::kDefaultScaleSpan;  // Scales/Frets, read at start
    theory::NoteNames m_names;
    theory::Tuning m_currentTuning = theory::kStandardTuning;
    session::BusyGuard m_busy;
    pages::PageTransfer m_transfer;
    bool m_flipped = false;
    bool m_keyPreview = true;
    QMetaObject::Connection m_focusWatch;
    int m_lastPage = 0;

    QWidget* m_central = nullptr;
    QVBoxLayout* m_layout = nullptr;
    MainToolbar* m_toolbar = nullptr;
    QTabWidget* m_pages = nullptr;
    FretboardPanel* m_fretboardPanel = nullptr;
    MainMenus* m_menus = nullptr;
    WheelScroller* m_wheel = nullptr;
    PageFileController* m_pageFiles = nullptr;
    RecoveryController* m_recovery = nullptr;
    TdlgBeginFret* m_dlgBeginFret = nullptr;
    TdlgTempo* m_dlgTempo = nullptr;
    PlaybackController* m_playback = nullptr;
    std::unique_ptr<playback::MidiInputPort> m_midiIn;
    bool m_midiInTried = false;
    ExportController* m_export = nullptr;
    TfrmIntCalc* m_frmIntCalc = nullptr;
    SpokenNoteNames* m_spokenNames = nullptr;

    FretboardController* m_fretboard = nullptr;
    ChordFinderController* m_finder = nullptr;
    ChordPageController* m_chordPage = nullptr;
    DesignPageController* m_designPage = nullptr;
    PlayPageController* m_playPage = nullptr;
    PrintPageController* m_printPage = nullptr;
    ScalesPageController* m_scalesPage = nullptr;
    BlankPageController* m_tablature = nullptr;
    std::array<PageController*, pages::kPageCount> m_pageControllers{};
};

}  // namespace strumox::app
