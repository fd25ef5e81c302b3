// Reading a large settings file: the start-up read batch (what the window reads before it shows)
// and the listing `strumox-cli settings` prints, each timed from opening the file to the last
// value, over two generated files of 1,000,000 lines:
//   chords  10,000 user chords whose sections also hold other keys, comments and blank lines;
//   claims  UserChords/Number=2147483647 with no user chord section and 1,000,000 other lines.
// Prints min / median / max per measurement over the runs (default 5); exits 1 when a median
// reaches 1 s. With --keep DIR the two files stay in DIR/chords/ and DIR/claims/ so that
// `strumox-cli settings --appdir DIR/chords/` can be timed as a process.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "settings/Settings.h"

namespace {

namespace fs = std::filesystem;
using strumox::settings::kFirstUserChordSection;

constexpr int kLines = 1000000;
constexpr int kUserChords = 10000;
constexpr double kLimitMs = 1000.0;

// The keys of a lived-in file, so that every read of the batch finds its key.
const char* const kFixedPart = "[MidiIn]\nDevice=1\n[MidiOut]\nDevice=2\n"
                               "[Guitar]\nPatch=25\nChannel=0\nVolume=100\n"
                               "[Bass]\nPatch=33\nChannel=1\nVolume=100\n"
                               "[Click]\nChannel=9\nNote=0x22\nVolume=65\n"
                               "[Main]\nBass=1\nSspeed=-300\nLeftHand=0\nShowFull=1\nPPTinyFont=1\nCDTinyFont=0\n"
                               "SpeechVol=130\nSpeechOn=0\n"
                               "[Directory]\nChord=/home/me/Chord\nPrint=/home/me/Print\nDesign=/home/me/Design\n"
                               "Play=/home/me/Play\nScale=/home/me/Scale\nTab=/home/me/Tab\nTabRaw=/home/me/Tab/Raw\n"
                               "[Scales]\nFrets=5\n[PlayPage]\nCountOff=2\n"
                               "[Glowboard]\nAnimate=1\nShowFlash=0\nSwitch1=0\nSwitch2=1\nReverseSwitch=0\n"
                               "RootSpeed=350\nFlashNote=0\nFlashStop=0\n"
                               "[Tab]\nTimingChars=.=qes\nInsertFile=/home/me/insertsection.tab\n"
                               "[WebSites]\nNumber=2\n1=Lessons\n1A=https://lessons.example\n2=Tabs\n2A=/home/me/tabs.htm\n";

int countLines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string chordsFile()
{
    std::string text = kFixedPart;
    text += "[General MIDI]\n";
    for (int p = 0; p < 128; ++p)
        text += "Program " + std::to_string(p) + "=\n";
    text += "[UserChords]\nNumber=" + std::to_string(kUserChords) + "\n";
    // Every user chord section gets an equal share of the remaining lines: its own keys first,
    // then other keys, comments and blank lines, as years of hand edits might leave them.
    const int perChord = (kLines - countLines(text)) / kUserChords;
    int lines = countLines(text);
    for (int i = 0; i < kUserChords; ++i) {
        const int section = kFirstUserChordSection + i;
        text += "[" + std::to_string(section) + "]\nName=Chord " + std::to_string(i) +
                "\nFormula=1 3 5 b7 9\nI0=0\nI1=4\nI2=7\nI3=10\nI4=14\nI5=255\nI6=255\n";
        const int own = 10;
        const int filler = (i == kUserChords - 1) ? kLines - lines - own : perChord - own;
        for (int k = 0; k < filler; ++k) {
            if (k % 3 == 0)
                text += "; note " + std::to_string(k) + " of chord " + std::to_string(i) + "\n";
            else if (k % 3 == 1)
                text += "Extra" + std::to_string(k) + " = value " + std::to_string(k) + "\n";
            else
                text += "\n";
        }
        lines += own + filler;
    }
    return text;
}

std::string claimsFile()
{
    std::string text = "[UserChords]\nNumber=2147483647\n";
    text += kFixedPart;
    text += "[Notes]\n";
    for (int k = countLines(text); k < kLines; ++k)
        text += (k % 4 == 0) ? "; remark " + std::to_string(k) + "\n" : "Line" + std::to_string(k) + "=text\n";
    return text;
}

struct Stats {
    double min, median, max;
};

Stats timeRuns(int runs, const std::function<std::size_t()>& work)
{
    std::vector<double> ms;
    std::size_t sink = 0;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        sink += work();
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    if (sink == 0)
        std::printf("(nothing read)\n");
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
    int runs = 5;
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keep" && i + 1 < argc)
            keep = argv[++i];
        else if (std::atoi(arg.c_str()) > 0)
            runs = std::atoi(arg.c_str());
        else {
            std::fprintf(stderr, "usage: bench_settings [runs] [--keep DIR]\n");
            return 2;
        }
    }

    const fs::path root = keep.empty() ? fs::temp_directory_path() / ("strumox-bench-settings-" +
                                                                       std::to_string(::getpid()))
                                       : fs::path(keep);
    struct Case {
        const char* name;
        std::string (*make)();
    };
    const Case cases[] = {{"chords", chordsFile}, {"claims", claimsFile}};

    bool slow = false;
    for (const Case& c : cases) {
        const fs::path dir = root / c.name;
        fs::create_directories(dir);
        const std::string text = c.make();
        std::ofstream(dir / "Kq.ini", std::ios::binary) << text;
        const std::string appDir = dir.string() + "/";
        std::printf("%s: %d lines, %.1f MB\n", c.name, countLines(text), text.size() / 1e6);

        const Stats startup = timeRuns(runs, [&] {
            const auto s = strumox::settings::readStartupSettings(appDir);
            return s.userChordNames.size() + s.webSites.size() + 1;
        });
        const Stats listing = timeRuns(runs, [&] { return strumox::settings::settingsListing(appDir).size(); });
        for (const auto& [what, st] : {std::pair{"start-up read", startup}, std::pair{"listing", listing}}) {
            std::printf("  %-14s min %8.1f ms   median %8.1f ms   max %8.1f ms\n", what, st.min, st.median, st.max);
            slow = slow || st.median >= kLimitMs;
        }
    }
    if (keep.empty())
        fs::remove_all(root);
    else
        std::printf("files kept in %s\n", root.c_str());
    if (slow)
        std::printf("FAIL: a median reached %.0f ms\n", kLimitMs);
    return slow ? 1 : 0;
}
