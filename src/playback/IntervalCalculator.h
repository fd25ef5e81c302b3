#pragma once
// The interval calculator without its window: the note names of the twelve boxes above a root,
// the scales and chord types it offers (read from the scale and formula files of the program
// directory), and what Play does as a list of timed steps. The window sends each step's messages
// to its own output, lights the boxes the step names and waits the step's time on a GUI timer;
// nothing here sleeps or touches a device.
//
// Threads: the GUI thread only (or a test's).
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "playback/MidiEventRec.h"
#include "theory/Notes.h"

namespace strumox::playback {

class IntervalCalculator {
public:
    enum class Mode { Scales, Chords };

    static constexpr int kBoxCount = 12;
    // The speed bar: a position of 300..800 (500 at the start); further right is faster.
    static constexpr int kSlowest = 300;
    static constexpr int kFastest = 800;
    static constexpr int kDefaultSpeed = 500;
    // How many bytes of a record are its interval list.
    static constexpr std::size_t kScaleIntervalBytes = 10;
    static constexpr std::size_t kChordIntervalBytes = 7;
    // The calculator always plays on channel 0, three octaves above MIDI note 12: root C is 48.
    static constexpr int kBaseNote = 48;

    // After each step's messages: bit i set = box i shows red (lit), clear = white.
    using LitBoxes = std::uint16_t;

    struct Step {
        // Sent at once, in order. `tick` counts from the start of play at the default tempo
        // (480 ticks = 500 ms), for sinks that keep time; a live device ignores it.
        std::vector<TimedMessage> messages;
        LitBoxes lit = 0;
        int waitMs = 0;  // before the next step; 0 on the last step
    };

    // Box i names note (root + i) mod 12 in the given spelling; root is taken modulo 12.
    static std::array<std::string, kBoxCount> boxNames(int root, theory::Spelling spelling);

    // Milliseconds between notes for a speed-bar position (clamped to 300..800): 300 + 800 - pos.
    static int stepMs(int speedPosition);

    // The notes a scale or chord item plays, as semitones above the root, from its record's
    // interval bytes (at most 10 read for a scale, 7 for a chord): 255 ends the list; 99 stands
    // for the octave (12), which is played and ends the list.
    static std::vector<int> playedIntervals(Mode mode, std::span<const std::uint8_t> bytes);

    // Play as steps. Scale mode: one step per note, each note released as the next one strikes,
    // a last step releasing the last note. Chord mode: one step per note, the notes held; the last
    // note's step waits two step times; a last step releases every note. Every note is a note
    // on of channel 0 at the given velocity, released by a note on with velocity 0, after a
    // program change of channel 0 in the first step. No notes: no steps.
    static std::vector<Step> playPlan(Mode mode, std::span<const std::uint8_t> intervalBytes, int root,
                                      int program, int velocity, int speedPosition);

    // Reads the scale file and the formula file of `appDir` (ending with '/') whole. A missing
    // file leaves its list empty without a word; an unreadable or damaged one leaves it empty
    // and says why in problems().
    void load(const std::string& appDir);

    // The names of the items of a list, in record order (the menus' captions).
    std::vector<std::string> itemNames(Mode mode) const;
    int itemCount(Mode mode) const;
    // The interval bytes of item `index` of a list; empty when there is no such item.
    std::span<const std::uint8_t> itemIntervals(Mode mode, int index) const;
    const std::vector<std::string>& problems() const { return m_problems; }

private:
    std::vector<std::array<std::uint8_t, kScaleIntervalBytes>> m_scales;
    std::vector<std::array<std::uint8_t, kChordIntervalBytes>> m_chords;
    std::vector<std::string> m_problems;
};

}  // namespace strumox::playback
