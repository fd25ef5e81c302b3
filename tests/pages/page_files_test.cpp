// Page files: what is written reads back and writes again byte for byte, the older PlayPage
// form and its repeat markers, refusals by identification and size, and failed writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include <sys/stat.h>

#include "RecordBuilders.h"
#include "TempDir.h"
#include "pages/PageFiles.h"
#include "pages/RecordConversions.h"

using namespace strumox::pages;
using namespace strumox::testsupport;

namespace {

// Every field at an end of its range, texts filling their fields.
DiagramRecord edgeChord()
{
    DiagramRecord d = fingeredChord(11, "13sus(b9)add11 ", "22 x 0 21 22 22", "4x0123", {0, 23, 5, 255, 13, 21, 255},
                                    "1 4 5 b7 b9 11 13 xx");
    d.tuningName = "Tuning 15 chars";
    d.tuning = {69, 33, 55, 50, 45, 33};
    d.sounding = {91, 0, 55, 71, 67, 33};
    d.baseFret = 20;
    d.bass = 35;
    return d;
}

PlayPageFile playPage()
{
    PlayPageFile p;
    p.threeFour = p.loop = true;
    p.strumSpeed = -350;
    p.tempo = 250;
    p.diagrams[0] = fingeredCMajor();
    p.diagrams[287] = edgeChord();
    p.markers = std::vector<std::uint8_t>(192, 0);
    (*p.markers)[9] = (*p.markers)[144 + 47] = 1;   // a return mark at measure 9, the loop at 47
    (*p.markers)[48 + 20] = (*p.markers)[96 + 20] = 255;
    return p;
}

template <typename Record>
std::string recordBytes(const Record& r)
{
    const auto b = r.toBytes();
    return std::string(b.begin(), b.end());
}

// ---- Round trips -------------------------------------------------------------------------------

// Writes the page, finds its identification and every record's bytes in place, reads it back
// and writes that again: the same bytes.
template <typename Page, typename Records>
void checkRoundTrip(const TempDir& dir, const std::string& ext, const Page& page, void (*write)(const std::string&, const Page&),
                    std::optional<Page> (*read)(const std::string&, std::string*), Records Page::*records,
                    std::size_t idAt, const std::string& id)
{
    SCOPED_TRACE(ext);
    write(dir.file("a." + ext), page);
    const std::string bytes = dir.read("a." + ext);
    const std::size_t size = recordBytes((page.*records)[0]).size();
    ASSERT_EQ(bytes.size(), size * ((page.*records).size() + 1));
    EXPECT_EQ(bytes.substr(idAt, id.size() + 1), char(id.size()) + id);
    for (std::size_t i = 0; i < (page.*records).size(); ++i)
        ASSERT_EQ(bytes.substr((i + 1) * size, size), recordBytes((page.*records)[i])) << "record " << i + 1;
    std::string error;
    const auto back = read(dir.file("a." + ext), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ((*back).*records, page.*records);
    write(dir.file("b." + ext), *back);
    EXPECT_EQ(dir.read("b." + ext), bytes);
}

TEST(PageFileRoundTrip, EveryKindKeepsItsRecordsByteForByte)
{
    const TempDir dir;
    ChordPageFile chords;
    chords.cells = {fingeredCMajor(), openCMajor7()};
    chords.cells[13] = atBaseFret(shapeChord(9, "m7", "5 7 5 5 5 5", {0, 3, 7, 10, 255, 255, 255}, "1 b3 5 b7"), 5);
    chords.cells[29] = edgeChord();
    chords.cells[6] = openCMajor();
    chords.cells[6].empty = 1;  // an emptied cell keeps its fields
    checkRoundTrip(dir, "cpf", chords, writeChordPageFile, readChordPageFile, &ChordPageFile::cells, 1, "kqPageChord");
    const DesignFile design{{openCMajor7(), {}, edgeChord(), {}, {}, fingeredCMajor()}};
    checkRoundTrip(dir, "cds", design, writeDesignFile, readDesignFile, &DesignFile::diagrams, 1, "kqChordDesign");
    PrintPageFile print;
    print.cells[0] = chordToPrint(edgeChord());
    print.cells[8] = scaleToPrint(cMajorScale(), 12);
    print.cells[29] = scaleToPrint(scaleRecord(11, "Long scale name 26 letters", {0, 1, 3, 4, 6, 8, 10, 11, 99, 99}), 20);
    checkRoundTrip(dir, "gpr", print, writePrintPageFile, readPrintPageFile, &PrintPageFile::cells, 2, "kqPagePrint");
    ScalePageFile scales;
    scales.rows[1] = cMajorScale({1, 3, 5, 7, 9, 20});
    scales.rows[4] = scaleRecord(6, "Minor Pentatonic", {0, 3, 5, 7, 10, 99, 99, 99, 99, 99});
    checkRoundTrip(dir, "spf", scales, writeScalePageFile, readScalePageFile, &ScalePageFile::rows, 1, "kqPageScale");
    checkRoundTrip(dir, "ppf", playPage(), writePlayPageFile, readPlayPageFile, &PlayPageFile::diagrams, 1, "kq6PlayPage");
}

// ---- The older PlayPage form -------------------------------------------------------------------

TEST(OlderPlayPage, ReadsSeventyTwoSlotsAndIsWrittenBackInTheCurrentForm)
{
    const TempDir dir;
    const std::string path = dir.file("old.ppf");
    std::string old(88 * 73, '\0');
    old.replace(1, 11, "\x0akqPlayPage");
    old.replace(17, 5, "\x04-120");  // tempo byte 0
    for (std::size_t s = 0; s < 72; ++s)
        old.replace((s + 1) * 88, 88, recordBytes(s == 71 ? edgeChord() : DiagramRecord{}));
    dir.write("old.ppf", old);
    auto page = readPlayPageFile(path, nullptr);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->older && page->tempoWasZero && !page->markers);
    EXPECT_EQ(std::pair(page->strumSpeed, page->tempo), std::pair(-120, 100));
    EXPECT_EQ(page->diagrams[71], edgeChord());
    EXPECT_TRUE(page->diagrams[72].isEmpty());

    // Its older .rpt: measures 0..11, widened to 48 measures when written back.
    std::string marks(48, '\0'), widened(192, '\0');
    marks[0] = marks[36 + 11] = widened[0] = widened[144 + 11] = 1;
    marks[12 + 5] = widened[48 + 5] = 3;
    dir.write("old.rpt", marks);
    page = readPlayPageFile(path, nullptr);
    ASSERT_TRUE(page && page->markers);
    writePlayPageFile(path, *page);
    const std::string b = dir.read("old.ppf");
    ASSERT_EQ(b.size(), 25432u);
    EXPECT_EQ(b.substr(1, 12) + b[85], "\x0bkq6PlayPage\x64");
    EXPECT_EQ(dir.read("old.rpt"), widened);
    const auto again = readPlayPageFile(path, nullptr);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->older);
    EXPECT_EQ(again->diagrams, page->diagrams);

    // The older .rpt beside the current .ppf is refused, naming the .rpt.
    dir.write("old.rpt", marks);
    std::string error;
    EXPECT_FALSE(readPlayPageFile(path, &error));
    EXPECT_EQ(error, dir.file("old.rpt") + " is not a repeat marker file of the right size (48 bytes, expected 192).");
    EXPECT_EQ(repeatFilePath("/a.b/song"), "/a.b/song.rpt");
    EXPECT_EQ(repeatFilePath("/a/song.PPF"), "/a/song.rpt");
}

// ---- Refusals ----------------------------------------------------------------------------------

// Any page file read as its name says.
bool readPage(const std::string& path, std::string* error)
{
    switch (*pageFileKindOf(path)) {
    case PageFileKind::Chords: return bool(readChordPageFile(path, error));
    case PageFileKind::ChordDesign: return bool(readDesignFile(path, error));
    case PageFileKind::PlayPage: return bool(readPlayPageFile(path, error));
    case PageFileKind::Print: return bool(readPrintPageFile(path, error));
    case PageFileKind::Scales: return bool(readScalePageFile(path, error));
    }
    return false;
}

TEST(PageFileRefusals, IdentificationIsAWholeShortStringAndTheSizeExact)
{
    struct Kind {
        std::string file, rejection, name;
        std::size_t size, idAt;
    };
    const TempDir dir;
    writeChordPageFile(dir.file("p.cpf"), {});
    writeDesignFile(dir.file("p.cds"), {});
    writePlayPageFile(dir.file("p.ppf"), {});
    writePrintPageFile(dir.file("p.gpr"), {});
    writeScalePageFile(dir.file("p.spf"), {});
    for (const Kind& k : {Kind{"p.cpf", "This is not a Chord Page file", "Chord Page", 2728, 1},
                          Kind{"p.cds", "This is not a Chord Design file", "Chord Design", 616, 1},
                          Kind{"p.ppf", "This is not a Strumox PlayPage file", "PlayPage", 25432, 1},
                          Kind{"p.gpr", "This is not a Print Page file", "Print Page", 3379, 2},
                          Kind{"p.spf", "This is not a Scale Page file", "Scale Page", 564, 1}}) {
        SCOPED_TRACE(k.file);
        const std::string good = dir.read(k.file), path = dir.file(k.file);
        auto outcome = [&](std::string bytes, std::size_t i, char value) {
            bytes[i] = value;
            dir.write(k.file, bytes);
            std::string error;
            return readPage(path, &error) ? std::string("accepted") : error;
        };
        const std::size_t length = std::uint8_t(good[k.idAt]);
        std::string longer = good;
        longer[k.idAt + 1 + length] = 'X';
        EXPECT_EQ(outcome(good, k.idAt + 3, char(good[k.idAt + 3] ^ 0x20)), k.rejection);  // a letter in the other case
        EXPECT_EQ(outcome(longer, k.idAt, char(length + 1)), k.rejection);  // "kqPageChordX" and so on
        EXPECT_EQ(outcome(longer, 0, good[0]), "accepted");                // beyond the length: not looked at
        for (const std::size_t size : {k.size - 1, k.size + 1})
            EXPECT_EQ(outcome(good.substr(0, size) + std::string(size - std::min(size, k.size), '\0'), 0, good[0]),
                      path + " is not a " + k.name + " file of the right size (" + std::to_string(size) +
                          " bytes, expected " + std::to_string(k.size) + ").");
    }
    std::string error;
    EXPECT_FALSE(readPage(dir.file("none.spf"), &error));
    EXPECT_EQ(error, dir.file("none.spf") + " cannot be read: No such file or directory");
}

// ---- Failed writes -----------------------------------------------------------------------------

TEST(PageFileWrites, AFailedWriteThrowsAndLeavesTheOldFilesAsTheyWere)
{
    const TempDir dir;
    const std::string cpf = dir.file("page.cpf");
    writeChordPageFile(cpf, {{fingeredCMajor()}});
    const std::string old = dir.read("page.cpf");
    ASSERT_EQ(::chmod(cpf.c_str(), 0444), 0);  // refused for root too
    EXPECT_THROW(writeChordPageFile(cpf, {}), std::runtime_error);
    EXPECT_EQ(dir.read("page.cpf"), old);

    // A record no reader would accept is not written at all.
    ChordPageFile bad;
    bad.cells[4] = fingeredCMajor();
    bad.cells[4].root = 12;
    try {
        writeChordPageFile(dir.file("bad.cpf"), bad);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), dir.file("bad.cpf") + " cannot be written: record 5 holds values no page file may hold.");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.cpf")));

    // The .ppf fails after its .rpt was written: the old .rpt is put back.
    const std::string ppf = dir.file("song.ppf");
    writePlayPageFile(ppf, playPage());
    const std::string oldPpf = dir.read("song.ppf"), oldRpt = dir.read("song.rpt");
    std::filesystem::create_directories(ppf + ".tmp/blocked");  // the temporary cannot be made
    EXPECT_THROW(writePlayPageFile(ppf, PlayPageFile{}), std::runtime_error);
    EXPECT_EQ(dir.read("song.ppf"), oldPpf);
    EXPECT_EQ(dir.read("song.rpt"), oldRpt);
}

}  // namespace
