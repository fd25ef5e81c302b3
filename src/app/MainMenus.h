#pragma once
// The menu bar: File, Key, Major, Minor, Dominant, Scale, Options and Help, with the Help menu's
// start-up additions (the tab web sites of the settings file and the tutorial pages found beside
// the program). It reports what was chosen; the window decides what that means.
#include <QObject>
#include <QString>
#include <array>
#include <vector>

#include "settings/Settings.h"
#include "theory/Notes.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace strumox::app {

constexpr int kMaxTutorialItems = 26;

class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(QMenuBar* bar, const theory::NoteNames& names, QWidget* window);

    // Inserts a separator at position 2 and "Tab Web Sites..." at position 3 of the Help menu when
    // there are sites, and "Tutorials..." at position 4 when `tutorialFolder` holds *.htm pages (at
    // most 26 items). Each item opens its address or page with the desktop's handler.
    void addHelpAdditions(const std::vector<settings::WebSite>& sites, const QString& tutorialFolder);

    // The File menu's first item, "New Chord Page" and its kin; disabled where a page cannot be
    // erased from there.
    void setNewCaption(const QString& caption);
    void setEraseEnabled(bool enabled);
    // Open, Save and Save As act on pages that are kept in files.
    void setFileCommandsEnabled(bool enabled);
    // Export MIDI and Export WAV: the PlayPage's song, while nothing plays.
    void setExportEnabled(bool enabled);
    // After the flats/sharps switch: the switch's own caption and the Key menu's notes.
    void renameNotes();
    void setFlipped(bool flipped);

    QAction* mnuNew() const { return m_mnuNew; }
    QAction* mnuFlatSharp() const { return m_mnuFlatSharp; }
    QAction* menuFlip() const { return m_menuFlip; }
    QMenu* helpMenu() const { return m_help; }
    // Every menu of the bar, as playing needs them: all off while anything plays.
    void setAllEnabled(bool enabled);
    QMenu* recentMenu() const { return m_recent; }

signals:
    void eraseRequested();
    void openRequested();
    void saveRequested();
    void saveAsRequested();
    void exportMidiRequested();
    void exportWavRequested();
    // The Open Recent submenu is about to open and should be filled.
    void recentMenuAboutToShow(QMenu* menu);
    void exitRequested();
    // The File menu is about to open: its "New ..." caption should be brought up to date.
    void fileMenuAboutToShow();
    void keyChosen(int key);
    void chordTypeChosen(int family, int type, const QString& caption);
    void scaleChosen(int index, const QString& caption);
    void flatSharpToggled();
    void flipToggled();
    void tempoRequested();
    void intervalCalculatorRequested();

private:
    void buildFileMenu(QMenuBar* bar);
    void buildChordMenus(QMenuBar* bar);
    void buildOptionsMenu(QMenuBar* bar);
    void buildHelpMenu(QMenuBar* bar, QWidget* window);

    const theory::NoteNames& m_names;
    QAction* m_mnuNew = nullptr;
    QAction* m_mnuOpen = nullptr;
    QAction* m_mnuSave = nullptr;
    QAction* m_mnuSaveAs = nullptr;
    QAction* m_mnuExportMidi = nullptr;
    QAction* m_mnuExportWav = nullptr;
    QMenu* m_recent = nullptr;
    QAction* m_mnuFlatSharp = nullptr;
    QAction* m_menuFlip = nullptr;
    QMenu* m_help = nullptr;
    QMenuBar* m_bar = nullptr;
    std::array<QAction*, 12> m_keyItems{};
};

}  // namespace strumox::app
