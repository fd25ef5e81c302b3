// strumox-cli formulas and chord, run as a user would, over data files written for the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "CliRunner.h"
#include "MiniJson.h"
#include "pages/ChordFinder.h"
#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"

namespace fs = std::filesystem;
using namespace strumox;
using namespace strumox::testsupport;

namespace {

template <size_t N>
std::vector<long> asLongs(const std::array<std::uint8_t, N>& a)
{
    return std::vector<long>(a.begin(), a.end());
}

// A program directory with freshly written chord data, removed afterwards.
class CliChord : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = (fs::temp_directory_path() / ("strumox-cli-chord-" + std::to_string(::getpid()))).string();
        fs::create_directories(s_dir);
        theory::writeChordDataFiles(s_dir + "/");
    }
    static void TearDownTestSuite() { fs::remove_all(s_dir); }

    void SetUp() override { ASSERT_TRUE(fs::exists(kCli)) << kCli << " is missing: build strumox-cli first"; }

    static CliRun run(std::vector<std::string> args)
    {
        args.push_back("--appdir");
        args.push_back(s_dir);
        return runCli(args);
    }

    static std::string s_dir;
};

std::string CliChord::s_dir;

// ---- formulas ----------------------------------------------------------------------------------

TEST_F(CliChord, FormulasListsTheSixtyTwoTypesInFileOrder)
{
    const CliRun r = run({"formulas"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto records = theory::builtInFormulaRecords();
    std::istringstream in(r.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 62u);
    const std::regex columns(R"(^\s*(\d+)\s{2,}(\S+)\s{2,}(.+?)\s{2,}([\d ]+)$)");
    for (size_t g = 0; g < lines.size(); ++g) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[g], m, columns)) << lines[g];
        EXPECT_EQ(std::stoul(m[1]), g);
        EXPECT_EQ(m[2], records[g].suffix);
        EXPECT_EQ(m[3], records[g].text);
        std::istringstream numbers(m[4]);
        std::vector<int> intervals;
        for (int v; numbers >> v;)
            intervals.push_back(v);
        EXPECT_EQ(static_cast<int>(intervals.size()), theory::intervalCount(records[g].intervals)) << lines[g];
        for (size_t i = 0; i < intervals.size(); ++i)
            EXPECT_EQ(intervals[i], records[g].intervals[i]) << lines[g];
    }
}

TEST_F(CliChord, FormulasAsJsonCarryEveryRecordField)
{
    const CliRun r = run({"formulas", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = parseJson(r.out);
    const auto records = theory::builtInFormulaRecords();
    ASSERT_EQ(doc.items().size(), 62u);
    for (size_t g = 0; g < 62; ++g) {
        const Json& j = doc.items()[g];
        EXPECT_EQ(j["index"].number(), static_cast<long>(g));
        EXPECT_EQ(j["suffix"].text(), records[g].suffix);
        EXPECT_EQ(j["formula"].text(), records[g].text);
        EXPECT_EQ(j["intervals"].numbers(), asLongs(records[g].intervals));
    }
}

TEST_F(CliChord, FormulasWithoutTheFormulaFileFail)
{
    const std::string empty = s_dir + "-empty";
    fs::create_directories(empty);
    const CliRun r = runCli({"formulas", "--appdir", empty});
    fs::remove_all(empty);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(empty + "/kqcd3.dat"), std::string::npos) << r.err;
}

// ---- chord -------------------------------------------------------------------------------------

TEST_F(CliChord, ChordAsJsonIsTheSixDiagramRecordsOfTheFinder)
{
    const CliRun r = run({"chord", "D", "m7", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = parseJson(r.out);
    const auto lookup = theory::lookupChord(s_dir + "/", 20, 2, nullptr);
    ASSERT_TRUE(lookup);
    const auto expected = pages::diagramsFromLookup(*lookup, 2);
    ASSERT_EQ(doc.items().size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const Json& j = doc.items()[i];
        const pages::DiagramRecord& d = expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(j.fields().size(), 12u);
        EXPECT_EQ(j["empty"].number(), 0);
        EXPECT_EQ(j["name"].text(), "m7");
        EXPECT_EQ(j["tuningName"].text(), "Standard");
        EXPECT_EQ(j["formula"].text(), "1 b3 5 b7");
        EXPECT_EQ(j["tuning"].numbers(), (std::vector<long>{64, 59, 55, 50, 45, 40}));
        EXPECT_EQ(j["frets"].numbers(), asLongs(d.frets));
        EXPECT_EQ(j["markers"].numbers(), asLongs(d.markers));
        EXPECT_EQ(j["intervals"].numbers(), (std::vector<long>{0, 3, 7, 10, 255, 255, 255}));
        EXPECT_EQ(j["sounding"].numbers(), asLongs(d.sounding));
        EXPECT_EQ(j["baseFret"].number(), d.baseFret);
        EXPECT_EQ(j["root"].number(), 2);
        EXPECT_EQ(j["bass"].number(), 26);
    }
}

struct SameChord {
    const char* name;
    std::vector<std::string> a, b;
};

class CliChordSpellings : public CliChord, public testing::WithParamInterface<SameChord> {};

TEST_P(CliChordSpellings, NameTheSameChord)
{
    std::vector<std::string> a = GetParam().a, b = GetParam().b;
    a.insert(a.begin(), "chord");
    b.insert(b.begin(), "chord");
    a.push_back("--json");
    b.push_back("--json");
    const CliRun ra = run(a), rb = run(b);
    ASSERT_EQ(ra.status, 0) << ra.err;
    ASSERT_EQ(rb.status, 0) << rb.err;
    EXPECT_EQ(ra.out, rb.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliChordSpellings,
    testing::Values(SameChord{"SharpAndFlat", {"C#", "m7"}, {"Db", "m7"}},
                    SameChord{"NoteNumber", {"1", "m7"}, {"Db", "m7"}},
                    SameChord{"LowerCaseLetter", {"db", "m7"}, {"Db", "m7"}},
                    SameChord{"FormulaIndex", {"Db", "20"}, {"Db", "m7"}},
                    SameChord{"HashedFormulaIndex", {"Db", "#20"}, {"Db", "m7"}},
                    SameChord{"MajorByIndex", {"G", "0"}, {"G", "major"}},
                    SameChord{"MinorByIndex", {"G", "19"}, {"G", "minor"}},
                    SameChord{"HashSevenIsSus4", {"A", "#7"}, {"A", "sus4"}},
                    SameChord{"ESharpIsF", {"E#", "maj7"}, {"F", "maj7"}}),
    [](const testing::TestParamInfo<SameChord>& info) { return std::string(info.param.name); });

TEST_F(CliChord, ACaptionThatIsANumberMeansTheCaption)
{
    const CliRun r = run({"chord", "C", "7", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = parseJson(r.out);
    EXPECT_EQ(doc.items().at(0)["name"].text(), "7");
    EXPECT_EQ(doc.items().at(0)["intervals"].numbers(), (std::vector<long>{0, 4, 7, 10, 255, 255, 255}));
}

TEST_F(CliChord, ChordTextHasTheHeadingAndSixDiagrams)
{
    const CliRun r = run({"chord", "D", "m7"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("D m7   [ D F A C ]   [ 1 b3 5 b7 ]\n", 0), 0u) << r.out;
    const auto lookup = theory::lookupChord(s_dir + "/", 20, 2, nullptr);
    ASSERT_TRUE(lookup);
    for (int i = 0; i < 6; ++i) {
        const theory::Fingering& f = lookup->fingerings[static_cast<size_t>(i)];
        std::string frets;
        for (int s = 5; s >= 0; --s)
            frets += " " + (f.markers[static_cast<size_t>(s)] == 5 ? std::string("x")
                                                                    : std::to_string(f.frets[static_cast<size_t>(s)]));
        const std::string heading = "D m7  (" + std::to_string(i + 1) + " of 6)  frets" + frets + "\n";
        EXPECT_NE(r.out.find(heading), std::string::npos) << heading << r.out;
    }
    // Strings named low E first, and the first row labelled with the beginning fret.
    EXPECT_NE(r.out.find("     E  A  D  G  B  e\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n" + std::string(3 - std::to_string(lookup->fingerings[0].baseFret).size(), ' ') +
                         std::to_string(lookup->fingerings[0].baseFret) + "  "),
              std::string::npos);
}

TEST_F(CliChord, ChordTextPutsEachFingerOnItsFret)
{
    const CliRun r = run({"chord", "C", "major"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The open C (x32010) is the first diagram of C major: x above the low E, o over the
    // open G and high E, finger 1 on the B string at fret 1, 2 on D at 2, 3 on A at 3.
    const std::string open = "C major  (1 of 6)  frets x 3 2 0 1 0\n"
                             "     E  A  D  G  B  e\n"
                             "     x        o     o\n"
                             "    =================\n"
                             "  1  |  |  |  |  1  |\n"
                             "     |  |  2  |  |  |\n"
                             "     |  3  |  |  |  |\n"
                             "     |  |  |  |  |  |\n";
    EXPECT_NE(r.out.find(open), std::string::npos) << r.out;
}

struct BadChord {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class CliChordBadUsage : public CliChord, public testing::WithParamInterface<BadChord> {};

TEST_P(CliChordBadUsage, ExitsWithTwoAndSaysWhy)
{
    const CliRun r = run(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Usage: strumox-cli"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliChordBadUsage,
    testing::Values(BadChord{"UnknownKey", {"chord", "H", "m7"}, "unknown key 'H'"},
                    BadChord{"KeyNumberTooLarge", {"chord", "12", "m7"}, "unknown key '12'"},
                    BadChord{"UnknownType", {"chord", "C", "m8"}, "unknown chord type 'm8'"},
                    BadChord{"FormulaIndexTooLarge", {"chord", "C", "62"}, "unknown chord type '62'"},
                    BadChord{"MissingType", {"chord", "C"}, "expected KEY and TYPE"},
                    BadChord{"UnknownOption", {"chord", "C", "m7", "--colour"}, "unexpected argument '--colour'"},
                    BadChord{"FormulasTakeNoArguments", {"formulas", "extra"}, "unexpected argument 'extra'"}),
    [](const testing::TestParamInfo<BadChord>& info) { return std::string(info.param.name); });

TEST_F(CliChord, MissingDictionaryFilesFailWithTheProgramsMessage)
{
    const std::string dir = s_dir + "-formulas-only";
    fs::create_directories(dir);
    fs::copy_file(s_dir + "/kqcd3.dat", dir + "/kqcd3.dat");
    const CliRun r = runCli({"chord", "D", "m7", "--appdir", dir});
    fs::remove_all(dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: Could Not Find Chord Data Files.\n");
}

}  // namespace
