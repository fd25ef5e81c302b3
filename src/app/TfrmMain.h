#pragma once
// The main window: builds the menus, toolbar, page control and fretboard panel, holds the few
// values every page shares, and wires each control to the controller that owns its work.
#include <QMainWindow>
#include <array>
#include <memory>

#include "app/PageTransfer.h"
#include "app/Pages.h"
#include "app/core/BusyGuard.h"
#include "app/core/Settings.h"
#include "app/core/WheelAccumulator.h"
#include "pages/DiagramRecord.h"
#include "theory/Notes.h"

class QAction;
class QLineEdit;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
class QAbstractScrollArea;

namespace strumox::app {

class ChordFinderController;
class ChordPageController;
class DesignPageView;
class GridPageController;
class PrintPageController;
class ScalesPageController;
class TdlgBeginFret;
class FretboardController;
class FretboardPanel;
class MainToolbar;
class PictureWidget;
class Prompter;

// A document that may hold unsaved work when the window closes.
struct DocumentState {
    bool modified = false;
    std::string fileName;
};

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // `appDir` ends with a '/'. Without a prompter, questions go to message boxes.
    explicit TfrmMain(std::string appDir, Prompter* prompter = nullptr, QWidget* parent = nullptr);
    ~TfrmMain() override;

    const std::string& appDir() const { return m_appDir; }
    const theory::NoteNames& noteNames() const { return m_names; }
    const theory::Tuning& currentTuning() const { return m_currentTuning; }
    BusyGuard& busy() { return m_busy; }
    FretboardController& fretboard() { return *m_fretboard; }
    FretboardPanel& fretboardPanel() { return *m_fretboardPanel; }
    DesignPageView& designPage() { return *m_designPage; }
    const AppSettings& settings() const { return m_settings; }

    Page activePage() const;
    // Page change as the tab control does it; refused (returns false) while busy.
    bool setActivePage(Page page);

    // Documents asked about on close, in order: PlayPage, Chord Design, raw tab, tab page.
    DocumentState playPageDoc, designDoc, rawTabDoc, tabPageDoc;

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

    ChordFinderController& finder() { return *m_finder; }
    ChordPageController& chordPage() { return *m_chordPage; }
    ScalesPageController& scalesPage() { return *m_scalesPage; }
    PrintPageController& printPage() { return *m_printPage; }
    PageTransfer& transfer() { return m_transfer; }
    TdlgBeginFret& beginFretDialog() { return *m_dlgBeginFret; }
    // Erase Page / File New on the active page.
    void erasePage();
    // Repaints every page (handedness or spelling changed) and shows the active page's pick.
    void redrawAllPages();

    QAction* actionFlatSharp() const { return m_mnuFlatSharp; }
    QMenu* helpMenu() const { return m_helpMenu; }

signals:
    // Written settings could not be saved; shown to the user, closing goes on.
    void settingsWriteFailed(const QString& message);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildPages();
    void buildHelpAdditions();
    void applyStartupSettings();
    void onPageChanged(int index);
    void onPageRequested(Page page, Placement placement);
    GridPageController* gridPage(Page page) const;
    void updateEraseEnabled();
    void parkFocus();
    void writeExitSettings();
    QAbstractScrollArea* wheelTarget() const;
    void updateNewCaption();

    std::string m_appDir;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter* m_prompter;
    AppSettings m_settings;
    theory::NoteNames m_names;
    theory::Tuning m_currentTuning = theory::kStandardTuning;
    BusyGuard m_busy;
    WheelAccumulator m_wheel;
    bool m_flipped = false;
    bool m_keyPreview = true;
    QMetaObject::Connection m_focusWatch;
    int m_lastPage = 0;
    int m_scaleFrets = 5;  // Scales/Frets, read at start
    PageTransfer m_transfer;
    ChordFinderController* m_finder = nullptr;
    ChordPageController* m_chordPage = nullptr;
    ScalesPageController* m_scalesPage = nullptr;
    PrintPageController* m_printPage = nullptr;
    TdlgBeginFret* m_dlgBeginFret = nullptr;

    FretboardController* m_fretboard = nullptr;
    FretboardPanel* m_fretboardPanel = nullptr;
    DesignPageView* m_designPage = nullptr;
    QWidget* m_central = nullptr;
    QVBoxLayout* m_layout = nullptr;
    MainToolbar* m_toolbar = nullptr;
    QTabWidget* m_pages = nullptr;
    std::array<QAbstractScrollArea*, kPageCount> m_scrollTargets{};
    QAction* m_mnuNew = nullptr;
    QAction* m_mnuFlatSharp = nullptr;
    QAction* m_menuFlip = nullptr;
    QMenu* m_keyMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    std::array<QAction*, 12> m_keyItems{};
};

}  // namespace strumox::app
