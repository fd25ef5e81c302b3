// Chord search as the Search button runs it: the formula file read from the program directory,
// then every key tried (AllKeys) for a six-note chord, once with each interval option. Reports
// min / median / max in microseconds over the repetitions; the budget for one search is 1 ms.
//
// Usage: bench_search [repetitions]   (default 2000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/ChordSearch.h"

using namespace strumox::theory;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const std::string path = std::string(STRUMOX_APPDIR) + "/" + std::string(kFormulaFileName);
    std::string error;
    if (!readFormulaFile(path, &error)) {
        std::fprintf(stderr, "bench_search: %s (build strumox_data first)\n", error.c_str());
        return 1;
    }
    // C13 with every tone sounded, the root on the bass string: 1 3 5 b7 9 13.
    const SearchInput chord{{0, 4, 7, 10, 14, 21, 255}, 0, true};
    const NoteNames names;

    using Clock = std::chrono::steady_clock;
    double worstMedian = 0;
    for (const auto op : {IntervalOption::Only, IntervalOption::Containing}) {
        std::vector<double> us;
        std::size_t found = 0;
        for (int i = 0; i < runs; ++i) {
            const auto t0 = Clock::now();
            const auto formulas = readFormulaFile(path, nullptr);
            const auto outcome = searchChords(chord, op, RootOption::AllKeys, *formulas, names);
            const auto t1 = Clock::now();
            us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
            found = outcome.results.size();
        }
        std::sort(us.begin(), us.end());
        const double median = us[us.size() / 2];
        worstMedian = std::max(worstMedian, median);
        std::printf("AllKeys, %-10s  %3zu results  min %.1f us  median %.1f us  max %.1f us\n",
                    op == IntervalOption::Only ? "Only" : "Containing", found, us.front(), median, us.back());
    }
    std::printf("%d repetitions each, file read included\n", runs);
    std::printf("%s: slowest median %.1f us of the 1000 us budget\n", worstMedian < 1000 ? "ok" : "TOO SLOW", worstMedian);
    return worstMedian < 1000 ? 0 : 1;
}
