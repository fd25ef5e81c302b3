// Every fingering of the chord dictionary against the rules a player's hand and ear set, by a
// checker written apart from the generator; the generator's search against a brute-force one;
// and the shapes every method book teaches.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <tuple>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "RecordBuilders.h"
#include "theory/ChordFormulas.h"
#include "theory/ChordTypes.h"
#include "theory/VoicingGenerator.h"

using namespace strumox::theory;

namespace {

constexpr std::array<int, 6> kOpenNotes{64, 59, 55, 50, 45, 40};  // string 0 = high E
constexpr int kTopFret = 22;
const char* const kKeyNames[] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};

using Frets = std::array<int, 6>;  // string 0 first; -1 = not played

bool played(const Fingering& f, size_t s) { return f.markers[s] != 5; }

Frets fretsOf(const Fingering& f)
{
    Frets out{};
    for (size_t s = 0; s < 6; ++s)
        out[s] = played(f, s) ? f.frets[s] : -1;
    return out;
}

// "x32010" or "8 10 10 9 8 8": low E first, as players write them.
Frets parseShape(const std::string& text)
{
    std::vector<std::string> words;
    if (text.find(' ') == std::string::npos) {
        for (char c : text)
            words.emplace_back(1, c);
    } else {
        std::istringstream in(text);
        for (std::string w; in >> w;)
            words.push_back(w);
    }
    EXPECT_EQ(words.size(), 6u) << text;
    Frets out{-1, -1, -1, -1, -1, -1};
    for (size_t i = 0; i < words.size() && i < 6; ++i)
        out[5 - i] = words[i] == "x" ? -1 : std::stoi(words[i]);
    return out;
}

std::string shapeText(const Frets& f)
{
    std::string out;
    for (int s = 5; s >= 0; --s) {
        out += f[static_cast<size_t>(s)] < 0 ? "x" : std::to_string(f[static_cast<size_t>(s)]);
        if (s)
            out += ' ';
    }
    return out;
}

std::string describe(const Fingering& f)
{
    std::string out = shapeText(fretsOf(f)) + " fingers ";
    for (int s = 5; s >= 0; --s)
        out += std::to_string(f.markers[static_cast<size_t>(s)]);
    return out + " base " + std::to_string(f.baseFret);
}

// What a chord needs, worked out here from its formula: the pitch classes above the root that
// may sound and those that must. A fingering may leave out the plain fifth of a chord of four
// tones or more, the ninth of an eleventh or thirteenth unless the name says 9, and the eleventh
// of a thirteenth.
struct ChordNeeds {
    std::uint16_t allowed = 0;
    std::uint16_t essential = 0;
};

ChordNeeds needsOf(int g)
{
    const ChordFormula& f = chordFormulas()[static_cast<size_t>(g)];
    std::vector<int> e;
    for (auto v : f.intervals)
        if (v != kNoInterval)
            e.push_back(v);
    const std::string name(f.suffix);
    bool namesNinth = false;
    for (size_t i = name.find('9'); i != std::string::npos; i = name.find('9', i + 1))
        namesNinth = namesNinth || i == 0 || (name[i - 1] != 'b' && name[i - 1] != '#');
    const bool has11 = std::find(e.begin(), e.end(), 17) != e.end();
    const bool has13 = std::find(e.begin(), e.end(), 21) != e.end();
    ChordNeeds needs;
    for (int v : e) {
        needs.allowed |= static_cast<std::uint16_t>(1u << (v % 12));
        const bool optional =
            (v == 7 && e.size() >= 4) || (v == 14 && (has11 || has13) && !namesNinth) || (v == 17 && has13);
        if (!optional)
            needs.essential |= static_cast<std::uint16_t>(1u << (v % 12));
    }
    return needs;
}

// The diagram rule for the first row: 1 while every fretted fret is at most 4, else the lowest
// fretted fret, at most 17.
int expectedBaseFret(const Frets& f)
{
    int lo = 99, hi = 0;
    for (int v : f)
        if (v > 0) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    if (hi <= 4)
        return 1;
    return std::min(lo, 17);
}

// ---- The checker -----------------------------------------------------------------------------

// What a hand cannot do with this fingering (frets, finger markers, beginning fret).
std::vector<std::string> handProblems(const Fingering& f)
{
    std::vector<std::string> p;
    struct Note {
        int string, fret, finger;
    };
    std::vector<Note> fretted;
    for (int s = 0; s < 6; ++s) {
        const int fret = f.frets[static_cast<size_t>(s)];
        const int m = f.markers[static_cast<size_t>(s)];
        if (m == 5 || m == 0) {
            if (fret != 0)
                p.push_back("string " + std::to_string(s) + " open or muted but fret " + std::to_string(fret));
        } else if (m >= 1 && m <= 4) {
            if (fret < 1 || fret > kTopFret)
                p.push_back("string " + std::to_string(s) + " fretted at " + std::to_string(fret));
            fretted.push_back({s, fret, m});
        } else {
            p.push_back("string " + std::to_string(s) + " has marker " + std::to_string(m));
        }
    }
    if (fretted.empty()) {
        if (f.baseFret != 1)
            p.push_back("no fretted note but beginning fret " + std::to_string(f.baseFret));
        return p;
    }
    int lo = 99, hi = 0;
    for (const Note& n : fretted) {
        lo = std::min(lo, n.fret);
        hi = std::max(hi, n.fret);
    }
    if (hi - lo > 3)
        p.push_back("fretted notes span " + std::to_string(hi - lo + 1) + " frets");
    const int base = expectedBaseFret(fretsOf(f));
    if (f.baseFret != base)
        p.push_back("beginning fret " + std::to_string(f.baseFret) + ", the diagram rule gives " +
                    std::to_string(base));
    for (const Note& n : fretted)
        if (n.fret < f.baseFret || n.fret > f.baseFret + 5)
            p.push_back("fret " + std::to_string(n.fret) + " has no row below beginning fret " +
                        std::to_string(f.baseFret));

    if (std::none_of(fretted.begin(), fretted.end(), [&](const Note& n) { return n.finger == 1 && n.fret == lo; }))
        p.push_back("the index is not on the lowest fret");
    for (const Note& a : fretted) {
        if (a.finger == 1 && a.fret != lo)
            p.push_back("the index above the lowest fret");
        for (const Note& b : fretted) {
            if (a.string == b.string)
                continue;
            if (a.fret < b.fret && a.finger >= b.finger)
                p.push_back("finger " + std::to_string(a.finger) + " at fret " + std::to_string(a.fret) +
                            " is not below finger " + std::to_string(b.finger) + " at fret " + std::to_string(b.fret));
            if (a.finger == b.finger && a.finger != 1 && a.string < b.string)
                p.push_back("finger " + std::to_string(a.finger) + " on two strings");
            if (b.finger > a.finger && b.fret - a.fret > b.finger - a.finger + 1)
                p.push_back("fingers " + std::to_string(a.finger) + " and " + std::to_string(b.finger) +
                            " stretched over " + std::to_string(b.fret - a.fret) + " frets");
        }
    }
    // A barre presses every string between its ends.
    int barreHigh = 6, barreLow = -1;
    for (const Note& n : fretted)
        if (n.finger == 1) {
            barreHigh = std::min(barreHigh, n.string);
            barreLow = std::max(barreLow, n.string);
        }
    for (int s = barreHigh + 1; s < barreLow; ++s) {
        const int m = f.markers[static_cast<size_t>(s)];
        if (m < 1 || m > 4)
            p.push_back("the barre lies over string " + std::to_string(s) + ", which is not fretted");
    }
    // Muted strings: on the edges, at most one among the sounding ones.
    int top = 6, bottom = -1;
    for (int s = 0; s < 6; ++s)
        if (played(f, static_cast<size_t>(s))) {
            top = std::min(top, s);
            bottom = std::max(bottom, s);
        }
    int inside = 0;
    for (int s = top + 1; s < bottom; ++s)
        inside += played(f, static_cast<size_t>(s)) ? 0 : 1;
    if (inside > 1)
        p.push_back(std::to_string(inside) + " muted strings inside the chord");
    return p;
}

int bassClass(const Frets& f, int key)
{
    for (int s = 5; s >= 0; --s)
        if (f[static_cast<size_t>(s)] >= 0)
            return (kOpenNotes[static_cast<size_t>(s)] + f[static_cast<size_t>(s)] - key + 120) % 12;
    return -1;
}

// What is wrong with the sound of these frets for the chord (key, formula index).
std::vector<std::string> soundProblems(const Frets& f, int key, int g, bool inversionAllowed)
{
    std::vector<std::string> p;
    const ChordNeeds needs = needsOf(g);
    std::uint16_t heard = 0;
    int strings = 0;
    for (size_t s = 0; s < 6; ++s) {
        if (f[s] < 0)
            continue;
        ++strings;
        const int pc = (kOpenNotes[s] + f[s] - key + 120) % 12;
        heard |= static_cast<std::uint16_t>(1u << pc);
        if (!((needs.allowed >> pc) & 1u))
            p.push_back("string " + std::to_string(s) + " sounds a note outside the chord (" + std::to_string(pc) +
                        " above the root)");
    }
    if (strings < 3)
        p.push_back("only " + std::to_string(strings) + " strings sound");
    if (!(heard & 1u))
        p.push_back("the root does not sound");
    for (int pc = 1; pc < 12; ++pc)
        if (((needs.essential >> pc) & 1u) && !((heard >> pc) & 1u))
            p.push_back("the chord tone " + std::to_string(pc) + " above the root does not sound");
    if (!inversionAllowed && bassClass(f, key) != 0)
        p.push_back("the lowest string does not play the root");
    return p;
}

// Some choice of finger markers that a hand can play with these frets: every assignment of
// fingers 1..4 to the fretted strings is tried.
bool someHandCanPlay(const Frets& frets)
{
    std::vector<size_t> fretted;
    Fingering f;
    for (size_t s = 0; s < 6; ++s) {
        f.frets[s] = static_cast<std::uint8_t>(std::max(0, frets[s]));
        f.markers[s] = frets[s] < 0 ? 5 : 0;
        if (frets[s] > 0)
            fretted.push_back(s);
    }
    f.baseFret = static_cast<std::uint8_t>(expectedBaseFret(frets));
    const size_t n = fretted.size();
    size_t combos = 1;
    for (size_t i = 0; i < n; ++i)
        combos *= 4;
    for (size_t c = 0; c < combos; ++c) {
        size_t code = c;
        for (size_t i = 0; i < n; ++i) {
            f.markers[fretted[i]] = static_cast<std::uint8_t>(1 + code % 4);
            code /= 4;
        }
        if (handProblems(f).empty())
            return true;
    }
    return false;
}

// Every playable fingering of the chord, found by trying every fret on every string: a hand
// covers four frets, so each lowest fret w gives each string the choices muted, open, w..w+3.
std::set<Frets> bruteForce(int key, int g, bool rootInBass)
{
    const ChordNeeds needs = needsOf(g);
    std::set<Frets> found;
    for (int w = 1; w <= kTopFret; ++w) {
        std::array<std::vector<int>, 6> choices;
        for (size_t s = 0; s < 6; ++s) {
            choices[s].push_back(-1);
            for (int fret : {0, w, w + 1, w + 2, w + 3})
                if (fret <= kTopFret && ((needs.allowed >> ((kOpenNotes[s] + fret - key + 120) % 12)) & 1u))
                    choices[s].push_back(fret);
        }
        std::array<size_t, 6> at{};
        while (true) {
            Frets f;
            for (size_t s = 0; s < 6; ++s)
                f[s] = choices[s][at[s]];
            const int bass = bassClass(f, key);
            if (bass >= 0 && (bass == 0) == rootInBass && soundProblems(f, key, g, true).empty() && !found.count(f) &&
                someHandCanPlay(f))
                found.insert(f);
            size_t s = 0;
            while (s < 6 && ++at[s] == choices[s].size())
                at[s++] = 0;
            if (s == 6)
                break;
        }
    }
    return found;
}

const std::vector<FingeringSet>& dictionary()
{
    static const std::vector<FingeringSet> d = generateDictionary();
    return d;
}

const FingeringSet& sixOf(int key, int g)
{
    return dictionary()[static_cast<size_t>(g) * 12 + static_cast<size_t>(key)];
}

std::string chordName(int key, int g)
{
    return std::string(kKeyNames[key]) + " " + std::string(kChordTypeCaptions[static_cast<size_t>(g)]);
}

int typeOf(const std::string& caption)
{
    for (int g = 0; g < kChordTypeCount; ++g)
        if (kChordTypeCaptions[static_cast<size_t>(g)] == caption)
            return g;
    ADD_FAILURE() << "no chord type " << caption;
    return 0;
}

int keyOf(const std::string& name)
{
    for (int k = 0; k < 12; ++k)
        if (name == kKeyNames[k])
            return k;
    ADD_FAILURE() << "no key " << name;
    return 0;
}

int lowestFretted(const Fingering& f)
{
    int lo = 0;
    for (size_t s = 0; s < 6; ++s)
        if (played(f, s) && f.frets[s] > 0)
            lo = lo == 0 ? f.frets[s] : std::min<int>(lo, f.frets[s]);
    return lo;
}

// ---- The checker catches what it should --------------------------------------------------------

using strumox::testsupport::shapeFingering;

struct BadHand {
    const char* name;
    const char* shape;
    const char* fingers;
    int base;
    const char* complaint;
};

class CheckerRejects : public testing::TestWithParam<BadHand> {};

TEST_P(CheckerRejects, WhatNoHandCanPlay)
{
    const BadHand& b = GetParam();
    const auto problems = handProblems(shapeFingering(b.shape, b.fingers, b.base));
    std::string all;
    for (const auto& p : problems)
        all += p + "; ";
    EXPECT_NE(all.find(b.complaint), std::string::npos) << all;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckerRejects,
    testing::Values(BadHand{"SpanOfFiveFrets", "x 3 5 5 5 7", "x12344", 3, "span 5 frets"},
                    BadHand{"IndexAboveTheLowestFret", "x32010", "x31020", 1, "index is not on the lowest fret"},
                    BadHand{"FingersCrossed", "x32010", "x23010", 1, "is not below finger"},
                    BadHand{"OneFingerTwoStrings", "x 5 7 7 7 5", "x12221", 5, "finger 2 on two strings"},
                    BadHand{"BarreOverAnOpenString", "x 2 0 2 2 x", "x1011x", 1, "not fretted"},
                    BadHand{"TwoMutedInside", "3 x x 0 0 3", "1xx002", 1, "2 muted strings inside"},
                    BadHand{"WrongBeginningFret", "x 3 5 5 5 3", "x12341", 1, "the diagram rule gives 3"},
                    BadHand{"MiddleFingerStretch", "x 5 8 x x x", "x12xxx", 5, "stretched over 3 frets"},
                    BadHand{"FretWithoutFinger", "x32010", "x36010", 1, "marker 6"},
                    BadHand{"OpenMarkerOnAFret", "x32010", "x32000", 1, "open or muted but fret 1"}),
    [](const testing::TestParamInfo<BadHand>& info) { return std::string(info.param.name); });

TEST(Checker, AcceptsTheOpenAndBarreChordsOfEveryMethodBook)
{
    for (const auto& f : {shapeFingering("x32010", "x32010", 1), shapeFingering("133211", "134211", 1),
                          shapeFingering("x 3 5 5 5 3", "x12341", 3), shapeFingering("320003", "210003", 1),
                          shapeFingering("x 7 6 7 8 x", "x2134x", 6)})
        EXPECT_TRUE(handProblems(f).empty()) << describe(f);
}

TEST(Checker, HearsWrongNotesMissingTonesAndTheBass)
{
    const int C = 0, D = 2, G = 7;
    EXPECT_TRUE(soundProblems(parseShape("x32010"), C, typeOf("major"), false).empty());
    EXPECT_FALSE(soundProblems(parseShape("x32013"), C, typeOf("7"), false).empty());  // no b7
    EXPECT_FALSE(soundProblems(parseShape("332010"), C, typeOf("major"), false).empty());  // G in the bass
    EXPECT_TRUE(soundProblems(parseShape("332010"), C, typeOf("major"), true).empty());
    EXPECT_FALSE(soundProblems(parseShape("x32000"), C, typeOf("major"), false).empty());  // B is no C major note
    EXPECT_FALSE(soundProblems(parseShape("xx0xx2"), D, typeOf("major"), false).empty());  // two strings
    // The fifth of a seventh chord may go, its third may not.
    EXPECT_EQ(soundProblems(parseShape("3x4x3x"), G, typeOf("maj7"), false).size(), 1u);
    EXPECT_TRUE(soundProblems(parseShape("3x44xx"), G, typeOf("maj7"), false).empty());
}

TEST(Checker, BruteForceFindsTheOpenCChordAndNotItsNeighbours)
{
    const auto all = bruteForce(0, typeOf("major"), true);
    EXPECT_TRUE(all.count(parseShape("x32010")));
    EXPECT_TRUE(all.count(parseShape("8 10 10 9 8 8")));
    EXPECT_TRUE(all.count(parseShape("x32013")));   // four fingers, still C major
    EXPECT_FALSE(all.count(parseShape("x32012")));  // F# is no C major note
    EXPECT_FALSE(all.count(parseShape("332010")));  // G in the bass
}

// ---- Every fingering of the dictionary ---------------------------------------------------------

TEST(Dictionary, HasSixFingeringsForEveryKeyAndType)
{
    EXPECT_EQ(dictionary().size(), 62u * 12u);
}

TEST(Dictionary, EveryFingeringIsPlayableByOneHand)
{
    int failures = 0;
    for (int g = 0; g < kChordTypeCount; ++g)
        for (int key = 0; key < 12; ++key)
            for (const Fingering& f : sixOf(key, g))
                for (const auto& p : handProblems(f)) {
                    if (++failures <= 20)
                        ADD_FAILURE() << chordName(key, g) << ": " << describe(f) << ": " << p;
                }
    EXPECT_EQ(failures, 0);
}

TEST(Dictionary, EveryFingeringSoundsItsChord)
{
    int failures = 0;
    for (int g = 0; g < kChordTypeCount; ++g) {
        for (int key = 0; key < 12; ++key) {
            for (const Fingering& f : sixOf(key, g)) {
                for (const auto& p : soundProblems(fretsOf(f), key, g, true))
                    if (++failures <= 20)
                        ADD_FAILURE() << chordName(key, g) << ": " << describe(f) << ": " << p;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(Dictionary, InversionsOnlyWhereRootPositionRunsOut)
{
    int chordsWithInversions = 0;
    for (int g = 0; g < kChordTypeCount; ++g) {
        for (int key = 0; key < 12; ++key) {
            const FingeringSet& six = sixOf(key, g);
            std::set<Frets> rootPosition;
            for (const Fingering& f : six)
                if (bassClass(fretsOf(f), key) == 0)
                    rootPosition.insert(fretsOf(f));
            if (rootPosition.size() == six.size())
                continue;
            ++chordsWithInversions;
            // Then every root-position fingering there is must be among the six.
            const auto all = bruteForce(key, g, true);
            EXPECT_EQ(all, rootPosition) << chordName(key, g) << " has an inversion although "
                                         << all.size() << " root-position fingerings exist";
        }
    }
    // Rich chords need it; if most did, the hand rules above would be too strict.
    EXPECT_LT(chordsWithInversions, 20);
}

// Why a fingering, legal as it is, is no shape to show before others: an open string ringing
// between strings on the barre's fret while the index lies as a barre (101211), or open strings
// under a hand that frets nothing below the 7th fret. Empty when neither.
std::string awkwardness(const Fingering& f)
{
    const Frets fr = fretsOf(f);
    const int lo = lowestFretted(f);
    if (lo == 0 || std::find(fr.begin(), fr.end(), 0) == fr.end())
        return {};
    if (lo >= 7)
        return "open strings under a hand at fret " + std::to_string(lo);
    const auto top = std::find(fr.begin(), fr.end(), lo), bottom = std::find(fr.rbegin(), fr.rend(), lo).base();
    if (std::count(f.markers.begin(), f.markers.end(), 1) >= 2 && std::find(top, bottom, 0) != bottom)
        return "an open string inside the barre";
    return {};
}

TEST(Checker, TellsAwkwardFingeringsFromOpenChords)
{
    EXPECT_EQ(awkwardness(shapeFingering("101211", "203411", 1)), "an open string inside the barre");
    EXPECT_EQ(awkwardness(shapeFingering("x 7 9 9 8 0", "x13420", 7)), "open strings under a hand at fret 7");
    for (const auto& f : {shapeFingering("022020", "023040", 1), shapeFingering("x20202", "x10203", 1),
                          shapeFingering("133211", "134211", 1), shapeFingering("0 6 5 4 5 0", "042130", 4)})
        EXPECT_EQ(awkwardness(f), "") << describe(f);
}

// The first is the one shown on the neck; the other five climb it, the awkward ones after them.
TEST(Dictionary, TheSixAreDistinctAndTheRestClimbTheNeck)
{
    for (int g = 0; g < kChordTypeCount; ++g) {
        for (int key = 0; key < 12; ++key) {
            const FingeringSet& six = sixOf(key, g);
            std::set<Frets> distinct;
            for (const Fingering& f : six)
                distinct.insert(fretsOf(f));
            EXPECT_EQ(distinct.size(), 6u) << chordName(key, g);
            for (size_t i = 2; i < six.size(); ++i) {
                const Fingering& a = six[i - 1];
                const Fingering& b = six[i];
                if (awkwardness(a).empty() != awkwardness(b).empty())
                    continue;  // where the awkward ones begin
                const bool ordered = a.baseFret < b.baseFret ||
                                     (a.baseFret == b.baseFret && lowestFretted(a) <= lowestFretted(b));
                EXPECT_TRUE(ordered) << chordName(key, g) << ": " << describe(a) << " before " << describe(b);
            }
        }
    }
}

TEST(Dictionary, AwkwardFingeringsOnlyLastAndOnlyWhereTooFewOthersExist)
{
    const auto fine = [](const Fingering& f) { return awkwardness(f).empty(); };
    for (int g = 0; g < kChordTypeCount; ++g) {
        for (int key = 0; key < 12; ++key) {
            const FingeringSet& six = sixOf(key, g);
            EXPECT_TRUE(std::is_partitioned(six.begin(), six.end(), fine)) << chordName(key, g);
            if (std::all_of(six.begin(), six.end(), fine))
                continue;
            // Chords of up to four tones have shapes enough all over the neck.
            EXPECT_GE(std::popcount(needsOf(g).allowed), 5) << chordName(key, g);
            const auto all = playableFingerings(key, g);
            EXPECT_LT(std::count_if(all.begin(), all.end(), fine), 6) << chordName(key, g);
        }
    }
}

TEST(Dictionary, MostFingeringsStayBelowTheFifteenthFret)
{
    int high = 0, all = 0;
    for (const FingeringSet& six : dictionary())
        for (const Fingering& f : six) {
            ++all;
            high += f.baseFret > 15 ? 1 : 0;
        }
    EXPECT_LT(high * 10, all) << high << " of " << all << " start above the 15th fret";
}

TEST(Dictionary, IsTheSameOnEveryRun)
{
    EXPECT_EQ(generateDictionary(), dictionary());
    EXPECT_EQ(chordFingerings(2, 20), sixOf(2, 20));
}

// ---- The search against brute force ------------------------------------------------------------

struct SearchCase {
    const char* key;
    const char* type;
};

class SearchMatchesBruteForce : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchMatchesBruteForce, FindsEveryPlayableRootPositionFingeringAndNothingElse)
{
    const int key = keyOf(GetParam().key);
    const int g = typeOf(GetParam().type);
    const std::vector<Fingering> fast = playableFingerings(key, g);
    std::set<Frets> fastSet;
    for (const Fingering& f : fast) {
        EXPECT_TRUE(handProblems(f).empty()) << describe(f);
        EXPECT_TRUE(soundProblems(fretsOf(f), key, g, false).empty()) << describe(f);
        EXPECT_TRUE(fastSet.insert(fretsOf(f)).second) << "twice: " << describe(f);
    }
    const std::set<Frets> slow = bruteForce(key, g, true);
    for (const Frets& f : slow)
        EXPECT_TRUE(fastSet.count(f)) << "the search misses " << shapeText(f);
    for (const Frets& f : fastSet)
        EXPECT_TRUE(slow.count(f)) << "the search invents " << shapeText(f);
    for (const Fingering& f : sixOf(key, g)) {
        if (bassClass(fretsOf(f), key) == 0) {
            EXPECT_TRUE(slow.count(fretsOf(f))) << describe(f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Chords, SearchMatchesBruteForce,
                         testing::Values(SearchCase{"C", "major"}, SearchCase{"Gb", "m7"}, SearchCase{"E", "7"},
                                         SearchCase{"Bb", "13"}, SearchCase{"Ab", "maj9(#11)"},
                                         SearchCase{"D", "m11"}, SearchCase{"G", "13b5b9"},
                                         SearchCase{"A", "dim(o)"}, SearchCase{"B", "sus(add3/add9)"},
                                         SearchCase{"Eb", "7(#5#9)"}),
                         [](const testing::TestParamInfo<SearchCase>& info) {
                             std::string n = std::string(info.param.key) + "_" + info.param.type;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

// ---- The shapes method books teach ---------------------------------------------------------------

struct KnownShape {
    const char* key;
    const char* type;
    std::vector<const char*> shapes;  // any one of them, low E first
};

bool hasShape(int key, int g, const std::vector<const char*>& shapes)
{
    for (const Fingering& f : sixOf(key, g))
        for (const char* s : shapes)
            if (fretsOf(f) == parseShape(s))
                return true;
    return false;
}

std::string listSix(int key, int g)
{
    std::string out;
    for (const Fingering& f : sixOf(key, g))
        out += "\n  " + shapeText(fretsOf(f));
    return out;
}

void expectShapes(const std::vector<KnownShape>& table)
{
    for (const KnownShape& k : table) {
        const int key = keyOf(k.key), g = typeOf(k.type);
        EXPECT_TRUE(hasShape(key, g, k.shapes))
            << chordName(key, g) << " lacks " << k.shapes.front() << listSix(key, g);
    }
}

// The open chords method books teach first, any one of the shapes given.
const std::vector<KnownShape> kOpenChords{
    {"C", "major", {"x32010"}},  {"A", "major", {"x02220"}},  {"G", "major", {"320003", "320033"}},
    {"E", "major", {"022100"}},  {"D", "major", {"xx0232"}},  {"A", "minor", {"x02210"}},
    {"E", "minor", {"022000"}},  {"D", "minor", {"xx0231"}},  {"E", "7", {"020100", "022130"}},
    {"A", "7", {"x02020", "x02223"}}, {"D", "7", {"xx0212"}}, {"G", "7", {"320001"}},
    {"C", "7", {"x32310"}},      {"B", "7", {"x21202"}},      {"A", "m7", {"x02010"}},
    {"E", "m7", {"022030", "020000", "022033"}}, {"D", "m7", {"xx0211"}}, {"B", "m7", {"x20202"}},
    {"A", "maj7", {"x02120"}},   {"C", "maj7", {"x32000"}},   {"D", "maj7", {"xx0222"}},
    {"F", "maj7", {"xx3210"}},   {"E", "maj7", {"021100"}},   {"G", "maj7", {"320002"}},
    {"A", "6", {"x02222"}},      {"C", "6", {"x32210"}},      {"D", "6", {"xx0202"}},
    {"E", "6", {"022120"}},      {"G", "6", {"320000"}},      {"A", "m6", {"x02212"}},
    {"D", "m6", {"xx0201"}},     {"E", "m6", {"022020"}},     {"A", "9", {"x02423"}},
    {"E", "9", {"020102"}},      {"E", "m9", {"020002"}},     {"A", "sus4", {"x02230"}},
    {"C", "sus4", {"x33011"}},   {"D", "sus4", {"xx0233"}},   {"E", "sus4", {"022200"}},
    {"C", "add9", {"x32030", "x32033", "x30010"}}, {"A", "7sus4", {"x02030"}}, {"D", "7sus4", {"xx0213"}},
    {"E", "7sus4", {"020200"}},  {"B", "m7b5", {"x20201"}},
};

const KnownShape* openChordOf(int key, int g)
{
    for (const KnownShape& k : kOpenChords)
        if (keyOf(k.key) == key && typeOf(k.type) == g)
            return &k;
    return nullptr;
}

// Any of the shapes moved up `shift` frets, open strings becoming the barre.
bool startsWith(int key, int g, const std::vector<const char*>& shapes, int shift = 0)
{
    return std::any_of(shapes.begin(), shapes.end(), [&](const char* s) {
        Frets f = parseShape(s);
        for (int& fret : f)
            fret += fret < 0 ? 0 : shift;
        return fretsOf(sixOf(key, g).front()) == f;
    });
}

TEST(MethodBookShapes, OpenChordsComeFirst)
{
    for (const KnownShape& k : kOpenChords) {
        const int key = keyOf(k.key), g = typeOf(k.type);
        EXPECT_TRUE(startsWith(key, g, k.shapes))
            << chordName(key, g) << " starts with " << shapeText(fretsOf(sixOf(key, g).front()));
    }
}

// In the other keys the E- or A-form comes first, the open E or A chord moved up to the root on the
// sixth or fifth string, whichever fret is lower.
TEST(MethodBookShapes, OtherwiseTheLowerOfTheEAndAFormBarresComesFirst)
{
    for (const char* type : {"major", "minor", "7", "m7"}) {
        const int g = typeOf(type);
        for (int key = 0; key < 12; ++key) {
            const int onE = (key + 8) % 12, onA = (key + 3) % 12;  // the root's fret on the low E and A strings
            if (openChordOf(key, g))
                continue;
            const KnownShape* form = openChordOf(onE < onA ? 4 : 9, g);
            ASSERT_TRUE(form);
            EXPECT_TRUE(startsWith(key, g, form->shapes, std::min(onE, onA)))
                << chordName(key, g) << " starts with " << shapeText(fretsOf(sixOf(key, g).front())) << ", not the "
                << form->key << "-form barre";
        }
    }
}

TEST(MethodBookShapes, BarreChordsOfTheEAndAShapes)
{
    expectShapes({
        {"F", "major", {"133211"}},
        {"A", "major", {"577655"}},
        {"G", "major", {"355433"}},
        {"C", "major", {"x35553"}},
        {"Bb", "major", {"x13331"}},
        {"B", "major", {"x24442"}},
        {"F", "minor", {"133111"}},
        {"A", "minor", {"577555"}},
        {"B", "minor", {"x24432"}},
        {"C", "minor", {"x35543"}},
        {"G", "minor", {"355333"}},
        {"F", "7", {"131211"}},
        {"A", "7", {"575655"}},
        {"C", "7", {"x35353"}},
        {"B", "7", {"x24242"}},
        {"G", "m7", {"353333"}},
        {"A", "m7", {"575555"}},
        {"C", "m7", {"x35343"}},
        {"Bb", "maj7", {"x13231"}},
        {"C", "maj7", {"x35453"}},
        {"A", "sus4", {"577755"}},
        {"D", "sus4", {"x 5 7 7 8 5"}},
    });
}

TEST(MethodBookShapes, MovableJazzVoicings)
{
    expectShapes({
        {"C", "9", {"x3233x"}},
        {"E", "7#9", {"x7678x"}},
        {"B", "m7b5", {"x2323x"}},
        {"C", "maj9", {"x3243x"}},
        {"C", "m9", {"x3133x"}},
        {"G", "13", {"3x345x", "353453"}},
        {"C", "6/9", {"x32233"}},
        {"C", "7b9", {"x3232x", "x32323"}},
    });
}

// Finger numbers as method books print them for the chords every player knows.
TEST(MethodBookShapes, FingersFollowTheBooks)
{
    const std::vector<std::tuple<const char*, const char*, const char*, const char*>> table{
        {"C", "major", "x32010", "x32010"}, {"E", "major", "022100", "023100"}, {"A", "minor", "x02210", "x02310"},
        {"D", "major", "xx0232", "xx0132"}, {"D", "minor", "xx0231", "xx0231"}, {"G", "7", "320001", "320001"},
        {"C", "7", "x32310", "x32410"},     {"F", "maj7", "xx3210", "xx3210"},  {"A", "major", "577655", "134211"},
        {"C", "major", "x35553", "x12341"}, {"E", "7", "020100", "020100"},    {"D", "m7", "xx0211", "xx0211"},
    };
    for (const auto& [key, type, shape, fingers] : table) {
        const int k = keyOf(key), g = typeOf(type);
        bool found = false;
        for (const Fingering& f : sixOf(k, g)) {
            if (fretsOf(f) != parseShape(shape))
                continue;
            found = true;
            std::string got;
            for (int s = 5; s >= 0; --s)
                got += f.markers[static_cast<size_t>(s)] == 5 ? 'x' : char('0' + f.markers[static_cast<size_t>(s)]);
            EXPECT_EQ(got, fingers) << chordName(k, g) << " " << shape;
        }
        EXPECT_TRUE(found) << chordName(k, g) << " lacks " << shape;
    }
}

}  // namespace
