#include "cli/CliCommon.h"

#include <filesystem>

#include "app/core/AppDir.h"

namespace strumox::cli {

// The value of an option given as "--name VALUE" or "--name=VALUE"; advances i past it.
std::string optionValue(Args args, std::size_t& i, std::string_view name)
{
    const std::string& arg = args[i];
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return arg.substr(name.size() + 1);
    if (i + 1 >= args.size())
        throw UsageError(std::string(name) + " needs a value");
    return args[++i];
}

// The program directory named on the command line, or the executable's own; ends with '/'.
std::string appDirFrom(const std::string& given)
{
    if (given.empty())
        return strumox::app::executableDir();
    if (!std::filesystem::is_directory(given))
        throw std::runtime_error("not a directory: " + given);
    return given.ends_with('/') ? given : given + '/';
}

}  // namespace strumox::cli
