#pragma once
// Offline render of dispatched channel messages to a 44.1 kHz 16-bit stereo WAV file, through the
// same synthesizer and settings as the live output but without an audio driver, as fast as the
// CPU allows. Messages take effect at the frame their tick falls on; two seconds of tail follow
// the last one so release and reverb are not cut. A render that is cancelled or fails leaves no
// file: the audio is written to PATH.tmp and renamed over PATH only when complete.
//
// Runs on the caller's thread (a worker, for the GUI); the progress callback runs there too.
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "playback/MidiEventRec.h"

namespace strumox::playback {

struct RenderResult {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Failed;
    std::string message;      // Failed: why, for the user; otherwise empty
    std::uint64_t frames = 0; // Written: frames in the file (44100 a second)
};

class WavRenderer {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr double kTailSeconds = 2.0;

    // Called about ten times a second of audio with frames rendered and frames in all; return
    // false to cancel.
    using Progress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

    // An empty soundfont path means the system's General MIDI soundfont.
    explicit WavRenderer(std::string soundfont = {});

    // The soundfont a render loads; "" when there is none.
    std::string soundfont() const;

    // The tempo holds for the whole song, in microseconds per beat.
    RenderResult render(const std::string& path, std::span<const TimedMessage> messages,
                        std::uint32_t microsecondsPerBeat, const Progress& progress = {}) const;

    // The frame (from 0) in which `tick`'s time falls at that tempo.
    static std::uint64_t frameOf(std::uint64_t tick, std::uint32_t microsecondsPerBeat);

private:
    std::string m_soundfont;
};

}  // namespace strumox::playback
