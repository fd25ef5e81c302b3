// Offline WAV render of a full four-page PlayPage (288 slots of 240 ticks at 100 beats a minute:
// 86.4 s and the final wait): a six-string chord in every fourth slot, Click down, made by the
// same song render the program's export uses. Reports our render's speed as multiples of real
// time, and, side by side in the same run, the stand-alone `fluidsynth -F` rendering the same
// song from our exported MIDI file with the same soundfont and settings, and our speed over its
// speed. Our timing includes making the song, loading the soundfont and writing the file; theirs
// reading the MIDI file, loading the soundfont and writing the file. Processor times are shown
// beside the wall times, since on a busy machine the wall time says more about the other work
// than about the renderers. Goals (by wall time): 100 times real time, 0.9 of the stand-alone
// renderer's speed; exits 1 when one is missed, 2 when the comparison could not run.
//
// Usage: bench_render [runs]   (default 3; the median of each side counts). Writes only inside a
// temporary folder.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "pages/PlayPage.h"
#include "playback/SongRender.h"
#include "playback/sinks/MidiFileWriter.h"
#include "playback/sinks/WavRenderer.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using strumox::pages::DiagramRecord;
using strumox::pages::PlayPage;
using strumox::playback::MidiFileWriter;
using strumox::playback::RenderedSong;
using strumox::playback::RenderResult;
using strumox::playback::WavRenderer;

constexpr int kBpm = 100;

// A chord on all six strings in standard tuning; frets low E string first, as guitarists write
// them.
DiagramRecord sixStrings(std::array<int, 6> lowFirst)
{
    DiagramRecord d;
    d.empty = 0;
    d.tuningName = "Standard";
    for (std::size_t s = 0; s < 6; ++s) {
        d.frets[s] = static_cast<std::uint8_t>(lowFirst[5 - s]);  // string 0 is the high E
        d.markers[s] = d.frets[s] == 0 ? strumox::pages::MarkerOpen : strumox::pages::MarkerPlain;
        d.sounding[s] = static_cast<std::uint8_t>(d.tuning[s] + d.frets[s]);
    }
    return d;
}

// G, E minor, C over G, D over F sharp: every fourth slot of all four pages.
PlayPage fullPage()
{
    const std::array<DiagramRecord, 4> chords = {sixStrings({3, 2, 0, 0, 0, 3}), sixStrings({0, 2, 2, 0, 0, 0}),
                                                 sixStrings({3, 3, 2, 0, 1, 0}), sixStrings({2, 0, 0, 2, 3, 2})};
    PlayPage::Slots slots{};
    for (int s = 0; s < PlayPage::kSlotCount; s += 4)
        slots[static_cast<std::size_t>(s)] = chords[static_cast<std::size_t>(s / 4) % chords.size()];
    PlayPage page;
    page.load(slots, strumox::pages::TimeSignature::FourFour, PlayPage::MarkerBytes{});
    return page;
}

RenderedSong song(const PlayPage& page)
{
    strumox::playback::SequencerOptions options;
    options.click = true;
    options.tempo = strumox::playback::playTempo(kBpm);
    return strumox::playback::renderSong(page, options, {});
}

double secondsSince(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double cpuSeconds(const rusage& u)
{
    const auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

// Wall and processor time of one side; the processor time tells the renderers apart on a machine
// whose other work takes turns with them.
struct Timing {
    double wall = -1;
    double cpu = -1;
};

// The song made from the page, then rendered: what Export WAV does.
Timing renderOurs(const WavRenderer& renderer, const std::string& wav, const PlayPage& page, std::string& error)
{
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    const RenderedSong made = song(page);
    const RenderResult r = renderer.render(wav, made.messages, made.tempo);
    Timing t{secondsSince(start), 0};
    getrusage(RUSAGE_SELF, &after);
    t.cpu = cpuSeconds(after) - cpuSeconds(before);
    if (r.status != RenderResult::Status::Written)
        error = r.message;
    return t;
}

// A negative wall time when the stand-alone renderer could not run.
Timing runStandAlone(const std::string& soundfont, const std::string& midi, const std::string& wav)
{
    std::vector<std::string> args = {"fluidsynth", "-ni", "-F", wav, "-r", "44100", soundfont, midi};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "fluidsynth", &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds = secondsSince(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {seconds, cpuSeconds(usage)};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Both renderers write the plain 44-byte header of 16-bit stereo PCM.
double audioSeconds(const std::string& wav)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(wav, ec);
    return ec ? 0 : static_cast<double>(size - 44) / (44100.0 * 4);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::string scratch = (std::filesystem::temp_directory_path() / "strumox-render-XXXXXX").string();
    if (!mkdtemp(scratch.data())) {
        std::perror("bench_render: mkdtemp");
        return 2;
    }
    const std::string midi = scratch + "/song.mid", ours = scratch + "/ours.wav", theirs = scratch + "/theirs.wav";

    const PlayPage page = fullPage();
    const auto made = Clock::now();
    const RenderedSong exported = song(page);
    const double songSeconds = secondsSince(made);
    const WavRenderer renderer;
    const std::string soundfont = renderer.soundfont();
    // Export MIDI's file: the end of track at the run's final event. The stand-alone renderer goes
    // on past it for a while of its own choosing (about 3.4 s, against our 2 s of tail), so each
    // side's speed is the audio it wrote over the time it took.
    MidiFileWriter writer(exported.tempo);
    writer.setEndTick(exported.endTick);
    if (const std::string error = writer.write(midi, exported.messages); !error.empty() || soundfont.empty()) {
        std::fprintf(stderr, "bench_render: %s\n", error.empty() ? "no General MIDI soundfont" : error.c_str());
        return 2;
    }

    std::vector<double> ourWall, ourCpu, theirWall, theirCpu;
    for (int run = 0; run < runs; ++run) {
        std::string error;
        const Timing o = renderOurs(renderer, ours, page, error);
        if (!error.empty()) {
            std::fprintf(stderr, "bench_render: %s\n", error.c_str());
            return 2;
        }
        const Timing t = runStandAlone(soundfont, midi, theirs);
        if (t.wall < 0) {
            std::fprintf(stderr, "bench_render: fluidsynth -F did not run (is it installed?)\n");
            return 2;
        }
        ourWall.push_back(o.wall);
        ourCpu.push_back(o.cpu);
        theirWall.push_back(t.wall);
        theirCpu.push_back(t.cpu);
    }

    const double ourAudio = audioSeconds(ours), theirAudio = audioSeconds(theirs);
    std::printf("song: a full PlayPage, %zu messages made in %.1f ms, %d bpm, soundfont %s; medians of %d runs\n",
                exported.messages.size(), songSeconds * 1000, kBpm, soundfont.c_str(), runs);
    std::printf("%-14s %6s  %18s  %18s\n", "", "audio", "wall time", "processor time");
    const auto line = [](const char* who, double audio, double wall, double cpu) {
        std::printf("%-14s %5.1fs  %6.3fs %7.1fx rt  %6.3fs %7.1fx rt\n", who, audio, wall, audio / wall, cpu, audio / cpu);
    };
    line("WavRenderer", ourAudio, median(ourWall), median(ourCpu));
    line("fluidsynth -F", theirAudio, median(theirWall), median(theirCpu));
    const double wallSpeed = ourAudio / median(ourWall), cpuSpeed = ourAudio / median(ourCpu);
    const double wallRatio = wallSpeed / (theirAudio / median(theirWall));
    const double cpuRatio = cpuSpeed / (theirAudio / median(theirCpu));
    std::printf("ours / stand-alone: %.2f by wall time, %.2f by processor time (goal >= 0.9)\n", wallRatio, cpuRatio);
    std::printf("real time: %.0fx by wall time, %.0fx by processor time (goal >= 100)\n", wallSpeed, cpuSpeed);
    std::filesystem::remove_all(scratch);
    return wallSpeed >= 100 && wallRatio >= 0.9 ? 0 : 1;
}
