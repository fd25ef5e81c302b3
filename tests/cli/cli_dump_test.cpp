// strumox-cli dump: page files the library wrote, read back through the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliRunner.h"
#include "MiniJson.h"
#include "RecordBuilders.h"
#include "TempDir.h"
#include "pages/PageFiles.h"
#include "pages/RecordConversions.h"

using namespace strumox::pages;
using namespace strumox::testsupport;

namespace {

template <typename Array>
std::vector<int> ints(const Array& a)
{
    return std::vector<int>(a.begin(), a.end());
}

// The fields a chord record and a Print cell share, as the JSON gives them.
template <typename Chord>
void expectChordFields(const Json& j, const Chord& c)
{
    EXPECT_EQ(j["empty"].integer(), c.empty);
    EXPECT_EQ(j["name"].text(), c.name);
    EXPECT_EQ(j["tuningName"].text(), c.tuningName);
    EXPECT_EQ(j["formula"].text(), c.formula);
    EXPECT_EQ(j["tuning"].integers(), ints(c.tuning));
    EXPECT_EQ(j["frets"].integers(), ints(c.frets));
    EXPECT_EQ(j["markers"].integers(), ints(c.markers));
    EXPECT_EQ(j["intervals"].integers(), ints(c.intervals));
    EXPECT_EQ(j["sounding"].integers(), ints(c.sounding));
    EXPECT_EQ(j["baseFret"].integer(), c.baseFret);
    EXPECT_EQ(j["root"].integer(), c.root);
    EXPECT_EQ(j["bass"].integer(), c.bass);
}

Json dumped(const std::string& path, const std::string& kind, std::size_t records)
{
    const CliRun r = runCli({"dump", path, "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    Json j = parseJson(r.out);
    EXPECT_EQ(j["kind"].text(), kind);
    EXPECT_EQ(j["records"].items().size(), records);
    return j;
}

TEST(CliDump, EveryKindAgreesWithTheRecordsWritten)
{
    const TempDir dir;
    ChordPageFile chords;
    chords.cells = {fingeredCMajor(), openCMajor7()};
    chords.cells[29] = shapeChord(9, "m7", "5 7 5 5 5 5", {0, 3, 7, 10, 255, 255, 255}, "1 b3 5 b7");
    writeChordPageFile(dir.file("a.CPF"), chords);  // the extension in any letter case
    const Json cpf = dumped(dir.file("a.CPF"), "cpf", 30);
    EXPECT_TRUE(cpf["header"].fields().empty());
    for (std::size_t i : {0, 1, 2, 29})
        expectChordFields(cpf["records"].items()[i], chords.cells[i]);

    PrintPageFile print;
    print.cells[0] = chordToPrint(openCMajor7());
    print.cells[7] = scaleToPrint(cMajorScale(), 8);
    writePrintPageFile(dir.file("p.prf"), print);
    const Json gpr = dumped(dir.file("p.prf"), "gpr", 30);
    for (std::size_t i : {0, 7, 8}) {
        expectChordFields(gpr["records"].items()[i], print.cells[i]);
        EXPECT_EQ(gpr["records"].items()[i]["isChord"].integer(), print.cells[i].isChord);
    }

    ScalePageFile scales;
    scales.rows[2] = cMajorScale({1, 3, 5, 7, 9, 12});
    writeScalePageFile(dir.file("s.spf"), scales);
    const Json row = dumped(dir.file("s.spf"), "spf", 5)["records"].items()[2];
    EXPECT_EQ(row["name"].text(), "Ionian (Major)");
    EXPECT_EQ(row["intervals"].integers(), ints(scales.rows[2].intervals));
    EXPECT_EQ(row["beginFret"].integers(), (std::vector<int>{1, 3, 5, 7, 9, 12}));
    EXPECT_EQ(row["notes"].texts(), (std::vector<std::string>{"C", "D", "E", "F", "G", "A", "B"}));

    // The text summary: a heading, then one line per filled record.
    const CliRun text = runCli({"dump", dir.file("a.CPF")});
    ASSERT_EQ(text.lines().size(), 4u) << text.out;
    EXPECT_EQ(text.lines()[3].rfind("set 5, column 6: A m7  frets 5 7 5 5 5 5  base fret 5", 0), 0u) << text.lines()[3];
}

TEST(CliDump, PlayPageHeaderAndMarkersWithAndWithoutTheRepeatFile)
{
    const TempDir dir;
    PlayPageFile page;
    page.strumSpeed = -640;
    page.tempo = 72;
    page.bass = true;
    page.diagrams[100] = openCMajor();
    writePlayPageFile(dir.file("song.ppf"), page);
    std::filesystem::remove(dir.file("song.rpt"));
    for (const bool withMarkers : {false, true}) {
        const Json j = dumped(dir.file("song.ppf"), "ppf", 288);
        const Json& h = j["header"];
        EXPECT_EQ(h["timeSignature"].integer(), 4);
        EXPECT_EQ(h["strumSpeed"].integer(), -640);
        EXPECT_EQ(h["tempo"].integer(), 72);
        EXPECT_TRUE(h["bass"].boolean() && !h["loop"].boolean() && !h["older"].boolean());
        expectChordFields(j["records"].items()[100], page.diagrams[100]);
        std::vector<int> returns(48, 0), repeats(48, 0), counters(48, 0), loops(48, 0);
        returns[0] = 1;
        loops[35] = 1;  // the last of 36 measures in 4/4
        if (withMarkers) {
            returns[0] = 0, returns[4] = 1, repeats[7] = 2, counters[7] = 1, loops[35] = 0, loops[7] = 1;
        }
        EXPECT_EQ(j["markers"]["return"].integers(), returns) << withMarkers;
        EXPECT_EQ(j["markers"]["repeat"].integers(), repeats) << withMarkers;
        EXPECT_EQ(j["markers"]["counter"].integers(), counters) << withMarkers;
        EXPECT_EQ(j["markers"]["loop"].integers(), loops) << withMarkers;
        std::string rpt(192, '\0');
        rpt[4] = rpt[144 + 7] = 1;
        rpt[48 + 7] = 2;
        rpt[96 + 7] = 1;
        dir.write("song.rpt", rpt);
    }
}

TEST(CliDump, RefusedFilesAndUnknownNames)
{
    const TempDir dir;
    dir.write("bad.spf", std::string(564, 'x'));
    CliRun r = runCli({"dump", dir.file("bad.spf"), "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: This is not a Scale Page file\n");
    writeDesignFile(dir.file("d.cds"), {});
    dir.write("d.cds", dir.read("d.cds") + "!");
    r = runCli({"dump", dir.file("d.cds")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: " + dir.file("d.cds") +
                         " is not a Chord Design file of the right size (617 bytes, expected 616).\n");
    for (const std::string name : {"notes.txt", "cpf", "page.cpf.bak"}) {
        r = runCli({"dump", dir.file(name)});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_EQ(r.out, "") << name;
    }
}

}  // namespace
