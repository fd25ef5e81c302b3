// strumox-cli: the program's data and settings from a terminal, without a display.
//
// Exit codes: 0 done, 1 the command failed (message on stderr), 2 bad usage (usage on stderr).
// A new sub-command is one handler plus one row in kCommands.
#include "app/core/AppDir.h"
#include "app/core/Settings.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr std::string_view kProgram = "strumox-cli";

// Thrown by handlers for arguments they cannot accept; main prints it with the usage text.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Args = std::span<const std::string>;  // the arguments after the sub-command's name

struct Command {
    std::string_view name;
    std::string_view arguments;
    std::string_view summary;
    int (*run)(Args);
};

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

int runSettings(Args args)
{
    std::string dir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--appdir" || args[i].starts_with("--appdir="))
            dir = optionValue(args, i, "--appdir");
        else
            throw UsageError("settings: unexpected argument '" + args[i] + "'");
    }
    for (const std::string& line : strumox::app::settingsListing(appDirFrom(dir)))
        std::cout << line << '\n';
    return 0;
}

constexpr Command kCommands[] = {
    {"settings", "[--appdir DIR]",
     "Print every setting as Section/Key=value with its effective value (the file's, else the\n"
     "      default), read from DIR/Kq.ini; DIR defaults to this program's directory.",
     runSettings},
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
