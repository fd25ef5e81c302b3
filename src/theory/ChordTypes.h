#pragma once
// The built-in chord types as the Major, Minor and Dominant menus list them. A chord type's formula index is
// its position in the combined list: major 0..18, minor 19..35, dominant 36..61.
#include <array>
#include <string_view>

namespace strumox::theory {

enum class ChordFamily { None = 0, Major = 1, Minor = 2, Dominant = 3 };

struct FamilyInfo {
    ChordFamily family;
    const char* menuTitle;
    int firstFormula;  // formula index of type 0
    int typeCount;
    int mainItems;     // types 0..mainItems-1 stand directly in the menu, the rest in "More Chords..."
};

constexpr std::array<FamilyInfo, 3> kFamilies{{
    {ChordFamily::Major, "Major", 0, 19, 10},
    {ChordFamily::Minor, "Minor", 19, 17, 9},
    {ChordFamily::Dominant, "Dominant", 36, 26, 13},
}};

constexpr int kChordTypeCount = 62;

constexpr std::array<std::string_view, kChordTypeCount> kChordTypeCaptions{
    // major
    "major", "6", "maj7", "maj9#5", "aug(+)", "6/9", "maj9", "sus4", "maj(b5)", "add9", "maj7(add13)", "maj13",
    "maj7sus", "maj7(b5)", "maj7(#5)", "maj7(#11)", "maj9(#11)", "maj7sus(b5)", "sus(add3/add9)",
    // minor
    "minor", "m7", "m6", "m9", "dim(o)", "m7b5", "m6/9", "m(maj7)", "m9(maj7)", "m11", "m13", "m(add9)", "m7(add11)",
    "m7(add13)", "m9(b5)", "m11(b5)", "o(addmaj7)",
    // dominant
    "7", "9", "11", "13", "7sus4", "7#5", "7b5", "7b9", "9#5", "9b5", "9#11", "13b9", "7/6", "7#9", "7#5b9",
    "13b5b9", "9sus", "13sus", "7(b5b9)", "7(#5#9)", "7(#11)", "7(b9#11)", "7(#9#11)", "13(b5)", "7sus(b9)",
    "13sus(b9)"};

}  // namespace strumox::theory
