#pragma once
// One Print page cell, a chord or one position of a scale: the 109-byte record page files store
// byte for byte.
#include <array>
#include <cstdint>
#include <string>

#include "theory/Notes.h"

namespace strumox::pages {

struct PrintRecord {
    static constexpr size_t kSize = 109;
    static constexpr size_t kNameCapacity = 26;
    static constexpr size_t kTuningNameCapacity = 15;
    static constexpr size_t kFormulaCapacity = 26;

    std::uint8_t empty = 1;
    std::uint8_t isChord = 1;  // 1 chord, 0 scale
    std::string name;
    std::string tuningName;
    std::string formula;
    theory::Tuning tuning = theory::kStandardTuning;
    std::array<std::uint8_t, 6> frets{};
    std::array<std::uint8_t, 6> markers{5, 5, 5, 5, 5, 5};
    std::array<std::uint8_t, 10> intervals{0, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    theory::SoundingNotes sounding{};
    std::uint8_t baseFret = 1;
    std::uint8_t root = 0;
    std::uint8_t bass = 24;

    bool isEmpty() const { return empty != 0; }

    using Bytes = std::array<std::uint8_t, kSize>;
    Bytes toBytes() const;
    static PrintRecord fromBytes(const std::uint8_t* bytes);

    bool operator==(const PrintRecord&) const = default;
};

}  // namespace strumox::pages
