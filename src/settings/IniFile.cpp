#include "settings/IniFile.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

#include "fileio/AtomicFile.h"
#include "fileio/ReadFile.h"

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

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

// A section with this many key lines or fewer is searched line by line; a longer one gets a map
// of its keys at the first lookup (the 128 voices of "General MIDI", a hand-grown section).
constexpr std::size_t kScannedKeys = 16;

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

}  // namespace

SettingsWriteError::SettingsWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path), m_path(path)
{
}

IniFile::IniFile(std::string path) : m_path(std::move(path))
{
    fileio::FileRead file = fileio::readRegularFile(m_path);
    if (file.status == fileio::FileRead::Status::Missing)
        return;
    if (!file.ok()) {
        m_unreadable = file.reason.empty() ? "cannot be read" : file.reason;
        return;
    }
    m_original = std::move(file.bytes);
    const std::string_view all = m_original;
    std::size_t start = 0;
    if (all.starts_with(kByteOrderMark)) {
        m_byteOrderMark = true;
        start = kByteOrderMark.size();
    }

    m_lines.reserve(static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')) + 1);
    Section* current = nullptr;  // lines before the first header belong to no section
    while (start < all.size()) {
        auto end = all.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = all.size();
        Line line;
        line.offset = static_cast<std::uint32_t>(start);
        line.length = static_cast<std::uint32_t>(end - start);
        line.prev = m_last;
        const auto id = static_cast<LineId>(m_lines.size());
        m_lines.push_back(line);
        if (m_last != kNoLine)
            m_lines[m_last].next = id;
        else
            m_first = id;
        m_last = id;

        const LineInfo info = classify(lineText(id));
        if (info.kind == LineInfo::Kind::Section) {
            current = &m_sections[lowered(info.name)];
            current->headers.push_back(id);
        } else if (info.kind == LineInfo::Kind::Key && current) {
            current->keys.push_back(id);
        }

        start = end + 1;
        if (end < all.size() && all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n')
            ++start;  // CR LF is one line end
    }
}

std::string_view IniFile::lineText(LineId id) const
{
    const Line& line = m_lines[id];
    if (line.edited >= 0)
        return m_edited[static_cast<std::size_t>(line.edited)];
    return std::string_view(m_original).substr(line.offset, line.length);
}

void IniFile::setLineText(LineId id, std::string text)
{
    Line& line = m_lines[id];
    if (line.edited >= 0) {
        m_edited[static_cast<std::size_t>(line.edited)] = std::move(text);
    } else {
        line.edited = static_cast<std::int32_t>(m_edited.size());
        m_edited.push_back(std::move(text));
    }
}

IniFile::LineId IniFile::insertAfter(LineId after, std::string text)
{
    const auto id = static_cast<LineId>(m_lines.size());
    Line line;
    line.prev = after;
    line.next = (after == kNoLine) ? m_first : m_lines[after].next;
    m_lines.push_back(line);
    setLineText(id, std::move(text));
    if (line.next != kNoLine)
        m_lines[line.next].prev = id;
    else
        m_last = id;
    if (after != kNoLine)
        m_lines[after].next = id;
    else
        m_first = id;
    return id;
}

void IniFile::unlink(LineId id)
{
    const Line& line = m_lines[id];
    (line.prev != kNoLine ? m_lines[line.prev].next : m_first) = line.next;
    (line.next != kNoLine ? m_lines[line.next].prev : m_last) = line.prev;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const
{
    const auto it = m_sections.find(lowered(name));
    return it == m_sections.end() ? nullptr : &it->second;
}

IniFile::LineId IniFile::findKey(const std::string& section, const std::string& key) const
{
    const Section* s = findSection(section);
    if (!s)
        return kNoLine;
    if (s->keys.size() <= kScannedKeys) {
        for (const LineId id : s->keys) {
            if (sameName(classify(lineText(id)).name, key))
                return id;
        }
        return kNoLine;
    }
    if (!s->mapped) {
        for (const LineId id : s->keys)
            s->firstKey.try_emplace(lowered(classify(lineText(id)).name), id);  // the first one wins
        s->mapped = true;
    }
    const auto it = s->firstKey.find(lowered(key));
    return it == s->firstKey.end() ? kNoLine : it->second;
}

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const
{
    const LineId id = findKey(section, key);
    if (id == kNoLine)
        return def;
    const LineInfo info = classify(lineText(id));
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

    const LineId found = findKey(section, key);
    if (found != kNoLine) {
        const LineInfo info = classify(lineText(found));
        if (info.value && *info.value == text)
            return;
        // The rewritten line keeps the file's spelling of the name, so the index still holds.
        setLineText(found, std::string(info.name) + "=" + text);
        m_changed = true;
        return;
    }

    const auto it = m_sections.find(lowered(section));
    if (it != m_sections.end()) {
        // The new key goes after the section's last key, or after its last header when it has none.
        Section& s = it->second;
        const LineId after = s.keys.empty() ? s.headers.back() : s.keys.back();
        const LineId id = insertAfter(after, key + "=" + text);
        s.keys.push_back(id);
        if (s.mapped)
            s.firstKey.try_emplace(lowered(key), id);
    } else {
        if (m_last != kNoLine && !trimBlanks(lineText(m_last)).empty())
            insertAfter(m_last, {});
        Section& s = m_sections[lowered(section)];
        s.headers.push_back(insertAfter(m_last, "[" + section + "]"));
        s.keys.push_back(insertAfter(m_last, key + "=" + text));
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
    const Section* s = findSection(section);
    if (!s)
        return names;
    std::size_t used = 1;  // the final terminator
    for (const LineId id : s->keys) {
        const std::string_view name = classify(lineText(id)).name;
        used += name.size() + 1;
        if (used > kKeyListCapacity)
            break;
        names.emplace_back(name);
    }
    return names;
}

bool IniFile::hasSection(const std::string& section) const
{
    return findSection(section) != nullptr;
}

void IniFile::eraseSection(const std::string& section)
{
    const auto it = m_sections.find(lowered(section));
    if (it == m_sections.end())
        return;
    // Each block runs from its header up to the next header of any section. A block of the same
    // section right behind stops the walk too and goes in its own turn.
    for (const LineId header : it->second.headers) {
        LineId id = header;
        do {
            const LineId next = m_lines[id].next;
            unlink(id);
            id = next;
        } while (id != kNoLine && classify(lineText(id)).kind != LineInfo::Kind::Section);
    }
    m_sections.erase(it);
    m_changed = true;
}

std::string IniFile::serialise() const
{
    std::string out;
    out.reserve(m_original.size() + 64);
    if (m_byteOrderMark)
        out += kByteOrderMark;
    for (LineId id = m_first; id != kNoLine; id = m_lines[id].next) {
        out += lineText(id);
        out += '\n';
    }
    return out;
}

void IniFile::commit()
{
    if (!m_changed)
        return;
    // What could not be read cannot be kept, so it is not replaced at all.
    if (!m_unreadable.empty())
        throw SettingsWriteError(m_path);

    try {
        fileio::writeFileAtomically(m_path, serialise());
    } catch (const std::system_error&) {
        // Callers show one message for every way a write can fail; the old file is still whole.
        throw SettingsWriteError(m_path);
    }
    m_changed = false;
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

}  // namespace strumox::settings
