#include "cli/CliCommon.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>

#include "pages/RecordText.h"
#include "settings/AppDir.h"

namespace strumox::cli {

std::string optionValue(Args args, std::size_t& i, std::string_view name)
{
    const std::string& arg = args[i];
    std::string value;
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        value = arg.substr(name.size() + 1);
    else if (i + 1 < args.size())
        value = args[++i];
    if (value.empty())
        throw UsageError(std::string(name) + " needs a value");
    return value;
}

// The program directory named on the command line, or the executable's own; ends with '/'.
std::string appDirFrom(const std::string& given)
{
    if (given.empty())
        return strumox::settings::executableDir();
    if (!std::filesystem::is_directory(given))
        throw std::runtime_error("not a directory: " + given);
    return given.ends_with('/') ? given : given + '/';
}

std::optional<int> wholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> parseKey(std::string_view text)
{
    if (const auto n = wholeNumber(text))
        return (*n >= 0 && *n <= 11) ? n : std::nullopt;
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    static constexpr int kLetterNotes[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G')
        return std::nullopt;
    int note = kLetterNotes[letter - 'A'];
    if (text.size() == 2) {
        if (text[1] == '#')
            ++note;
        else if (text[1] == 'b')
            --note;
        else
            return std::nullopt;
    }
    return (note + 12) % 12;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (pages::isControlCharacter(byte)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(byte));
            out += buf;
        } else {
            out += pages::utf8FromLatin1(std::string_view(&c, 1));
        }
    }
    return out + "\"";
}

}  // namespace strumox::cli
