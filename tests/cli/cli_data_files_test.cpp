// strumox-cli over damaged, odd and misplaced data files: a clear message and nothing on stdout,
// or output that stays well-formed whatever bytes the files' texts hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "CliRunner.h"
#include "MiniJson.h"
#include "TempDir.h"
#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/ScaleData.h"

namespace fs = std::filesystem;
using namespace strumox;
using namespace strumox::testsupport;

namespace {

// A program directory with every data file as the build writes it.
class AppDir : public TempDir {
public:
    AppDir()
    {
        theory::writeChordDataFiles(dir());
        theory::writeScaleFile(dir());
    }
    void damage(const std::string& name, std::size_t recordSize, std::size_t record) const
    {
        std::string all = read(name);
        all.replace(record * recordSize, recordSize, std::string(recordSize, '\xFF'));
        write(name, all);
    }
};

class CliDataFiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(kCli)) << kCli << " is missing: build strumox-cli first"; }
};

// ---- Damaged files ---------------------------------------------------------------------------

struct DamageCase {
    const char* name;
    const char* file;
    std::size_t recordSize;
    std::size_t record;
    std::vector<std::string> args;
};

void PrintTo(const DamageCase& c, std::ostream* os)
{
    *os << c.name;
}

class CliDamagedFile : public CliDataFiles, public testing::WithParamInterface<DamageCase> {};

TEST_P(CliDamagedFile, FailsWithTheFileAndRecordAndPrintsNothing)
{
    const DamageCase& c = GetParam();
    const AppDir dir;
    dir.damage(c.file, c.recordSize, c.record);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--appdir", dir.path()});
    const CliRun r = runCli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: " + std::string(c.file) + " is damaged: record " + std::to_string(c.record) + ".\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliDamagedFile,
    testing::Values(DamageCase{"ChordFirstFile", "kqma1.dat", 13, 17, {"chord", "C", "maj7"}},
                    DamageCase{"ChordSecondFileJson", "kqma2.dat", 13, 683, {"chord", "G", "major", "--json"}},
                    DamageCase{"ChordFormulaFileJson", "kqcd3.dat", 44, 3, {"chord", "D", "m7", "--json"}},
                    DamageCase{"Formulas", "kqcd3.dat", 44, 61, {"formulas"}},
                    DamageCase{"FormulasJson", "kqcd3.dat", 44, 0, {"formulas", "--json"}},
                    DamageCase{"Scale", "kqs.dat", 37, 46, {"scale", "0", "C"}},
                    DamageCase{"ScaleJson", "kqs.dat", 37, 5, {"scale", "Dorian (Minor)", "D", "--json"}}),
    [](const testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

// ---- A FIFO in place of a data file ----------------------------------------------------------

struct FifoCase {
    const char* name;
    const char* file;
    std::vector<std::string> args;
};

void PrintTo(const FifoCase& c, std::ostream* os)
{
    *os << c.name;
}

class CliFifo : public CliDataFiles, public testing::WithParamInterface<FifoCase> {};

TEST_P(CliFifo, IsRefusedAtOnceNamingThePath)
{
    const FifoCase& c = GetParam();
    const AppDir dir;
    const std::string path = dir.file(c.file);
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--appdir", dir.path()});
    const CliRun r = runCli(args, 10);
    EXPECT_EQ(r.status, 1) << "137 means it blocked";
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: " + path + " is not a regular file.\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, CliFifo,
                         testing::Values(FifoCase{"FormulaFileForFormulas", "kqcd3.dat", {"formulas", "--json"}},
                                         FifoCase{"FormulaFileForAChord", "kqcd3.dat", {"chord", "C", "major"}},
                                         FifoCase{"Dictionary", "kqdo2.dat", {"chord", "A", "7", "--json"}},
                                         FifoCase{"ScaleFile", "kqs.dat", {"scale", "0", "C"}}),
                         [](const testing::TestParamInfo<FifoCase>& info) { return std::string(info.param.name); });

// ---- Texts with quotes, backslashes, control characters and 8-bit letters ----------------------

// Bytes as a file may hold them: quote, backslash, C0 controls, DEL, a C1 control, é and ÿ.
const std::string kOddSuffix = "q\"b\\c\x01\x1f\x7f\x85\xe9\xff";  // 11 characters
const std::string kOddText = "t\t\n\"\\\xa0\xb0 1 3 5";                 // 13
// The same read as Latin-1: what a JSON reader must get back, and what plain text shows.
const std::string kOddSuffixUtf8 = "q\"b\\c\x01\x1f\x7f\xc2\x85\xc3\xa9\xc3\xbf";
const std::string kOddTextUtf8 = "t\t\n\"\\\xc2\xa0\xc2\xb0 1 3 5";
const std::string kOddSuffixShown = "q\"b\\c????\xc3\xa9\xc3\xbf";
const std::string kOddTextShown = "t??\"\\\xc2\xa0\xc2\xb0 1 3 5";

// An AppDir whose maj7 (formula 2) and Dorian (scale 1) carry the odd texts.
class OddTexts : public AppDir {
public:
    OddTexts()
    {
        auto formulas = theory::builtInFormulaRecords();
        formulas[2].suffix = kOddSuffix;
        formulas[2].text = kOddText;
        std::string bytes;
        for (const auto& f : formulas) {
            const auto b = f.toBytes();
            bytes.append(b.begin(), b.end());
        }
        write("kqcd3.dat", bytes);
        theory::ScaleDefinition dorian = theory::builtInScales()[1];
        dorian.formula = kOddSuffix + kOddText;
        const auto b = dorian.toBytes();
        std::string scales = read("kqs.dat");
        scales.replace(37, 37, std::string(b.begin(), b.end()));
        write("kqs.dat", scales);
    }
};

// Whether a line of plain output is UTF-8 without control characters: as the body of a JSON
// string (quotes and backslashes escaped) it must pass the strict reader.
bool cleanText(const std::string& line)
{
    std::string quoted = "\"";
    for (const char c : line)
        quoted += (c == '"' || c == '\\') ? std::string{'\\', c} : std::string{c};
    try {
        parseJson(quoted + "\"");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

TEST_F(CliDataFiles, JsonCarriesOddTextsDecodedAndEscaped)
{
    const OddTexts dir;
    const CliRun formulas = runCli({"formulas", "--json", "--appdir", dir.path()});
    ASSERT_EQ(formulas.status, 0) << formulas.err;
    const Json all = parseJson(formulas.out);
    EXPECT_EQ(all.items().at(2)["suffix"].text(), kOddSuffixUtf8);
    EXPECT_EQ(all.items().at(2)["formula"].text(), kOddTextUtf8);
    EXPECT_EQ(all.items().at(3)["suffix"].text(), "maj9#5");

    const CliRun chord = runCli({"chord", "E", "maj7", "--json", "--appdir", dir.path()});
    ASSERT_EQ(chord.status, 0) << chord.err;
    const Json six = parseJson(chord.out);
    ASSERT_EQ(six.items().size(), 6u);
    for (const Json& d : six.items()) {
        EXPECT_EQ(d["name"].text(), kOddSuffixUtf8);
        EXPECT_EQ(d["formula"].text(), kOddTextUtf8);
    }

    const CliRun scale = runCli({"scale", "1", "D", "--json", "--appdir", dir.path()});
    ASSERT_EQ(scale.status, 0) << scale.err;
    EXPECT_EQ(parseJson(scale.out)["formula"].text(), kOddSuffixUtf8 + kOddTextUtf8);
}

TEST_F(CliDataFiles, PlainTextShowsControlCharactersAsQuestionMarks)
{
    const OddTexts dir;
    const CliRun formulas = runCli({"formulas", "--appdir", dir.path()});
    ASSERT_EQ(formulas.status, 0) << formulas.err;
    const auto lines = formulas.lines();
    ASSERT_EQ(lines.size(), 62u) << "a control character split a line";
    EXPECT_EQ(lines[2], " 2  " + kOddSuffixShown + "     " + kOddTextShown + "        0 4 7 11");

    const CliRun chord = runCli({"chord", "E", "maj7", "--appdir", dir.path()});
    ASSERT_EQ(chord.status, 0) << chord.err;
    EXPECT_EQ(chord.lines().at(0), "E " + kOddSuffixShown + "   [ E Ab B Eb ]   [ " + kOddTextShown + " ]");

    const CliRun scale = runCli({"scale", "1", "D", "--appdir", dir.path()});
    ASSERT_EQ(scale.status, 0) << scale.err;
    EXPECT_NE(scale.out.find("Formula:     " + kOddSuffixShown + kOddTextShown + "\n"), std::string::npos) << scale.out;

    for (const CliRun* r : {&formulas, &chord, &scale})
        for (const std::string& line : r->lines())
            EXPECT_TRUE(cleanText(line)) << line;
}

}  // namespace
