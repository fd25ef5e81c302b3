#pragma once
// Geometry of the 281 x 18 five-octave keyboard picture and the marking of a scale on it, in
// picture pixels (origin top-left). Keys 0..59 run from the lowest C; key k has pitch class k % 12.
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>

#include "fretboard/KeyboardScene.h"

namespace strumox::fretboard {

constexpr int kKeyboardWidth = 281;
constexpr int kKeyboardHeight = 18;
constexpr int kKeyCount = 60;
constexpr int kWhiteKeyWidth = 8;  // pixels, including the 1-px divider on the key's left
constexpr int kWhiteKeyCount = 35;
constexpr int kOctaveWidth = 7 * kWhiteKeyWidth;  // 56
// Rows 0..kBlackKeyBottom (inclusive) hold the black keys; below that only white keys.
constexpr int kBlackKeyBottom = 9;
constexpr int kKeyMarkSize = 3;

struct KeyMarkPosition {
    int x = 0;  // top-left of the 3 x 3 mark
    int y = 0;
};

// Top-left corner of each key's mark: y 6 on black keys, 12 on white keys.
const std::array<KeyMarkPosition, kKeyCount>& keyMarkPositions();

bool isBlackKey(int key);

// Key under (x, y); nothing outside the picture. In the lower half only white keys are hit.
std::optional<int> keyAt(int x, int y);

// Restores the unmarked keyboard, then marks every key whose pitch class is (root + interval)
// % 12 for an interval of the list, and every key of the root's pitch class as the root. The
// list is read up to its first 99, at most ten entries, so an empty list marks nothing, not even
// the root. Returns the keys marked as scale notes (a root key stays in that set when an interval
// names it, although its mark shows the root).
std::bitset<kKeyCount> markScale(KeyboardScene& scene, std::span<const std::uint8_t> intervals, int root);

}  // namespace strumox::fretboard
