// Crash recovery's two halves on a full PlayPage (288 chords) and a full Chord Design group: what
// the GUI thread pays at each minute or change of page (the pages' content copied into their
// writers and handed to the worker), and what the worker then spends writing and syncing the
// files. Reports min / median / max in microseconds over the runs; the GUI share's budget is 1 ms.
//
// Usage: bench_recovery [runs]   (default 200). Writes only inside a temporary folder, which
// stands in for the data folder as well.
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/DesignPageController.h"
#include "app/PlayPageController.h"
#include "app/RecoveryController.h"
#include "app/TfrmMain.h"
#include "session/Prompter.h"

namespace {

using Clock = std::chrono::steady_clock;

// Nothing is asked while timing; a question would be a fault of the set-up.
class SilentPrompter : public strumox::session::Prompter {
public:
    strumox::session::Answer askYesNo(const std::string&, bool) override { return strumox::session::Answer::No; }
    strumox::session::Answer askYesNoCancel(const std::string&) override { return strumox::session::Answer::No; }
    void message(const std::string& text) override { std::fprintf(stderr, "bench_recovery: %s\n", text.c_str()); }
    std::string openFileName(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFileName(const std::string&, const std::string&, const std::string&) override { return {}; }
};

double microseconds(Clock::time_point from)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - from).count();
}

double report(const char* what, std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    const double median = us[us.size() / 2];
    std::printf("%-44s min %8.1f us  median %8.1f us  max %8.1f us\n", what, us.front(), median, us.back());
    return median;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace strumox;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.path()));
    QApplication app(argc, argv);
    SilentPrompter prompter;
    app::TfrmMain window(STRUMOX_APPDIR "/", &prompter);
    window.startRecovery();

    pages::PlayPage::Slots full;
    for (size_t s = 0; s < full.size(); ++s) {
        full[s] = pages::DiagramRecord::blankWork();
        full[s].name = "m7b5/" + std::to_string(s);
    }
    window.playPage().model().load(full, pages::TimeSignature::FourFour, pages::PlayPage::MarkerBytes{});
    window.playPage().model().modified = true;
    for (int k = 0; k < pages::DesignGroup::kSlots; ++k)
        window.designPage().group().place(k, full[size_t(k)]);

    std::vector<double> copyPlay, copyDesign, tick, writePlay, writeDesign;
    const std::string target = scratch.filePath("bench").toStdString();
    for (int i = 0; i < runs; ++i) {
        auto t0 = Clock::now();
        const auto play = window.playPage().fileWriter();
        copyPlay.push_back(microseconds(t0));
        t0 = Clock::now();
        const auto design = window.designPage().fileWriter();
        copyDesign.push_back(microseconds(t0));
        t0 = Clock::now();
        window.recovery().keepUnsavedPages();
        tick.push_back(microseconds(t0));
        window.recovery().waitForWrites();

        t0 = Clock::now();
        play(target + ".ppf");
        writePlay.push_back(microseconds(t0));
        t0 = Clock::now();
        design(target + ".cds");
        writeDesign.push_back(microseconds(t0));
    }
    std::printf("%d runs; files in %s\n", runs, qPrintable(scratch.path()));
    std::printf("GUI thread\n");
    report("  PlayPage copied (fileWriter)", copyPlay);
    report("  Chord Design copied (fileWriter)", copyDesign);
    const double gui = report("  both copied and handed to the worker", tick);
    std::printf("worker thread\n");
    report("  PlayPage written and synced (.rpt + .ppf)", writePlay);
    report("  Chord Design written and synced (.cds)", writeDesign);
    window.recovery().discardAll();
    std::printf("%s: GUI share median %.1f us of the 1000 us budget\n", gui < 1000 ? "ok" : "TOO SLOW", gui);
    return gui < 1000 ? 0 : 1;
}
