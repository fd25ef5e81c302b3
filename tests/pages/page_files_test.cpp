// Page files: what is written reads back and writes again byte for byte, the older PlayPage
// form and its repeat markers, and every way a file is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
    DiagramRecord d = fingeredChord(11, "13sus(b9)add11 ", "22 x 0 21 22 22", "4x0123");
    d.tuningName = "Tuning 15 chars";
    d.formula = "1 4 5 b7 b9 11 13 xx";
    d.tuning = {69, 33, 55, 50, 45, 33};
    d.sounding = {91, 0, 55, 71, 67, 33};
    d.intervals = {0, 23, 5, 255, 13, 21, 255};
    d.baseFret = 20;
    d.bass = 35;
    return d;
}

ChordPageFile chordPage()
{
    ChordPageFile p;
    p.cells[0] = fingeredCMajor();
    p.cells[1] = openCMajor7();
    p.cells[13] = atBaseFret(shapeChord(9, "m7", "5 7 5 5 5 5", {0, 3, 7, 10, 255, 255, 255}, "1 b3 5 b7"), 5);
    p.cells[29] = edgeChord();
    p.cells[6] = openCMajor();
    p.cells[6].empty = 1;  // an emptied cell keeps its fields
    return p;
}

PlayPageFile playPage()
{
    PlayPageFile p;
    p.threeFour = true;
    p.strumSpeed = -350;
    p.tempo = 250;
    p.loop = true;
    p.slots[0] = fingeredCMajor();
    p.slots[287] = edgeChord();
    std::vector<std::uint8_t> marks(192, 0);
    marks[0] = marks[9] = 1;            // return marks at measures 0 and 9
    marks[48 + 20] = marks[96 + 20] = 255;  // repeat count and counter after measure 20
    marks[144 + 47] = 1;                // loop mark at the last measure
    p.markers = marks;
    return p;
}

// The file's bytes from `first` on, `size` of them.
std::string bytesAt(const std::string& file, std::size_t first, std::size_t size) { return file.substr(first, size); }

template <typename Record>
std::string recordBytes(const Record& r)
{
    const auto b = r.toBytes();
    return std::string(b.begin(), b.end());
}

// ---- Round trips -------------------------------------------------------------------------------

// Writes `page`, checks its size, identification and records at their places, reads it back
// and writes that again: the same bytes.
template <typename Page, typename Records>
void checkRoundTrip(const TempDir& dir, const std::string& ext, const Page& page,
                    void (*write)(const std::string&, const Page&),
                    std::optional<Page> (*read)(const std::string&, std::string*), Records Page::*records,
                    std::size_t idAt, const std::string& id)
{
    SCOPED_TRACE(ext);
    write(dir.file("a." + ext), page);
    const std::string bytes = dir.read("a." + ext);
    const std::size_t size = (page.*records)[0].toBytes().size();
    ASSERT_EQ(bytes.size(), size * ((page.*records).size() + 1));
    EXPECT_EQ(bytesAt(bytes, idAt, id.size() + 1), char(id.size()) + id);
    for (std::size_t i = 0; i < (page.*records).size(); ++i)
        ASSERT_EQ(bytesAt(bytes, (i + 1) * size, size), recordBytes((page.*records)[i])) << "record " << i + 1;
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
    checkRoundTrip(dir, "cpf", chordPage(), writeChordPageFile, readChordPageFile, &ChordPageFile::cells, 1, "kqPageChord");
    DesignFile design;
    design.slots = {openCMajor7(), {}, edgeChord(), {}, {}, fingeredCMajor()};
    checkRoundTrip(dir, "cds", design, writeDesignFile, readDesignFile, &DesignFile::slots, 1, "kqChordDesign");
    PrintPageFile print;
    print.cells[0] = chordToPrint(edgeChord());
    print.cells[8] = scaleToPrint(cMajorScale(), 12);
    print.cells[29] = scaleToPrint(scaleRecord(11, "Long scale name 26 letters", {0, 1, 3, 4, 6, 8, 10, 11, 99, 99}), 20);
    checkRoundTrip(dir, "gpr", print, writePrintPageFile, readPrintPageFile, &PrintPageFile::cells, 2, "kqPagePrint");
    ScalePageFile scales;
    scales.rows[1] = cMajorScale({1, 3, 5, 7, 9, 20});
    scales.rows[4] = scaleRecord(6, "Minor Pentatonic", {0, 3, 5, 7, 10, 99, 99, 99, 99, 99});
    checkRoundTrip(dir, "spf", scales, writeScalePageFile, readScalePageFile, &ScalePageFile::rows, 1, "kqPageScale");
    checkRoundTrip(dir, "ppf", playPage(), writePlayPageFile, readPlayPageFile, &PlayPageFile::slots, 1, "kq6PlayPage");
}

TEST(PageFileRoundTrip, PlayPageHeaderAndRepeatMarkersSitAtTheirBytes)
{
    const TempDir dir;
    writePlayPageFile(dir.file("song.ppf"), playPage());
    const std::string b = dir.read("song.ppf");
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(bytesAt(b, 17, 5), "\x04-350");
    EXPECT_EQ(std::uint8_t(b[85]), 250);
    EXPECT_EQ(b[86], 1);
    EXPECT_EQ(b[87], 0);
    const std::vector<std::uint8_t> marks = *playPage().markers;
    EXPECT_EQ(dir.read("song.rpt"), std::string(marks.begin(), marks.end()));
    const auto back = readPlayPageFile(dir.file("song.ppf"), nullptr);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->threeFour && back->loop && !back->bass && !back->older && !back->tempoWasZero);
    EXPECT_EQ(back->strumSpeed, -350);
    EXPECT_EQ(back->tempo, 250);
    EXPECT_EQ(back->markers, marks);

    // Without markers the defaults go beside it: return at measure 0, loop at the last measure.
    for (const bool threeFour : {true, false}) {
        PlayPageFile p;
        p.threeFour = threeFour;
        writePlayPageFile(dir.file("new.ppf"), p);
        std::string expected(192, '\0');
        expected[0] = expected[144 + (threeFour ? 47 : 35)] = 1;
        EXPECT_EQ(dir.read("new.rpt"), expected) << threeFour;
    }
    EXPECT_EQ(repeatFilePath("/a.b/song"), "/a.b/song.rpt");
    EXPECT_EQ(repeatFilePath("/a/song.PPF"), "/a/song.rpt");
}

// ---- The older PlayPage form -------------------------------------------------------------------

std::string olderPlayPage(std::uint8_t tempo)
{
    std::string b(88 * 73, '\0');
    b.replace(1, 11, "\x0akqPlayPage");
    b.replace(17, 5, "\x04-120");
    b[85] = char(tempo);
    for (std::size_t s = 0; s < 72; ++s)
        b.replace((s + 1) * 88, 88, recordBytes(s == 71 ? edgeChord() : DiagramRecord{}));
    return b;
}

TEST(OlderPlayPage, ReadsSeventyTwoSlotsAndIsWrittenBackInTheCurrentForm)
{
    const TempDir dir;
    const std::string path = dir.file("old.ppf");
    dir.write("old.ppf", olderPlayPage(0));
    auto page = readPlayPageFile(path, nullptr);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->older && page->tempoWasZero && !page->markers);
    EXPECT_EQ(page->tempo, 100);
    EXPECT_EQ(page->strumSpeed, -120);
    EXPECT_EQ(page->slots[71], edgeChord());
    EXPECT_TRUE(page->slots[72].isEmpty());

    // Its older .rpt: measures 0..11, widened to 48 measures when written back.
    std::string marks(48, '\0');
    marks[0] = marks[36 + 11] = 1;  // return at measure 0, loop at measure 11
    marks[12 + 5] = 3;              // three repeats after measure 5
    dir.write("old.rpt", marks);
    page = readPlayPageFile(path, nullptr);
    ASSERT_TRUE(page && page->markers);
    EXPECT_EQ(page->markers->size(), 48u);
    writePlayPageFile(path, *page);
    const std::string b = dir.read("old.ppf");
    ASSERT_EQ(b.size(), 25432u);
    EXPECT_EQ(bytesAt(b, 1, 12), "\x0bkq6PlayPage");
    EXPECT_EQ(std::uint8_t(b[85]), 100);
    std::string widened(192, '\0');
    widened[0] = widened[144 + 11] = 1;
    widened[48 + 5] = 3;
    EXPECT_EQ(dir.read("old.rpt"), widened);
    const auto again = readPlayPageFile(path, nullptr);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->older);
    EXPECT_EQ(again->slots, page->slots);

    // A 48-byte .rpt beside a current .ppf is refused, naming the .rpt.
    dir.write("old.rpt", marks);
    std::string error;
    EXPECT_FALSE(readPlayPageFile(path, &error));
    EXPECT_EQ(error, dir.file("old.rpt") + " is not a repeat marker file of the right size (48 bytes, expected 192).");
    dir.write("old.rpt", std::string(191, '\0') + '\x02');  // loop mark 2 at measure 47
    EXPECT_FALSE(readPlayPageFile(path, &error));
    EXPECT_EQ(error, dir.file("old.rpt") + " is damaged: record 0.");
}

// ---- Refusals ----------------------------------------------------------------------------------

struct Kind {
    std::string ext;
    std::size_t recordSize, size, idAt;
    std::string rejection, name;
    std::function<bool(const std::string&, std::string*)> read;
};

const std::vector<Kind> kKinds{
    {"cpf", 88, 2728, 1, "This is not a Chord Page file", "Chord Page", [](auto& p, auto* e) { return bool(readChordPageFile(p, e)); }},
    {"cds", 88, 616, 1, "This is not a Chord Design file", "Chord Design", [](auto& p, auto* e) { return bool(readDesignFile(p, e)); }},
    {"ppf", 88, 25432, 1, "This is not a Strumox PlayPage file", "PlayPage", [](auto& p, auto* e) { return bool(readPlayPageFile(p, e)); }},
    {"gpr", 109, 3379, 2, "This is not a Print Page file", "Print Page", [](auto& p, auto* e) { return bool(readPrintPageFile(p, e)); }},
    {"spf", 94, 564, 1, "This is not a Scale Page file", "Scale Page", [](auto& p, auto* e) { return bool(readScalePageFile(p, e)); }},
};

void writeEmptyPage(const std::string& path, const std::string& ext)
{
    if (ext == "cpf") writeChordPageFile(path, {});
    if (ext == "cds") writeDesignFile(path, {});
    if (ext == "ppf") writePlayPageFile(path, {});
    if (ext == "gpr") writePrintPageFile(path, {});
    if (ext == "spf") writeScalePageFile(path, {});
}

TEST(PageFileRefusals, IdentificationSizeAndDamageAreNamed)
{
    const TempDir dir;
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        const std::string path = dir.file("p." + k.ext);
        writeEmptyPage(path, k.ext);
        const std::string good = dir.read("p." + k.ext);
        std::string error;
        auto refusal = [&](const std::string& bytes) {
            dir.write("p." + k.ext, bytes);
            error.clear();
            return k.read(path, &error) ? std::string("accepted") : error;
        };
        std::string b = good;
        b[k.idAt + 3] ^= 0x20;  // one letter in the other case
        EXPECT_EQ(refusal(b), k.rejection);
        // The identification is the whole short string: a longer one with the same start is
        // another, and what follows the right length is not looked at.
        b = good;
        b[k.idAt] = char(b[k.idAt] + 1);
        EXPECT_EQ(refusal(b), k.rejection);
        b = good;
        b[k.idAt + 1 + std::uint8_t(good[k.idAt])] = 'X';
        EXPECT_EQ(refusal(b), "accepted");
        for (const std::size_t size : {k.size - 1, k.size + 1}) {
            b = good;
            b.resize(size);
            EXPECT_EQ(refusal(b), path + " is not a " + k.name + " file of the right size (" + std::to_string(size) +
                          " bytes, expected " + std::to_string(k.size) + ").");
        }
        // A text length byte over its capacity in the third record after the header.
        b = good;
        b[3 * k.recordSize + (k.ext == "gpr" ? 2 : 1)] = char(27);
        EXPECT_EQ(refusal(b), path + " is damaged: record 3.");
        std::filesystem::remove(path);
        EXPECT_FALSE(k.read(path, &error));
        EXPECT_EQ(error, path + " cannot be read: No such file or directory");
    }
}

// ---- Failed writes -----------------------------------------------------------------------------

TEST(PageFileWrites, AFailedWriteThrowsAndLeavesTheOldFilesAsTheyWere)
{
    const TempDir dir;
    const std::string cpf = dir.file("page.cpf");
    writeChordPageFile(cpf, chordPage());
    const std::string old = dir.read("page.cpf");
    ASSERT_EQ(::chmod(cpf.c_str(), 0444), 0);  // refused for root too
    EXPECT_THROW(writeChordPageFile(cpf, {}), std::runtime_error);
    EXPECT_EQ(dir.read("page.cpf"), old);

    // A record no reader would accept is not written at all.
    ChordPageFile bad = chordPage();
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
