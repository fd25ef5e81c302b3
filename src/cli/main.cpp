// strumox-cli: the program's data and settings from a terminal, without a display.
//
// Exit codes: 0 done, 1 the command failed (message on stderr), 2 bad usage (usage on stderr).
// A new sub-command is one handler plus one row in kCommands.
#include "cli/CliCommon.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace strumox::cli {
int runRender(Args args);  // RenderCommand.cpp
}

namespace {

using namespace strumox::cli;

struct Command {
    std::string_view name;
    std::string_view arguments;
    std::string_view summary;
    int (*run)(Args);
};

constexpr Command kCommands[] = {
    {"settings", "[--appdir DIR]",
     "Print every setting as Section/Key=value with its effective value (the file's, else the\n"
     "      default), read from DIR/Kq.ini; DIR defaults to this program's directory.",
     runSettings},
    {"scale", "INDEX|NAME KEY [--json] [--sharps] [--appdir DIR]",
     "Print the Scales page row a new scale gets: scale INDEX 0..46 or its menu name, KEY a note\n"
     "      name (C, Db, C#, ...) or 0..11, read from DIR/kqs.dat; note names with flats unless --sharps.",
     runScale},
    {"formulas", "[--json] [--appdir DIR]",
     "Print the 62 chord types of DIR/kqcd3.dat: formula index, suffix, formula text and\n"
     "      intervals in semitones.",
     runFormulas},
    {"chord", "KEY TYPE [--json] [--appdir DIR]",
     "Print the six dictionary fingerings of a chord as diagrams (JSON: six diagram records,\n"
     "      string 0 = high E first). KEY: C, Db, C# ... or 0..11. TYPE: a menu caption (major,\n"
     "      m7, 13sus(b9) ...) or a formula index 0..61, written #N where N is also a caption.",
     runChord},
    {"identify", "FRETS [--root NOTE] [--interval-op 0|1] [--root-op 0|1|2] [--compound 2,5] [--json] [--appdir DIR]",
     "Name a fretted chord as Search does: FRETS low E string first, x = not played, frets 0..22\n"
     "      (x,3,2,0,1,0 is C major), standard tuning; one line per chord, name, a tab, formula text,\n"
     "      or \"No Chords Found\". Root: NOTE (C, Db, C# ... or 0..11; sharps when written with #),\n"
     "      else the lowest played string's note. --interval-op 0 containing, 1 only (default);\n"
     "      --root-op 0 current root (default), 1 each note, 2 all keys; --compound: intervals among\n"
     "      1,2,3,5,6,8,9 written as compounds. Formulas from DIR/kqcd3.dat.",
     runIdentify},
    {"dump", "FILE [--json]",
     "Print a page file (.cpf .cds .ppf .gpr .prf .spf) as the program reads it: a summary, one\n"
     "      line per filled record, or JSON {\"kind\",\"header\",\"records\"} with a PlayPage's\n"
     "      \"markers\" from the .rpt beside it (else the defaults).",
     runDump},
    {"events", "FILE.ppf [--click] [--count] [--count-off N] [--bass on|off] [--loop on|off] [--strum POS] [--tempo BPM] [--start SLOT] [--max-ticks N] [--queue N] [--json] [--appdir DIR]",
     "Print the events Play queues for a PlayPage, one a line: TICK STATUS DATA1 DATA2 DATA3 in\n"
     "      decimal, TICK from the run's start (the sum of the queued times), markers included. Click\n"
     "      and Count Off down with --click and --count; bass, loop, strum (-800..0) and tempo\n"
     "      (10..250 bpm) default to the file's; count-off measures (1..4) and the voices come from\n"
     "      DIR/Kq.ini. The sequencer fills a queue of N events (default 512), emptied whenever it is\n"
     "      full: the output is the same for every N. --start: a measure's first slot. --max-ticks:\n"
     "      stop after the first event past tick N (a looping page needs it). JSON:\n"
     "      [{\"tick\",\"status\",\"d1\",\"d2\",\"d3\"}].",
     runEvents},
    {"strum-events", "FILE SLOT | --frets FRETS  [--bass] [--count] [--strum POS] [--from-root] [--json] [--appdir DIR]",
     "Print the events Play queues for one diagram, as events does: the strum of the chord in\n"
     "      SLOT of a .cpf, .cds, .ppf or .gpr file (a .gpr scale cell is run), the run of scale\n"
     "      position SLOT = row x 6 + column of a .spf file (--from-root: Play Scale From Root), or the\n"
     "      strum of FRETS given as for identify. Strum speed from DIR/Kq.ini (a .ppf: its own); no\n"
     "      count-off on a PlayPage chord.",
     runStrumEvents},
    {"render", "FILE.ppf -o OUT.mid|OUT.wav [--format 0|1] [--click] [--count] [--count-off N] [--bass on|off] [--loop on|off] [--strum POS] [--tempo BPM] [--start SLOT] [--max-ticks N] [--queue N] [--appdir DIR]",
     "Write the song events plays as a Standard MIDI File (format 0, or 1 with --format 1: a tempo\n"
     "      track, then the music; 480 ticks a beat, markers left out) or render it through the\n"
     "      built-in synthesizer to a 44.1 kHz 16-bit stereo WAV file, as the extension says. Options\n"
     "      and defaults as for events; --max-ticks N ends the song at tick N, silencing what sounds.\n"
     "      A failed render leaves no file.",
     runRender},
};

void printUsage(std::ostream& out)
{
    out << "Usage: " << kProgram << " --version\n"
        << "       " << kProgram << " --help\n";
    for (const Command& c : kCommands)
        out << "       " << kProgram << ' ' << c.name << ' ' << c.arguments << '\n';
    out << "\nCommands:\n";
    for (const Command& c : kCommands)
        out << "  " << c.name << ' ' << c.arguments << "\n      " << c.summary << '\n';
}

int dispatch(const std::vector<std::string>& argv)
{
    if (argv.empty())
        throw UsageError("no command given");
    const std::string& first = argv.front();
    if (first == "--version") {
        if (argv.size() > 1)
            throw UsageError("--version: unexpected argument '" + argv[1] + "'");
        std::cout << kProgram << ' ' << STRUMOX_VERSION << '\n';
        return 0;
    }
    if (first == "--help" || first == "-h") {
        printUsage(std::cout);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (c.name == first)
            return c.run(Args(argv).subspan(1));
    }
    throw UsageError("unknown command '" + first + "'");
}

}  // namespace

int main(int argc, char* argv[])
{
    int status = 0;
    try {
        status = dispatch(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::cerr << kProgram << ": " << e.what() << "\n\n";
        printUsage(std::cerr);
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << kProgram << ": " << e.what() << '\n';
        return kExitFailure;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << kProgram << ": could not write the output\n";
        return kExitFailure;
    }
    return status;
}
