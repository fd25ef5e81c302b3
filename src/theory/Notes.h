#pragma once
// Note numbers, names, intervals and tunings shared by the whole program.
// Note number: 0..11, C = 0. MIDI note: middle C = 60. String 0 is the high E string.
#include <array>
#include <cstdint>
#include <string>

namespace strumox::theory {

enum class Spelling { Flats, Sharps };

constexpr int kLowestOpenNote = 33;   // "A1", the lowest note an open string may be tuned to
constexpr int kHighestOpenNote = 69;  // "A4"
constexpr int kOctaveNameCount = kHighestOpenNote - kLowestOpenNote + 1;  // 37
constexpr int kMaxFret = 22;
constexpr std::uint8_t kNoInterval = 255;  // ends an interval list early

using Tuning = std::array<std::uint8_t, 6>;          // MIDI note of each open string
using IntervalList = std::array<std::uint8_t, 7>;    // semitones above the root, 255 = none
using CompoundFlags = std::array<bool, 12>;          // per simple interval: write as value + 12
using SoundingNotes = std::array<std::uint8_t, 6>;   // MIDI note per string, 0 = not played

constexpr Tuning kStandardTuning{64, 59, 55, 50, 45, 40};

const std::array<std::string, 12>& noteNameTable(Spelling spelling);
// Index = MIDI note - 33.
const std::array<std::string, kOctaveNameCount>& octaveNameTable(Spelling spelling);

// The current spelling of note names, switched by the flats/sharps menu item.
class NoteNames {
public:
    explicit NoteNames(Spelling spelling = Spelling::Flats) : m_spelling(spelling) {}
    Spelling spelling() const { return m_spelling; }
    void setSpelling(Spelling s) { m_spelling = s; }
    // The caption the switch shows: the spelling in force.
    std::string switchCaption() const { return m_spelling == Spelling::Flats ? "Flats" : "Sharps"; }
    void toggle() { m_spelling = m_spelling == Spelling::Flats ? Spelling::Sharps : Spelling::Flats; }

    // Any integer; reduced modulo 12 (negative values too).
    const std::string& note(int n) const;
    // MIDI note 33..69; outside that range an empty string.
    const std::string& octaveName(int midi) const;

private:
    Spelling m_spelling;
};

// A text made of note names alone, separated by blanks (a tuning spelled out, " Eb Ab Db Gb Bb
// Eb"), with each name in the spelling of `names`; blanks stay where they are. A text with any
// other word in it ("Standard", "Open D") comes back as it is.
std::string spellNoteNames(const std::string& text, const NoteNames& names);

// Name of a distance of 0..23 semitones; empty for the unnamed ones (12, 16, 19, 22, 23) and
// for anything out of range.
const std::string& intervalName(int semitones);

// "2 / 9", "b5 / #11", "3": the simple name and, when it has one, the compound name.
std::string hoverIntervalText(int note, int root);

// Interval list of a fingering from its sounding notes; the root is entry 0 even when no string
// sounds it. Simple intervals first, then those the flags put in compound form (value + 12).
IntervalList intervalsOfFingering(const SoundingNotes& sounding, int root, const CompoundFlags& flags);

// One step of an open-string up-down: delta +1 or -1, wrapping 69 -> 33 and 33 -> 69.
int stepOpenString(int midi, int delta);

bool isStandardTuning(const Tuning& t);
// "Standard", or the note names from string 5 down to string 0, each followed by one blank.
std::string tuningName(const Tuning& t, const NoteNames& names);

}  // namespace strumox::theory
