#include "fretboard/FingeringEditor.h"

#include <algorithm>
#include <cctype>

#include "fretboard/FretboardDisplay.h"

namespace strumox::fretboard {

using pages::DiagramRecord;

bool applyFretClick(DiagramRecord& w, int string, int fret, bool rightButton, MarkerChoice marker,
                    const theory::CompoundFlags& flags)
{
    const auto s = static_cast<size_t>(string);
    w.frets[s] = static_cast<std::uint8_t>(fret);
    w.sounding[s] = static_cast<std::uint8_t>(fret + w.tuning[s]);
    if (fret == 0) {
        if (w.markers[s] != pages::MarkerMuted && !rightButton) {
            w.markers[s] = pages::MarkerMuted;
            w.sounding[s] = 0;
        } else {
            w.markers[s] = pages::MarkerOpen;
        }
    } else if (marker) {
        w.markers[s] = *marker;
    }
    bool rootChanged = false;
    if (rightButton) {
        const int note = (w.tuning[s] + fret) % 12;
        rootChanged = note != w.root;
        w.root = static_cast<std::uint8_t>(note);
        w.bass = static_cast<std::uint8_t>(note + DiagramRecord::kBassOffset);
    }
    w.baseFret = static_cast<std::uint8_t>(theory::beginningFret(w.frets, w.markers));
    recomputeIntervals(w, flags);
    return rootChanged;
}

std::string intervalText(std::span<const IntervalField> fields)
{
    std::string text;
    for (size_t k = 0; k < fields.size() && k < 7; ++k)
        text += fields[k].caption + " ";
    return text.substr(0, std::min<size_t>(text.size(), DiagramRecord::kFormulaCapacity));
}

std::array<std::string, 6> fretBoxTexts(const DiagramRecord& w)
{
    std::array<std::string, 6> out;
    for (size_t s = 0; s < 6; ++s)
        if (w.sounding[s] != 0)
            out[s] = std::to_string(w.frets[s]);
    return out;
}

std::optional<int> parseFretBox(const std::string& text)
{
    if (text.empty())
        return 0;
    if (text.size() > 2 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int v = std::stoi(text);
    if (v > theory::kMaxFret)
        return std::nullopt;
    return v;
}

std::string applyFretBox(DiagramRecord& w, int string, const std::string& text, MarkerChoice marker,
                         const theory::CompoundFlags& flags)
{
    const auto parsed = parseFretBox(text);
    const std::string kept = parsed ? text : std::string();
    const int fret = parsed.value_or(0);
    // The nut click toggles, so preset the marker to get a definite result: "0" open, empty muted.
    if (kept.empty())
        w.markers[static_cast<size_t>(string)] = pages::MarkerOpen;
    else if (fret == 0)
        w.markers[static_cast<size_t>(string)] = pages::MarkerMuted;
    applyFretClick(w, string, fret, false, marker, flags);
    return kept;
}

std::optional<std::string> suffixFromTypedName(const std::string& text)
{
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;
    std::string t = text.substr(i);
    if (!t.empty() && t[0] >= 'A' && t[0] <= 'G') {
        size_t drop = 1;
        if (t.size() > 1 && (t[1] == 'b' || t[1] == '#'))
            drop = 2;
        t = t.substr(drop);
        const size_t first = t.find_first_not_of(' ');
        t = first == std::string::npos ? std::string() : t.substr(first);
    }
    const size_t slash = t.find('/');
    if (slash != std::string::npos) {
        const bool last = slash + 1 == t.size();
        const char next = last ? '\0' : t[slash + 1];
        if (last || next == ' ' || (next >= 'A' && next <= 'G'))
            t = t.substr(0, slash);
    }
    return t.substr(0, std::min(t.size(), DiagramRecord::kNameCapacity));
}

void retune(DiagramRecord& w, const theory::Tuning& tuning, const std::string& tuningName,
            const theory::CompoundFlags& flags)
{
    w.tuning = tuning;
    w.tuningName = tuningName.substr(0, std::min(tuningName.size(), DiagramRecord::kTuningNameCapacity));
    for (size_t s = 0; s < 6; ++s)
        if (w.sounding[s] != 0)
            w.sounding[s] = static_cast<std::uint8_t>(w.frets[s] + tuning[s]);
    recomputeIntervals(w, flags);
}

void setWorkRoot(DiagramRecord& w, int root)
{
    w.root = static_cast<std::uint8_t>(root);
    w.bass = static_cast<std::uint8_t>(root + DiagramRecord::kBassOffset);
}

void setWorkBass(DiagramRecord& w, int bass) { w.bass = static_cast<std::uint8_t>(bass + DiagramRecord::kBassOffset); }

void recomputeIntervals(DiagramRecord& w, const theory::CompoundFlags& flags)
{
    w.intervals = theory::intervalsOfFingering(w.sounding, w.root, flags);
}

}  // namespace strumox::fretboard
