#pragma once
// One scale in six neck positions (a row of the Scales page): the 94-byte record page files
// store byte for byte.
#include <array>
#include <cstdint>
#include <string>

#include "theory/Notes.h"

namespace strumox::pages {

constexpr std::uint8_t kScaleEnd = 99;  // ends a scale's interval list

struct ScaleRecord {
    static constexpr size_t kSize = 94;
    static constexpr size_t kNameCapacity = 26;
    static constexpr size_t kTuningNameCapacity = 15;
    static constexpr size_t kFormulaCapacity = 26;
    static constexpr size_t kMaxIntervals = 10;

    std::uint8_t empty = 1;  // 1 = empty, 0 = holds a scale
    std::string name;
    std::string tuningName;
    std::string formula;
    theory::Tuning tuning = theory::kStandardTuning;
    std::array<std::uint8_t, kMaxIntervals> intervals{99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
    std::array<std::uint8_t, 6> beginFret{1, 4, 8, 12, 16, 20};  // per column of the row
    std::uint8_t root = 0;

    bool isEmpty() const { return empty != 0; }

    using Bytes = std::array<std::uint8_t, kSize>;
    Bytes toBytes() const;
    static ScaleRecord fromBytes(const std::uint8_t* bytes);  // reads kSize bytes

    bool operator==(const ScaleRecord&) const = default;
};

// One Print page cell: a chord, or one position of a scale. 109 bytes.
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
