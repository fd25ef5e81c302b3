#include "settings/UserChords.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "settings/Settings.h"

namespace strumox::settings {

namespace {

constexpr const char* kCountSection = "UserChords";
constexpr const char* kCountKey = "Number";
constexpr int kIntervalKeys = 7;  // I0..I6

std::string intervalKey(int k)
{
    return "I" + std::to_string(k);
}

int storedCount(const IniFile& ini)
{
    return ini.readInteger(kCountSection, kCountKey, 0);
}

}  // namespace

theory::FormulaRecord readUserChord(const IniFile& ini, int entry)
{
    theory::FormulaRecord record;
    if (storedCount(ini) <= 0)
        return record;
    const std::string section = std::to_string(entry);
    record.suffix =
        cutToChars(ini.readString(section, "Name", kUserChordNoName), theory::FormulaRecord::kSuffixCapacity);
    record.text = cutToChars(ini.readString(section, "Formula", {}), theory::FormulaRecord::kTextCapacity);
    for (int k = 0; k < kIntervalKeys; ++k) {
        const int value = ini.readInteger(section, intervalKey(k), theory::kNoInterval);
        record.intervals[static_cast<std::size_t>(k)] =
            value >= 0 && value <= 255 ? static_cast<std::uint8_t>(value) : theory::kNoInterval;
    }
    return record;
}

int addUserChord(IniFile& ini, int entryCount, const std::string& name, const std::string& formula,
                 const theory::IntervalList& intervals)
{
    // A negative count lists nothing at start-up; counting on from it would hide the new chord.
    const int count = std::clamp(storedCount(ini), 0, INT_MAX - 1);
    ini.writeInteger(kCountSection, kCountKey, count + 1);
    const std::string section = std::to_string(entryCount);
    // The file drops blanks around a value (line breaks are written as blanks), so a name of
    // blanks alone would come back empty.
    const bool unnamed = name.find_first_not_of(" \t\r\n") == std::string::npos;
    ini.writeString(section, "Name",
                    cutToChars(unnamed ? kUserChordNoName : name, theory::FormulaRecord::kSuffixCapacity));
    ini.writeString(section, "Formula", cutToChars(formula, theory::FormulaRecord::kTextCapacity));
    for (int k = 0; k < kIntervalKeys; ++k)
        ini.writeInteger(section, intervalKey(k), intervals[static_cast<std::size_t>(k)]);
    return entryCount;
}

bool deleteUserChord(IniFile& ini, int chosen, int lastEntry)
{
    const int count = storedCount(ini);
    if (count <= 0 || chosen < kFirstUserChordSection || chosen > lastEntry)
        return false;
    // Values move as stored (a damaged interval stays as the user will find it); only what is
    // missing takes its default.
    for (int s = chosen; s < lastEntry; ++s) {
        const std::string to = std::to_string(s);
        const std::string from = std::to_string(s + 1);
        for (int k = 0; k < kIntervalKeys; ++k)
            ini.writeInteger(to, intervalKey(k), ini.readInteger(from, intervalKey(k), theory::kNoInterval));
        ini.writeString(to, "Formula", ini.readString(from, "Formula", {}));
        ini.writeString(to, "Name", ini.readString(from, "Name", kUserChordNoName));
    }
    ini.eraseSection(std::to_string(lastEntry));
    ini.writeInteger(kCountSection, kCountKey, count - 1);
    return true;
}

}  // namespace strumox::settings
