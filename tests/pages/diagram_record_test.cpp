#include <gtest/gtest.h>

#include <string>

#include "RecordBuilders.h"
#include "pages/DiagramRecord.h"
#include "pages/ShortString.h"

using namespace strumox::pages;
using namespace strumox::testsupport;

namespace {

std::string textAt(const DiagramRecord::Bytes& b, size_t offset, size_t len)
{
    return std::string(reinterpret_cast<const char*>(&b[offset]), len);
}

// ---- Byte layout: 88 bytes at fixed offsets ----

TEST(DiagramRecordBytes, KnownBytesReadIntoEveryFieldAndWriteBackUnchanged)
{
    // A hand-made record with a distinct value in most numeric bytes, so a shifted offset shows
    // whether reading or writing.
    static_assert(DiagramRecord::kSize == 88);
    DiagramRecord e;
    e.empty = 0;
    e.name = "m7";
    e.tuningName = "Drop D";
    e.formula = "1 b3 5 b7 ";
    e.tuning = {64, 59, 55, 50, 45, 38};
    e.frets = {5, 6, 7, 8, 9, 10};
    e.markers = {1, 2, 3, 4, 6, 0};
    e.intervals = {0, 3, 7, 10, 14, 17, 255};
    e.sounding = {69, 65, 62, 58, 54, 48};
    e.baseFret = 5;
    e.root = 9;
    e.bass = 33;

    DiagramRecord::Bytes b{};
    for (auto [offset, text] : {std::pair<size_t, std::string>{1, "m7"}, {17, "Drop D"}, {33, "1 b3 5 b7 "}}) {
        b[offset] = static_cast<std::uint8_t>(text.size());
        std::copy(text.begin(), text.end(), &b[offset + 1]);
    }
    for (size_t s = 0; s < 6; ++s) {
        b[54 + s] = e.tuning[s];
        b[60 + 2 * s] = e.frets[s];
        b[61 + 2 * s] = e.markers[s];
        b[79 + s] = e.sounding[s];
    }
    for (size_t i = 0; i < 7; ++i)
        b[72 + i] = e.intervals[i];
    b[85] = 5;
    b[86] = 9;
    b[87] = 33;

    EXPECT_EQ(DiagramRecord::fromBytes(b.data()), e);
    EXPECT_EQ(e.toBytes(), b);
}

TEST(DiagramRecordBytes, RoundTripKeepsEveryFieldAndEmptyingChangesOnlyTheFirstByte)
{
    DiagramRecord r = openCMajor7();
    r.frets = {12, 13, 14, 15, 16, 17};
    r.markers = {6, 1, 2, 3, 4, 6};
    r.baseFret = 12;
    r.root = 11;
    r.bass = 30;
    const auto filled = r.toBytes();
    EXPECT_EQ(DiagramRecord::fromBytes(filled.data()), r);
    r.empty = 1;
    const auto emptied = r.toBytes();
    EXPECT_EQ(emptied[0], 1);
    for (size_t i = 1; i < DiagramRecord::kSize; ++i)
        EXPECT_EQ(emptied[i], filled[i]) << "byte " << i;
    EXPECT_TRUE(DiagramRecord::fromBytes(emptied.data()).isEmpty());
}

// ---- Short strings: capacity, truncation, damaged length bytes ----

TEST(DiagramRecordText, LongTextsAreCutToTheirFieldsWithoutSpilling)
{
    DiagramRecord r = openCMajor7();
    r.name = "ABCDEFGHIJKLMNOPQRST";        // 20 characters, field holds 15
    r.tuningName = "abcdefghijklmnopq";     // 17, field holds 15
    r.formula = "1 b2 #5 b7 b9 #11 b13 13";  // 24, field holds 20
    const auto b = r.toBytes();
    EXPECT_EQ(b[1], 15);
    EXPECT_EQ(textAt(b, 2, 15), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(b[17], 15);  // the tuning name's length byte is untouched by the long name
    EXPECT_EQ(textAt(b, 18, 15), "abcdefghijklmno");
    EXPECT_EQ(b[33], 20);
    EXPECT_EQ(textAt(b, 34, 20), "1 b2 #5 b7 b9 #11 b1");
    EXPECT_EQ(b[54], 64);  // tuning right after the interval text is intact
    const DiagramRecord back = DiagramRecord::fromBytes(b.data());
    EXPECT_EQ(back.name, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(back.tuningName, "abcdefghijklmno");
    EXPECT_EQ(back.formula, "1 b2 #5 b7 b9 #11 b1");
}

TEST(DiagramRecordText, TextOfExactlyTheCapacityIsKeptWhole)
{
    DiagramRecord r = openCMajor7();
    r.name = "maj7sus(b5)add9";  // 15
    r.formula = "12345678901234567890";
    const DiagramRecord back = DiagramRecord::fromBytes(r.toBytes().data());
    EXPECT_EQ(back.name, r.name);
    EXPECT_EQ(back.formula, r.formula);
}

TEST(DiagramRecordText, LengthByteBeyondTheCapacityReadsOnlyTheField)
{
    DiagramRecord::Bytes b = openCMajor7().toBytes();
    b[1] = 200;  // damaged length of the name
    const std::string full = "ABCDEFGHIJKLMNO";
    std::copy(full.begin(), full.end(), &b[2]);
    b[33] = 255;  // damaged length of the interval text
    const DiagramRecord r = DiagramRecord::fromBytes(b.data());
    EXPECT_EQ(r.name, full);
    EXPECT_EQ(r.tuningName, "Standard");
    EXPECT_EQ(r.formula.size(), 20u);
    EXPECT_EQ(r.formula.substr(0, 8), "1 3 5 7 ");
}

TEST(DiagramRecordText, ShortStringHelpersHonourTheCapacity)
{
    std::uint8_t field[1 + 5 + 1];
    field[6] = 0xAB;  // the byte after the field must survive
    writeShortString(field, 5, "abcdefgh");
    EXPECT_EQ(field[0], 5);
    EXPECT_EQ(readShortString(field, 5), "abcde");
    EXPECT_EQ(field[6], 0xAB);
    writeShortString(field, 5, "");
    EXPECT_EQ(field[0], 0);
    EXPECT_EQ(readShortString(field, 5), "");
    EXPECT_EQ(fitShortString("abc", 5), "abc");
    EXPECT_EQ(fitShortString("abcdef", 5), "abcde");
}

// ---- The fingering editor's blank work chord ----

TEST(DiagramRecordBlank, WorkChordStartsFilledMutedInStandardTuning)
{
    EXPECT_EQ(DiagramRecord::blankWork(), shapeChord(0, "", "xxxxxx"));
}

}  // namespace
