#pragma once
// What `events` and `render` share: a PlayPage file and the options of its run as typed, and the
// run they make once the file and Kq.ini are read. Both commands thus take the same options with
// the same defaults and refuse the same things with the same words.
#include <optional>
#include <string>
#include <string_view>

#include "cli/CliCommon.h"
#include "pages/PlayPage.h"
#include "playback/PlayPageSequencer.h"
#include "playback/Voices.h"

namespace strumox::cli {

// A whole number lowest..highest, or a usage error naming the command and the option.
int numberIn(const std::string& text, std::string_view command, std::string_view option, long lowest, long highest);
// "--name" or "--name=VALUE".
bool isOption(const std::string& arg, std::string_view name);

struct SongArgs {
    std::optional<std::string> path;
    bool click = false;
    bool count = false;
    std::optional<int> countOff, strum, tempo, startSlot, queue;
    std::optional<bool> bass, loop;
    std::optional<long long> maxTicks;
    std::string appDir;

    // Takes args[i] (and its value, moving i past it) when it is the file or one of the shared
    // options; false for anything else, which the command looks at itself.
    bool take(std::string_view command, Args args, std::size_t& i);
};

struct SongRun {
    std::string path;
    bool threeFour = false;
    pages::PlayPage page;
    playback::SequencerOptions options;
    playback::Voices voices;
};

// Reads the file and the settings and fills the options: bass, loop, strum and tempo from the
// file's header unless given, voices and count-off measures from Kq.ini. Usage errors for a
// missing or non-.ppf file and a start that is not a measure's first slot; a refused file throws
// its message.
SongRun prepareSong(std::string_view command, const SongArgs& args);
// The message for a page that plays forever (Loop Play down and a loop mark at `measure`, 0-based).
std::string endlessMessage(const std::string& path, int measure);

}  // namespace strumox::cli
