#include <iostream>

#include "settings/Settings.h"
#include "cli/CliCommon.h"

namespace strumox::cli {

int runSettings(Args args)
{
    std::string dir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--appdir" || args[i].starts_with("--appdir="))
            dir = optionValue(args, i, "--appdir");
        else
            throw UsageError("settings: unexpected argument '" + args[i] + "'");
    }
    const strumox::settings::SettingsListing listing = strumox::settings::listSettings(appDirFrom(dir));
    // Defaults printed for a file that could not be read would pass for the user's settings.
    if (!listing.notices.unreadable.empty()) {
        std::cerr << kProgram << ": " << listing.notices.unreadable << '\n';
        return kExitFailure;
    }
    if (!listing.notices.userChords.empty())
        std::cerr << kProgram << ": " << listing.notices.userChords << '\n';
    for (const std::string& line : listing.lines)
        std::cout << line << '\n';
    return 0;
}

}  // namespace strumox::cli
