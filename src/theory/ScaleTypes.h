#pragma once
// The built-in scales as the Scale menu lists them, and what every scale's interval list shares:
// semitones above the root, rising from 0, at most ten, ended by 99 when shorter.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace strumox::theory {

constexpr int kScaleCount = 47;
constexpr int kScaleMainItems = 23;  // scales 0..22 stand in the menu, the rest in "More Scales..."

constexpr std::array<std::string_view, kScaleCount> kScaleNames{
    "Ionian (Major)", "Dorian (Minor)", "Phrygian", "Lydian", "Lydian Minor", "Mixolydian",
    "Aeolian (Natural Minor)", "Locrian", "Major Locrian", "Major Pentatonic", "Minor Pentatonic",
    "Blues Pentatonic", "Blues 2", "Diminished", "Half Diminished", "Whole Tone", "Half-Whole",
    "Neopolitan Major", "Neopolitan Minor", "Hungarian Major", "Hungarian Minor", "Ascending Minor",
    "Double Harmonic", "Enigmatic", "Spanish", "Prometheus", "Messiaen", "Oriental", "Kumoi", "Hirajoshi", "Pelog",
    "13b9", "Plain Mi7b5", "Harmonic Minor (HM)", "HM 2", "HM 3", "HM 4", "HM 5", "HM 6", "HM 7",
    "Jazz/Melodic Minor (JM)", "JM 2", "JM 3", "JM 4 (Overtone)", "JM 5", "JM 6", "JM 7 (Super Locrian)"};

constexpr std::uint8_t kScaleListEnd = 99;
constexpr std::size_t kMaxScaleIntervals = 10;

// The notes of a scale as pitch classes 0..11: (root + interval) mod 12 for each interval before
// the first 99, at most the first ten, in list order.
std::vector<int> scaleNotes(std::span<const std::uint8_t> intervals, int root);

// How many frets one neck position of a scale spans (the "Scales" "Frets" setting): 4, 5 or 6.
constexpr int kMinScaleSpan = 4;
constexpr int kMaxScaleSpan = 6;
constexpr int kDefaultScaleSpan = 5;
// A span read from anywhere, put into kMinScaleSpan..kMaxScaleSpan.
int clampScaleSpan(int frets);

}  // namespace strumox::theory
