#include "settings/IniFile.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/AtomicFile.h"

namespace strumox::settings {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimBlanks(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

struct LineInfo {
    enum class Kind { Other, Section, Key } kind = Kind::Other;
    std::string_view name;
    std::optional<std::string_view> value;  // none: a key line without '='
};

LineInfo classify(std::string_view line)
{
    const std::string_view text = trimBlanks(line);
    if (text.empty() || text.front() == ';' || text.front() == '#')
        return {};
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos)
            return {};
        return {LineInfo::Kind::Section, trimBlanks(text.substr(1, close - 1)), std::nullopt};
    }
    const auto eq = text.find('=');
    if (eq == std::string_view::npos)
        return {LineInfo::Kind::Key, text, std::nullopt};
    const std::string_view name = trimBlanks(text.substr(0, eq));
    if (name.empty())
        return {};
    return {LineInfo::Kind::Key, name, trimBlanks(text.substr(eq + 1))};
}

// Calls visit(index, info) for every section header and key line that belongs to `section`.
template <typename Visit>
void forEachLineOf(const std::vector<std::string>& lines, std::string_view section, Visit visit)
{
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineInfo info = classify(lines[i]);
        if (info.kind == LineInfo::Kind::Section)
            inside = sameName(info.name, section);
        if (inside && info.kind != LineInfo::Kind::Other)
            visit(i, info);
    }
}

// Cuts after `maxChars` UTF-8 code points, never inside one.
std::string cutToChars(std::string_view s, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool startsChar = (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
        if (startsChar && ++chars > maxChars)
            return std::string(s.substr(0, i));
    }
    return std::string(s);
}

std::optional<int> parseInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        std::uint32_t bits = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
        if (ec != std::errc() || end != digits.data() + digits.size())
            return std::nullopt;
        return static_cast<int>(bits);  // two's complement: 0xFFFFFFFF is -1
    }
    // from_chars takes no '+', but a hand-edited "+5" is plainly 5.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

[[maybe_unused]] bool validName(std::string_view name, char forbidden)
{
    return name.find_first_of("\r\n") == std::string_view::npos && name.find(forbidden) == std::string_view::npos &&
           !trimBlanks(name).empty();
}

// The file's bytes; empty when it is missing, unreadable or not a regular file.
std::string readWholeFile(const std::string& path)
{
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return content;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                content.clear();
                break;
            }
            if (n == 0)
                break;
            content.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return content;
}

}  // namespace

SettingsWriteError::SettingsWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path), m_path(path)
{
}

IniFile::IniFile(std::string path) : m_path(std::move(path))
{
    std::string content = readWholeFile(m_path);
    if (content.starts_with(kByteOrderMark)) {
        m_byteOrderMark = true;
        content.erase(0, kByteOrderMark.size());
    }
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(std::move(line));
        start = end + 1;
    }
}

std::vector<std::size_t> IniFile::keyLines(const std::string& section) const
{
    std::vector<std::size_t> result;
    forEachLineOf(m_lines, section, [&](std::size_t i, const LineInfo& info) {
        if (info.kind == LineInfo::Kind::Key)
            result.push_back(i);
    });
    return result;
}

std::ptrdiff_t IniFile::findKey(const std::string& section, const std::string& key) const
{
    for (const std::size_t i : keyLines(section)) {
        if (sameName(classify(m_lines[i]).name, key))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const
{
    const auto i = findKey(section, key);
    if (i < 0)
        return def;
    const LineInfo info = classify(m_lines[static_cast<std::size_t>(i)]);
    if (!info.value)
        return def;
    return cutToChars(*info.value, kMaxValueChars);
}

int IniFile::readInteger(const std::string& section, const std::string& key, int def) const
{
    return parseInteger(readString(section, key, {})).value_or(def);
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value)
{
    assert(validName(section, ']'));
    assert(validName(key, '='));
    std::string text = value;
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

    const auto found = findKey(section, key);
    if (found >= 0) {
        std::string& line = m_lines[static_cast<std::size_t>(found)];
        const LineInfo info = classify(line);
        if (info.value && *info.value == text)
            return;
        line = std::string(info.name) + "=" + text;
        m_changed = true;
        return;
    }

    // The new key goes after the section's last key, or after its header when it has none.
    std::optional<std::size_t> lastKey;
    std::optional<std::size_t> lastHeader;
    forEachLineOf(m_lines, section, [&](std::size_t i, const LineInfo& info) {
        (info.kind == LineInfo::Kind::Key ? lastKey : lastHeader) = i;
    });
    if (const auto after = lastKey ? lastKey : lastHeader) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*after) + 1, key + "=" + text);
    } else {
        if (!m_lines.empty() && !trimBlanks(m_lines.back()).empty())
            m_lines.emplace_back();
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(key + "=" + text);
    }
    m_changed = true;
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::sectionKeys(const std::string& section) const
{
    std::vector<std::string> names;
    std::size_t used = 1;  // the final terminator
    for (const std::size_t i : keyLines(section)) {
        const std::string_view name = classify(m_lines[i]).name;
        used += name.size() + 1;
        if (used > kKeyListCapacity)
            break;
        names.emplace_back(name);
    }
    return names;
}

bool IniFile::hasSection(const std::string& section) const
{
    bool found = false;
    forEachLineOf(m_lines, section, [&](std::size_t, const LineInfo&) { found = true; });
    return found;
}

void IniFile::eraseSection(const std::string& section)
{
    std::vector<std::string> kept;
    kept.reserve(m_lines.size());
    bool inside = false;
    for (auto& line : m_lines) {
        const LineInfo info = classify(line);
        if (info.kind == LineInfo::Kind::Section)
            inside = sameName(info.name, section);
        if (!inside)
            kept.push_back(std::move(line));
    }
    if (kept.size() != m_lines.size())
        m_changed = true;
    m_lines = std::move(kept);
}

std::string IniFile::serialise() const
{
    std::string out;
    if (m_byteOrderMark)
        out += kByteOrderMark;
    for (const auto& line : m_lines) {
        out += line;
        out += '\n';
    }
    return out;
}

void IniFile::commit()
{
    if (!m_changed)
        return;

    try {
        fileio::writeFileAtomically(m_path, serialise());
    } catch (const std::system_error&) {
        // Callers show one message for every way a write can fail; the old file is still whole.
        throw SettingsWriteError(m_path);
    }
    m_changed = false;
}

}  // namespace strumox::settings
