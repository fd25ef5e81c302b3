#include "settings/Settings.h"

#include "settings/IniFile.h"
#include "theory/Notes.h"
#include "theory/ScaleTypes.h"

#include <algorithm>
#include <variant>

namespace strumox::settings {

namespace {

constexpr std::array<const char*, 7> kDirectoryKeys{"Chord", "Print", "Design", "Play", "Scale", "Tab", "TabRaw"};
constexpr std::array<const char*, 7> kDirectoryDefaults{"Chord", "Print", "Design", "Play", "Scale", "Tab", "Tab/Raw"};
constexpr const char* kNoName = "NONAME";
constexpr int kIntervalKeys = 7;  // I0..I6
// Guards against a hand-damaged count ("Number=0x7FFFFFFF") stalling start-up.
int listLength(int number)
{
    return std::clamp(number, 0, kMaxListEntries);
}

std::string unreadableNotice(const IniFile& ini)
{
    if (ini.unreadable().empty())
        return {};
    return "Unable to read " + ini.path() + ": " + ini.unreadable() + ". Settings will not be saved.";
}

// One message for every way the count can overstate the user chords: past the limit, or
// naming sections the file does not hold.
std::string userChordNotice(const IniFile& ini)
{
    const int claimed = ini.readInteger("UserChords", "Number", 0);
    const int listed = listLength(claimed);
    int present = 0;
    for (int i = 0; i < listed; ++i)
        present += ini.hasSection(userChordSection(i)) ? 1 : 0;
    if (claimed <= kMaxListEntries && present == listed)
        return {};

    std::string text = ini.path() + ": UserChords/Number is " + std::to_string(claimed);
    if (claimed > kMaxListEntries)
        text += "; only the first " + std::to_string(listed) + " user chords are listed";
    if (present < listed) {
        text += (claimed > kMaxListEntries ? ", and " : ", but ") + std::to_string(listed - present) + " of sections " +
                userChordSection(0) + ".." + userChordSection(listed - 1) + " are missing; they are listed as " +
                kNoName;
    }
    return text + ".";
}

ReadNotices noticesOf(const IniFile& ini)
{
    return {unreadableNotice(ini), userChordNotice(ini)};
}

// One read batch over an open file, in the order start-up reads the keys.
AppSettings readAll(const IniFile& ini, const std::string& appDir)
{
    AppSettings s = AppSettings::defaults(appDir);
    s.midiInDevice = ini.readInteger("MidiIn", "Device", s.midiInDevice);
    s.midiOutDevice = ini.readInteger("MidiOut", "Device", s.midiOutDevice);
    s.guitarPatch = ini.readInteger("Guitar", "Patch", s.guitarPatch);
    s.bassPatch = ini.readInteger("Bass", "Patch", s.bassPatch);
    s.guitarChannel = ini.readInteger("Guitar", "Channel", s.guitarChannel);
    s.bassChannel = ini.readInteger("Bass", "Channel", s.bassChannel);
    s.guitarVolume = ini.readInteger("Guitar", "Volume", s.guitarVolume);
    s.bassVolume = ini.readInteger("Bass", "Volume", s.bassVolume);
    s.bassNote = ini.readBool("Main", "Bass", s.bassNote);
    s.strumSpeed = ini.readInteger("Main", "Sspeed", s.strumSpeed);
    s.clickChannel = ini.readInteger("Click", "Channel", s.clickChannel);
    s.clickNote = ini.readInteger("Click", "Note", s.clickNote);
    s.clickVolume = ini.readInteger("Click", "Volume", s.clickVolume);
    for (std::size_t i = 0; i < kDirectoryKeys.size(); ++i)
        s.pageDirs[i] = ini.readString("Directory", kDirectoryKeys[i], s.pageDirs[i]);
    s.leftHanded = ini.readBool("Main", "LeftHand", s.leftHanded);
    s.showFull = ini.readBool("Main", "ShowFull", s.showFull);

    const int chords = listLength(ini.readInteger("UserChords", "Number", 0));
    for (int i = 0; i < chords; ++i)
        s.userChordNames.push_back(ini.readString(userChordSection(i), "Name", kNoName));

    s.scaleFrets = theory::clampScaleSpan(ini.readInteger("Scales", "Frets", s.scaleFrets));
    s.countOff = ini.readInteger("PlayPage", "CountOff", s.countOff);
    s.ppTinyFont = ini.readBool("Main", "PPTinyFont", s.ppTinyFont);
    s.cdTinyFont = ini.readBool("Main", "CDTinyFont", s.cdTinyFont);
    s.speechVol = ini.readInteger("Main", "SpeechVol", s.speechVol);
    s.speechOn = ini.readBool("Main", "SpeechOn", s.speechOn);
    s.glowAnimate = ini.readBool("Glowboard", "Animate", s.glowAnimate);
    s.glowShowFlash = ini.readBool("Glowboard", "ShowFlash", s.glowShowFlash);
    s.switch1 = ini.readInteger("Glowboard", "Switch1", s.switch1);
    s.switch2 = ini.readInteger("Glowboard", "Switch2", s.switch2);
    s.reverseSwitch = ini.readBool("Glowboard", "ReverseSwitch", s.reverseSwitch);
    applyReverseSwitch(s);
    s.rootSpeed = ini.readInteger("Glowboard", "RootSpeed", s.rootSpeed);
    s.flashNote = ini.readBool("Glowboard", "FlashNote", s.flashNote);
    s.flashStop = ini.readBool("Glowboard", "FlashStop", s.flashStop);

    const int sites = listLength(ini.readInteger("WebSites", "Number", 0));
    for (int k = 1; k <= sites; ++k) {
        const std::string key = std::to_string(k);
        s.webSites.push_back({ini.readString("WebSites", key, {}), ini.readString("WebSites", key + "A", {})});
    }

    // Not part of what start-up itself needs; the tab editor and Preferences use them.
    s.timingChars = ini.readString("Tab", "TimingChars", s.timingChars);
    s.insertFile = ini.readString("Tab", "InsertFile", s.insertFile);
    return s;
}

// The fixed rows of the settings table, in table order, for the listing.
struct ListedKey {
    const char* section;
    const char* key;
    std::variant<int AppSettings::*, bool AppSettings::*, std::string AppSettings::*, PageDirIndex> field;
};

const ListedKey kListedKeys[] = {
    {"MidiIn", "Device", &AppSettings::midiInDevice},
    {"MidiOut", "Device", &AppSettings::midiOutDevice},
    {"Guitar", "Patch", &AppSettings::guitarPatch},
    {"Guitar", "Channel", &AppSettings::guitarChannel},
    {"Guitar", "Volume", &AppSettings::guitarVolume},
    {"Bass", "Patch", &AppSettings::bassPatch},
    {"Bass", "Channel", &AppSettings::bassChannel},
    {"Bass", "Volume", &AppSettings::bassVolume},
    {"Click", "Channel", &AppSettings::clickChannel},
    {"Click", "Note", &AppSettings::clickNote},
    {"Click", "Volume", &AppSettings::clickVolume},
    {"Main", "Bass", &AppSettings::bassNote},
    {"Main", "Sspeed", &AppSettings::strumSpeed},
    {"Main", "LeftHand", &AppSettings::leftHanded},
    {"Main", "ShowFull", &AppSettings::showFull},
    {"Main", "PPTinyFont", &AppSettings::ppTinyFont},
    {"Main", "CDTinyFont", &AppSettings::cdTinyFont},
    {"Main", "SpeechVol", &AppSettings::speechVol},
    {"Main", "SpeechOn", &AppSettings::speechOn},
    {"Directory", "Chord", kDirChord},
    {"Directory", "Print", kDirPrint},
    {"Directory", "Design", kDirDesign},
    {"Directory", "Play", kDirPlay},
    {"Directory", "Scale", kDirScale},
    {"Directory", "Tab", kDirTab},
    {"Directory", "TabRaw", kDirTabRaw},
    {"Scales", "Frets", &AppSettings::scaleFrets},
    {"PlayPage", "CountOff", &AppSettings::countOff},
    {"Glowboard", "Animate", &AppSettings::glowAnimate},
    {"Glowboard", "ShowFlash", &AppSettings::glowShowFlash},
    {"Glowboard", "Switch1", &AppSettings::switch1},
    {"Glowboard", "Switch2", &AppSettings::switch2},
    {"Glowboard", "ReverseSwitch", &AppSettings::reverseSwitch},
    {"Glowboard", "RootSpeed", &AppSettings::rootSpeed},
    {"Glowboard", "FlashNote", &AppSettings::flashNote},
    {"Glowboard", "FlashStop", &AppSettings::flashStop},
    {"Tab", "TimingChars", &AppSettings::timingChars},
    {"Tab", "InsertFile", &AppSettings::insertFile},
};

std::string shown(const AppSettings& s, const ListedKey& row)
{
    struct Visitor {
        const AppSettings& s;
        std::string operator()(int AppSettings::*m) const { return std::to_string(s.*m); }
        std::string operator()(bool AppSettings::*m) const { return (s.*m) ? "1" : "0"; }
        std::string operator()(std::string AppSettings::*m) const { return s.*m; }
        std::string operator()(PageDirIndex i) const { return s.pageDirs[i]; }
    };
    return std::visit(Visitor{s}, row.field);
}

std::string line(const std::string& section, const std::string& key, const std::string& value)
{
    return section + "/" + key + "=" + value;
}

}  // namespace

std::string settingsFilePath(const std::string& appDir)
{
    return appDir + kSettingsFileName;
}

std::string userChordSection(int index)
{
    return std::to_string(kFirstUserChordSection + index);
}

AppSettings AppSettings::defaults(const std::string& appDir)
{
    AppSettings s;
    for (std::size_t i = 0; i < kDirectoryDefaults.size(); ++i)
        s.pageDirs[i] = appDir + kDirectoryDefaults[i];
    s.insertFile = appDir + "insertsection.tab";
    return s;
}

void applyReverseSwitch(AppSettings& settings)
{
    settings.switch1Bit = settings.reverseSwitch ? 2 : 1;
    settings.switch2Bit = settings.reverseSwitch ? 1 : 2;
}

std::vector<std::string> ReadNotices::messages() const
{
    std::vector<std::string> out;
    for (const std::string* text : {&unreadable, &userChords}) {
        if (!text->empty())
            out.push_back(*text);
    }
    return out;
}

StartupSettings loadStartupSettings(const std::string& appDir)
{
    const IniFile ini(settingsFilePath(appDir));
    return {readAll(ini, appDir), noticesOf(ini)};
}

AppSettings readStartupSettings(const std::string& appDir)
{
    return loadStartupSettings(appDir).values;
}

void writeExitSettings(const std::string& appDir, const AppSettings& s)
{
    IniFile ini(settingsFilePath(appDir));
    ini.writeInteger("Main", "Sspeed", s.strumSpeed);
    ini.writeBool("Main", "Bass", s.bassNote);
    for (std::size_t i = 0; i < kDirectoryKeys.size(); ++i)
        ini.writeString("Directory", kDirectoryKeys[i], s.pageDirs[i]);
    ini.writeBool("Main", "LeftHand", s.leftHanded);
    ini.writeBool("Main", "ShowFull", s.showFull);
    ini.writeBool("Glowboard", "Animate", s.glowAnimate);
    ini.writeBool("Glowboard", "ShowFlash", s.glowShowFlash);
    ini.commit();
}

void writePreferenceSettings(const std::string& appDir, const AppSettings& s)
{
    IniFile ini(settingsFilePath(appDir));
    ini.writeInteger("MidiIn", "Device", s.midiInDevice);
    ini.writeInteger("MidiOut", "Device", s.midiOutDevice);
    ini.writeInteger("Guitar", "Patch", s.guitarPatch);
    ini.writeInteger("Guitar", "Channel", s.guitarChannel);
    ini.writeInteger("Guitar", "Volume", s.guitarVolume);
    ini.writeInteger("Bass", "Patch", s.bassPatch);
    ini.writeInteger("Bass", "Channel", s.bassChannel);
    ini.writeInteger("Bass", "Volume", s.bassVolume);
    ini.writeInteger("Click", "Channel", s.clickChannel);
    ini.writeInteger("Click", "Note", std::clamp(s.clickNote, 0, 127));
    ini.writeInteger("Click", "Volume", s.clickVolume);
    ini.writeInteger("Scales", "Frets", theory::clampScaleSpan(s.scaleFrets));
    ini.writeInteger("PlayPage", "CountOff", std::clamp(s.countOff, 1, 4));
    ini.writeBool("Main", "PPTinyFont", s.ppTinyFont);
    ini.writeBool("Main", "CDTinyFont", s.cdTinyFont);
    ini.writeInteger("Main", "SpeechVol", s.speechVol);
    ini.writeBool("Main", "SpeechOn", s.speechOn);
    ini.writeInteger("Glowboard", "Switch1", s.switch1);
    ini.writeInteger("Glowboard", "Switch2", s.switch2);
    ini.writeBool("Glowboard", "ReverseSwitch", s.reverseSwitch);
    ini.writeInteger("Glowboard", "RootSpeed", s.rootSpeed);
    ini.writeBool("Glowboard", "FlashNote", s.flashNote);
    ini.writeBool("Glowboard", "FlashStop", s.flashStop);
    ini.writeString("Tab", "TimingChars", s.timingChars);
    ini.writeString("Tab", "InsertFile", s.insertFile);
    ini.commit();
}

SettingsListing listSettings(const std::string& appDir)
{
    const IniFile ini(settingsFilePath(appDir));
    SettingsListing listing{{}, noticesOf(ini)};
    if (!ini.unreadable().empty())
        return listing;  // the defaults would pass for the user's settings
    const AppSettings s = readAll(ini, appDir);

    std::vector<std::string>& lines = listing.lines;
    for (const ListedKey& row : kListedKeys)
        lines.push_back(line(row.section, row.key, shown(s, row)));

    lines.push_back(line("UserChords", "Number", std::to_string(ini.readInteger("UserChords", "Number", 0))));
    for (std::size_t i = 0; i < s.userChordNames.size(); ++i) {
        const std::string section = userChordSection(static_cast<int>(i));
        lines.push_back(line(section, "Name", s.userChordNames[i]));
        lines.push_back(line(section, "Formula", ini.readString(section, "Formula", {})));
        for (int k = 0; k < kIntervalKeys; ++k) {
            const std::string key = "I" + std::to_string(k);
            lines.push_back(line(section, key, std::to_string(ini.readInteger(section, key, theory::kNoInterval))));
        }
    }

    lines.push_back(line("WebSites", "Number", std::to_string(ini.readInteger("WebSites", "Number", 0))));
    for (std::size_t k = 1; k <= s.webSites.size(); ++k) {
        const std::string key = std::to_string(k);
        lines.push_back(line("WebSites", key, s.webSites[k - 1].caption));
        lines.push_back(line("WebSites", key + "A", s.webSites[k - 1].address));
    }

    lines.push_back(line("General MIDI", "Keys", std::to_string(ini.sectionKeys("General MIDI").size())));
    return listing;
}

std::vector<std::string> settingsListing(const std::string& appDir)
{
    return listSettings(appDir).lines;
}

}  // namespace strumox::settings
