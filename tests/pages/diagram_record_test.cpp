#include <gtest/gtest.h>

#include <string>

#include "pages/DiagramRecord.h"
#include "pages/ShortString.h"

using namespace strumox::pages;

namespace {

// Open C major 7 (x32000) as the chord finder would build it.
DiagramRecord cMajor7()
{
    DiagramRecord r;
    r.empty = 0;
    r.name = "maj7";
    r.tuningName = "Standard";
    r.formula = "1 3 5 7 ";
    r.tuning = {64, 59, 55, 50, 45, 40};
    r.frets = {0, 0, 0, 2, 3, 0};
    r.markers = {0, 0, 0, 2, 3, 5};
    r.intervals = {0, 4, 7, 11, 255, 255, 255};
    r.sounding = {64, 59, 55, 52, 48, 0};
    r.baseFret = 1;
    r.root = 0;
    r.bass = 24;
    return r;
}

std::string textAt(const DiagramRecord::Bytes& b, size_t offset, size_t len)
{
    return std::string(reinterpret_cast<const char*>(&b[offset]), len);
}

// ---- Byte layout: 88 bytes at fixed offsets ----

TEST(DiagramRecordBytes, RecordIsEightyEightBytes)
{
    EXPECT_EQ(DiagramRecord::kSize, 88u);
    EXPECT_EQ(cMajor7().toBytes().size(), 88u);
}

TEST(DiagramRecordBytes, EveryFieldLandsAtItsOffset)
{
    const auto b = cMajor7().toBytes();
    EXPECT_EQ(b[0], 0);
    // name: length byte at 1, characters from 2
    EXPECT_EQ(b[1], 4);
    EXPECT_EQ(textAt(b, 2, 4), "maj7");
    // tuning name at 17
    EXPECT_EQ(b[17], 8);
    EXPECT_EQ(textAt(b, 18, 8), "Standard");
    // interval text at 33
    EXPECT_EQ(b[33], 8);
    EXPECT_EQ(textAt(b, 34, 8), "1 3 5 7 ");
    // tuning at 54..59, string 0 first
    const std::uint8_t tuning[] = {64, 59, 55, 50, 45, 40};
    for (size_t s = 0; s < 6; ++s)
        EXPECT_EQ(b[54 + s], tuning[s]) << "tuning of string " << s;
    // fret then marker per string from 60; the marker of string s sits at 61 + 2s
    const std::uint8_t frets[] = {0, 0, 0, 2, 3, 0};
    const std::uint8_t markers[] = {0, 0, 0, 2, 3, 5};
    for (size_t s = 0; s < 6; ++s) {
        EXPECT_EQ(b[60 + 2 * s], frets[s]) << "fret of string " << s;
        EXPECT_EQ(b[61 + 2 * s], markers[s]) << "marker of string " << s;
    }
    // intervals 72..78
    const std::uint8_t intervals[] = {0, 4, 7, 11, 255, 255, 255};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(b[72 + i], intervals[i]) << "interval " << i;
    // sounding notes 79..84
    const std::uint8_t sounding[] = {64, 59, 55, 52, 48, 0};
    for (size_t s = 0; s < 6; ++s)
        EXPECT_EQ(b[79 + s], sounding[s]) << "sounding of string " << s;
    EXPECT_EQ(b[85], 1);   // beginning fret
    EXPECT_EQ(b[86], 0);   // root C
    EXPECT_EQ(b[87], 24);  // bass C + 24
}

TEST(DiagramRecordBytes, ReadingKnownBytesFillsEveryField)
{
    // A hand-made record with a distinct value in every numeric byte, so a shifted offset shows.
    DiagramRecord::Bytes b{};
    b[0] = 0;
    b[1] = 2;
    b[2] = 'm';
    b[3] = '7';
    b[17] = 6;
    const std::string tn = "Drop D";
    std::copy(tn.begin(), tn.end(), &b[18]);
    b[33] = 10;
    const std::string f = "1 b3 5 b7 ";
    std::copy(f.begin(), f.end(), &b[34]);
    const std::uint8_t tuning[] = {64, 59, 55, 50, 45, 38};
    const std::uint8_t frets[] = {5, 6, 7, 8, 9, 10};
    const std::uint8_t markers[] = {1, 2, 3, 4, 6, 0};
    const std::uint8_t intervals[] = {0, 3, 7, 10, 14, 17, 255};
    const std::uint8_t sounding[] = {69, 65, 62, 58, 54, 48};
    for (size_t s = 0; s < 6; ++s) {
        b[54 + s] = tuning[s];
        b[60 + 2 * s] = frets[s];
        b[61 + 2 * s] = markers[s];
        b[79 + s] = sounding[s];
    }
    for (size_t i = 0; i < 7; ++i)
        b[72 + i] = intervals[i];
    b[85] = 5;
    b[86] = 9;
    b[87] = 33;

    const DiagramRecord r = DiagramRecord::fromBytes(b.data());
    EXPECT_FALSE(r.isEmpty());
    EXPECT_EQ(r.name, "m7");
    EXPECT_EQ(r.tuningName, "Drop D");
    EXPECT_EQ(r.formula, "1 b3 5 b7 ");
    for (size_t s = 0; s < 6; ++s) {
        EXPECT_EQ(r.tuning[s], tuning[s]) << s;
        EXPECT_EQ(r.frets[s], frets[s]) << s;
        EXPECT_EQ(r.markers[s], markers[s]) << s;
        EXPECT_EQ(r.sounding[s], sounding[s]) << s;
    }
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(r.intervals[i], intervals[i]) << i;
    EXPECT_EQ(r.baseFret, 5);
    EXPECT_EQ(r.root, 9);
    EXPECT_EQ(r.bass, 33);
    // And writing it back gives the same bytes.
    EXPECT_EQ(r.toBytes(), b);
}

TEST(DiagramRecordBytes, RoundTripKeepsEveryField)
{
    DiagramRecord r = cMajor7();
    r.frets = {12, 13, 14, 15, 16, 17};
    r.markers = {6, 1, 2, 3, 4, 6};
    r.baseFret = 12;
    r.root = 11;
    r.bass = 30;
    EXPECT_EQ(DiagramRecord::fromBytes(r.toBytes().data()), r);
}

TEST(DiagramRecordBytes, EmptyingASlotChangesOnlyTheFirstByte)
{
    DiagramRecord r = cMajor7();
    const auto filled = r.toBytes();
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
    DiagramRecord r = cMajor7();
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
    DiagramRecord r = cMajor7();
    r.name = "maj7sus(b5)add9";  // 15
    r.formula = "12345678901234567890";
    const DiagramRecord back = DiagramRecord::fromBytes(r.toBytes().data());
    EXPECT_EQ(back.name, r.name);
    EXPECT_EQ(back.formula, r.formula);
}

TEST(DiagramRecordText, LengthByteBeyondTheCapacityReadsOnlyTheField)
{
    DiagramRecord::Bytes b = cMajor7().toBytes();
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
    const auto b = DiagramRecord::blankWork().toBytes();
    EXPECT_EQ(b[0], 0);   // holds a chord
    EXPECT_EQ(b[1], 0);   // no name
    EXPECT_EQ(b[17], 8);
    EXPECT_EQ(textAt(b, 18, 8), "Standard");
    EXPECT_EQ(b[33], 0);  // no interval text
    const std::uint8_t standard[] = {64, 59, 55, 50, 45, 40};
    for (size_t s = 0; s < 6; ++s) {
        EXPECT_EQ(b[54 + s], standard[s]) << s;
        EXPECT_EQ(b[60 + 2 * s], 0) << "fret " << s;
        EXPECT_EQ(b[61 + 2 * s], 5) << "marker " << s;
        EXPECT_EQ(b[79 + s], 0) << "sounding " << s;
    }
    EXPECT_EQ(b[72], 0);
    for (size_t i = 1; i < 7; ++i)
        EXPECT_EQ(b[72 + i], 255) << "interval " << i;
    EXPECT_EQ(b[85], 1);
    EXPECT_EQ(b[86], 0);
    EXPECT_EQ(b[87], 24);
}

}  // namespace
