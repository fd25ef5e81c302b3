#pragma once
// One chord fingering: the 88-byte record that pages hold and page files store byte for byte.
#include <array>
#include <cstdint>
#include <string>

#include "theory/Fingering.h"
#include "theory/Notes.h"

namespace strumox::pages {

using theory::Marker;
using theory::MarkerMuted;
using theory::MarkerOpen;
using theory::MarkerPlain;

struct DiagramRecord {
    static constexpr size_t kSize = 88;
    static constexpr size_t kNameCapacity = 15;
    static constexpr size_t kTuningNameCapacity = 15;
    static constexpr size_t kFormulaCapacity = 20;
    // The bass is stored as note + 24 in records built by the program.
    static constexpr std::uint8_t kBassOffset = 24;

    std::uint8_t empty = 1;  // 1 = the slot is empty, 0 = holds a chord
    std::string name;        // chord type suffix, e.g. "maj7"
    std::string tuningName;
    std::string formula;     // interval text
    theory::Tuning tuning = theory::kStandardTuning;
    std::array<std::uint8_t, 6> frets{};    // 0 = open or not played
    std::array<std::uint8_t, 6> markers{5, 5, 5, 5, 5, 5};
    theory::IntervalList intervals{0, 255, 255, 255, 255, 255, 255};
    theory::SoundingNotes sounding{};       // 0 = not played
    std::uint8_t baseFret = 1;
    std::uint8_t root = 0;
    std::uint8_t bass = kBassOffset;

    bool isEmpty() const { return empty != 0; }

    using Bytes = std::array<std::uint8_t, kSize>;
    Bytes toBytes() const;
    static DiagramRecord fromBytes(const std::uint8_t* bytes);  // reads kSize bytes

    // The fingering editor's blank chord: filled, all strings muted, root C, "Standard" tuning.
    static DiagramRecord blankWork();

    bool operator==(const DiagramRecord&) const = default;
};

}  // namespace strumox::pages
