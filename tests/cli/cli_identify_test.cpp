// strumox-cli identify against the search over the same fingering, worked out here from the
// sounding notes of standard tuning.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "MiniJson.h"
#include "theory/ChordSearch.h"

using namespace strumox;
using namespace strumox::testsupport;

namespace {

struct Case {
    std::vector<std::string> args;
    std::array<int, 6> frets;  // low E first, -1 = not played
    int root;
    int compound = 0;  // a simple interval written as a compound, 0 for none
    theory::IntervalOption iop = theory::IntervalOption::Only;
    theory::RootOption rop = theory::RootOption::CurrentRoot;
};

}  // namespace

TEST(CliIdentify, TextAndJsonAreTheSearchOfTheFrettedChord)
{
    const TempDir dir;
    const auto formulas = theory::builtInFormulaRecords();
    std::string bytes;
    for (const auto& r : formulas) {
        const auto record = r.toBytes();
        bytes.append(record.begin(), record.end());
    }
    dir.write("kqcd3.dat", bytes);
    const std::vector<Case> cases{
        {{"x,3,2,0,1,0"}, {-1, 3, 2, 0, 1, 0}, 0},
        {{"x,3,2,0,1,0", "--interval-op", "0", "--root-op=2"}, {-1, 3, 2, 0, 1, 0}, 0, 0,
         theory::IntervalOption::Containing, theory::RootOption::AllKeys},
        {{"x,3,2,0,3,0", "--compound", "2,9"}, {-1, 3, 2, 0, 3, 0}, 0, 2},
        {{"x,3,x,0,1,x", "--root=E"}, {-1, 3, -1, 0, 1, -1}, 4},  // E only on muted strings
        {{"x,x,x,x,x,5"}, {-1, -1, -1, -1, -1, 5}, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        theory::SoundingNotes sounding{};
        bool rootSounded = false;
        for (int k = 0; k < 6; ++k)
            if (c.frets[k] >= 0) {
                sounding[5 - k] = static_cast<std::uint8_t>(theory::kStandardTuning[5 - k] + c.frets[k]);
                rootSounded |= sounding[5 - k] % 12 == c.root;
            }
        theory::CompoundFlags flags{};
        flags[c.compound] = c.compound != 0;
        const auto expected = theory::searchChords({theory::intervalsOfFingering(sounding, c.root, flags), c.root,
                                                    rootSounded}, c.iop, c.rop, formulas, theory::NoteNames());
        std::vector<std::string> args{"identify"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--appdir", dir.path()});

        std::vector<std::string> lines;
        for (const auto& r : expected.results)
            lines.push_back(r.text);
        const CliRun text = runCli(args);
        EXPECT_EQ(text.status, 0) << text.err;
        EXPECT_EQ(text.lines(), lines.empty() ? std::vector<std::string>{"No Chords Found"} : lines);

        args.push_back("--json");
        const CliRun json = runCli(args);
        ASSERT_EQ(json.status, 0) << json.err;
        const Json doc = parseJson(json.out);
        EXPECT_EQ(doc["intervalOp"].integer(), static_cast<int>(expected.intervalOp));
        EXPECT_EQ(doc["rootOp"].integer(), static_cast<int>(expected.rootOp));
        ASSERT_EQ(doc["results"].items().size(), expected.results.size());
        for (size_t k = 0; k < expected.results.size(); ++k) {
            const Json& item = doc["results"].items()[k];
            EXPECT_EQ(item["text"].text(), expected.results[k].text);
            EXPECT_EQ(item["g"].integer(), expected.results[k].formulaIndex);
            EXPECT_EQ(item["root"].integer(), expected.results[k].root);
        }
    }
}

TEST(CliIdentify, BadArgumentsAreUsageErrorsAndAMissingFormulaFileFails)
{
    const TempDir empty;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"x,3,2,0,1"}, {"x,3,2,0,1,0,0"}, {"x,3,2,0,1,23"}, {"x,3,y,0,1,0"}, {"x,3,2,0,1,0", "0,3,2,0,1,0"},
             {"x,3,2,0,1,0", "--root", "H"}, {"x,3,2,0,1,0", "--interval-op", "2"}, {"x,3,2,0,1,0", "--root-op", "3"},
             {"x,3,2,0,1,0", "--compound", "2,4"}, {"x,3,2,0,1,0", "--compound="}, {"x,3,2,0,1,0", "--sharp"}}) {
        std::vector<std::string> withCommand{"identify"};
        withCommand.insert(withCommand.end(), args.begin(), args.end());
        const CliRun r = runCli(withCommand);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args.back()) << r.err;
        EXPECT_TRUE(r.err.starts_with("strumox-cli: ") && r.out.empty()) << r.err;
    }
    const CliRun missing = runCli({"identify", "x,3,2,0,1,0", "--appdir", empty.path()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(empty.path() + "/kqcd3.dat"), std::string::npos) << missing.err;
}
