#pragma once
// One scale in six neck positions (a row of the Scales page): the 94-byte record page files
// store byte for byte.
#include <array>
#include <cstdint>
#include <string>

#include "theory/Notes.h"
#include "theory/ScaleTypes.h"

namespace strumox::pages {

// Where the six positions of a new row begin, column by column.
constexpr std::array<std::uint8_t, 6> kDefaultBeginFrets{1, 4, 8, 12, 16, 20};

struct ScaleRecord {
    static constexpr size_t kSize = 94;
    static constexpr size_t kNameCapacity = 26;
    static constexpr size_t kTuningNameCapacity = 15;
    static constexpr size_t kFormulaCapacity = 26;
    static constexpr size_t kMaxIntervals = theory::kMaxScaleIntervals;

    std::uint8_t empty = 1;  // 1 = empty, 0 = holds a scale
    std::string name;
    std::string tuningName;
    std::string formula;
    theory::Tuning tuning = theory::kStandardTuning;
    std::array<std::uint8_t, kMaxIntervals> intervals{99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
    std::array<std::uint8_t, 6> beginFret = kDefaultBeginFrets;  // per column of the row
    std::uint8_t root = 0;

    bool isEmpty() const { return empty != 0; }

    using Bytes = std::array<std::uint8_t, kSize>;
    Bytes toBytes() const;
    static ScaleRecord fromBytes(const std::uint8_t* bytes);  // reads kSize bytes

    bool operator==(const ScaleRecord&) const = default;
};

}  // namespace strumox::pages
