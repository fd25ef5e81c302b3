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
    for (const std::string& line : strumox::settings::settingsListing(appDirFrom(dir)))
        std::cout << line << '\n';
    return 0;
}

}  // namespace strumox::cli
