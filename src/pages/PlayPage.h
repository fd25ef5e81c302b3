#pragma once
// The PlayPage: a song sheet of 288 chord slots on a time grid (24 rows of 12 slots, two slots a
// beat, 3/4 or 4/4 measures), its repeat and loop markers, the start position, one level of undo
// and every edit the page allows. Questions are the caller's: an edit here is what a Yes does.
// Where everything sits on the page's 772 x 3335 picture (page pixels, origin top-left) is here
// too, so the painter, the hit test and playback agree on it.
//
// Slot s = 12 * row + column (row 0..23, column 0..11); measure m (0-based) holds slots
// m * n .. m * n + n - 1 with n = slotsPerMeasure(), whatever rows they fall on: in 4/4 a
// measure starting at column 8 of an even row ends in columns 0..3 of the next one.
//
// Plain C++; GUI thread only.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pages/DiagramRecord.h"
#include "pages/PageGeometry.h"

namespace strumox::pages {

enum class TimeSignature { FourFour, ThreeFour };

class PlayPage {
public:
    static constexpr int kColumns = 12;
    static constexpr int kRows = 24;
    static constexpr int kSlotCount = kColumns * kRows;  // 288
    static constexpr int kPageCount = 4;                 // pages of six rows each
    static constexpr int kRowsPerPage = 6;
    static constexpr int kMarkerMeasures = 48;  // marker rows are this long in both signatures
    static constexpr int kMaxRepeatCount = 255;

    using Slots = std::array<DiagramRecord, kSlotCount>;
    // markers[row][m]: row 0 return mark (1 = a repeat-start sign before measure m), row 1 repeat
    // count (0 none, 1..255 a repeat-end sign after m), row 2 the counter playback counts down
    // and restores, row 3 loop mark (1 = playback goes back to the first measure after m).
    enum MarkerRow { ReturnMark = 0, RepeatCount = 1, RepeatCounter = 2, LoopMark = 3 };
    using Markers = std::array<std::array<std::uint8_t, kMarkerMeasures>, 4>;
    // The same, row after row, as the page's marker file holds them.
    using MarkerBytes = std::array<std::uint8_t, 4 * kMarkerMeasures>;
    // Current: what is drawn, played and saved. The kept copies survive a switch of the time
    // signature, one for each.
    enum class MarkerCopy { Current = 0, KeptThreeFour = 1, KeptFourFour = 2 };
    // The page waits for a click that places: a diagram sent from another page, a chord taken by
    // Cut or Copy and Move Chord (or a Ctrl-drop), or a measure taken by Cut or Copy and Move
    // Measure.
    enum class Mode { None, Place, Move, MeasureMove };

    // An erased page in 4/4 with its markers drawn.
    PlayPage();

    // --- contents ---------------------------------------------------------------------------
    static int slotIndex(Cell c) { return c.row * kColumns + c.column; }
    static Cell cellOf(int s) { return Cell{s % kColumns, s / kColumns}; }
    static bool isValid(Cell c) { return c.column >= 0 && c.column < kColumns && c.row >= 0 && c.row < kRows; }

    const DiagramRecord& slot(int s) const { return m_slots[static_cast<size_t>(s)]; }
    const DiagramRecord& slot(Cell c) const { return slot(slotIndex(c)); }
    bool filled(int s) const { return !slot(s).isEmpty(); }
    const Slots& allSlots() const { return m_slots; }
    // The first filled slot looking down column 0, then column 1, and so on.
    std::optional<int> firstFilledByColumn() const;

    bool modified = false;  // changed since the last save, open or erase

    // --- time grid --------------------------------------------------------------------------
    TimeSignature timeSignature() const { return m_signature; }
    int slotsPerMeasure() const { return slotsPerMeasure(m_signature); }  // 6 in 3/4, 8 in 4/4
    int measureCount() const { return measureCount(m_signature); }        // 48 or 36
    int lastMeasure() const { return measureCount() - 1; }
    static int slotsPerMeasure(TimeSignature sig) { return sig == TimeSignature::ThreeFour ? 6 : 8; }
    static int measureCount(TimeSignature sig) { return kSlotCount / slotsPerMeasure(sig); }
    // The measure number shown and asked for: 0-based measure + 1.
    int measureAt(Cell c) const { return measureOf(slotIndex(c)) + 1; }
    int measureOf(int s) const { return s / slotsPerMeasure(); }
    bool measureFilled(int m) const;

    // The Time Signature button: the background is drawn for the new signature (current markers
    // reset, start position back to the first slot), then its kept markers are loaded. The slots
    // stay where they are, so measure boundaries move under the chords.
    void setTimeSignature(TimeSignature sig);

    // --- markers ----------------------------------------------------------------------------
    const Markers& markers(MarkerCopy copy = MarkerCopy::Current) const { return m_markers[static_cast<size_t>(copy)]; }
    MarkerCopy keptCopy() const;  // of the current time signature
    MarkerBytes markerBytes(MarkerCopy copy) const;
    static Markers markersFromBytes(const MarkerBytes& bytes);
    // Current: all zero but the return mark of measure 0. Kept: that and the loop mark on the
    // last measure of their signature.
    static Markers defaultMarkers(std::optional<TimeSignature> keptFor);
    // The markers on the picture: those of the last loadAndDrawMarkers(), none since the
    // background was last drawn.
    const std::optional<Markers>& drawnMarkers() const { return m_drawn; }

    // The background for the current signature: start position (0, 0), current markers reset,
    // no markers drawn.
    void drawBackground();
    // Current markers := the kept copy of the time signature; they are what the picture shows.
    void loadAndDrawMarkers();

    // What the Repeat Markers dialog shows for measure number `measure` (1-based) once the
    // current markers hold the kept copy (beginRepeatMarkers()).
    struct RepeatDialogValues {
        bool returnMark = false;
        bool repeat = false;
        std::string countText;  // the count, or empty without a repeat
        bool loop = false;      // also remembered as "the loop was set here"
        bool operator==(const RepeatDialogValues&) const = default;
    };
    void beginRepeatMarkers();
    RepeatDialogValues repeatDialogValues(int measure) const;
    // The dialog's OK for measure number `measure`: the markers of that measure from the
    // choice, the loop mark moved to it (or to the last measure when "Loop" was unchecked where
    // it had been set), the kept copy updated; the page is modified.
    void applyRepeatMarkers(int measure, const RepeatDialogValues& chosen, bool loopWasSet);
    // The count a repeat takes from the dialog's text: 1 when empty, unreadable or 0, 255 above
    // 255.
    static int repeatCountFrom(const std::string& text);

    // --- selection, start, placement ----------------------------------------------------------
    Cell selected;  // the slot of the last press on the picture; (-1, -1) none
    Cell startPosition() const { return m_start; }
    // A double click on the selected slot moves the start to the first slot of its measure when
    // it is one of the measure's first two slots. Returns whether the start moved.
    bool doubleClickStart();

    Mode mode() const { return m_mode; }
    void setMode(Mode m) { m_mode = m; }
    // A right press, or nothing to place: no placement waits any more, no cut is pending.
    void endPlacement();
    DiagramRecord pendingDiagram;  // the diagram a Place or Move click puts down
    int moveSourceMeasure() const { return m_moveSource; }
    bool chordCutPending() const { return m_chordCutPending; }
    bool measureCutPending() const { return m_measureCutPending; }

    // Whether a placing press at `c` must first ask to replace: "Do you want to replace this
    // diagram?" (Place, Move) or "...this measure?" (MeasureMove); never with Alt, which inserts.
    bool placeNeedsQuestion(Cell c, bool alt) const;
    // A placing press at `c` after the question (if any) was answered Yes: the pending diagram
    // put in (inserted with Alt) or the source measure put on the measure of `c` (inserted with
    // Alt). Both cut-pending flags clear; the mode ends unless Ctrl keeps placing.
    void placeAt(Cell c, bool alt, bool ctrl);

    // --- edits ------------------------------------------------------------------------------
    // Each takes the undo snapshot first unless said otherwise.
    const Slots& undoSlots() const { return m_undoSlots; }
    bool undoAvailable() const { return m_undoAvailable; }
    void takeUndoSnapshot();
    // A save or an open: nothing is left to undo (the snapshot itself stays).
    void clearUndo() { m_undoAvailable = false; }
    // Back to the snapshot; one level only.
    void undo();

    // Slot s := d; the slots after it up to the measure's end move one on and the measure's
    // last slot is lost. No snapshot while a chord cut is pending (the cut took it).
    void insertAt(int s, const DiagramRecord& d);
    // insertAt with the slot's own record marked empty.
    void insertSpace(int s);
    // Measure t := a blank measure or a copy of the measure Cut or Copy and Move Measure took up
    // (as it was then, so a cut measure is still found and every Ctrl placement puts down the
    // same chords); with `insert` every later
    // measure moves one on first and the last measure is lost (not when t is the last). No
    // snapshot while a measure cut is pending.
    void placeMeasure(bool blank, int t, bool insert);
    void insertMeasure(int m) { placeMeasure(true, m, true); }

    void deleteChord(int s);
    void cutChord(int s);   // into pendingDiagram, Move mode
    void copyChord(int s);  // the same, the slot keeps its chord
    void deleteMeasure(int m);  // later measures stay where they are
    void cutMeasure(int m);     // MeasureMove mode with m as the source
    void copyMeasure(int m);    // the same, no snapshot and nothing changes yet

    // A slot dragged from `source` and let go on `target` (a copy; the source keeps its chord).
    // Alt inserts; Ctrl leaves the page in Move mode with that chord for further clicks.
    bool dropNeedsQuestion(Cell target, bool alt) const { return !alt && filled(slotIndex(target)); }
    void drop(Cell source, Cell target, bool alt, bool ctrl);

    // Erase Page: the background drawn, both kept marker copies back to their defaults, every
    // slot empty, not modified. The undo snapshot stays.
    void erase();
    // A page file's content: its slots, time signature and markers (which become the kept copy
    // of that signature and are drawn); not modified, the start at the first slot.
    void load(const Slots& content, TimeSignature sig, const MarkerBytes& markers);

    // --- picture ----------------------------------------------------------------------------
    static constexpr int kPictureWidth = 772;
    static constexpr int kPictureHeight = 3335;
    static constexpr int kSlotPitchX = 63;
    static constexpr int kRowPitch = 132;
    static constexpr int kStaffLeft = 3;
    static constexpr int kStaffHeight = 33;
    static constexpr int kStaffWidth = 768;
    static constexpr int kSignWidth = 8;  // repeat signs, loop arrow, start cursor, eraser

    // The slot under a picture point: column trunc((x - 20) / 63), row trunc((y - 20) / 132).
    static std::optional<Cell> hitTest(int x, int y);
    // The area painted white before a slot is drawn: 60 x 86 pixels from (63c + 20, 132r).
    static PixelRect slotArea(Cell c);
    static PixelPoint diagramAt(Cell c) { return {kSlotPitchX * c.column + 20, kRowPitch * c.row + 25}; }
    static PixelPoint titleAt(Cell c) { return {kSlotPitchX * c.column + 20, kRowPitch * c.row + 13}; }
    static int staffTop(int row) { return kRowPitch * row + 95; }
    static int measureNumberTop(int row) { return kRowPitch * row + 85; }
    static PixelPoint startCursorAt(Cell c) { return {kSlotPitchX * c.column + 30, staffTop(c.row)}; }
    // Where playback marks the slot, or beat b (0..5) of a row, being played.
    static PixelPoint slotStaffPoint(Cell c) { return {kSlotPitchX * c.column + 39, staffTop(c.row)}; }
    static PixelPoint beatStaffPoint(int beat, int row) { return {126 * beat + 39, staffTop(row)}; }
    // Top-left corners of the sign before measure m (repeat start) and after it (repeat end);
    // y is the top of the staff strip of the row concerned.
    struct MeasureEnds {
        PixelPoint start, end;
        bool operator==(const MeasureEnds&) const = default;
    };
    static MeasureEnds markerPoints(TimeSignature sig, int m);
    // Bar lines drawn on a row's strip after the staff itself (which has one at its left edge).
    static std::vector<int> barLineXs(TimeSignature sig, int row);
    // The texts over a row's strip, in drawing order; each is drawn on white, so a later text
    // (blanks included) covers an earlier one at the same place.
    struct StaffText {
        int x = 0;
        std::string text;
    };
    static std::vector<StaffText> measureNumberTexts(TimeSignature sig, int row);
    // Scroll position of page p (1..4), and where its "Page p" label stands.
    static int pageScrollY(int page) { return 792 * (page - 1); }
    static PixelPoint pageLabelAt(int page);
    // Auto-scroll while a slot is dragged near the scroll box's top or bottom edge: y is the
    // pointer in the scroll box, height the box's. Lines > 0 scroll down; the timer interval is
    // set to intervalMs unless it is 0.
    struct DragScroll {
        int lines = 0;
        int intervalMs = 0;
        bool operator==(const DragScroll&) const = default;
    };
    static DragScroll dragScrollStep(int y, int height);

private:
    void emptySlot(int s) { m_slots[static_cast<size_t>(s)].empty = 1; }
    Markers& current() { return m_markers[static_cast<size_t>(MarkerCopy::Current)]; }
    Markers& kept() { return m_markers[static_cast<size_t>(keptCopy())]; }

    Slots m_slots{};
    Slots m_undoSlots{};
    bool m_undoAvailable = false;
    TimeSignature m_signature = TimeSignature::FourFour;
    std::array<Markers, 3> m_markers{};
    std::optional<Markers> m_drawn;
    Cell m_start{0, 0};
    Mode m_mode = Mode::None;
    int m_moveSource = 0;
    std::vector<DiagramRecord> m_carried;  // the measure being moved or copied
    void carryMeasure(int m);
    bool m_chordCutPending = false;
    bool m_measureCutPending = false;
};

}  // namespace strumox::pages
