#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "TempDir.h"
#include "playback/sinks/WavRenderer.h"

namespace {

namespace fs = std::filesystem;
using strumox::playback::RenderResult;
using strumox::playback::TimedMessage;
using strumox::playback::WavRenderer;
using strumox::testsupport::TempDir;

constexpr std::uint32_t kTempo = 500000;  // 120 beats a minute: a tick is 1/960 s
const std::vector<int> kOpenCChord = {48, 52, 55, 60, 64};  // C3 E3 G3 C4 E4, low string first

// An open C chord strummed on a steel-string guitar, 60 ticks between strings, held 800 ticks
// after the last string, with a silent marker the render must skip.
std::vector<TimedMessage> strummedCMajor()
{
    std::vector<TimedMessage> m{{0, 0xC0, 25, 0}};
    std::uint64_t tick = 0;
    for (const int note : kOpenCChord) {
        m.push_back({tick, 0x90, static_cast<std::uint8_t>(note), 100});
        m.push_back({tick, 1, 3, 0});
        tick += 60;
    }
    for (const int note : kOpenCChord)
        m.push_back({tick + 740, 0x80, static_cast<std::uint8_t>(note), 0});
    return m;
}

struct Wav {
    // RIFF size, format, channels, rate, bytes a second, bytes a frame, bits, data size; empty
    // when the chunk ids are not where the 44-byte header has them.
    std::vector<std::uint32_t> header;
    std::vector<std::int16_t> samples;  // interleaved
};

Wav readWav(const std::string& path)
{
    const std::string b = strumox::testsupport::readText(path);
    Wav w;
    if (b.size() < 44 || b.compare(0, 4, "RIFF") || b.compare(8, 8, "WAVEfmt ") || b.compare(36, 4, "data"))
        return w;
    for (const auto& [at, n] : {std::pair{4, 4}, {20, 2}, {22, 2}, {24, 4}, {28, 4}, {32, 2}, {34, 2}, {40, 4}}) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = v << 8 | static_cast<std::uint8_t>(b[static_cast<std::size_t>(at + i)]);
        w.header.push_back(v);
    }
    w.samples.resize((b.size() - 44) / 2);
    std::memcpy(w.samples.data(), b.data() + 44, w.samples.size() * 2);
    return w;
}

// In-place radix-2 transform; the size is a power of two.
void fft(std::vector<std::complex<double>>& a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (std::size_t k = 0; k < len / 2; ++k, w *= step) {
                const auto u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

double hz(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// ---- A rendered chord sounds its notes --------------------------------------------------------

TEST(WavRender, StrummedChordFileHoldsTheChordsPitchesAndItsTail)
{
    const TempDir dir;
    const std::string path = dir.file("chord.wav");
    std::uint64_t lastDone = 0, lastTotal = 0;
    const RenderResult r = WavRenderer().render(path, strummedCMajor(), kTempo, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GT(done, lastDone);
        lastDone = done;
        lastTotal = total;
        return true;
    });
    ASSERT_EQ(r.status, RenderResult::Status::Written) << r.message;
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    const Wav w = readWav(path);
    const auto size = static_cast<std::uint32_t>(fs::file_size(path));
    EXPECT_EQ(w.header, (std::vector<std::uint32_t>{size - 8, 1, 2, 44100, 176400, 4, 16, size - 44}));
    const std::size_t frames = w.samples.size() / 2;
    EXPECT_EQ(frames, r.frames);
    EXPECT_EQ(lastDone, frames);
    EXPECT_EQ(lastTotal, frames);
    // The last note off falls at 1040 ticks (1.0833 s); about two seconds of tail follow it, and
    // the release really sounds in them.
    EXPECT_NEAR(static_cast<double>(frames) / 44100, 1040.0 / 960 + 2, 0.05);
    double tailEnergy = 0;
    for (std::size_t i = static_cast<std::size_t>(1.1 * 44100) * 2; i < static_cast<std::size_t>(1.5 * 44100) * 2; ++i)
        tailEnergy += std::abs(w.samples[i]);
    EXPECT_GT(tailEnergy, 0);

    // The spectrum while all five strings ring: from 0.3 s (the strum ends at 0.25 s) for 0.74 s.
    constexpr std::size_t kSize = 32768;
    const std::size_t first = static_cast<std::size_t>(0.3 * 44100);
    ASSERT_GE(frames, first + kSize);
    std::vector<std::complex<double>> a(kSize);
    for (std::size_t i = 0; i < kSize; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / kSize);
        a[i] = hann * (w.samples[2 * (first + i)] + w.samples[2 * (first + i) + 1]);
    }
    fft(a);
    const double binHz = 44100.0 / kSize;
    std::vector<double> mag(kSize / 2);
    for (std::size_t k = 0; k < mag.size(); ++k)
        mag[k] = std::abs(a[k]);
    const auto bin = [&](double f) { return static_cast<std::size_t>(std::lround(f / binHz)); };
    const double strongest = *std::max_element(mag.begin() + static_cast<long>(bin(60)), mag.begin() + static_cast<long>(bin(1100)));
    // Within a quarter of a semitone of a frequency: about 1.5 %.
    const auto peakNear = [&](double f) {
        return *std::max_element(mag.begin() + static_cast<long>(bin(f * 0.985)), mag.begin() + static_cast<long>(bin(f * 1.015)) + 1);
    };
    for (const int note : kOpenCChord)
        EXPECT_GT(peakNear(hz(note)), 0.3 * strongest) << "no peak at note " << note;
    // Every strong peak up to 1100 Hz belongs to the chord: a string's fundamental or one of its
    // overtones (up to the eighth), never a pitch of its own.
    for (std::size_t k = bin(60); k < bin(1100); ++k) {
        if (mag[k] < 0.2 * strongest || mag[k] < mag[k - 1] || mag[k] < mag[k + 1])
            continue;
        const double f = static_cast<double>(k) * binHz;
        bool partial = false;
        for (const int note : kOpenCChord)
            for (int n = 1; n <= 8; ++n)
                partial = partial || std::abs(f / (n * hz(note)) - 1) < 0.015;
        EXPECT_TRUE(partial) << f << " Hz at " << mag[k] / strongest << " of the strongest";
    }
}

// A note starts at its own tick (at 120 bpm tick 100 is frame 4594), not at the next stretch the
// render happens to reach.
TEST(WavRender, ANoteStartsAtItsTick)
{
    const TempDir dir;
    const std::string path = dir.file("note.wav");
    const std::vector<TimedMessage> song{{0, 0xC0, 25, 0}, {100, 0x90, 60, 100}, {580, 0x80, 60, 0}};
    ASSERT_EQ(WavRenderer().render(path, song, kTempo, {}).status, RenderResult::Status::Written);
    const Wav w = readWav(path);
    std::size_t first = 0;
    while (2 * first < w.samples.size() && std::abs(w.samples[2 * first]) < 64)
        ++first;
    EXPECT_GE(first, 4594u);
    EXPECT_LT(first, 4594u + 441);  // within 10 ms: the attack of the patch
}

// ---- A render that does not finish leaves no file --------------------------------------------

TEST(WavRender, CancelledOrFailedRenderLeavesNoFileAndKeepsTheOldOne)
{
    const TempDir dir;
    const std::string fresh = dir.file("fresh.wav");
    const std::string old = dir.file("old.wav");
    dir.write("old.wav", "keep");
    const auto messages = strummedCMajor();

    int calls = 0;
    const auto cancelAtOnce = [&](std::uint64_t, std::uint64_t) { return ++calls < 1; };
    EXPECT_EQ(WavRenderer().render(fresh, messages, kTempo, cancelAtOnce).status, RenderResult::Status::Cancelled);
    const auto cancelHalfway = [](std::uint64_t done, std::uint64_t total) { return done < total / 2; };
    EXPECT_EQ(WavRenderer().render(old, messages, kTempo, cancelHalfway).status, RenderResult::Status::Cancelled);
    EXPECT_EQ(calls, 1);

    const RenderResult noFont = WavRenderer(dir.file("missing.sf2")).render(fresh, messages, kTempo);
    EXPECT_EQ(noFont.status, RenderResult::Status::Failed);
    EXPECT_NE(noFont.message.find("missing.sf2"), std::string::npos) << noFont.message;

    EXPECT_EQ(dir.read("old.wav"), "keep");
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.path()))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"old.wav"});
}

}  // namespace
