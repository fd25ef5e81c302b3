// Damaged settings files, thousands of them from a fixed seed: flipped bytes, cuts, huge and
// negative counts, long lines, lines without '=', stray brackets, NULs, every mix of line ends,
// repeated sections. Each goes through the reader, the start-up batch, the listing and, now and
// then, the exit batch. Nothing may crash or hang; every value read must obey the file rules,
// checked against a plain line-by-line reading of the same bytes; every count must stay in range;
// a write must change only the keys it writes.
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "TempDir.h"

namespace {

using namespace strumox::settings;

constexpr std::uint32_t kSeed = 20240611;
constexpr int kCases = 2500;
constexpr int kWriteEvery = 10;  // cases that also run the exit batch

// ---- The rules, read the slow and obvious way ---------------------------------------------------

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The file as its lines, and what every line is, scanned anew for every question.
class PlainReading {
public:
    explicit PlainReading(std::string_view text)
    {
        if (text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        std::string line;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' || text[i] == '\r') {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
                lines.push_back(line);
                line.clear();
            } else {
                line += text[i];
            }
        }
        if (!line.empty())
            lines.push_back(line);
        for (const std::string& l : lines)
            kinds.push_back(kind(l));
    }

    struct Kind {
        bool section = false;
        bool key = false;
        std::string name;
        std::optional<std::string> value;
    };

    static Kind kind(std::string_view line)
    {
        const std::string_view t = trimmed(line);
        Kind k;
        if (t.empty() || t[0] == ';' || t[0] == '#')
            return k;
        if (t[0] == '[') {
            const auto close = t.find(']');
            if (close != std::string_view::npos) {
                k.section = true;
                k.name = std::string(trimmed(t.substr(1, close - 1)));
            }
            return k;
        }
        const auto eq = t.find('=');
        k.name = std::string(trimmed(t.substr(0, eq)));
        if (eq != std::string_view::npos)
            k.value = std::string(trimmed(t.substr(eq + 1)));
        k.key = !k.name.empty();
        return k;
    }

    // Index of the first line holding the key in the section, or -1.
    long find(const std::string& section, const std::string& key) const
    {
        const std::string s = lowered(section);
        const std::string wanted = lowered(key);
        bool inside = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Kind& k = kinds[i];
            if (k.section)
                inside = lowered(k.name) == s;
            else if (inside && k.key && lowered(k.name) == wanted)
                return static_cast<long>(i);
        }
        return -1;
    }

    std::string readString(const std::string& section, const std::string& key, const std::string& def) const
    {
        const long i = find(section, key);
        if (i < 0)
            return def;
        const Kind& k = kinds[static_cast<std::size_t>(i)];
        if (!k.value)
            return def;
        std::string cut;
        std::size_t chars = 0;
        for (const char c : *k.value) {
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++chars > IniFile::kMaxValueChars)
                break;
            cut += c;
        }
        return cut;
    }

    int readInteger(const std::string& section, const std::string& key, int def) const
    {
        const std::string t = readString(section, key, "");
        std::int64_t value = 0;
        if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
            for (std::size_t i = 2; i < t.size(); ++i) {
                const char c = lower(t[i]);
                const int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
                if (digit < 0)
                    return def;
                value = value * 16 + digit;
                if (value > 0xFFFFFFFFLL)
                    return def;
            }
            return static_cast<int>(static_cast<std::uint32_t>(value));
        }
        std::size_t i = 0;
        const bool negative = !t.empty() && t[0] == '-';
        if (!t.empty() && (t[0] == '-' || t[0] == '+'))
            i = 1;
        if (i == t.size())
            return def;
        for (; i < t.size(); ++i) {
            if (t[i] < '0' || t[i] > '9')
                return def;
            value = value * 10 + (t[i] - '0');
            if (value > std::int64_t{INT_MAX} + 1)
                return def;
        }
        value = negative ? -value : value;
        return (value < INT_MIN || value > INT_MAX) ? def : static_cast<int>(value);
    }

    std::vector<std::string> sectionKeys(const std::string& section) const
    {
        std::vector<std::string> names;
        std::size_t used = 1;
        const std::string wanted = lowered(section);
        bool inside = false;
        for (const Kind& k : kinds) {
            if (k.section)
                inside = lowered(k.name) == wanted;
            else if (inside && k.key) {
                used += k.name.size() + 1;
                if (used > IniFile::kKeyListCapacity)
                    break;
                names.push_back(k.name);
            }
        }
        return names;
    }

    std::set<std::string> sectionsLowered() const
    {
        std::set<std::string> out;
        for (const Kind& k : kinds) {
            if (k.section)
                out.insert(lowered(k.name));
        }
        return out;
    }

    std::vector<std::string> lines;
    std::vector<Kind> kinds;  // of each line
};

// A scratch directory in memory where there is one: the write batches sync to the disk, and on
// a memory file system that costs nothing. Removed with everything in it.
class Scratch {
public:
    Scratch()
    {
        std::error_code ec;
        const bool shm = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
        std::string pattern = (shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
                              "strumox-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_dir = pattern + "/";
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::string& dir() const { return m_dir; }  // ends with '/'
    std::string ini() const { return m_dir + "Kq.ini"; }
    void write(const std::string& text) const
    {
        // A new file each time: truncating the old one would make the file system flush it.
        std::filesystem::remove(ini());
        strumox::testsupport::writeText(ini(), text);
    }

private:
    std::string m_dir;
};

// ---- Damaged files from a seed -----------------------------------------------------------------

std::string livedInFile(std::mt19937& rng)
{
    std::string text = "; Strumox settings\n[MidiIn]\nDevice=1\n[MidiOut]\nDevice=2\n"
                       "[Guitar]\nPatch=24\nChannel=3\nVolume=90\n[Bass]\nPatch=0x20\nChannel=4\nVolume=+80\n"
                       "[Click]\nChannel=9\nNote=0x22\nVolume=65\n"
                       "[Main]\nBass=2\nSspeed=-120\nLeftHand=1\nShowFull=0\nPPTinyFont=0\nCDTinyFont=1\n"
                       "SpeechVol=200\nSpeechOn=1\n\n"
                       "[Directory]\nChord=/home/me/Chord\nPrint=/home/me/Print\nDesign = /home/me/Design \n"
                       "Play=/home/me/Play\nScale=/home/me/Scale\nTab=/home/me/Tab\nTabRaw=/home/me/Tab/Raw\n"
                       "[Scales]\nFrets=6\n[PlayPage]\nCountOff=3\n"
                       "[Glowboard]\nAnimate=0\nShowFlash=1\nSwitch1=2\nSwitch2=3\nReverseSwitch=1\nRootSpeed=425\n"
                       "FlashNote=1\nFlashStop=0\n"
                       "[Tab]\nTimingChars=.=qes\nInsertFile=/home/me/insert.tab\n";
    std::uniform_int_distribution<int> chords(0, 12);
    const int n = chords(rng);
    text += "[UserChords]\nNumber=" + std::to_string(n) + "\n";
    for (int i = 0; i < n; ++i)
        text += "[" + std::to_string(62 + i) + "]\nName=Chord " + std::to_string(i) +
                "\nFormula=1 3 5 b7\nI0=0\nI1=4\nI2=7\nI3=10\nI4=255\nI5=255\nI6=255\n";
    text += "[WebSites]\nNumber=2\n1=Lessons\n1A=https://lessons.example\n2=Tabs\n2A=/home/me/tabs.htm\n"
            "[General MIDI]\n";
    // Long enough to be looked up by name rather than line by line, with names given twice.
    const int voices = 10 + chords(rng) * 3;
    for (int v = 0; v < voices; ++v) {
        const char* const forms[] = {"Voice %=", "Voice %", "VOICE %=second", "Voice % = x", "; Voice %"};
        std::string line = forms[v % 3 == 0 ? rng() % 5 : 0];
        line.replace(line.find('%'), 1, std::to_string(v / 2));
        text += line + "\n";
    }
    return text;
}

const char* const kNumbers[] = {"-2147483648", "-2147483649", "-1", "-0", "0", "+5", "1", "7", "10000", "10001",
                                "65535", "2147483647", "2147483648", "0x7FFFFFFF", "0xFFFFFFFF", "0x100000000",
                                "0x", "99999999999999999999", "1e3", " 12 ", "0x-1", "--3"};

void mutate(std::string& text, std::mt19937& rng)
{
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    auto where = [&] { return text.empty() ? 0 : pick(text.size() + 1); };
    // The start of a random line, and its end (exclusive of the line end).
    auto lineAt = [&](std::size_t pos) {
        pos = std::min(pos, text.size());
        std::size_t start = text.find_last_of("\r\n", pos == 0 ? 0 : pos - 1);
        start = (start == std::string::npos || pos == 0) ? 0 : start + 1;
        std::size_t end = text.find_first_of("\r\n", start);
        return std::pair{start, end == std::string::npos ? text.size() : end};
    };
    const char specials[] = {'\0', '\r', '\n', '[', ']', '=', ';', '#', ' ', '\t', '\xFF', '\xC3', '\x80', 'x'};

    switch (pick(12)) {
    case 0:  // a flipped byte
        if (!text.empty())
            text[pick(text.size())] = static_cast<char>(pick(256));
        break;
    case 1:  // a special byte put in
        text.insert(where(), 1, specials[pick(sizeof specials)]);
        break;
    case 2:  // cut short
        text.resize(where());
        break;
    case 3: {  // a number anywhere a value is
        const auto [start, end] = lineAt(where());
        const auto eq = text.find('=', start);
        if (eq != std::string::npos && eq < end)
            text.replace(eq + 1, end - eq - 1, kNumbers[pick(std::size(kNumbers))]);
        break;
    }
    case 4: {  // a count from far below to far above the limit, or a second count after the first
        const std::string section = pick(3) == 0 ? "[WebSites]" : "[UserChords]";
        const std::string number = pick(2) == 0 ? kNumbers[pick(std::size(kNumbers))] : std::to_string(int(pick(40)) - 5);
        const auto header = text.find(section);
        const auto key = header == std::string::npos ? header : text.find("Number=", header);
        if (key == std::string::npos || pick(4) == 0) {
            text += "\n" + section + "\nNumber=" + number + "\n";
        } else {
            const auto end = text.find_first_of("\r\n", key);
            text.replace(key + 7, (end == std::string::npos ? text.size() : end) - key - 7, number);
        }
        break;
    }
    case 5: {  // a long line, a key or a value
        const std::size_t length = 500 + pick(3000);
        std::string line = pick(2) == 0 ? "Chord=" : "";
        for (std::size_t i = 0; i < length; ++i) {
            const std::size_t r = pick(8);
            line += r == 0 ? "\xC3\xA9" : r == 1 ? "\xE2\x82\xAC" : r == 2 ? "\xC3" : std::string(1, 'a' + pick(26));
        }
        text.insert(lineAt(where()).first, line + "\n");
        break;
    }
    case 6: {  // '=' taken away
        const auto [start, end] = lineAt(where());
        const auto eq = text.find('=', start);
        if (eq != std::string::npos && eq < end)
            text.erase(eq, 1);
        break;
    }
    case 7: {  // line ends changed, all or some
        const char* const ends[] = {"\r\n", "\r", "\n", "\r\r\n", "\n\r"};
        const std::string to = ends[pick(std::size(ends))];
        std::string out;
        for (const char c : text)
            out += (c == '\n' && pick(3) != 0) ? to : std::string(1, c);
        text = out;
        break;
    }
    case 8: {  // a section block repeated elsewhere, its name perhaps in other letters
        const auto open = text.find('[', where());
        if (open == std::string::npos)
            break;
        const auto next = text.find("\n[", open + 1);
        std::string block = text.substr(open, next == std::string::npos ? std::string::npos : next - open + 1);
        if (pick(2) == 0)
            std::transform(block.begin(), block.end(), block.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
        text.insert(lineAt(where()).first, block + "\n");
        break;
    }
    case 9: {  // a header broken or a stray bracket line
        const char* const lines[] = {"[Main\n", "]\n", "[]\n", "[ Main ] trailing\n", "[[Main]]\n", "=\n", "=5\n"};
        text.insert(lineAt(where()).first, lines[pick(std::size(lines))]);
        break;
    }
    case 10:  // a byte-order mark, where it counts or not
        text.insert(pick(3) == 0 ? where() : 0, "\xEF\xBB\xBF");
        break;
    default: {  // a run of NULs
        text.insert(where(), std::string(1 + pick(8), '\0'));
        break;
    }
    }
}

// ---- The checks ------------------------------------------------------------------------------

std::size_t codePoints(const std::string& s)
{
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void expectPlainText(const std::string& value, const std::string& what)
{
    EXPECT_EQ(value.find_first_of("\r\n"), std::string::npos) << what;
    EXPECT_LE(codePoints(value), IniFile::kMaxValueChars) << what;
}

struct IntKey {
    const char* section;
    const char* key;
    int AppSettings::*field;
};

const IntKey kIntKeys[] = {
    {"MidiIn", "Device", &AppSettings::midiInDevice}, {"MidiOut", "Device", &AppSettings::midiOutDevice},
    {"Guitar", "Patch", &AppSettings::guitarPatch},   {"Guitar", "Channel", &AppSettings::guitarChannel},
    {"Guitar", "Volume", &AppSettings::guitarVolume}, {"Bass", "Patch", &AppSettings::bassPatch},
    {"Bass", "Channel", &AppSettings::bassChannel},   {"Bass", "Volume", &AppSettings::bassVolume},
    {"Click", "Channel", &AppSettings::clickChannel}, {"Click", "Note", &AppSettings::clickNote},
    {"Click", "Volume", &AppSettings::clickVolume},   {"Main", "Sspeed", &AppSettings::strumSpeed},
    {"Main", "SpeechVol", &AppSettings::speechVol},   {"PlayPage", "CountOff", &AppSettings::countOff},
    {"Glowboard", "Switch1", &AppSettings::switch1},  {"Glowboard", "Switch2", &AppSettings::switch2},
    {"Glowboard", "RootSpeed", &AppSettings::rootSpeed},
};

// The reader answers every question as the plain reading does.
void checkReader(const std::string& path, const PlainReading& plain)
{
    const IniFile ini(path);
    EXPECT_TRUE(ini.unreadable().empty());
    std::set<std::string> sections{"Main", "UserChords", "General MIDI", "62", "WebSites", "Tab"};
    std::vector<std::pair<std::string, std::string>> inFile;
    std::string section;
    for (const PlainReading::Kind& k : plain.kinds) {
        if (k.section) {
            section = k.name;
            sections.insert(section);
        } else if (k.key) {
            inFile.emplace_back(section, k.name);
        }
    }
    // Some keys the file holds, spread over all of it, as spelled and in other letters, and some
    // it does not.
    std::vector<std::pair<std::string, std::string>> keys{
        {"Main", "Sspeed"}, {"userchords", "NUMBER"}, {"Tab", "X"}, {"General MIDI", "Voice 99"}};
    const std::size_t stride = inFile.size() / 40 + 1;
    for (std::size_t i = 0; i < inFile.size(); i += stride) {
        keys.push_back(inFile[i]);
        keys.emplace_back(lowered(inFile[i].first), lowered(inFile[i].second));
    }
    for (const auto& [s, k] : keys) {
        EXPECT_EQ(ini.readString(s, k, "\x01"), plain.readString(s, k, "\x01")) << "[" << s << "] " << k;
        EXPECT_EQ(ini.readInteger(s, k, 777), plain.readInteger(s, k, 777)) << "[" << s << "] " << k;
    }
    const std::set<std::string> present = plain.sectionsLowered();
    for (const std::string& s : sections) {
        EXPECT_EQ(ini.sectionKeys(s), plain.sectionKeys(s)) << "[" << s << "]";
        EXPECT_EQ(ini.hasSection(s), present.count(lowered(s)) > 0) << "[" << s << "]";
    }
}

// The start-up batch: counts and ranges hold, every integer is its default or the file's number.
StartupSettings checkStartup(const std::string& appDir, const PlainReading& plain)
{
    StartupSettings start = loadStartupSettings(appDir);
    const AppSettings& s = start.values;
    const AppSettings d = AppSettings::defaults(appDir);
    EXPECT_TRUE(start.notices.unreadable.empty());

    for (const IntKey& k : kIntKeys)
        EXPECT_EQ(s.*k.field, plain.readInteger(k.section, k.key, d.*k.field)) << k.section << "/" << k.key;
    EXPECT_GE(s.scaleFrets, 4);
    EXPECT_LE(s.scaleFrets, 6);
    EXPECT_TRUE((s.switch1Bit == 1 && s.switch2Bit == 2 && !s.reverseSwitch) ||
                (s.switch1Bit == 2 && s.switch2Bit == 1 && s.reverseSwitch));

    const int claimed = plain.readInteger("UserChords", "Number", 0);
    const int listed = std::clamp(claimed, 0, kMaxListEntries);
    EXPECT_EQ(s.userChordNames.size(), static_cast<std::size_t>(listed));
    const std::set<std::string> present = plain.sectionsLowered();
    int missing = 0;
    for (int i = 0; i < listed; ++i)
        missing += present.count(userChordSection(i)) ? 0 : 1;
    // One notice exactly when the count overstates: past the limit or naming absent sections.
    EXPECT_EQ(start.notices.userChords.empty(), claimed <= kMaxListEntries && missing == 0) << "count " << claimed;
    EXPECT_LE(start.notices.messages().size(), 1u);

    const int sites = std::clamp(plain.readInteger("WebSites", "Number", 0), 0, kMaxListEntries);
    EXPECT_EQ(s.webSites.size(), static_cast<std::size_t>(sites));

    for (const std::string& dir : s.pageDirs)
        expectPlainText(dir, "folder");
    expectPlainText(s.timingChars, "timing characters");
    expectPlainText(s.insertFile, "insert file");
    for (const std::string& name : s.userChordNames)
        expectPlainText(name, "user chord name");
    for (const WebSite& site : s.webSites) {
        expectPlainText(site.caption, "web site");
        expectPlainText(site.address, "web address");
    }
    return start;
}

// The listing: its shape follows from the counts, its values from the start-up batch.
void checkListing(const std::string& appDir, const PlainReading& plain, const StartupSettings& start)
{
    const AppSettings& s = start.values;
    const SettingsListing listing = listSettings(appDir);
    const std::vector<std::string>& lines = listing.lines;
    const std::size_t chords = s.userChordNames.size();
    const std::size_t fixedRows = 38;
    ASSERT_EQ(lines.size(), fixedRows + 1 + 9 * chords + 1 + 2 * s.webSites.size() + 1);
    EXPECT_EQ(lines[fixedRows], "UserChords/Number=" + std::to_string(plain.readInteger("UserChords", "Number", 0)));
    const std::set<std::string> present = plain.sectionsLowered();
    for (std::size_t i = 0; i < chords; ++i) {
        const std::string section = userChordSection(static_cast<int>(i));
        const std::size_t at = fixedRows + 1 + 9 * i;
        EXPECT_EQ(lines[at], section + "/Name=" + s.userChordNames[i]);
        EXPECT_TRUE(lines[at + 1].starts_with(section + "/Formula="));
        // The plain reading rescans the file for every key: ask it about the sections that exist.
        const bool exists = present.count(section) > 0;
        for (int k = 0; k < 7; ++k) {
            const std::string key = "I" + std::to_string(k);
            const int value = exists ? plain.readInteger(section, key, 255) : 255;
            EXPECT_EQ(lines[at + 2 + static_cast<std::size_t>(k)], section + "/" + key + "=" + std::to_string(value));
        }
    }
    EXPECT_EQ(lines.back(), "General MIDI/Keys=" + std::to_string(plain.sectionKeys("General MIDI").size()));
    EXPECT_EQ(listing.notices.userChords, start.notices.userChords);
    for (const std::string& line : lines) {
        EXPECT_NE(line.find('/'), std::string::npos) << line.substr(0, 80);
        EXPECT_NE(line.find('='), std::string::npos) << line.substr(0, 80);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line.substr(0, 80);
    }
}

// The exit batch writes its keys and nothing else: every other line stays, in order.
void checkExitWrite(const std::string& appDir, const PlainReading& plain, const AppSettings& before)
{
    AppSettings written = before;
    written.strumSpeed = -222;
    written.bassNote = !before.bassNote;
    written.leftHanded = !before.leftHanded;
    written.showFull = !before.showFull;
    written.glowAnimate = !before.glowAnimate;
    written.glowShowFlash = !before.glowShowFlash;
    written.pageDirs = {"/w/c", "/w/p", "/w/d", "/w/pl", "/w/s", "/w/t", "/w/tr"};
    writeExitSettings(appDir, written);

    const AppSettings after = readStartupSettings(appDir);
    EXPECT_EQ(after.strumSpeed, -222);
    EXPECT_EQ(after.bassNote, written.bassNote);
    EXPECT_EQ(after.leftHanded, written.leftHanded);
    EXPECT_EQ(after.showFull, written.showFull);
    EXPECT_EQ(after.glowAnimate, written.glowAnimate);
    EXPECT_EQ(after.glowShowFlash, written.glowShowFlash);
    EXPECT_EQ(after.pageDirs, written.pageDirs);
    for (const IntKey& k : kIntKeys) {
        if (k.field != &AppSettings::strumSpeed) {
            EXPECT_EQ(after.*k.field, before.*k.field) << k.section << "/" << k.key;
        }
    }
    EXPECT_EQ(after.userChordNames, before.userChordNames);
    EXPECT_EQ(after.timingChars, before.timingChars);

    // Lines the batch rewrote are the first of each exit key; all others keep their order.
    std::set<long> rewritten;
    const std::pair<const char*, const char*> exitKeys[] = {
        {"Main", "Sspeed"},      {"Main", "Bass"},        {"Directory", "Chord"},  {"Directory", "Print"},
        {"Directory", "Design"}, {"Directory", "Play"},   {"Directory", "Scale"},  {"Directory", "Tab"},
        {"Directory", "TabRaw"}, {"Main", "LeftHand"},    {"Main", "ShowFull"},    {"Glowboard", "Animate"},
        {"Glowboard", "ShowFlash"}};
    for (const auto& [section, key] : exitKeys)
        rewritten.insert(plain.find(section, key));
    const std::string text = strumox::testsupport::readText(appDir + "Kq.ini");
    EXPECT_EQ(text.find('\r'), std::string::npos) << "written back with LF";
    const PlainReading now(text);
    std::size_t at = 0;
    for (std::size_t i = 0; i < plain.lines.size(); ++i) {
        if (rewritten.count(static_cast<long>(i)))
            continue;
        while (at < now.lines.size() && now.lines[at] != plain.lines[i])
            ++at;
        ASSERT_LT(at, now.lines.size()) << "line " << i << " lost: " << plain.lines[i].substr(0, 80);
        ++at;
    }
}

// The start of a file as C escapes, for a failure message.
std::string printable(const std::string& text)
{
    std::string out;
    for (const char c : text.substr(0, 600)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n')
            out += "\\n\n";
        else if (u < 0x20 || u >= 0x7F)
            out += "\\x" + std::string(1, "0123456789ABCDEF"[u >> 4]) + "0123456789ABCDEF"[u & 15];
        else
            out += c;
    }
    return out;
}

// ---- Writes and erases in one batch, the slow and obvious way ------------------------------------

// The documented write rules applied to a list of lines.
struct PlainFile {
    std::vector<std::string> lines;
    bool byteOrderMark = false;

    static bool same(std::string_view a, std::string_view b) { return lowered(a) == lowered(b); }

    void write(const std::string& section, const std::string& key, std::string value)
    {
        std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        std::optional<std::size_t> found, lastKey, lastHeader;
        bool inside = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PlainReading::Kind k = PlainReading::kind(lines[i]);
            if (k.section) {
                inside = same(k.name, section);
                if (inside)
                    lastHeader = i;
            } else if (inside && k.key) {
                if (!found && same(k.name, key))
                    found = i;
                lastKey = i;
            }
        }
        if (found) {
            const PlainReading::Kind k = PlainReading::kind(lines[*found]);
            if (!(k.value && *k.value == value))
                lines[*found] = k.name + "=" + value;
        } else if (lastKey || lastHeader) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*(lastKey ? lastKey : lastHeader)) + 1,
                         key + "=" + value);
        } else {
            if (!lines.empty() && !trimmed(lines.back()).empty())
                lines.emplace_back();
            lines.push_back("[" + section + "]");
            lines.push_back(key + "=" + value);
        }
    }

    void erase(const std::string& section)
    {
        std::vector<std::string> kept;
        bool inside = false;
        for (const std::string& line : lines) {
            const PlainReading::Kind k = PlainReading::kind(line);
            if (k.section)
                inside = same(k.name, section);
            if (!inside)
                kept.push_back(line);
        }
        lines = kept;
    }

    std::string text() const
    {
        std::string out = byteOrderMark ? "\xEF\xBB\xBF" : "";
        for (const std::string& line : lines)
            out += line + "\n";
        return out;
    }
};

TEST(SettingsFuzz, WritesAndErasesInOneBatchFollowThePlainRules)
{
    const char* const sections[] = {"Main", "main", "MAIN", "62", "63", "Tab", "New", "General MIDI", "Directory"};
    const char* const keys[] = {"Bass", "bass", "Sspeed", "Name", "I0", "Voice 3", "VOICE 4", "X", "TimingChars"};
    const char* const values[] = {"1", "", " padded ", "a\r\nb", "0x22", "=", "[x]", "; not a comment", "-300"};
    std::mt19937 rng(kSeed + 1);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    const Scratch dir;
    for (int n = 0; n < 250; ++n) {
        std::string text = livedInFile(rng);
        for (int m = static_cast<int>(pick(4)); m > 0; --m)
            mutate(text, rng);
        dir.write(text);
        PlainFile plain{PlainReading(text).lines, text.starts_with("\xEF\xBB\xBF")};
        const std::string before = plain.text();

        IniFile ini(dir.ini());
        for (int op = 0; op < 25; ++op) {
            const std::string section = sections[pick(std::size(sections))];
            if (pick(8) == 0) {
                ini.eraseSection(section);
                plain.erase(section);
            } else {
                const std::string key = keys[pick(std::size(keys))];
                const std::string value = values[pick(std::size(values))] + std::to_string(pick(3));
                ini.writeString(section, key, value);
                plain.write(section, key, value);
            }
            // What the batch reads back follows every change at once.
            const PlainReading now(plain.text());
            const std::set<std::string> present = now.sectionsLowered();
            for (const char* s : sections) {
                ASSERT_EQ(ini.hasSection(s), present.count(lowered(s)) > 0) << s << ", case " << n;
                ASSERT_EQ(ini.sectionKeys(s), now.sectionKeys(s)) << s << ", case " << n;
                for (const char* k : keys)
                    ASSERT_EQ(ini.readString(s, k, "\x01"), now.readString(s, k, "\x01")) << s << "/" << k;
            }
        }
        ini.commit();
        const std::string written = strumox::testsupport::readText(dir.ini());
        if (plain.text() == before && written == text)
            continue;  // every write restated what was there: nothing to commit
        ASSERT_EQ(written, plain.text()) << "case " << n << ", file began:\n" << printable(text);
    }
}

TEST(SettingsFuzz, DamagedFilesReadWithinTheRulesAndWritesKeepTheRest)
{
    std::mt19937 rng(kSeed);
    const Scratch dir;
    for (int n = 0; n < kCases; ++n) {
        std::string text = livedInFile(rng);
        const int mutations = 1 + static_cast<int>(rng() % 6);
        for (int m = 0; m < mutations; ++m)
            mutate(text, rng);
        dir.write(text);
        const PlainReading plain(text);

        checkReader(dir.ini(), plain);
        const StartupSettings start = checkStartup(dir.dir(), plain);
        checkListing(dir.dir(), plain, start);
        if (n % kWriteEvery == 0)
            checkExitWrite(dir.dir(), plain, start.values);
        if (HasFailure()) {
            ADD_FAILURE() << "seed " << kSeed << ", case " << n << ", file begins:\n" << printable(text);
            break;
        }
    }
}

}  // namespace
