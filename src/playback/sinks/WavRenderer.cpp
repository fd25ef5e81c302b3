#include "playback/sinks/WavRenderer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "fileio/AtomicFile.h"
#include "playback/sinks/SynthSetup.h"

namespace strumox::playback {

namespace {

static_assert(std::endian::native == std::endian::little, "WAV samples are written as the CPU holds them");
static_assert(WavRenderer::kSampleRate == synth::kSampleRate);

constexpr int kChannels = 2;
constexpr std::size_t kHeaderBytes = 44;
constexpr std::size_t kHeaderSamples = kHeaderBytes / sizeof(std::int16_t);

// The live synthesizer's settings, with every core of the machine rendering voices: an offline
// render has no audio deadline, only the song to finish. The voices between two events are shared
// out among the cores (reverb and chorus stay on one), which took a full PlayPage from about 0.92 s
// to 0.72 s of wall time on a 2-core machine.
fluid_settings_t* offlineSettings()
{
    fluid_settings_t* settings = synth::newSettings();
    const unsigned cores = std::thread::hardware_concurrency();  // 0 when unknown
    if (settings)
        fluid_settings_setint(settings, "synth.cpu-cores", static_cast<int>(std::clamp(cores, 1u, 256u)));
    return settings;
}

// One synthesizer for one render, freed on every way out.
struct OfflineSynth {
    fluid_settings_t* settings = offlineSettings();
    fluid_synth_t* synth = settings ? new_fluid_synth(settings) : nullptr;
    ~OfflineSynth()
    {
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
};

void putLittleEndian(std::uint8_t*& at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        *at++ = static_cast<std::uint8_t>(value >> (8 * i));
}

void putId(std::uint8_t*& at, const char* id)
{
    std::memcpy(at, id, 4);
    at += 4;
}

// The canonical 44-byte header of 16-bit PCM: RIFF chunk, "fmt " chunk of 16 bytes, data chunk.
void writeHeader(std::int16_t* samples, std::uint32_t dataBytes)
{
    std::uint8_t header[kHeaderBytes];
    std::uint8_t* at = header;
    putId(at, "RIFF");
    putLittleEndian(at, 36 + dataBytes, 4);  // everything after these eight bytes
    putId(at, "WAVE");
    putId(at, "fmt ");
    putLittleEndian(at, 16, 4);
    putLittleEndian(at, 1, 2);  // integer PCM
    putLittleEndian(at, kChannels, 2);
    putLittleEndian(at, WavRenderer::kSampleRate, 4);
    putLittleEndian(at, WavRenderer::kSampleRate * kChannels * 2, 4);  // bytes a second
    putLittleEndian(at, kChannels * 2, 2);                             // bytes a frame
    putLittleEndian(at, 16, 2);
    putId(at, "data");
    putLittleEndian(at, dataBytes, 4);
    std::memcpy(samples, header, kHeaderBytes);
}

RenderResult failed(const std::string& path, const std::string& why)
{
    return {RenderResult::Status::Failed, "cannot render " + path + ": " + why, 0};
}

}  // namespace

WavRenderer::WavRenderer(std::string soundfont) : m_soundfont(std::move(soundfont)) {}

std::string WavRenderer::soundfont() const
{
    return m_soundfont.empty() ? synth::defaultSoundfont() : m_soundfont;
}

std::uint64_t WavRenderer::frameOf(std::uint64_t tick, std::uint32_t microsecondsPerBeat)
{
    // 128 bits: a tick count times a tempo times the rate passes 64 bits after some 145,000 beats
    // at the slowest tempo.
    const unsigned __int128 product = static_cast<unsigned __int128>(tick) * microsecondsPerBeat * kSampleRate;
    return static_cast<std::uint64_t>(product / (static_cast<unsigned __int128>(kTicksPerBeat) * 1'000'000));
}

RenderResult WavRenderer::render(const std::string& path, std::span<const TimedMessage> messages,
                                 std::uint32_t microsecondsPerBeat, const Progress& progress) const
{
    if (microsecondsPerBeat == 0)
        return failed(path, "the tempo is zero");

    struct Due {
        std::uint64_t frame;
        TimedMessage message;
    };
    std::vector<Due> due;
    due.reserve(messages.size());
    for (const TimedMessage& m : messages)
        if (m.status >= 0x80 && m.status < 0xF0)  // markers never sound
            due.push_back({frameOf(m.tick, microsecondsPerBeat), m});
    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) { return a.frame < b.frame; });

    const OfflineSynth offline;
    if (!offline.synth)
        return failed(path, "the synthesizer could not be started");
    const std::string font = soundfont();
    if (font.empty())
        return failed(path, "no General MIDI soundfont was found in /usr/share/sounds/sf2");
    if (fluid_synth_sfload(offline.synth, font.c_str(), 1) == FLUID_FAILED)
        return failed(path, "the soundfont " + font + " could not be loaded");

    const std::uint64_t tail = static_cast<std::uint64_t>(kTailSeconds * kSampleRate);
    const std::uint64_t total = (due.empty() ? 0 : due.back().frame) + tail;
    const std::uint64_t dataBytes = total * kChannels * sizeof(std::int16_t);
    if (dataBytes + 36 > 0xFFFFFFFFu)  // the RIFF sizes are 32 bits
        return failed(path, "the song is longer than a WAV file can hold (about 6 hours and 45 minutes)");

    std::vector<std::int16_t> samples(kHeaderSamples + total * kChannels);
    const std::uint64_t step = kSampleRate / 10;  // frames between progress reports
    std::uint64_t nextReport = step;
    std::size_t next = 0;
    for (std::uint64_t done = 0; done < total;) {
        while (next < due.size() && due[next].frame <= done)
            synth::play(offline.synth, due[next++].message);
        std::uint64_t until = std::min(total, nextReport);
        if (next < due.size())
            until = std::min(until, due[next].frame);
        std::int16_t* out = samples.data() + kHeaderSamples + done * kChannels;
        fluid_synth_write_s16(offline.synth, static_cast<int>(until - done), out, 0, kChannels, out, 1, kChannels);
        done = until;
        if (done == nextReport || done == total) {
            if (progress && !progress(done, total))
                return {RenderResult::Status::Cancelled, {}, 0};
            nextReport += step;
        }
    }

    writeHeader(samples.data(), static_cast<std::uint32_t>(dataBytes));
    try {
        fileio::writeFileAtomically(
            path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(samples.data()),
                                                samples.size() * sizeof(std::int16_t)));
    } catch (const std::system_error& e) {
        return {RenderResult::Status::Failed, e.what(), 0};
    }
    return {RenderResult::Status::Written, {}, total};
}

}  // namespace strumox::playback
