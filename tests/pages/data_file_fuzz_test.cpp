// Thousands of damaged data files from a fixed seed, fed to the readers and on to the records the
// chord and scale finders put on the pages. The readers must refuse exactly the files that an
// independent reading of the layouts refuses, naming the same first bad record or the same
// shortage, and whatever they accept must make sound diagrams and scale rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "TempDir.h"
#include "pages/ChordFinder.h"
#include "pages/ScalesPageModel.h"
#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/ScaleData.h"

using namespace strumox;
using testsupport::TempDir;

namespace {

// ---- The layouts read afresh, byte by byte -----------------------------------------------------

bool dictionaryRecordOk(const std::uint8_t* r)
{
    int lo = 99, hi = 0, sounding = 0;
    for (int s = 0; s < 6; ++s) {
        const int fret = r[1 + 2 * s], marker = r[2 + 2 * s];
        if (fret > 22 || marker > 6)
            return false;
        if (marker == 0 || marker == 5) {
            if (fret != 0)
                return false;
        } else {
            if (fret == 0)
                return false;
            lo = std::min(lo, fret);
            hi = std::max(hi, fret);
        }
        sounding += marker != 5;
    }
    const int base = hi <= 4 ? 1 : std::min(lo, 17);
    return sounding > 0 && r[0] == base && hi <= base + 5;
}

const std::set<int> kNamedIntervals{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 17, 18, 20, 21};

// An interval list: the root (0), then rising entries each allowed by `fits`, then `end` to the
// last entry.
bool intervalListOk(const std::uint8_t* list, int size, std::uint8_t end, const std::function<bool(int)>& fits)
{
    if (list[0] != 0)
        return false;
    int i = 1;
    for (; i < size && list[i] != end; ++i)
        if (list[i] <= list[i - 1] || !fits(list[i]))
            return false;
    for (; i < size; ++i)
        if (list[i] != end)
            return false;
    return true;
}

bool formulaRecordOk(const std::uint8_t* r)
{
    return intervalListOk(r, 7, 255, [](int v) { return kNamedIntervals.count(v) > 0; }) && r[7] <= 15 && r[23] <= 20;
}

bool scaleRecordOk(const std::uint8_t* r)
{
    return intervalListOk(r, 10, 99, [](int v) { return v <= 11; }) && r[10] <= 26;
}

enum class Kind { Dictionary, Formulas, Scales };

struct FileInfo {
    std::string name;
    Kind kind;
    std::size_t recordSize;
    std::size_t records;
};

const std::vector<FileInfo> kFiles{
    {"kqma1.dat", Kind::Dictionary, 13, 684}, {"kqma2.dat", Kind::Dictionary, 13, 684},
    {"kqmi1.dat", Kind::Dictionary, 13, 612}, {"kqmi2.dat", Kind::Dictionary, 13, 612},
    {"kqdo1.dat", Kind::Dictionary, 13, 936}, {"kqdo2.dat", Kind::Dictionary, 13, 936},
    {"kqcd3.dat", Kind::Formulas, 44, 62},    {"kqs.dat", Kind::Scales, 37, 47}};

bool recordOk(Kind kind, const std::uint8_t* r)
{
    return kind == Kind::Dictionary ? dictionaryRecordOk(r) : kind == Kind::Formulas ? formulaRecordOk(r) : scaleRecordOk(r);
}

// What a reader must say about these bytes as the file at `path`; empty when it must accept them.
std::string expectedError(const FileInfo& f, const std::string& path, const std::string& bytes)
{
    const std::size_t whole = bytes.size() / f.recordSize;
    if (whole < f.records) {
        switch (f.kind) {
        case Kind::Dictionary:
            return path + " is too short: records " + std::to_string(whole) + ".." + std::to_string(f.records - 1) +
                   " are not all there";
        case Kind::Formulas:
            return path + " holds " + std::to_string(whole) + " whole chord formulas of 62 (" +
                   std::to_string(bytes.size()) + " bytes, 2728 needed)";
        case Kind::Scales:
            return "Read beyond end of file: " + path + " holds no complete scale record " + std::to_string(whole) +
                   " (bytes " + std::to_string(whole * 37) + " to " + std::to_string(whole * 37 + 36) + ").";
        }
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t r = 0; r < f.records; ++r)
        if (!recordOk(f.kind, data + r * f.recordSize))
            return f.name + " is damaged: record " + std::to_string(r) + ".";
    if (bytes.size() > f.records * f.recordSize)
        return f.name + " is damaged: record " + std::to_string(f.records) + ".";
    return "";
}

// ---- Damage ----------------------------------------------------------------------------------

class Damage {
public:
    explicit Damage(std::uint32_t seed) : m_rng(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    char byte() { return static_cast<char>(below(256)); }

    // A record of values near the ends of its ranges, so that many of them pass.
    std::string plausibleRecord(const FileInfo& f)
    {
        std::string r(f.recordSize, '\0');
        auto u8 = [](int v) { return static_cast<char>(v); };
        if (f.kind == Kind::Dictionary) {
            for (int s = 0; s < 6; ++s) {
                const int marker = below(8);
                const bool nut = marker == 0 || marker == 5;
                r[1 + 2 * s] = u8(below(8) == 0 ? below(24) : nut ? 0 : 1 + below(22));
                r[2 + 2 * s] = u8(marker);
            }
            r[0] = u8(below(3) == 0 ? below(19) : theory::beginningFret(frets(r), markers(r)));
        } else {
            const int size = f.kind == Kind::Formulas ? 7 : 10;
            const std::uint8_t end = f.kind == Kind::Formulas ? 255 : 99;
            const int top = f.kind == Kind::Formulas ? 24 : 12;
            int v = below(8) == 0 ? below(3) : 0;
            const int count = 1 + below(size);
            for (int i = 0; i < size; ++i) {
                if (i < count && v <= top) {
                    r[static_cast<std::size_t>(i)] = u8(v);
                    v += 1 + below(below(6) == 0 ? 1 : 4) - (below(20) == 0 ? 2 : 0);
                } else {
                    r[static_cast<std::size_t>(i)] = u8(below(15) == 0 ? below(30) : end);
                }
            }
            const std::size_t lengthAt = f.kind == Kind::Formulas ? 7 : 10;
            const int capacity = f.kind == Kind::Formulas ? 15 : 26;
            r[lengthAt] = u8(capacity - 2 + below(4));
            if (f.kind == Kind::Formulas)
                r[23] = u8(18 + below(4));
            for (std::size_t i = lengthAt + 1; i < r.size(); ++i)
                if (i != 23)
                    r[i] = byte();
        }
        return r;
    }

    // One damaged copy of `good`; `what` says how, for the failure report.
    std::string damaged(const FileInfo& f, const std::string& good, std::string& what)
    {
        std::string b = good;
        const std::size_t records = good.size() / f.recordSize;
        auto at = [&](std::size_t r) { return r * f.recordSize; };
        switch (below(10)) {
        case 0:
            what = "bytes set";
            for (int k = 1 + below(4); k > 0; --k)
                b[static_cast<std::size_t>(below(static_cast<int>(b.size())))] = byte();
            break;
        case 1:
            what = "bits flipped";
            for (int k = 1 + below(3); k > 0; --k)
                b[static_cast<std::size_t>(below(static_cast<int>(b.size())))] ^= static_cast<char>(1 << below(8));
            break;
        case 2:
            what = "cut short";
            b.resize(static_cast<std::size_t>(below(static_cast<int>(b.size()))));
            break;
        case 3:
            what = "bytes appended";
            for (int k = 1 + below(3 * static_cast<int>(f.recordSize)); k > 0; --k)
                b += byte();
            break;
        case 4:
            what = "all 0xFF";
            std::fill(b.begin(), b.end(), '\xFF');
            break;
        case 5:
            what = "random record";
            for (std::size_t i = 0, r = static_cast<std::size_t>(below(static_cast<int>(records))); i < f.recordSize; ++i)
                b[at(r) + i] = byte();
            break;
        case 6:
        case 7: {
            what = "plausible records";
            for (int k = 1 + below(3); k > 0; --k)
                b.replace(at(static_cast<std::size_t>(below(static_cast<int>(records)))), f.recordSize, plausibleRecord(f));
            break;
        }
        case 9:
            if (f.kind == Kind::Dictionary) {
                what = "strings muted";
                for (int k = 1 + below(3); k > 0; --k) {
                    const std::size_t r = at(static_cast<std::size_t>(below(static_cast<int>(records))));
                    const bool all = below(3) == 0;
                    for (std::size_t s = 0; s < 6; ++s) {
                        if (all || below(2) == 0) {
                            b[r + 1 + 2 * s] = 0;
                            b[r + 2 + 2 * s] = 5;
                        }
                    }
                    b[r] = static_cast<char>(theory::beginningFret(frets(b.substr(r, 13)), markers(b.substr(r, 13))));
                }
                break;
            }
            [[fallthrough]];
        case 8: {
            what = "records swapped";
            const auto r1 = static_cast<std::size_t>(below(static_cast<int>(records)));
            const auto r2 = static_cast<std::size_t>(below(static_cast<int>(records)));
            const std::string one = b.substr(at(r1), f.recordSize);
            b.replace(at(r1), f.recordSize, b.substr(at(r2), f.recordSize));
            b.replace(at(r2), f.recordSize, one);
            break;
        }
        }
        return b;
    }

private:
    static std::array<std::uint8_t, 6> frets(const std::string& r)
    {
        std::array<std::uint8_t, 6> out{};
        for (std::size_t s = 0; s < 6; ++s)
            out[s] = static_cast<std::uint8_t>(r[1 + 2 * s]);
        return out;
    }
    static std::array<std::uint8_t, 6> markers(const std::string& r)
    {
        std::array<std::uint8_t, 6> out{};
        for (std::size_t s = 0; s < 6; ++s)
            out[s] = static_cast<std::uint8_t>(r[2 + 2 * s]);
        return out;
    }

    std::mt19937 m_rng;
};

// ---- What the pages get ------------------------------------------------------------------------

// Why a diagram from the chord finder is unsound; empty when it is sound.
std::string diagramProblem(const pages::DiagramRecord& d, int key)
{
    if (d.empty != 0 || d.root != key || d.bass != key + 24 || d.tuning != theory::kStandardTuning)
        return "not a filled standard-tuning diagram of the key";
    int sounding = 0;
    for (std::size_t s = 0; s < 6; ++s) {
        const int fret = d.frets[s], marker = d.markers[s];
        if (marker > 6 || fret > 22)
            return "marker or fret out of range on string " + std::to_string(s);
        if ((marker == 0 || marker == 5) != (fret == 0))
            return "marker and fret disagree on string " + std::to_string(s);
        if (d.sounding[s] != (marker == 5 ? 0 : d.tuning[s] + fret))
            return "sounding note is not tuning + fret on string " + std::to_string(s);
        if (fret > 0 && (fret < d.baseFret || fret > d.baseFret + 5))
            return "fret without a row on string " + std::to_string(s);
        sounding += marker != 5;
    }
    if (sounding == 0 || d.baseFret < 1 || d.baseFret > 17)
        return "nothing sounds, or no beginning fret";
    if (!intervalListOk(d.intervals.data(), 7, 255, [](int v) { return kNamedIntervals.count(v) > 0; }))
        return "interval list";
    if (d.name.size() > 15 || d.formula.size() > 20)
        return "text longer than its field";
    return "";
}

std::string scaleRowProblem(const pages::ScaleRecord& row, int key)
{
    if (row.empty != 0 || row.root != key || row.beginFret != pages::kDefaultBeginFrets)
        return "not a filled row of the key at the default positions";
    if (!intervalListOk(row.intervals.data(), 10, 99, [](int v) { return v <= 11; }))
        return "interval list";
    if (row.formula.size() > 26)
        return "formula longer than its field";
    return "";
}

class DataFileFuzz : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_written = new TempDir;
        theory::writeChordDataFiles(s_written->dir());
        theory::writeScaleFile(s_written->dir());
    }
    static void TearDownTestSuite()
    {
        delete s_written;
        s_written = nullptr;
    }
    static std::string good(const FileInfo& f) { return s_written->read(f.name); }

    // Reports a disagreement with the seed's case number; false once there have been enough.
    bool report(int n, const std::string& file, const std::string& what, const std::string& problem)
    {
        ADD_FAILURE() << "case " << n << ", " << file << " (" << what << "): " << problem;
        return ++m_failures < 10;
    }

    static TempDir* s_written;
    int m_failures = 0;
};

TempDir* DataFileFuzz::s_written = nullptr;

// ---- The readers on bytes ------------------------------------------------------------------

TEST_F(DataFileFuzz, ReadersRefuseExactlyTheDamagedFilesAndKeepEveryRecordTheyAccept)
{
    Damage damage(20240611);
    int accepted = 0, refused = 0;
    for (int n = 0; n < 6000; ++n) {
        const FileInfo& f = kFiles[static_cast<std::size_t>(n) % kFiles.size()];
        std::string what;
        const std::string bytes = damage.damaged(f, good(f), what);
        const std::string path = "/app/" + f.name;
        const std::string expected = expectedError(f, path, bytes);
        std::string error;
        bool ok = false;
        std::vector<std::string> records;  // each accepted record encoded again, for the comparison
        if (f.kind == Kind::Dictionary) {
            const auto got = theory::dictionaryFromBytes(path, bytes, f.records, &error);
            if ((ok = got.has_value()))
                for (const theory::Fingering& fingering : *got) {
                    const auto b = theory::dictionaryRecordBytes(fingering);
                    records.emplace_back(b.begin(), b.end());
                }
        } else if (f.kind == Kind::Formulas) {
            const auto got = theory::formulasFromBytes(path, bytes, &error);
            if ((ok = got.has_value()))
                for (const theory::FormulaRecord& r : *got)
                    records.push_back(std::string(r.intervals.begin(), r.intervals.end()) + r.suffix + "|" + r.text);
        } else {
            const auto got = theory::scalesFromBytes(path, bytes, &error);
            if ((ok = got.has_value()))
                for (const theory::ScaleDefinition& s : *got)
                    records.push_back(std::string(s.intervals.begin(), s.intervals.end()) + s.formula);
        }
        if (ok != expected.empty() || (!ok && error != expected)) {
            if (!report(n, f.name, what, "reader said '" + (ok ? std::string("accepted") : error) + "', expected '" +
                                             (expected.empty() ? std::string("accepted") : expected) + "'"))
                return;
            continue;
        }
        if (!ok) {
            ++refused;
            continue;
        }
        ++accepted;
        for (std::size_t r = 0; r < f.records; ++r) {
            const std::string raw = bytes.substr(r * f.recordSize, f.recordSize);
            const auto* b = reinterpret_cast<const std::uint8_t*>(raw.data());
            std::string want = f.kind == Kind::Dictionary ? raw
                               : f.kind == Kind::Formulas
                                   ? raw.substr(0, 7) + raw.substr(8, b[7]) + "|" + raw.substr(24, b[23])
                                   : raw.substr(0, 10) + raw.substr(11, b[10]);
            if (records[r] != want) {
                if (!report(n, f.name, what, "record " + std::to_string(r) + " read back differently"))
                    return;
                break;
            }
        }
    }
    // The seed must exercise both outcomes in earnest.
    EXPECT_GT(accepted, 600);
    EXPECT_GT(refused, 3000);
}

// ---- The finders on files ------------------------------------------------------------------

TEST_F(DataFileFuzz, FindersGiveSoundRecordsOrTheReadersMessage)
{
    Damage damage(77031);
    const theory::NoteNames names;
    int found = 0;
    for (int n = 0; n < 400; ++n) {
        const TempDir dir;
        std::vector<std::string> files;
        std::string what;
        for (const FileInfo& f : kFiles)
            files.push_back(good(f));
        const std::size_t hit = static_cast<std::size_t>(damage.below(static_cast<int>(kFiles.size())));
        files[hit] = damage.damaged(kFiles[hit], files[hit], what);
        what = kFiles[hit].name + ": " + what;
        for (std::size_t i = 0; i < kFiles.size(); ++i)
            dir.write(kFiles[i].name, files[i]);

        if (kFiles[hit].kind == Kind::Scales) {
            const int index = damage.below(47), key = damage.below(12);
            std::string error;
            const auto def = theory::readScaleRecord(dir.dir(), index, &error);
            const std::string expected = expectedError(kFiles[hit], dir.file("kqs.dat"), files[hit]);
            if (def.has_value() != expected.empty() || (!def && error != expected)) {
                if (!report(n, "kqs.dat", what, def ? "accepted" : error))
                    return;
                continue;
            }
            if (!def)
                continue;
            const auto row = pages::newScalesPageRow(*def, std::string(theory::kScaleNames[static_cast<std::size_t>(index)]),
                                                     key, theory::kStandardTuning, {}, names);
            const std::string problem = scaleRowProblem(row, key);
            if (!problem.empty() && !report(n, "kqs.dat", what, problem))
                return;
            ++found;
            continue;
        }

        // A chord of the damaged file's family (any family for the formula file).
        int g = damage.below(62);
        if (kFiles[hit].kind == Kind::Dictionary)
            g = hit < 2 ? damage.below(19) : hit < 4 ? 19 + damage.below(17) : 36 + damage.below(26);
        const int key = damage.below(12);
        const theory::DictionaryFiles& family = *theory::dictionaryFilesOf(g);
        std::string expected;
        for (const FileInfo& f : kFiles) {
            if (f.name == family.first)
                expected = expectedError(f, dir.file(f.name), files[static_cast<std::size_t>(&f - kFiles.data())]);
        }
        for (const FileInfo& f : kFiles) {
            if (expected.empty() && f.name == family.second)
                expected = expectedError(f, dir.file(f.name), files[static_cast<std::size_t>(&f - kFiles.data())]);
        }
        if (expected.empty()) {
            const std::string& formulas = files[6];
            expected = formulas.size() < static_cast<std::size_t>(g + 1) * 44
                           ? dir.file("kqcd3.dat") + " is too short for chord formula " + std::to_string(g)
                           : expectedError(kFiles[6], dir.file("kqcd3.dat"), formulas);
        }
        std::string error;
        const auto lookup = theory::lookupChord(dir.dir(), g, key, &error);
        if (lookup.has_value() != expected.empty() || (!lookup && error != expected)) {
            if (!report(n, kFiles[hit].name, what,
                        "lookup said '" + (lookup ? std::string("found") : error) + "', expected '" + expected + "'"))
                return;
            continue;
        }
        if (!lookup)
            continue;
        ++found;
        const auto diagrams = pages::diagramsFromLookup(*lookup, key);
        const auto record = static_cast<std::size_t>(theory::dictionaryRecordNumber(g, key));
        for (std::size_t i = 0; i < 6; ++i) {
            const std::string problem = diagramProblem(diagrams[i], key);
            if (!problem.empty() && !report(n, kFiles[hit].name, what, "diagram " + std::to_string(i) + ": " + problem))
                return;
            // Fingering i comes from record + i % 3 of the family's first (i < 3) or second file.
            const std::string& source = dir.read(std::string(i < 3 ? family.first : family.second));
            const std::string raw = source.substr((record + i % 3) * 13, 13);
            const auto b = theory::dictionaryRecordBytes(lookup->fingerings[i]);
            if (raw != std::string(b.begin(), b.end()) && !report(n, kFiles[hit].name, what, "wrong record"))
                return;
        }
    }
    EXPECT_GT(found, 40);
}

}  // namespace
