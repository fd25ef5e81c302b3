#pragma once
// The key, chord-type and scale menus with "Show Chords" / "Show Scale": picks a dictionary chord
// set for the Chords page or a scale row for the Scales page.
#include <QObject>
#include <functional>
#include <string>

#include "pages/PageGeometry.h"
#include "session/BusyGuard.h"
#include "session/Prompter.h"
#include "theory/Notes.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace strumox::app {

class ChordPageController;
class ScalesPageController;
class FretboardController;

class ChordFinderController : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QLineEdit* editChordRoot;
        QLineEdit* editChordName;
        QLabel* label4;
        QPushButton* btnShowChords;
        QLineEdit* editTuningName;
    };
    ChordFinderController(const std::string& appDir, const theory::NoteNames& names, const session::BusyGuard& busy,
                          session::Prompter& prompter, const theory::Tuning& currentTuning, Widgets widgets,
                          ChordPageController& chords, ScalesPageController& scales, FretboardController& fretboard,
                          QObject* parent = nullptr);

    void chooseKey(int key);
    // The chosen key's field after the flats/sharps switch.
    void renameNotes();
    void chooseChordType(int family, int type, const QString& caption);
    void chooseScale(int index, const QString& caption);
    // The button: shows chords or the scale, whichever was chosen last.
    void showChords();

    int chosenKey() const { return m_key; }
    int chosenChordType() const { return m_type; }
    int chosenFamily() const { return m_family; }
    int chosenScale() const { return m_scale; }
    // What the button shows: the last menu chosen from decides.
    enum class Target { Chords, Scale };
    Target target() const { return m_target; }

    // Makes a page active; false when the page change is refused.
    std::function<bool(pages::Page)> activatePage;
    // Puts the keyboard focus on the strum-speed bar.
    std::function<void()> parkFocus;

private:
    void findChords();
    void findScale();

    std::string m_appDir;
    const theory::NoteNames& m_names;
    const session::BusyGuard& m_busy;
    session::Prompter& m_prompter;
    const theory::Tuning& m_currentTuning;
    Widgets m_w;
    ChordPageController& m_chords;
    ScalesPageController& m_scales;
    FretboardController& m_fretboard;
    int m_key = -1;
    int m_type = 0;
    int m_family = 0;
    int m_scale = -1;
    Target m_target = Target::Chords;
};

}  // namespace strumox::app
