#include "fretboard/FretboardDisplay.h"

#include <algorithm>

#include "fretboard/KeyboardLayout.h"

namespace strumox::fretboard {

using pages::DiagramRecord;

void FretboardDisplay::resetIntervalField(IntervalField& field)
{
    field.caption.clear();
    field.tag = -1;
    field.text = colours::kBlack;
    field.background = colours::kWhite;
    field.inactive = false;
}

void FretboardDisplay::nameChord(int root, const std::string& suffix, int bass)
{
    m_nameRoot = root;
    m_nameSuffix = suffix;
    m_nameBass = bass;
    spellChordName();
}

void FretboardDisplay::spellChordName()
{
    if (m_nameRoot < 0) {
        m_panels.chordName.clear();
        return;
    }
    m_panels.chordName = m_names.note(m_nameRoot) + " " + m_nameSuffix;
    if (m_nameBass >= 0)
        m_panels.chordName += " /" + m_names.note(m_nameBass);
}

void FretboardDisplay::spellNotes()
{
    m_panels.notes.clear();
    for (const int note : m_noteList)
        m_panels.notes += " " + m_names.note(note);
}

void FretboardDisplay::setChordName(int root, const std::string& suffix, int bass)
{
    nameChord(root, suffix, bass % 12 != root % 12 ? bass % 12 : -1);
}

void FretboardDisplay::setChordSuffix(const std::string& suffix)
{
    m_nameSuffix = suffix;
    spellChordName();
}

void FretboardDisplay::setTuningName(const std::string& name)
{
    m_panels.tuningName = theory::spellNoteNames(name, m_names);
}

void FretboardDisplay::respell()
{
    spellChordName();
    spellNotes();
    m_panels.tuningName = theory::spellNoteNames(m_panels.tuningName, m_names);
    if (m_hoverNote >= 0)
        m_panels.note = m_names.note(m_hoverNote);
}

void FretboardDisplay::fillIntervalFields(const DiagramRecord& d, bool slotColours, bool keepTextColour)
{
    m_noteList.clear();
    // The eighth field belongs to scales; a chord never leaves a scale's interval there.
    resetIntervalField(m_panels.intervals[7]);
    for (size_t k = 0; k < 7; ++k) {
        IntervalField& field = m_panels.intervals[k];
        if (!keepTextColour) {
            field.text = colours::kBlack;
            field.inactive = false;
        }
        field.background = slotColours ? colours::kIntervalSlot[k] : colours::kWhite;
        const int interval = d.intervals[k];
        if (interval == theory::kNoInterval) {
            field.caption.clear();
            field.tag = -1;
            continue;
        }
        field.caption = theory::intervalName(interval);
        field.tag = interval % 12;
        m_noteList.push_back(d.root + interval);
    }
    spellNotes();
}

void FretboardDisplay::markKeyboard(const DiagramRecord& d)
{
    // The keyboard marks chords the way it marks scales: 255 becomes the scale terminator 99.
    std::array<std::uint8_t, 10> list;
    list.fill(theory::kScaleListEnd);
    for (size_t k = 0; k < 7; ++k)
        list[k] = d.intervals[k] == theory::kNoInterval ? theory::kScaleListEnd : d.intervals[k];
    markScale(m_keyboard, list, d.root);
}

void FretboardDisplay::showChord(const DiagramRecord& d, const DisplayContext& ctx)
{
    m_scene.clear();
    m_matrix.clear();
    bool rootSounded = false;
    if (d.isEmpty()) {
        clearDisplay();
        return;
    }
    m_panels.chordNameColour = colours::kBlack;
    m_panels.notesColour = colours::kBlack;
    m_panels.chordNameCaption = "Chord Name:";
    setTuningName(d.tuningName);
    setChordName(d.root, d.name, d.bass);
    fillIntervalFields(d, false, false);

    for (int s = 0; s < 6; ++s) {
        const auto su = static_cast<size_t>(s);
        m_openStrings[su] = d.tuning[su];
        const int fret = std::min<int>(d.frets[su], theory::kMaxFret);
        const int marker = d.markers[su];
        const bool isRootNote = (d.tuning[su] + fret) % 12 == d.root % 12;
        // A muted string never counts as sounding the root.
        const bool soundsRoot = isRootNote && marker != pages::MarkerMuted;
        if (soundsRoot) {
            rootSounded = true;
            m_matrix.setRoot(fret, s);
        }
        m_scene.glyphs.push_back({s, fret, glyphCellX(marker, isRootNote)});
        if (marker != pages::MarkerMuted)
            m_matrix.setLit(fret, s);  // fret 22 falls outside the matrix by itself
    }
    m_shownRoot = d.root % 12;
    if (onSendMatrix)
        onSendMatrix(m_matrix);
    if (ctx.showArpeggioDown)
        showIntervals(d, colours::kBlack, ctx);
    m_keyboard.clear();
    markKeyboard(d);
    m_panels.intervals[0].inactive = !rootSounded;
}

void FretboardDisplay::showIntervals(const DiagramRecord& d, std::uint32_t colour, const DisplayContext& ctx)
{
    m_matrix.clear();
    m_panels.chordNameColour = colour;
    m_panels.notesColour = colour;
    nameChord(d.root, d.name, -1);
    const bool slotColours = ctx.designPageActive && ctx.showIntervalsDown;
    // A formula laid over a chord keeps the chord's text colours (the grey "root not played").
    fillIntervalFields(d, slotColours, true);

    int first = 0, last = theory::kMaxFret;
    if (!ctx.showFullFretboard && !ctx.designPageActive) {
        first = std::max(0, d.baseFret - 1);
        last = std::min(theory::kMaxFret, d.baseFret + 3);
    }
    for (int s = 0; s < 6; ++s) {
        const int open = m_openStrings[static_cast<size_t>(s)];
        for (int j = first; j <= last; ++j) {
            for (size_t k = 0; k < 7 && d.intervals[k] != theory::kNoInterval; ++k) {
                const int interval = d.intervals[k];
                if ((open + j) % 12 != (d.root + interval) % 12)
                    continue;
                std::uint32_t rgb = colours::kGreen;
                if ((open + j) % 12 == d.root % 12) {
                    rgb = colours::kRed;
                    m_matrix.setRoot(j, s);
                } else if (slotColours) {
                    for (size_t f = 0; f < 7; ++f)
                        if (m_panels.intervals[f].tag == interval % 12) {
                            rgb = colours::kIntervalSlot[f];
                            break;
                        }
                }
                m_scene.squares.push_back({s, j, rgb});
                m_matrix.setLit(j, s);
            }
        }
    }
    if (onSendMatrix)
        onSendMatrix(m_matrix);
}

void FretboardDisplay::showScale(const pages::ScaleRecord& r, int beginFret, int frets, const DisplayContext& ctx)
{
    m_scene.clear();
    m_matrix.clear();
    if (r.isEmpty()) {
        clearDisplay();
        m_openStrings = theory::kStandardTuning;
        return;
    }
    m_panels.chordNameCaption = "Scale Name:";
    m_panels.chordNameColour = colours::kBlack;
    m_panels.notesColour = colours::kBlack;
    setTuningName(r.tuningName);
    nameChord(r.root, r.name, -1);
    for (size_t k = 0; k < m_panels.intervals.size(); ++k) {
        IntervalField& field = m_panels.intervals[k];
        resetIntervalField(field);
        const int interval = r.intervals[k];
        if (interval == theory::kScaleListEnd)
            continue;
        field.caption = theory::intervalName(interval);
        field.tag = interval % 12;
    }
    const std::vector<int> notes = theory::scaleNotes(r.intervals, r.root);
    m_noteList = notes;
    spellNotes();

    int first = 0, last = theory::kMaxFret;
    if (!ctx.showFullFretboard) {
        first = beginFret == 1 ? 0 : beginFret;
        last = std::min(theory::kMaxFret, first + frets - 1);
    }
    for (int s = 0; s < 6; ++s) {
        const int open = r.tuning[size_t(s)];
        m_openStrings[size_t(s)] = static_cast<std::uint8_t>(open);
        for (int j = first; j <= last; ++j) {
            for (const int note : notes) {
                if ((open + j) % 12 != note)
                    continue;
                const bool isRoot = (open + j) % 12 == r.root % 12;
                // An open string's note takes the open glyph, a fretted one the plain glyph.
                m_scene.glyphs.push_back({s, j, glyphCellX(j == 0 ? pages::MarkerOpen : pages::MarkerPlain, isRoot)});
                m_matrix.setLit(j, s);
                if (isRoot)
                    m_matrix.setRoot(j, s);
            }
        }
    }
    m_shownRoot = r.root % 12;
    if (onSendMatrix)
        onSendMatrix(m_matrix);
    m_keyboard.clear();
    markScale(m_keyboard, r.intervals, r.root);
}

void FretboardDisplay::resetIntervalColours()
{
    for (auto& f : m_panels.intervals) {
        f.text = colours::kBlack;
        f.background = colours::kWhite;
    }
}

void FretboardDisplay::clearDisplay()
{
    m_scene.clear();
    m_keyboard.clear();
    m_matrix.clear();
    if (onGlowboardOff)
        onGlowboardOff();
    nameChord(-1, {}, -1);
    m_panels.tuningName.clear();
    m_noteList.clear();
    m_panels.notes.clear();
    for (auto& field : m_panels.intervals) {
        field.caption.clear();
        field.tag = -1;
        field.inactive = false;
    }
    clearHover();
}

bool FretboardDisplay::hover(int x, int y)
{
    const auto hit = hitTest(x, y, m_layout.leftHanded);
    if (!hit) {
        clearHover();
        return false;
    }
    m_hoverString = hit->string;
    m_hoverFret = hit->fret;
    hoverKey(m_openStrings[static_cast<size_t>(m_hoverString)] + m_hoverFret);
    return true;
}

void FretboardDisplay::hoverKey(int note)
{
    m_hoverNote = ((note % 12) + 12) % 12;
    m_panels.note = m_names.note(m_hoverNote);
    m_panels.interval = theory::hoverIntervalText(m_hoverNote, m_shownRoot);
}

void FretboardDisplay::clearHover()
{
    m_hoverNote = -1;
    m_panels.note.clear();
    m_panels.interval.clear();
}

void FretboardDisplay::noteSounding(int string, int fret, int mark)
{
    const int cell = soundingCellX(mark);
    if (string < 0 || string > 5 || fret < 0 || fret > 22 || cell < 0)
        return;
    m_scene.sounding[static_cast<size_t>(string)] = FretboardScene::Glyph{string, fret, cell};
}

void FretboardDisplay::noteEnded(int string, int fret, bool wipe)
{
    if (string < 0 || string > 5)
        return;
    m_scene.sounding[static_cast<size_t>(string)].reset();
    if (wipe)
        std::erase_if(m_scene.glyphs, [&](const FretboardScene::Glyph& g) { return g.string == string && g.fret == fret; });
}

}  // namespace strumox::fretboard
