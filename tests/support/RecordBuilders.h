#pragma once
// Records for tests, built the way guitarists write chords: a shape such as "x32010" (low E
// string first, x = not played) in standard tuning, or explicit frets and markers string 0 (high
// E) first. Every builder fills the record (empty = 0); what it leaves out keeps the record's
// defaults.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "pages/DiagramRecord.h"
#include "pages/PrintRecord.h"
#include "pages/ScaleRecord.h"
#include "theory/Fingering.h"
#include "theory/Notes.h"

namespace strumox::testsupport {

using Strings = std::array<std::uint8_t, 6>;  // one byte per string, string 0 (high E) first

// A chord from frets and markers (0 open, 1..4 finger, 5 not played, 6 plain): sounding notes
// follow from the tuning, the bass is the root, the beginning fret comes from the diagram rule.
inline pages::DiagramRecord chordRecord(int root, const std::string& name, const Strings& frets, const Strings& markers,
                                        const theory::IntervalList& intervals = {0, 255, 255, 255, 255, 255, 255},
                                        const std::string& formula = "")
{
    pages::DiagramRecord d;
    d.empty = 0;
    d.name = name;
    d.tuningName = "Standard";
    d.formula = formula;
    d.frets = frets;
    d.markers = markers;
    d.intervals = intervals;
    for (size_t s = 0; s < 6; ++s)
        d.sounding[s] = markers[s] == pages::MarkerMuted ? 0 : static_cast<std::uint8_t>(d.tuning[s] + frets[s]);
    d.baseFret = static_cast<std::uint8_t>(theory::beginningFret(frets, markers));
    d.root = static_cast<std::uint8_t>(root);
    d.bass = static_cast<std::uint8_t>(root + pages::DiagramRecord::kBassOffset);
    return d;
}

// Frets of a shape as guitarists write it, low E string first: one character per string
// ("x32010"), or numbers separated by blanks when a fret has two digits ("x 3 5 5 5 3").
// Not-played strings get fret 0 and marker 5, open strings marker 0, fretted ones `fretted`.
inline void parseShape(const std::string& text, Strings& frets, Strings& markers,
                       std::uint8_t fretted = pages::MarkerPlain)
{
    std::vector<std::string> parts;
    if (text.find(' ') == std::string::npos) {
        for (char c : text)
            parts.emplace_back(1, c);
    } else {
        std::string part;
        for (char c : text + " ") {
            if (c != ' ') {
                part += c;
            } else if (!part.empty()) {
                parts.push_back(part);
                part.clear();
            }
        }
    }
    if (parts.size() != 6)
        throw std::invalid_argument("a shape names six strings: " + text);
    for (size_t i = 0; i < 6; ++i) {
        const size_t s = 5 - i;
        if (parts[i] == "x" || parts[i] == "X") {
            frets[s] = 0;
            markers[s] = pages::MarkerMuted;
        } else {
            frets[s] = static_cast<std::uint8_t>(std::stoi(parts[i]));
            markers[s] = frets[s] == 0 ? std::uint8_t{pages::MarkerOpen} : fretted;
        }
    }
}

// A chord from its shape: shapeChord(0, "major", "x32010", {0, 4, 7, 255, ...}).
inline pages::DiagramRecord shapeChord(int root, const std::string& name, const std::string& shape,
                                       const theory::IntervalList& intervals = {0, 255, 255, 255, 255, 255, 255},
                                       const std::string& formula = "")
{
    Strings frets{}, markers{};
    parseShape(shape, frets, markers);
    return chordRecord(root, name, frets, markers, intervals, formula);
}

// Markers from the fingers on a shape, low E string first: "x32010" (x not played, 0 open,
// 1..4 the finger, 6 fretted without a finger).
inline Strings fingerMarkers(const std::string& fingers)
{
    if (fingers.size() != 6)
        throw std::invalid_argument("fingers name six strings: " + fingers);
    Strings markers{};
    for (size_t i = 0; i < 6; ++i)
        markers[5 - i] = fingers[i] == 'x' || fingers[i] == 'X' ? std::uint8_t{pages::MarkerMuted}
                                                                : static_cast<std::uint8_t>(fingers[i] - '0');
    return markers;
}

// A chord from its shape and the fingers on it: fingeredChord(0, "major", "x32010", "x32010").
inline pages::DiagramRecord fingeredChord(int root, const std::string& name, const std::string& shape,
                                          const std::string& fingers,
                                          const theory::IntervalList& intervals = {0, 255, 255, 255, 255, 255, 255},
                                          const std::string& formula = "")
{
    Strings frets{}, markers{};
    parseShape(shape, frets, markers);
    return chordRecord(root, name, frets, fingerMarkers(fingers), intervals, formula);
}

// A dictionary fingering from its shape, its fingers and the beginning fret it claims.
inline theory::Fingering shapeFingering(const std::string& shape, const std::string& fingers, int baseFret)
{
    theory::Fingering f;
    Strings markers{};
    parseShape(shape, f.frets, markers);
    f.markers = fingerMarkers(fingers);
    f.baseFret = static_cast<std::uint8_t>(baseFret);
    return f;
}

// The same record drawn from another first row than the diagram rule gives.
inline pages::DiagramRecord atBaseFret(pages::DiagramRecord d, int baseFret)
{
    d.baseFret = static_cast<std::uint8_t>(baseFret);
    return d;
}

// Open C major, x32010, with its intervals and interval text.
inline pages::DiagramRecord openCMajor()
{
    return shapeChord(0, "major", "x32010", {0, 4, 7, 255, 255, 255, 255}, "1 3 5");
}

// Open C major fingered as players finger it: 3 on the A string, 2 on D, 1 on B.
inline pages::DiagramRecord fingeredCMajor()
{
    return fingeredChord(0, "major", "x32010", "x32010", {0, 4, 7, 255, 255, 255, 255}, "1 3 5");
}

// Open C major 7, x32000 with fingers 3 and 2, its interval text ending in a blank as the
// chord finder writes it.
inline pages::DiagramRecord openCMajor7()
{
    return fingeredChord(0, "maj7", "x32000", "x32000", {0, 4, 7, 11, 255, 255, 255}, "1 3 5 7 ");
}

// A scale row in standard tuning; the beginning frets default to a new row's.
inline pages::ScaleRecord scaleRecord(int root, const std::string& name, const std::array<std::uint8_t, 10>& intervals,
                                      const Strings& beginFret = pages::kDefaultBeginFrets,
                                      const std::string& formula = "")
{
    pages::ScaleRecord s;
    s.empty = 0;
    s.name = name;
    s.tuningName = "Standard";
    s.formula = formula;
    s.intervals = intervals;
    s.beginFret = beginFret;
    s.root = static_cast<std::uint8_t>(root);
    return s;
}

// C major (Ionian): 1 2 3 4 5 6 7.
inline pages::ScaleRecord cMajorScale(const Strings& beginFret = pages::kDefaultBeginFrets)
{
    return scaleRecord(0, "Ionian (Major)", {0, 2, 4, 5, 7, 9, 11, 99, 99, 99}, beginFret, "1 2 3 4 5 6 7");
}

}  // namespace strumox::testsupport
