// Chord data generation: the voicing search for all 62 types in 12 keys and the writing of the
// formula file and the six dictionaries, as the build does it. Reports min / median / max over
// the runs; the build budget for one run is 2 s.
//
// Usage: bench_voicings [runs]   (default 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "theory/ChordData.h"
#include "theory/VoicingGenerator.h"

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("strumox-bench-voicings-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    using Clock = std::chrono::steady_clock;
    std::vector<double> search, files;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        const auto dictionary = strumox::theory::generateDictionary();
        const auto t1 = Clock::now();
        strumox::theory::writeChordDataFiles(dir.string() + "/");
        const auto t2 = Clock::now();
        search.push_back(std::chrono::duration<double>(t1 - t0).count());
        files.push_back(std::chrono::duration<double>(t2 - t1).count());
        if (dictionary.size() != 62u * 12u)
            return 1;
    }
    fs::remove_all(dir);

    auto report = [](const char* what, std::vector<double> s) {
        std::sort(s.begin(), s.end());
        std::printf("%-34s min %.3f s  median %.3f s  max %.3f s\n", what, s.front(), s[s.size() / 2], s.back());
    };
    std::printf("%d runs\n", runs);
    report("voicing search (4464 fingerings)", search);
    report("all seven chord data files", files);
    const double worst = *std::max_element(files.begin(), files.end());
    std::printf("%s: slowest file generation %.3f s of the 2 s budget\n", worst < 2.0 ? "ok" : "TOO SLOW", worst);
    return worst < 2.0 ? 0 : 1;
}
