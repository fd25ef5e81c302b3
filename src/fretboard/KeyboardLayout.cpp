#include "fretboard/KeyboardLayout.h"

#include <algorithm>
#include <vector>

#include "theory/ScaleTypes.h"

namespace strumox::fretboard {

namespace {
// Mark x of each pitch class within one octave.
constexpr std::array<int, 12> kMarkXInOctave{3, 7, 11, 15, 19, 27, 31, 35, 39, 43, 47, 51};
constexpr std::array<int, 7> kWhitePitch{0, 2, 4, 5, 7, 9, 11};
// Upper half: last x offset (inclusive) inside an octave that belongs to each pitch class.
constexpr std::array<int, 12> kUpperHalfEnd{5, 10, 13, 18, 23, 29, 34, 37, 42, 45, 50, 55};
constexpr int kLastKey = kKeyCount - 1;

constexpr std::array<KeyMarkPosition, kKeyCount> makeMarkTable()
{
    std::array<KeyMarkPosition, kKeyCount> t{};
    for (int k = 0; k < kKeyCount; ++k) {
        const int pc = k % 12;
        const bool black = pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
        t[static_cast<size_t>(k)] = {(k / 12) * kOctaveWidth + kMarkXInOctave[static_cast<size_t>(pc)], black ? 6 : 12};
    }
    return t;
}
constexpr auto kMarkTable = makeMarkTable();
}  // namespace

const std::array<KeyMarkPosition, kKeyCount>& keyMarkPositions() { return kMarkTable; }

bool isBlackKey(int key)
{
    const int pc = ((key % 12) + 12) % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

std::optional<int> keyAt(int x, int y)
{
    if (x < 0 || x >= kKeyboardWidth || y < 0 || y >= kKeyboardHeight)
        return std::nullopt;
    if (y > kBlackKeyBottom) {
        const int w = x / kWhiteKeyWidth;
        if (w >= kWhiteKeyCount)  // x = 280, the closing divider, still belongs to the last B
            return kLastKey;
        return 12 * (w / 7) + kWhitePitch[static_cast<size_t>(w % 7)];
    }
    const int octave = x / kOctaveWidth;
    if (octave >= kKeyCount / 12)
        return kLastKey;
    const int offset = x % kOctaveWidth;
    int pc = 0;
    while (offset > kUpperHalfEnd[static_cast<size_t>(pc)])
        ++pc;
    return 12 * octave + pc;
}

std::bitset<kKeyCount> markScale(KeyboardScene& scene, std::span<const std::uint8_t> intervals, int root)
{
    scene.clear();
    std::bitset<kKeyCount> scaleKeys;
    const int rootPc = ((root % 12) + 12) % 12;
    const std::vector<int> notes = theory::scaleNotes(intervals, rootPc);
    if (notes.empty())
        return scaleKeys;  // not even the root is marked
    for (int k = 0; k < kKeyCount; ++k) {
        auto& mark = scene.marks[k];
        if (std::find(notes.begin(), notes.end(), k % 12) != notes.end()) {
            mark = KeyboardScene::Mark::Scale;
            scaleKeys.set(static_cast<size_t>(k));
        }
        // The root's mark wins over its scale mark.
        if (k % 12 == rootPc)
            mark = KeyboardScene::Mark::Root;
    }
    return scaleKeys;
}

}  // namespace strumox::fretboard
