// strumox-cli scale: the row a new Scales page row gets, as JSON and as text.
#include "theory/ChordTypes.h"
#include "theory/ScaleData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "MiniJson.h"
#include "TempDir.h"

namespace fs = std::filesystem;
using namespace strumox::theory;
using namespace strumox::testsupport;

namespace {

// A directory holding the scale file as the build writes it.
class ScaleDir : public TempDir {
public:
    ScaleDir() { writeScaleFile(dir()); }
};

class CliScale : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(kCli)) << kCli << " is missing: build the strumox-cli target first";
    }
};

// ---- JSON ------------------------------------------------------------------------------------

struct JsonCase {
    const char* name;
    std::vector<std::string> args;  // scale and key, perhaps --sharps
    int index;
    int root;
    std::vector<std::string> notes;  // spelled as the program spells them, from the root up
};

void PrintTo(const JsonCase& c, std::ostream* os)
{
    *os << c.name;
}

class CliScaleJson : public CliScale, public testing::WithParamInterface<JsonCase> {};

TEST_P(CliScaleJson, PrintsTheNewRowAndItsNotes)
{
    const ScaleDir dir;
    const JsonCase& c = GetParam();
    std::vector<std::string> args{"scale"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--json", "--appdir", dir.path()});
    const CliRun r = runCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.lines().size(), 1u) << r.out;

    const Json j = parseJson(r.out);
    const ScaleDefinition& def = builtInScales()[size_t(c.index)];
    EXPECT_EQ(j["empty"].integer(), 0);
    EXPECT_EQ(j["name"].text(), kScaleNames[size_t(c.index)]);
    EXPECT_EQ(j["tuningName"].text(), " E A D G B E");
    EXPECT_EQ(j["formula"].text(), def.formula);
    EXPECT_EQ(j["tuning"].integers(), (std::vector<int>{64, 59, 55, 50, 45, 40}));
    EXPECT_EQ(j["intervals"].integers(), std::vector<int>(def.intervals.begin(), def.intervals.end()));
    EXPECT_EQ(j["beginFret"].integers(), (std::vector<int>{1, 4, 8, 12, 16, 20}));
    EXPECT_EQ(j["root"].integer(), c.root);
    EXPECT_EQ(j["notes"].texts(), c.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliScaleJson,
    testing::Values(
        JsonCase{"DorianByIndex", {"1", "D"}, 1, 2, {"D", "E", "F", "G", "A", "B", "C"}},
        JsonCase{"DorianByNameAnyCase", {"dorian (MINOR)", "2"}, 1, 2, {"D", "E", "F", "G", "A", "B", "C"}},
        JsonCase{"MinorPentatonicInA", {"Minor Pentatonic", "A"}, 10, 9, {"A", "C", "D", "E", "G"}},
        JsonCase{"EnigmaticInCFlats", {"Enigmatic", "C"}, 23, 0, {"C", "Db", "E", "Gb", "Ab", "Bb", "B"}},
        JsonCase{"EnigmaticInCSharps", {"23", "C", "--sharps"}, 23, 0, {"C", "C#", "E", "F#", "G#", "A#", "B"}},
        JsonCase{"SuperLocrianOnG", {"JM 7 (Super Locrian)", "G"}, 46, 7, {"G", "Ab", "Bb", "B", "Db", "Eb", "F"}},
        JsonCase{"HarmonicMinorOnSharpKey", {"Harmonic Minor (HM)", "F#", "--sharps"}, 33, 6,
                 {"F#", "G#", "A", "B", "C#", "D", "F"}},
        JsonCase{"NameThatStartsWithDigits", {"13b9", "Bb"}, 31, 10, {"Bb", "B", "D", "Eb", "F", "G", "Ab"}},
        JsonCase{"FlatKeyNameWithSmallLetter", {"Whole Tone", "db"}, 15, 1, {"Db", "Eb", "F", "G", "A", "B"}}),
    [](const testing::TestParamInfo<JsonCase>& info) { return std::string(info.param.name); });

TEST_F(CliScale, ReadsTheRecordFromTheFileNotFromItsOwnTable)
{
    const ScaleDir dir;
    // Overwrite record 5 (Mixolydian) with a hand-made one: a major triad spelled out.
    ScaleDefinition mine;
    mine.intervals = {0, 4, 7, 99, 99, 99, 99, 99, 99, 99};
    mine.formula = "1 3 5";
    const auto bytes = mine.toBytes();
    {
        std::fstream f(dir.path() + "/kqs.dat", std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(5 * 37);
        f.write(reinterpret_cast<const char*>(bytes.data()), 37);
    }
    const CliRun r = runCli({"scale", "Mixolydian", "C", "--json", "--appdir", dir.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = parseJson(r.out);
    EXPECT_EQ(j["name"].text(), "Mixolydian");
    EXPECT_EQ(j["formula"].text(), "1 3 5");
    EXPECT_EQ(j["notes"].texts(), (std::vector<std::string>{"C", "E", "G"}));
}

// ---- Text ------------------------------------------------------------------------------------

TEST_F(CliScale, TextStartsWithTheRowHeadingThenTheFields)
{
    const ScaleDir dir;
    const CliRun r = runCli({"scale", "1", "D", "--appdir", dir.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = r.lines();
    ASSERT_GE(lines.size(), 6u) << r.out;
    // Root, name, " Scale", three blanks, the notes in brackets (each after a blank), then the
    // formula in brackets and the tuning name, which itself starts with a blank.
    EXPECT_EQ(lines[0], "D Dorian (Minor) Scale   [  D E F G A B C ]    [ 1 2 b3 4 5 6 b7 ] Tuning:  E A D G B E");
    const std::string all = r.out;
    EXPECT_NE(all.find("Dorian (Minor)\n"), std::string::npos) << all;
    EXPECT_NE(all.find("1 2 b3 4 5 6 b7\n"), std::string::npos) << all;
    EXPECT_NE(all.find(" D E F G A B C\n"), std::string::npos) << all;
    EXPECT_NE(all.find(" 1 4 8 12 16 20\n"), std::string::npos) << all;
}

TEST_F(CliScale, SharpsRenameTheNotesOnly)
{
    const ScaleDir dir;
    const CliRun flats = runCli({"scale", "Whole Tone", "1", "--appdir", dir.path()});
    const CliRun sharps = runCli({"scale", "Whole Tone", "1", "--sharps", "--appdir", dir.path()});
    ASSERT_EQ(flats.status, 0) << flats.err;
    ASSERT_EQ(sharps.status, 0) << sharps.err;
    EXPECT_NE(flats.out.find(" Db Eb F G A B\n"), std::string::npos) << flats.out;
    EXPECT_NE(sharps.out.find(" C# D# F G A B\n"), std::string::npos) << sharps.out;
    EXPECT_NE(sharps.out.find("1 2 3 #4 #5 b7\n"), std::string::npos) << "the formula is not respelled";
}

// ---- Failures --------------------------------------------------------------------------------

TEST_F(CliScale, MissingScaleFileFailsWithTheUsersMessage)
{
    const TempDir empty;
    const CliRun r = runCli({"scale", "0", "C", "--appdir", empty.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: Could Not Find Scale Data File.\n");
}

TEST_F(CliScale, ShortScaleFileFailsWithAReadError)
{
    const ScaleDir dir;
    fs::resize_file(dir.path() + "/kqs.dat", 10 * 37);
    const CliRun r = runCli({"scale", "40", "C", "--appdir", dir.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("kqs.dat"), std::string::npos) << r.err;
    const CliRun before = runCli({"scale", "9", "C", "--appdir", dir.path()});
    EXPECT_EQ(before.status, 1) << "the file is checked whole, records before the cut too";
    EXPECT_EQ(before.out, "");
    EXPECT_EQ(before.err, r.err);
}

struct BadScaleUsage {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

void PrintTo(const BadScaleUsage& c, std::ostream* os)
{
    *os << c.name;
}

class CliScaleBadUsage : public CliScale, public testing::WithParamInterface<BadScaleUsage> {};

TEST_P(CliScaleBadUsage, ExitsWithTwoAndShowsUsage)
{
    const ScaleDir dir;
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--appdir", dir.path()});
    const CliRun r = runCli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Usage: strumox-cli"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliScaleBadUsage,
    testing::Values(BadScaleUsage{"NoKey", {"scale", "0"}, "needs a scale"},
                    BadScaleUsage{"ThreeWords", {"scale", "0", "C", "D"}, "needs a scale"},
                    BadScaleUsage{"IndexPastTheMenu", {"scale", "47", "C"}, "unknown scale '47'"},
                    BadScaleUsage{"NegativeIndex", {"scale", "-1", "C"}, "unknown scale '-1'"},
                    BadScaleUsage{"UnknownName", {"scale", "Bebop", "C"}, "unknown scale 'Bebop'"},
                    BadScaleUsage{"LetterOutsideAToG", {"scale", "0", "H"}, "unknown key 'H'"},
                    BadScaleUsage{"KeyNumberTwelve", {"scale", "0", "12"}, "unknown key '12'"},
                    BadScaleUsage{"KeyWithTwoAccidentals", {"scale", "0", "C##"}, "unknown key 'C##'"},
                    BadScaleUsage{"UnknownOption", {"scale", "0", "C", "--xml"}, "unexpected argument '--xml'"}),
    [](const testing::TestParamInfo<BadScaleUsage>& info) { return std::string(info.param.name); });

}  // namespace
