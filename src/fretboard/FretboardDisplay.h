#pragma once
// The chord display of the fretboard panel: the picture's scene, the keyboard marks, the LED
// matrix and every read-out field, computed without widgets. The panel's widgets mirror
// `panels()` after each operation.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fretboard/FretboardGeometry.h"
#include "fretboard/FretboardScene.h"
#include "fretboard/KeyboardScene.h"
#include "glowboard/DisplayMatrix.h"
#include "pages/DiagramRecord.h"
#include "pages/ScaleRecord.h"
#include "theory/Notes.h"

namespace strumox::fretboard {

// Colours as 0xRRGGBB.
namespace colours {
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
// Interval slot colours of the Show Intervals display, slot 0..6: red, aqua, green, white,
// yellow, teal, maroon.
constexpr std::array<std::uint32_t, 7> kIntervalSlot{0xFF0000, 0x00FFFF, 0x00FF00, 0xFFFFFF,
                                                     0xFFFF00, 0x008080, 0x800000};
}  // namespace colours

struct IntervalField {
    std::string caption;
    int tag = -1;  // interval mod 12; -1 = cleared
    std::uint32_t background = colours::kWhite;
    std::uint32_t text = colours::kBlack;
    bool inactive = false;  // the root field when no string sounds the root
};

struct FretboardPanels {
    std::string chordNameCaption = "Chord Name:";
    std::string chordName;
    std::uint32_t chordNameColour = colours::kBlack;
    std::string tuningName;
    std::string notes;
    std::uint32_t notesColour = colours::kBlack;
    // Seven for a chord's intervals; a scale shows its first eight.
    std::array<IntervalField, 8> intervals;
    std::string note;      // pnlNote
    std::string interval;  // pnlInterval
};

// The state of the buttons and page that decide how a chord is shown.
struct DisplayContext {
    bool designPageActive = false;
    bool showIntervalsDown = false;  // the design page's "Show Intervals" toggle
    bool showArpeggioDown = false;
    bool showFullFretboard = false;
};

class FretboardDisplay {
public:
    explicit FretboardDisplay(const theory::NoteNames& names) : m_names(names) {}

    void setHandLayout(const HandLayout& layout) { m_layout = layout; m_scene.leftHanded = layout.leftHanded; }
    const HandLayout& handLayout() const { return m_layout; }

    void showChord(const pages::DiagramRecord& d, const DisplayContext& ctx);
    void showIntervals(const pages::DiagramRecord& d, std::uint32_t colour, const DisplayContext& ctx);
    void clearDisplay();
    // A scale along the neck: every note of it within the fret range, the root in its own glyph.
    // `beginFret` is the position whose frets are shown (the selected column's), `frets` how many
    // frets a position spans; with the full-fretboard button down the whole neck is shown.
    void showScale(const pages::ScaleRecord& r, int beginFret, int frets, const DisplayContext& ctx);

    // Playback's note markers. A note starts sounding: its string shows the dot of finger mark
    // `mark` (0 open .. 4, 5 not played, 6 scale note) at `fret` over the picture. A note ends:
    // the string's dot goes; with `wipe` (the PlayPage and tablature, whose chord is not on the
    // picture) whatever the picture showed in that cell goes too. Frets above 22 and marks
    // outside 0..6 are ignored.
    void noteSounding(int string, int fret, int mark);
    void noteEnded(int string, int fret, bool wipe);
    void clearSounding() { m_scene.sounding = {}; }

    // Mouse over the picture: fills the note and interval read-outs; outside the counting
    // area empties them. Returns whether the position counted.
    bool hover(int x, int y);
    // Mouse over the keyboard view: the Note read-out names `note` (any integer, taken modulo
    // 12), the Interval read-out its interval from the shown root.
    void hoverKey(int note);
    void clearHover();
    // The spelling of note names changed: every read-out that names a note is spelled anew from
    // the notes it stands for. Nothing else changes.
    void respell();

    // Positions of the open-string up-downs (MIDI notes). ShowChord sets them to the chord's
    // tuning; the tuning editor sets them one by one.
    const theory::Tuning& openStrings() const { return m_openStrings; }
    void setOpenString(int s, int midi) { m_openStrings[static_cast<size_t>(s)] = static_cast<std::uint8_t>(midi); }
    void setOpenStrings(const theory::Tuning& t) { m_openStrings = t; }

    const FretboardScene& scene() const { return m_scene; }
    const KeyboardScene& keyboard() const { return m_keyboard; }
    const glowboard::DisplayMatrix& matrix() const { return m_matrix; }
    const FretboardPanels& panels() const { return m_panels; }
    // Read-outs the display does not decide itself: a chord's name stepped on the design page
    // (the root, the suffix, and " /" + the bass when the bass, taken modulo 12, is not the
    // root), a suffix typed there for the name shown, the tuning's name after the tuning controls
    // or as typed, the interval shown at a press.
    void setChordName(int root, const std::string& suffix, int bass);
    void setChordSuffix(const std::string& suffix);
    void setTuningName(const std::string& name);
    void setHoverInterval(const std::string& text) { m_panels.interval = text; }
    // Every interval read-out back to black on white (a page change).
    void resetIntervalColours();
    int shownRoot() const { return m_shownRoot; }
    int hoverString() const { return m_hoverString; }
    int hoverFret() const { return m_hoverFret; }
    void setHover(int s, int f) { m_hoverString = s; m_hoverFret = f; }

    // Called with the matrix whenever it should go to the LED guitar; `off` on ClearDisplay.
    std::function<void(const glowboard::DisplayMatrix&)> onSendMatrix;
    std::function<void()> onGlowboardOff;

private:
    void fillIntervalFields(const pages::DiagramRecord& d, bool slotColours, bool keepTextColour);
    void resetIntervalField(IntervalField& field);
    void markKeyboard(const pages::DiagramRecord& d);
    // The chord or scale name read-out; bass -1 names no bass.
    void nameChord(int root, const std::string& suffix, int bass);
    void spellChordName();
    void spellNotes();

    const theory::NoteNames& m_names;
    HandLayout m_layout = HandLayout::right();
    FretboardScene m_scene;
    KeyboardScene m_keyboard;
    glowboard::DisplayMatrix m_matrix;
    FretboardPanels m_panels;
    theory::Tuning m_openStrings = theory::kStandardTuning;
    int m_shownRoot = 0;
    int m_hoverString = 0;
    int m_hoverFret = 0;
    // What the name read-outs stand for, so that another spelling names the same notes: the
    // name's root (-1 no name), suffix and bass (-1 none), the notes listed in order, and the note
    // under the mouse (-1 none).
    int m_nameRoot = -1;
    std::string m_nameSuffix;
    int m_nameBass = -1;
    std::vector<int> m_noteList;
    int m_hoverNote = -1;
};

}  // namespace strumox::fretboard
