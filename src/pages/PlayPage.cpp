#include "pages/PlayPage.h"

#include <algorithm>

namespace strumox::pages {

namespace {
// Where the "Page 1".."Page 4" labels stand, beside the picture's right edge.
constexpr int kPageLabelX = 790;
constexpr std::array<int, PlayPage::kPageCount> kPageLabelY{41, 834, 1626, 2418};
}  // namespace

PlayPage::PlayPage()
{
    erase();
    loadAndDrawMarkers();
}

std::optional<int> PlayPage::firstFilledByColumn() const
{
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            if (filled(slotIndex(Cell{c, r})))
                return slotIndex(Cell{c, r});
    return std::nullopt;
}

bool PlayPage::measureFilled(int m) const
{
    const int n = slotsPerMeasure();
    for (int s = m * n; s < m * n + n; ++s)
        if (filled(s))
            return true;
    return false;
}

// --- time grid and markers ----------------------------------------------------------------------

void PlayPage::setTimeSignature(TimeSignature sig)
{
    m_signature = sig;
    drawBackground();
    loadAndDrawMarkers();
}

PlayPage::MarkerCopy PlayPage::keptCopy() const
{
    return m_signature == TimeSignature::ThreeFour ? MarkerCopy::KeptThreeFour : MarkerCopy::KeptFourFour;
}

PlayPage::MarkerBytes PlayPage::markerBytes(MarkerCopy copy) const
{
    MarkerBytes out{};
    const Markers& m = markers(copy);
    for (size_t row = 0; row < m.size(); ++row)
        std::copy(m[row].begin(), m[row].end(), out.begin() + static_cast<std::ptrdiff_t>(row * kMarkerMeasures));
    return out;
}

PlayPage::Markers PlayPage::markersFromBytes(const MarkerBytes& bytes)
{
    Markers m{};
    for (size_t row = 0; row < m.size(); ++row)
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(row * kMarkerMeasures), kMarkerMeasures,
                    m[row].begin());
    return m;
}

PlayPage::Markers PlayPage::defaultMarkers(std::optional<TimeSignature> keptFor)
{
    Markers m{};
    m[ReturnMark][0] = 1;
    if (keptFor)
        m[LoopMark][static_cast<size_t>(measureCount(*keptFor) - 1)] = 1;
    return m;
}

void PlayPage::drawBackground()
{
    m_start = Cell{0, 0};
    current() = defaultMarkers(std::nullopt);
    m_drawn.reset();
}

void PlayPage::loadAndDrawMarkers()
{
    current() = kept();
    m_drawn = current();
}

void PlayPage::beginRepeatMarkers() { current() = kept(); }

PlayPage::RepeatDialogValues PlayPage::repeatDialogValues(int measure) const
{
    const size_t m = static_cast<size_t>(measure - 1);
    const Markers& cur = markers();
    RepeatDialogValues v;
    v.returnMark = cur[ReturnMark][m] != 0;
    v.repeat = cur[RepeatCount][m] != 0;
    if (v.repeat)
        v.countText = std::to_string(cur[RepeatCount][m]);
    v.loop = cur[LoopMark][m] == 1;
    return v;
}

void PlayPage::applyRepeatMarkers(int measure, const RepeatDialogValues& chosen, bool loopWasSet)
{
    const size_t m = static_cast<size_t>(measure - 1);
    Markers& cur = current();
    modified = true;
    const int count = chosen.repeat ? repeatCountFrom(chosen.countText) : 0;
    // Repeats jump back to the nearest return mark, so the first measure always carries one.
    cur[ReturnMark][m] = chosen.returnMark || m == 0 ? 1 : 0;
    cur[RepeatCount][m] = static_cast<std::uint8_t>(count);
    cur[RepeatCounter][m] = static_cast<std::uint8_t>(count);
    if (chosen.loop || loopWasSet) {
        // Exactly one measure loops: this one, or the last when its loop was just taken off.
        cur[LoopMark].fill(0);
        cur[LoopMark][chosen.loop ? m : static_cast<size_t>(lastMeasure())] = 1;
    }
    kept() = cur;
}

int PlayPage::repeatCountFrom(const std::string& text)
{
    long value = 0;
    bool digits = false;
    for (char c : text) {
        if (c == ' ')
            continue;
        if (c < '0' || c > '9')
            return 1;
        digits = true;
        value = std::min<long>(value * 10 + (c - '0'), 1000);
    }
    if (!digits || value <= 0)
        return 1;
    return static_cast<int>(std::min<long>(value, kMaxRepeatCount));
}

// --- selection, start, placement ----------------------------------------------------------------

bool PlayPage::doubleClickStart()
{
    if (m_mode != Mode::None || !isValid(selected))
        return false;
    const int s = slotIndex(selected);
    const int n = slotsPerMeasure();
    if (s % n >= 2)
        return false;
    m_start = cellOf(s - s % n);
    return true;
}

void PlayPage::endPlacement()
{
    m_mode = Mode::None;
    m_chordCutPending = false;
    m_measureCutPending = false;
}

bool PlayPage::placeNeedsQuestion(Cell c, bool alt) const
{
    if (alt)
        return false;
    switch (m_mode) {
    case Mode::Place:
    case Mode::Move: return filled(slotIndex(c));
    case Mode::MeasureMove: return measureFilled(measureOf(slotIndex(c)));
    case Mode::None: break;
    }
    return false;
}

void PlayPage::placeAt(Cell c, bool alt, bool ctrl)
{
    const int s = slotIndex(c);
    switch (m_mode) {
    case Mode::None: return;
    case Mode::Place:
    case Mode::Move:
        if (pendingDiagram.isEmpty()) {
            endPlacement();
            return;
        }
        if (alt) {
            insertAt(s, pendingDiagram);
        } else {
            // Move mode's snapshot was taken by the Cut or Copy that started it.
            if (m_mode == Mode::Place)
                takeUndoSnapshot();
            m_slots[static_cast<size_t>(s)] = pendingDiagram;
        }
        break;
    case Mode::MeasureMove: placeMeasure(false, measureOf(s), alt); break;
    }
    modified = true;
    m_chordCutPending = false;
    m_measureCutPending = false;
    if (!ctrl)
        m_mode = Mode::None;
}

// --- edits --------------------------------------------------------------------------------------

void PlayPage::takeUndoSnapshot()
{
    m_undoSlots = m_slots;
    m_undoAvailable = true;
}

void PlayPage::undo()
{
    if (!m_undoAvailable)
        return;
    m_slots = m_undoSlots;
    m_undoAvailable = false;
    modified = true;
}

void PlayPage::insertAt(int s, const DiagramRecord& d)
{
    if (!m_chordCutPending)
        takeUndoSnapshot();
    m_chordCutPending = false;
    const int n = slotsPerMeasure();
    const int left = n - 1 - s % n;  // slots after s in its measure
    for (int k = s + left - 1; k >= s; --k)
        m_slots[static_cast<size_t>(k + 1)] = m_slots[static_cast<size_t>(k)];
    m_slots[static_cast<size_t>(s)] = d;
    modified = true;
}

void PlayPage::insertSpace(int s)
{
    DiagramRecord space = slot(s);
    space.empty = 1;
    insertAt(s, space);
}

void PlayPage::placeMeasure(bool blank, int t, bool insert)
{
    if (!m_measureCutPending)
        takeUndoSnapshot();
    m_measureCutPending = false;
    const int n = slotsPerMeasure();
    std::vector<DiagramRecord> built(static_cast<size_t>(n));
    if (!blank)
        for (size_t i = 0; i < built.size() && i < m_carried.size(); ++i)
            built[i] = m_carried[i];
    if (insert && t != lastMeasure())
        for (int k = kSlotCount - 1; k >= t * n + n; --k)
            m_slots[static_cast<size_t>(k)] = m_slots[static_cast<size_t>(k - n)];
    for (int i = 0; i < n; ++i)
        m_slots[static_cast<size_t>(t * n + i)] = built[static_cast<size_t>(i)];
    modified = true;
}

void PlayPage::deleteChord(int s)
{
    takeUndoSnapshot();
    emptySlot(s);
    modified = true;
}

void PlayPage::cutChord(int s)
{
    takeUndoSnapshot();
    m_chordCutPending = true;
    pendingDiagram = slot(s);
    m_mode = Mode::Move;
    emptySlot(s);
    modified = true;
}

void PlayPage::copyChord(int s)
{
    takeUndoSnapshot();
    pendingDiagram = slot(s);
    m_mode = Mode::Move;
}

void PlayPage::deleteMeasure(int m)
{
    takeUndoSnapshot();
    const int n = slotsPerMeasure();
    for (int s = m * n; s < m * n + n; ++s)
        emptySlot(s);
    modified = true;
}

void PlayPage::carryMeasure(int m)
{
    // The measure goes with the pointer as it is now, so every placement of it (Ctrl keeps
    // placing) puts down the same chords, wherever earlier placements moved the measures.
    const int n = slotsPerMeasure();
    m_carried.assign(m_slots.begin() + m * n, m_slots.begin() + m * n + n);
}

void PlayPage::cutMeasure(int m)
{
    carryMeasure(m);
    deleteMeasure(m);
    m_moveSource = m;
    m_mode = Mode::MeasureMove;
    m_measureCutPending = true;
}

void PlayPage::copyMeasure(int m)
{
    carryMeasure(m);
    m_moveSource = m;
    m_mode = Mode::MeasureMove;
}

void PlayPage::drop(Cell source, Cell target, bool alt, bool ctrl)
{
    if (!filled(slotIndex(source)))
        return;
    pendingDiagram = slot(source);
    const int t = slotIndex(target);
    if (alt) {
        insertAt(t, pendingDiagram);
    } else {
        takeUndoSnapshot();
        m_slots[static_cast<size_t>(t)] = pendingDiagram;
    }
    if (ctrl)
        m_mode = Mode::Move;
    modified = true;
}

void PlayPage::erase()
{
    drawBackground();
    m_markers[static_cast<size_t>(MarkerCopy::KeptThreeFour)] = defaultMarkers(TimeSignature::ThreeFour);
    m_markers[static_cast<size_t>(MarkerCopy::KeptFourFour)] = defaultMarkers(TimeSignature::FourFour);
    m_slots.fill(DiagramRecord{});
    modified = false;
}

void PlayPage::load(const Slots& content, TimeSignature sig, const MarkerBytes& markers)
{
    m_slots = content;
    m_signature = sig;
    drawBackground();
    kept() = markersFromBytes(markers);
    loadAndDrawMarkers();
    modified = false;
}

// --- picture ------------------------------------------------------------------------------------

std::optional<Cell> PlayPage::hitTest(int x, int y)
{
    // Truncated toward zero, as the grid has always been hit: the margin left of and above the
    // first slot counts as that slot.
    const Cell c{(x - 20) / kSlotPitchX, (y - 20) / kRowPitch};
    if (!isValid(c))
        return std::nullopt;
    return c;
}

PixelRect PlayPage::slotArea(Cell c)
{
    const int left = kSlotPitchX * c.column + 20;
    const int top = kRowPitch * c.row;
    return {left, top, left + 59, top + 85};
}

PlayPage::MeasureEnds PlayPage::markerPoints(TimeSignature sig, int m)
{
    if (sig == TimeSignature::ThreeFour) {
        const int y = staffTop(m / 2);
        return m % 2 == 0 ? MeasureEnds{{20, y}, {388, y}} : MeasureEnds{{397, y}, {762, y}};
    }
    // Three 4/4 measures fill two rows: columns 0..7, 8..11 + 0..3 of the next row, 4..11.
    const int top = staffTop(2 * (m / 3));
    const int bottom = staffTop(2 * (m / 3) + 1);
    switch (m % 3) {
    case 0: return {{20, top}, {514, top}};
    case 1: return {{523, top}, {262, bottom}};
    default: return {{271, bottom}, {762, bottom}};
    }
}

std::vector<int> PlayPage::barLineXs(TimeSignature sig, int row)
{
    if (sig == TimeSignature::ThreeFour || row % 2 == 1)
        return {sig == TimeSignature::ThreeFour ? 396 : 270, 770};
    return {522};
}

std::vector<PlayPage::StaffText> PlayPage::measureNumberTexts(TimeSignature sig, int row)
{
    const int i = row;
    std::vector<StaffText> out{{393, "     "}};
    // The 4/4 numbers always come first; 3/4 writes over them. An odd row opens with "~" and the
    // measure continued from the row before.
    if (i % 2 == 0) {
        out.push_back({3, std::to_string(3 * i / 2 + 1)});
        out.push_back({519, std::to_string(3 * i / 2 + 2)});
    } else {
        out.push_back({3, "~" + std::to_string(3 * i / 2 + 1)});
        out.push_back({267, std::to_string(3 * i / 2 + 2)});
    }
    if (sig == TimeSignature::ThreeFour) {
        out.push_back({3, std::to_string(2 * i + 1) + "    "});
        out.push_back({393, std::to_string(2 * i + 2)});
        out.push_back({i % 2 == 1 ? 267 : 519, "    "});
    }
    return out;
}

PixelPoint PlayPage::pageLabelAt(int page) { return {kPageLabelX, kPageLabelY[static_cast<size_t>(page - 1)]}; }

PlayPage::DragScroll PlayPage::dragScrollStep(int y, int height)
{
    DragScroll step;
    // The outer band scrolls a line a tick; the inner band a second line, at a shorter tick.
    if (y > height - 40) {
        ++step.lines;
        step.intervalMs = 20;
    }
    if (y <= 35) {
        --step.lines;
        step.intervalMs = 20;
    }
    if (y > height - 20) {
        ++step.lines;
        step.intervalMs = 16;
    }
    if (y <= 15) {
        --step.lines;
        step.intervalMs = 16;
    }
    return step;
}

}  // namespace strumox::pages
