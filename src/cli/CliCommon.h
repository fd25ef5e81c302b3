#pragma once
// Shared by the sub-commands of strumox-cli. A sub-command is one handler in a file of its own
// plus one row in the command table of main.cpp.
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace strumox::cli {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr std::string_view kProgram = "strumox-cli";

// Thrown by handlers for arguments they cannot accept; main prints it with the usage text.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Args = std::span<const std::string>;  // the arguments after the sub-command's name

// The value of an option given as "--name VALUE" or "--name=VALUE"; advances i past it. A missing
// or empty value is a usage error: "--appdir=" must not quietly mean the default directory.
std::string optionValue(Args args, std::size_t& i, std::string_view name);

// The program directory named on the command line, or the executable's own; ends with '/'.
std::string appDirFrom(const std::string& given);

// A decimal number and nothing else: no sign '+', no blanks, no trailing text.
std::optional<int> wholeNumber(std::string_view text);

// The note 0..11 of a key given as a note name (C, Db, C#, e, bb ...: the letter in either case,
// the flat as a small 'b') or as a note number 0..11.
std::optional<int> parseKey(std::string_view text);

// 8-bit text as the data files and records hold it (Latin-1), as a JSON string in UTF-8, quotes
// included: '"' and '\\' escaped with a backslash, every control character (0x00..0x1F, 0x7F,
// 0x80..0x9F) as \u00XX.
std::string jsonString(std::string_view text);

// The values as a JSON array of integers, "[64,59,55]".
template <typename Range>
std::string jsonNumbers(const Range& values)
{
    std::string out = "[";
    for (const auto v : values) {
        if (out.size() > 1)
            out += ',';
        out += std::to_string(static_cast<int>(v));
    }
    return out + "]";
}

// Handlers, one per sub-command.
int runSettings(Args args);
int runFormulas(Args args);
int runChord(Args args);
int runScale(Args args);
int runIdentify(Args args);
int runDump(Args args);
int runEvents(Args args);
int runStrumEvents(Args args);

}  // namespace strumox::cli
