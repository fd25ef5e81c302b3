#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "TempDir.h"

namespace fs = std::filesystem;
using strumox::settings::IniFile;
using strumox::settings::SettingsWriteError;
using strumox::testsupport::readText;
using strumox::testsupport::TempDir;
using strumox::testsupport::writeText;

namespace {

// An IniFile over a file holding exactly `text`.
struct Loaded {
    explicit Loaded(const std::string& text) : path(dir.file("Kq.ini"))
    {
        writeText(path, text);
    }
    IniFile open() const { return IniFile(path); }
    std::string text() const { return readText(path); }

    TempDir dir;
    std::string path;
};

// ---- Reading text values ---------------------------------------------------------------------

TEST(IniFileReadString, TakesTheValueWithoutSurroundingBlanks)
{
    const Loaded f("[Tab]\nTimingChars =  .=qes \t\nInsertFile=/x/insert section.tab\n");
    const IniFile ini = f.open();
    EXPECT_EQ(ini.readString("Tab", "TimingChars", "?"), ".=qes");
    EXPECT_EQ(ini.readString("Tab", "InsertFile", "?"), "/x/insert section.tab");
}

TEST(IniFileReadString, AbsentKeySectionOrFileGivesTheDefault)
{
    const Loaded f("[Tab]\nTimingChars=abc\n");
    const IniFile ini = f.open();
    EXPECT_EQ(ini.readString("Tab", "InsertFile", "dflt"), "dflt");
    EXPECT_EQ(ini.readString("Main", "TimingChars", "dflt"), "dflt");

    const TempDir dir;
    const IniFile missing(dir.file("nothing.ini"));
    EXPECT_EQ(missing.readString("Tab", "TimingChars", "dflt"), "dflt");
    EXPECT_FALSE(missing.hasSection("Tab"));
}

TEST(IniFileReadString, EmptyValueIsReadAsEmptyNotAsDefault)
{
    const Loaded f("[WebSites]\n1=\n");
    EXPECT_EQ(f.open().readString("WebSites", "1", "dflt"), "");
}

TEST(IniFileReadString, LongValueIsCutTo1023Characters)
{
    const std::string ascii(1100, 'a');
    std::string accented;
    for (int i = 0; i < 1100; ++i)
        accented += "\xC3\xA9";  // U+00E9, two bytes each
    const std::string exact(1023, 'z');
    const Loaded f("[A]\nascii=" + ascii + "\naccented=" + accented + "\nexact=" + exact + "\n");
    const IniFile ini = f.open();

    EXPECT_EQ(ini.readString("A", "ascii", ""), ascii.substr(0, 1023));
    // Characters, not bytes: a cut never splits a UTF-8 sequence.
    EXPECT_EQ(ini.readString("A", "accented", ""), accented.substr(0, 2 * 1023));
    EXPECT_EQ(ini.readString("A", "exact", ""), exact);
}

TEST(IniFileReadString, SectionAndKeyNamesIgnoreCase)
{
    const Loaded f("[MAIN]\nsspeed=-120\n[directory]\nCHORD=/songs\n");
    const IniFile ini = f.open();
    EXPECT_EQ(ini.readInteger("Main", "Sspeed", 0), -120);
    EXPECT_EQ(ini.readString("Directory", "Chord", ""), "/songs");
    EXPECT_TRUE(ini.hasSection("Directory"));
    EXPECT_TRUE(ini.hasSection("MAIN"));
}

TEST(IniFileReadString, FirstOfDuplicateKeysWins)
{
    const Loaded f("[Click]\nNote=40\nnote=50\n");
    EXPECT_EQ(f.open().readInteger("Click", "Note", 0), 40);
}

TEST(IniFileReadString, LongSectionsFollowTheRulesOfShortOnes)
{
    // Short sections are searched line by line, long ones through a map of their keys: every
    // size must read alike, the first of two spellings winning and bare keys giving the default.
    for (int size = 1; size <= 40; ++size) {
        std::string text = "[General MIDI]\n";
        for (int k = 0; k < size; ++k)
            text += "Voice " + std::to_string(k) + (k % 5 == 4 ? "\n" : "=" + std::to_string(k) + "\n");
        text += "[Other]\nX=1\n[GENERAL midi]\nvoice 0=late\nLate=2\n";
        const Loaded f(text);
        IniFile ini = f.open();
        for (int k = 0; k < size; ++k) {
            const std::string name = (k % 2 ? "VOICE " : "voice ") + std::to_string(k);
            EXPECT_EQ(ini.readInteger("general MIDI", name, -1), k % 5 == 4 ? -1 : k) << size << " keys, " << name;
        }
        EXPECT_EQ(ini.readInteger("General MIDI", "late", -1), 2) << size;
        EXPECT_EQ(ini.readInteger("General MIDI", "Voice " + std::to_string(size), -1), -1) << size;
        EXPECT_EQ(ini.sectionKeys("General MIDI").size(), static_cast<std::size_t>(size) + 2) << size;

        // A key written after the first lookup is found by the next one.
        ini.writeInteger("General MIDI", "Added", 7);
        ini.writeInteger("General MIDI", "voice 0", 9);
        EXPECT_EQ(ini.readInteger("general midi", "ADDED", -1), 7) << size;
        EXPECT_EQ(ini.readInteger("General MIDI", "Voice 0", -1), 9) << size;
        EXPECT_EQ(ini.sectionKeys("General MIDI").back(), "Added") << size;
    }
}

TEST(IniFileReadString, RepeatedSectionHeadersFormOneSection)
{
    const Loaded f("[Main]\nBass=1\n[Click]\nNote=40\n[main]\nSpeechVol=90\nBass=0\n");
    const IniFile ini = f.open();
    EXPECT_EQ(ini.readInteger("Main", "SpeechVol", 0), 90);
    EXPECT_TRUE(ini.readBool("Main", "Bass", false));  // the first block's Bass comes first
    EXPECT_EQ(ini.sectionKeys("Main"), (std::vector<std::string>{"Bass", "SpeechVol", "Bass"}));
}

TEST(IniFileReadString, LinesThatAreNotKeysAreNeverRead)
{
    const Loaded f("Orphan=1\n"
                   "; Comment=2\n"
                   "[Main]\n"
                   "  ;Bass=1\n"
                   "# SpeechOn=1\n"
                   "[broken\n"
                   "=7\n"
                   "Bare name\n");
    const IniFile ini = f.open();
    EXPECT_EQ(ini.readString("", "Orphan", "d"), "d");
    EXPECT_EQ(ini.readString("Main", "Orphan", "d"), "d");
    EXPECT_EQ(ini.readString("Main", "; Comment", "d"), "d");
    EXPECT_FALSE(ini.readBool("Main", "Bass", false));
    EXPECT_FALSE(ini.readBool("Main", "# SpeechOn", false));
    EXPECT_EQ(ini.readString("Main", "", "d"), "d");
    // A bare line is a key without a value: listed, but reads give the default.
    EXPECT_EQ(ini.readString("Main", "Bare name", "d"), "d");
    EXPECT_EQ(ini.sectionKeys("Main"), std::vector<std::string>{"Bare name"});
}

TEST(IniFileReadString, CrLfAndLfFilesReadAlike)
{
    const Loaded lf("[Main]\nSpeechVol=90\n[Tab]\nTimingChars=.=q\n");
    const Loaded crlf("[Main]\r\nSpeechVol=90\r\n[Tab]\r\nTimingChars=.=q");  // no final line end
    for (const Loaded* f : {&lf, &crlf}) {
        const IniFile ini = f->open();
        EXPECT_EQ(ini.readInteger("Main", "SpeechVol", 0), 90);
        EXPECT_EQ(ini.readString("Tab", "TimingChars", ""), ".=q");
    }
}

TEST(IniFileReadString, EveryLineEndReadsAlikeMixedOrNot)
{
    // The same file with each kind of line end, and with all three in turn.
    const std::vector<std::string> lines{"; mine", "[Main]", "SpeechVol=90", "Bass", "[Tab]", "TimingChars=.=q", "",
                                         "[General MIDI]", "Nylon", "Steel="};
    for (const std::string ends : {"\n", "\r\n", "\r", "mixed"}) {
        for (const bool finalEnd : {true, false}) {
            std::string text;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const char* const mixed[] = {"\n", "\r\n", "\r"};
                const std::string end = ends == "mixed" ? mixed[i % 3] : ends;
                text += lines[i] + (i + 1 < lines.size() || finalEnd ? end : "");
            }
            const Loaded f(text);
            const IniFile ini = f.open();
            const std::string what = ends == "\n" ? "LF" : ends == "\r\n" ? "CRLF" : ends == "\r" ? "CR" : ends;
            EXPECT_EQ(ini.readInteger("Main", "SpeechVol", 0), 90) << what;
            EXPECT_EQ(ini.readString("Tab", "TimingChars", ""), ".=q") << what;
            EXPECT_EQ(ini.sectionKeys("Main"), (std::vector<std::string>{"SpeechVol", "Bass"})) << what;
            EXPECT_EQ(ini.sectionKeys("General MIDI"), (std::vector<std::string>{"Nylon", "Steel"})) << what;
        }
    }
}

TEST(IniFileReadString, CrBeforeLfIsOneLineEndButALoneCrEndsALine)
{
    const Loaded f("[Main]\r\r\nBass=1\rSspeed=-5\r\n\r\nSpeechVol=7");
    const IniFile ini = f.open();
    EXPECT_TRUE(ini.readBool("Main", "Bass", false));
    EXPECT_EQ(ini.readInteger("Main", "Sspeed", 0), -5);
    EXPECT_EQ(ini.readInteger("Main", "SpeechVol", 0), 7);
}

TEST(IniFileReadString, ByteOrderMarkIsSkippedAndKept)
{
    const Loaded f("\xEF\xBB\xBF[Main]\nSpeechVol=90\n");
    IniFile ini = f.open();
    EXPECT_EQ(ini.readInteger("Main", "SpeechVol", 0), 90);
    ini.writeInteger("Main", "SpeechVol", 91);
    ini.commit();
    EXPECT_EQ(f.text(), "\xEF\xBB\xBF[Main]\nSpeechVol=91\n");
}

// ---- Reading integers and booleans -----------------------------------------------------------

struct IntegerCase {
    const char* name;
    const char* text;
    int expected;  // with default 777
};

class IniFileReadInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(IniFileReadInteger, ParsesOrFallsBack)
{
    const Loaded f(std::string("[Click]\nNote=") + GetParam().text + "\n");
    EXPECT_EQ(f.open().readInteger("Click", "Note", 777), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniFileReadInteger,
    testing::Values(IntegerCase{"Decimal", "34", 34}, IntegerCase{"Negative", "-5", -5},
                    IntegerCase{"ExplicitPlus", "+7", 7}, IntegerCase{"Zero", "0", 0},
                    IntegerCase{"LowerHex", "0x22", 34}, IntegerCase{"UpperHex", "0X22", 34},
                    IntegerCase{"HexLetters", "0xfF", 255}, IntegerCase{"HexAllBitsIsMinusOne", "0xFFFFFFFF", -1},
                    IntegerCase{"HexPrefixAlone", "0x", 777}, IntegerCase{"HexBadDigit", "0x2G", 777},
                    IntegerCase{"HexTooWide", "0x100000000", 777}, IntegerCase{"HexWithSign", "0x-5", 777},
                    IntegerCase{"SignedHexIsNotHex", "-0x22", 777}, IntegerCase{"TrailingText", "12abc", 777},
                    IntegerCase{"Letters", "abc", 777}, IntegerCase{"Empty", "", 777},
                    IntegerCase{"SignAlone", "-", 777}, IntegerCase{"DoubleSign", "+-3", 777},
                    IntegerCase{"InnerBlank", "1 2", 777}, IntegerCase{"Fraction", "1.5", 777},
                    IntegerCase{"IntMax", "2147483647", INT_MAX}, IntegerCase{"IntMin", "-2147483648", INT_MIN},
                    IntegerCase{"AboveIntMax", "2147483648", 777}),
    [](const testing::TestParamInfo<IntegerCase>& info) { return std::string(info.param.name); });

TEST(IniFileReadIntegerAbsent, MissingKeyOrBareKeyGivesTheDefault)
{
    const Loaded f("[Click]\nVolume\n");
    const IniFile ini = f.open();
    EXPECT_EQ(ini.readInteger("Click", "Note", -9), -9);
    EXPECT_EQ(ini.readInteger("Click", "Volume", -9), -9);
}

struct BoolCase {
    const char* name;
    const char* line;  // the whole key line, or "" for none
    bool def;
    bool expected;
};

class IniFileReadBool : public testing::TestWithParam<BoolCase> {};

TEST_P(IniFileReadBool, NonZeroIntegerIsTrue)
{
    const Loaded f(std::string("[Main]\n") + GetParam().line + "\n");
    EXPECT_EQ(f.open().readBool("Main", "Bass", GetParam().def), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniFileReadBool,
    testing::Values(BoolCase{"One", "Bass=1", false, true}, BoolCase{"Two", "Bass=2", false, true},
                    BoolCase{"MinusOne", "Bass=-1", false, true}, BoolCase{"Zero", "Bass=0", true, false},
                    BoolCase{"HexZero", "Bass=0x0", true, false}, BoolCase{"HexNonZero", "Bass=0x10", false, true},
                    BoolCase{"TextKeepsDefaultTrue", "Bass=yes", true, true},
                    BoolCase{"TextKeepsDefaultFalse", "Bass=yes", false, false},
                    BoolCase{"AbsentKeepsDefaultTrue", "", true, true},
                    BoolCase{"AbsentKeepsDefaultFalse", "", false, false}),
    [](const testing::TestParamInfo<BoolCase>& info) { return std::string(info.param.name); });

// ---- Writing values --------------------------------------------------------------------------

TEST(IniFileWrite, BooleanTrueIsWrittenBackAsOne)
{
    const Loaded f("[Main]\nBass=2\n");
    IniFile ini = f.open();
    const bool bass = ini.readBool("Main", "Bass", false);
    EXPECT_TRUE(bass);
    ini.writeBool("Main", "Bass", bass);
    ini.writeBool("Main", "LeftHand", false);
    ini.commit();
    EXPECT_EQ(f.text(), "[Main]\nBass=1\nLeftHand=0\n");
}

TEST(IniFileWrite, IntegersAreWrittenInDecimal)
{
    const Loaded f("[Click]\nNote=0x22\n");
    IniFile ini = f.open();
    ini.writeInteger("Click", "Note", ini.readInteger("Click", "Note", 0));
    ini.writeInteger("Main", "Sspeed", -300);
    ini.commit();
    EXPECT_EQ(f.text(), "[Click]\nNote=34\n\n[Main]\nSspeed=-300\n");
}

TEST(IniFileWrite, WrittenValuesReadBackInTheSameBatch)
{
    const TempDir dir;
    IniFile ini(dir.file("Kq.ini"));
    ini.writeString("Directory", "Chord", "/home/me/chords");
    ini.writeInteger("Glowboard", "RootSpeed", 425);
    ini.writeBool("Glowboard", "FlashNote", true);
    EXPECT_EQ(ini.readString("directory", "chord", ""), "/home/me/chords");
    EXPECT_EQ(ini.readInteger("Glowboard", "RootSpeed", 0), 425);
    EXPECT_TRUE(ini.readBool("Glowboard", "FlashNote", false));
}

TEST(IniFileWrite, KeepsEveryOtherLineUntouchedAndInPlace)
{
    const std::string before = "; Strumox settings\n"
                               "\n"
                               "[MidiOut]\n"
                               "Device = 2\n"
                               "\n"
                               "[Main]\n"
                               "; strum speed is a scroll position\n"
                               "SSPEED = -120\n"
                               "Loose text line\n"
                               "Bass=0\n"
                               "\n"
                               "[General MIDI]\n"
                               "Acoustic Grand Piano=\n";
    const Loaded f(before);
    IniFile ini = f.open();
    ini.writeInteger("main", "Sspeed", -250);
    ini.commit();

    // The key keeps its line and the file's spelling of its name; nothing else moves.
    std::string expected = before;
    expected.replace(expected.find("SSPEED = -120"), 13, "SSPEED=-250");
    EXPECT_EQ(f.text(), expected);
}

TEST(IniFileWrite, CrLfFileIsWrittenBackWithLf)
{
    const Loaded f("[Main]\r\nBass=0\r\n; note\r\n");
    IniFile ini = f.open();
    ini.writeBool("Main", "Bass", true);
    ini.commit();
    EXPECT_EQ(f.text(), "[Main]\nBass=1\n; note\n");
}

TEST(IniFileWrite, CrAndMixedFilesAreWrittenBackWithLfKeepingEveryLine)
{
    for (const std::string& text : {std::string("[Main]\rBass=0\r; note\r\r[Tab]\rX=1"),
                                     std::string("[Main]\r\nBass=0\r; note\n\r\n[Tab]\rX=1\r")}) {
        const Loaded f(text);
        IniFile ini = f.open();
        ini.writeBool("Main", "Bass", true);
        ini.commit();
        EXPECT_EQ(f.text(), "[Main]\nBass=1\n; note\n\n[Tab]\nX=1\n");
    }
}

TEST(IniFileWrite, NewKeyGoesAfterTheLastKeyOfItsSection)
{
    const Loaded f("[Main]\n"
                   "Bass=0\n"
                   "; trailing comment\n"
                   "\n"
                   "[Click]\n"
                   "Note=34\n"
                   "[main]\n"
                   "Sspeed=-300\n"
                   "\n"
                   "[Empty]\n"
                   "; nothing yet\n");
    IniFile ini = f.open();
    ini.writeBool("MAIN", "LeftHand", true);
    ini.writeInteger("Empty", "Value", 5);
    ini.commit();
    EXPECT_EQ(f.text(), "[Main]\n"
                        "Bass=0\n"
                        "; trailing comment\n"
                        "\n"
                        "[Click]\n"
                        "Note=34\n"
                        "[main]\n"
                        "Sspeed=-300\n"
                        "LeftHand=1\n"
                        "\n"
                        "[Empty]\n"
                        "Value=5\n"
                        "; nothing yet\n");
}

TEST(IniFileWrite, NewKeyJoinsTheLastKeyEvenWhenALaterBlockIsEmpty)
{
    const Loaded f("[Glowboard]\nAnimate=1\n[Main]\nBass=0\n[GLOWBOARD]\n; reserved\n");
    IniFile ini = f.open();
    ini.writeBool("Glowboard", "ShowFlash", true);
    ini.commit();
    EXPECT_EQ(f.text(), "[Glowboard]\nAnimate=1\nShowFlash=1\n[Main]\nBass=0\n[GLOWBOARD]\n; reserved\n");
}

TEST(IniFileWrite, KeyOfMissingSectionAppendsTheSectionAtTheEnd)
{
    const Loaded f("[Main]\nBass=0");  // no final line end
    IniFile ini = f.open();
    ini.writeString("Tab", "TimingChars", ".=qes");
    ini.writeString("Tab", "InsertFile", "/x.tab");
    ini.commit();
    EXPECT_EQ(f.text(), "[Main]\nBass=0\n\n[Tab]\nTimingChars=.=qes\nInsertFile=/x.tab\n");
}

TEST(IniFileWrite, FirstWriteCreatesTheFile)
{
    const TempDir dir;
    const std::string path = dir.file("Kq.ini");
    IniFile ini(path);
    ini.writeInteger("Main", "Sspeed", -300);
    ini.commit();
    EXPECT_EQ(readText(path), "[Main]\nSspeed=-300\n");
}

TEST(IniFileWrite, BareKeyLineGetsTheValue)
{
    const Loaded f("[General MIDI]\nAcoustic Grand Piano\nBright Piano\n");
    IniFile ini = f.open();
    ini.writeString("General MIDI", "bright piano", "x");
    ini.commit();
    EXPECT_EQ(f.text(), "[General MIDI]\nAcoustic Grand Piano\nBright Piano=x\n");
}

TEST(IniFileWrite, LineBreaksInAValueBecomeBlanks)
{
    const TempDir dir;
    const std::string path = dir.file("Kq.ini");
    IniFile ini(path);
    ini.writeString("Tab", "TimingChars", "a\r\nb\nc");
    ini.commit();
    EXPECT_EQ(readText(path), "[Tab]\nTimingChars=a  b c\n");
}

// ---- Commit: only when changed, all or nothing -----------------------------------------------

TEST(IniFileCommit, NothingIsWrittenWithoutAChange)
{
    const TempDir dir;
    {
        IniFile ini(dir.file("Kq.ini"));
        EXPECT_EQ(ini.readInteger("Main", "Sspeed", -300), -300);
        ini.eraseSection("Main");  // absent: not a change
        ini.commit();
    }
    EXPECT_FALSE(fs::exists(dir.file("Kq.ini")));

    // A batch that only reads never writes, so even a path that cannot be written commits quietly.
    fs::create_directory(dir.file("Kq.ini"));
    IniFile ini(dir.file("Kq.ini"));
    EXPECT_NO_THROW(ini.commit());
}

TEST(IniFileCommit, RewritingTheSameValueLeavesTheFileAlone)
{
    const Loaded f("[Main]\nSspeed = -300\n");
    IniFile ini = f.open();
    ini.writeInteger("Main", "Sspeed", -300);
    // If this were taken as a change, the commit would try to write and fail here.
    fs::create_directory(f.path + ".tmp");
    EXPECT_NO_THROW(ini.commit());
    EXPECT_EQ(f.text(), "[Main]\nSspeed = -300\n");
}

TEST(IniFileCommit, SecondCommitWithoutNewChangesWritesNothing)
{
    const Loaded f("[Main]\nBass=0\n");
    IniFile ini = f.open();
    ini.writeBool("Main", "Bass", true);
    ini.commit();
    fs::create_directory(f.path + ".tmp");
    EXPECT_NO_THROW(ini.commit());
    EXPECT_EQ(f.text(), "[Main]\nBass=1\n");
}

void expectWriteError(IniFile& ini, const std::string& path)
{
    try {
        ini.commit();
        ADD_FAILURE() << "commit did not throw";
    } catch (const SettingsWriteError& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + path).c_str());
        EXPECT_EQ(e.path(), path);
    }
}

TEST(IniFileCommit, ParentThatIsAFileFailsWithTheFileName)
{
    const TempDir dir;
    writeText(dir.file("plain"), "not a directory");
    const std::string path = dir.file("plain") + "/Kq.ini";
    IniFile ini(path);
    ini.writeInteger("Main", "Sspeed", 1);
    expectWriteError(ini, path);
    EXPECT_EQ(readText(dir.file("plain")), "not a directory");
}

TEST(IniFileCommit, TargetThatIsADirectoryFailsAndLeavesNoTemporary)
{
    const TempDir dir;
    const std::string path = dir.file("Kq.ini");
    fs::create_directory(path);
    IniFile ini(path);
    ini.writeInteger("Main", "Sspeed", 1);
    expectWriteError(ini, path);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(IniFileCommit, FailedWriteLeavesTheOldFileByteIdentical)
{
    const std::string old = "; keep me\r\n[Main]\r\nSspeed=-120\r\n";
    const Loaded f(old);
    IniFile ini = f.open();
    ini.writeInteger("Main", "Sspeed", -300);
    ini.eraseSection("Main");
    fs::create_directory(f.path + ".tmp");  // the temporary cannot be created
    expectWriteError(ini, f.path);
    EXPECT_EQ(f.text(), old);
}

TEST(IniFileCommit, LeftoverTemporaryFileIsReplaced)
{
    const Loaded f("[Main]\nBass=0\n");
    writeText(f.path + ".tmp", "half-written garbage");
    IniFile ini = f.open();
    ini.writeBool("Main", "Bass", true);
    ini.commit();
    EXPECT_EQ(f.text(), "[Main]\nBass=1\n");
    EXPECT_FALSE(fs::exists(f.path + ".tmp"));
}

TEST(IniFileCommit, KeepsThePermissionBitsOfTheOldFile)
{
    const Loaded f("[Main]\nBass=0\n");
    ASSERT_EQ(::chmod(f.path.c_str(), 0600), 0);
    IniFile ini = f.open();
    ini.writeBool("Main", "Bass", true);
    ini.commit();
    struct stat st {};
    ASSERT_EQ(::stat(f.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// ---- Listing and erasing sections ------------------------------------------------------------

TEST(IniFileSectionKeys, ListsKeysInFileOrderAsSpelled)
{
    const Loaded f("[General MIDI]\n"
                   "Acoustic Grand Piano=\n"
                   "; a comment is no instrument\n"
                   "Bright Acoustic Piano=ignored value\n"
                   "\n"
                   "Electric Grand Piano\n"
                   "[Other]\n"
                   "X=1\n");
    const IniFile ini = f.open();
    EXPECT_EQ(ini.sectionKeys("general midi"),
              (std::vector<std::string>{"Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano"}));
    EXPECT_TRUE(ini.sectionKeys("Missing").empty());
}

TEST(IniFileSectionKeys, ListingStopsWhereTheBufferIsFull)
{
    // Each name takes its length plus a terminator, and one more terminator ends the list, all
    // within 8192 characters. 818 nine-character names use 8181 of them; a last name of 10
    // characters fills the buffer exactly, one of 11 is left out.
    const auto listing = [](const std::string& lastName) {
        std::ostringstream text;
        text << "[General MIDI]\n";
        for (int i = 0; i < 818; ++i)
            text << "Voice" << 1000 + i << "=\n";
        text << lastName << "=\nAfter=\n";
        const Loaded f(text.str());
        return f.open().sectionKeys("General MIDI");
    };
    const auto exact = listing("TenLetters");
    ASSERT_EQ(exact.size(), 819u);
    EXPECT_EQ(exact.front(), "Voice1000");
    EXPECT_EQ(exact.back(), "TenLetters");

    const auto over = listing("ElevenChars");
    ASSERT_EQ(over.size(), 818u);
    EXPECT_EQ(over.back(), "Voice1817");
}

TEST(IniFileEraseSection, RemovesEveryBlockOfTheSectionAndNothingElse)
{
    const Loaded f("; head\n"
                   "[62]\n"
                   "Name=Add9\n"
                   "; belongs to 62\n"
                   "\n"
                   "[UserChords]\n"
                   "Number=1\n"
                   "[62]\n"
                   "I0=0\n"
                   "[63]\n"
                   "Name=Six\n");
    IniFile ini = f.open();
    ini.eraseSection("62");
    EXPECT_FALSE(ini.hasSection("62"));
    EXPECT_EQ(ini.readString("62", "Name", "NONAME"), "NONAME");
    ini.commit();
    EXPECT_EQ(f.text(), "; head\n"
                        "[UserChords]\n"
                        "Number=1\n"
                        "[63]\n"
                        "Name=Six\n");
}

TEST(IniFileEraseSection, WritingAfterEraseStartsTheSectionAfresh)
{
    const Loaded f("[63]\nName=Old\nFormula=1 3 5\n[WebSites]\nNumber=0\n");
    IniFile ini = f.open();
    ini.eraseSection("63");
    ini.writeString("63", "Name", "New");
    ini.commit();
    EXPECT_EQ(f.text(), "[WebSites]\nNumber=0\n\n[63]\nName=New\n");
}

}  // namespace
