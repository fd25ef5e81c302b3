#pragma once
// Every setting the program keeps in "Kq.ini" (in the program directory), with its default, and
// the batches that read and write them. Each function opens the file for one batch (IniFile) and
// lets it go before returning. Every appDir argument ends with '/'.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "theory/ScaleTypes.h"

namespace strumox::settings {

inline constexpr const char* kSettingsFileName = "Kq.ini";
// The 62 built-in chord types take positions 0..61 of the chord-type list; user chord i is
// position 62 + i and keeps its Name, Formula and I0..I6 in the section named by that number.
inline constexpr int kFirstUserChordSection = 62;

std::string settingsFilePath(const std::string& appDir);  // appDir + "Kq.ini"
std::string userChordSection(int index);                  // index 0 -> "62"

// Positions in AppSettings::pageDirs, the last-used folder of each kind of file.
enum PageDirIndex : std::size_t { kDirChord, kDirPrint, kDirDesign, kDirPlay, kDirScale, kDirTab, kDirTabRaw };

struct WebSite {
    std::string caption;  // key "k" of "WebSites"
    std::string address;  // key "kA": a web address or a file, handed to the desktop to open
};

struct AppSettings {
    int midiInDevice = 0;
    int midiOutDevice = 0;
    int guitarPatch = 25;  // MIDI program, 0-based
    int guitarChannel = 0;
    int guitarVolume = 100;  // note velocity
    int bassPatch = 33;
    int bassChannel = 1;
    int bassVolume = 100;
    int clickChannel = 9;
    int clickNote = 34;
    int clickVolume = 65;
    bool bassNote = false;  // "Bass Note" button
    int strumSpeed = -300;  // strum-speed scroll bar position
    bool leftHanded = false;
    bool showFull = false;  // "Display Full Fretboard" button
    std::array<std::string, 7> pageDirs;  // indexed by PageDirIndex
    int scaleFrets = theory::kDefaultScaleSpan;  // frets one scale position spans; read into 4..6
    int countOff = 1;    // count-off measures, 1..4
    bool ppTinyFont = true;
    bool cdTinyFont = true;
    int speechVol = 130;  // 0..255
    bool speechOn = false;
    bool glowAnimate = true;
    bool glowShowFlash = false;
    int switch1 = 0;  // action of foot switch 1
    int switch2 = 1;
    bool reverseSwitch = false;
    int rootSpeed = 350;  // root-note flash interval, milliseconds
    bool flashNote = false;
    bool flashStop = false;
    // Input bit values the two foot switches listen to, as ReverseSwitch assigns them.
    int switch1Bit = 1;
    int switch2Bit = 2;
    std::string timingChars = ".=qes";
    std::string insertFile;
    std::vector<std::string> userChordNames;  // user chord i = chord-type list entry 62 + i
    std::vector<WebSite> webSites;            // entry k (1-based in the file) at index k - 1

    // Folder and insert-file defaults lie in appDir.
    static AppSettings defaults(const std::string& appDir);
};

// Sets switch1Bit / switch2Bit from reverseSwitch: 1 / 2 normally, 2 / 1 when reversed.
void applyReverseSwitch(AppSettings& settings);

// The most user chords and web-site entries a read lists, whatever the file's count claims.
inline constexpr int kMaxListEntries = 10000;

// What a read batch found that the user should be told; both empty for a sound file.
struct ReadNotices {
    // The file exists but could not be read: "Unable to read <path>: <reason>. Settings will not
    // be saved." The values read are then the defaults, and no batch writes over the file.
    std::string unreadable;
    // UserChords/Number claims more user chords than have a section, or more than are listed.
    std::string userChords;

    // The non-empty ones, in that order, one message each.
    std::vector<std::string> messages() const;
};

// The start-up batch. A missing file or key gives the default; counts below 0 give empty lists.
// A count above kMaxListEntries is taken as a damaged file and read as kMaxListEntries. User
// chord i is listed whether or not its section exists ("NONAME" when it does not), so that list
// entry 62 + i stays section 62 + i. Scales/Frets outside 4..6 is put into that range.
struct StartupSettings {
    AppSettings values;
    ReadNotices notices;
};
StartupSettings loadStartupSettings(const std::string& appDir);
AppSettings readStartupSettings(const std::string& appDir);  // the values alone

// The batches that write. Only the keys each owns are touched; the rest of the file stays as it
// is. Throw SettingsWriteError when the file cannot be replaced.
// At exit: strum speed, bass note, the seven folders, handedness, full fretboard, Glowboard
// animation and root flash.
void writeExitSettings(const std::string& appDir, const AppSettings& settings);
// When the Preferences dialog is accepted: MIDI devices and voices, click, scale span, count-off,
// fonts, speech, foot switches and flashing, tab timing characters and insert file. Clamps
// Click/Note to 0..127, PlayPage/CountOff to 1..4 and Scales/Frets to 4..6 on the way out.
void writePreferenceSettings(const std::string& appDir, const AppSettings& settings);

// "Section/Key=value" for every key with its effective value (the file's, else the default), in
// the settings table's order: the fixed keys, UserChords/Number with each user chord's Name,
// Formula and I0..I6, WebSites/Number with each entry's k and kA, then "General MIDI/Keys=<count>".
// Booleans print as 0 / 1. User chords and web sites as the start-up batch lists them.
struct SettingsListing {
    std::vector<std::string> lines;  // empty when the file could not be read
    ReadNotices notices;
};
SettingsListing listSettings(const std::string& appDir);
std::vector<std::string> settingsListing(const std::string& appDir);  // the lines alone

}  // namespace strumox::settings
