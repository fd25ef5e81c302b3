// Thousands of damaged page files from a fixed seed, fed to the readers. Each must be refused
// with the very sentence an independent reading of the formats gives, or accepted; an accepted
// file writes back as the same bytes with only the meaningless ones zeroed, and reads again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "TempDir.h"
#include "pages/PageFiles.h"

using namespace strumox::pages;
using namespace strumox::testsupport;

namespace {

// ---- The formats read afresh, byte by byte -----------------------------------------------------

using Bytes = std::string;

// `count` bytes from `at`, `step` apart, each lo..hi or `also`; a text's length byte when `text`.
struct Rule {
    std::size_t at, count, step;
    int lo, hi, also = -1;
    bool text = false;
};
using Rules = std::vector<Rule>;
Rule text(std::size_t at, int capacity) { return {at, 1, 1, 0, capacity, -1, true}; }

const Rules kChord{{0, 1, 1, 0, 1},       text(1, 15),         text(17, 15),      text(33, 20),
                   {54, 6, 1, 33, 69},    {60, 6, 2, 0, 22},   {61, 6, 2, 0, 6},  {72, 7, 1, 0, 23, 255},
                   {79, 6, 1, 33, 91, 0}, {85, 1, 1, 1, 20},   {86, 1, 1, 0, 11}, {87, 1, 1, 0, 35}};
const Rules kPrint{{0, 1, 1, 0, 1},     {1, 1, 1, 0, 1},        text(2, 26),        text(29, 15),
                   text(45, 26),        {72, 6, 1, 33, 69},     {78, 6, 2, 0, 22},  {79, 6, 2, 0, 6},
                   {100, 6, 1, 33, 91, 0}, {106, 1, 1, 1, 20}, {107, 1, 1, 0, 11}, {108, 1, 1, 0, 35}};
// A Print cell's intervals follow its isChord byte.
const Rule kPrintChordIntervals{90, 10, 1, 0, 23, 255}, kPrintScaleIntervals{90, 10, 1, 0, 11, 99};
const Rules kScale{{0, 1, 1, 0, 1},    text(1, 26),            text(28, 15),      text(44, 26),
                   {71, 6, 1, 33, 69}, {77, 10, 1, 0, 11, 99}, {87, 6, 1, 1, 20}, {93, 1, 1, 0, 11}};
const Rules kPlayHeader{{0, 1, 1, 0, 1}, text(17, 15), {85, 1, 1, 10, 250, 0}, {86, 1, 1, 0, 1}, {87, 1, 1, 0, 1}};

struct Format {
    std::string ext, name, rejection;
    std::size_t recordSize, records, idAt;
    std::string id;
    Rules rules;
};
const std::vector<Format> kFormats{
    {"cpf", "Chord Page", "This is not a Chord Page file", 88, 30, 1, "kqPageChord", kChord},
    {"cds", "Chord Design", "This is not a Chord Design file", 88, 6, 1, "kqChordDesign", kChord},
    {"gpr", "Print Page", "This is not a Print Page file", 109, 30, 2, "kqPagePrint", kPrint},
    {"spf", "Scale Page", "This is not a Scale Page file", 94, 5, 1, "kqPageScale", kScale},
    {"ppf", "PlayPage", "This is not a Strumox PlayPage file", 88, 288, 1, "kq6PlayPage", kChord},
};
const std::string kOlderPlayId = "kqPlayPage";

int at(const Bytes& b, std::size_t i) { return static_cast<std::uint8_t>(b[i]); }

bool holds(const Bytes& b, std::size_t base, const Rule& r)
{
    for (std::size_t k = 0; k < r.count; ++k) {
        const int v = at(b, base + r.at + k * r.step);
        if ((v < r.lo || v > r.hi) && v != r.also)
            return false;
    }
    return true;
}

bool allHold(const Bytes& b, std::size_t base, const Rules& rules)
{
    return std::all_of(rules.begin(), rules.end(), [&](const Rule& r) { return holds(b, base, r); });
}

// A record marked empty (its first byte 1) is held to its text lengths alone.
bool recordHolds(const Bytes& b, std::size_t base, const Rules& rules)
{
    if (at(b, base) != 1)
        return allHold(b, base, rules);
    return std::all_of(rules.begin(), rules.end(), [&](const Rule& r) { return !r.text || holds(b, base, r); });
}

// The strum speed text as a number -800..0: an optional '-', then digits only.
std::optional<long> strumSpeed(const Bytes& b)
{
    const std::string t = b.substr(18, std::min(at(b, 17), 15));
    const std::size_t digits = t.starts_with('-') ? 1 : 0;
    if (t.size() == digits || t.find_first_not_of("0123456789", digits) != std::string::npos)
        return std::nullopt;
    const long v = std::stol(t);
    return v >= -800 && v <= 0 ? std::optional(v) : std::nullopt;
}

bool identified(const Bytes& b, std::size_t idAt, const std::string& id)
{
    return b.size() > idAt + id.size() && at(b, idAt) == int(id.size()) && b.compare(idAt + 1, id.size(), id) == 0;
}

// What the reader must say; "" when it must accept.
std::string expectedError(const Format& f, const std::string& path, const Bytes& b, const std::optional<Bytes>& rpt)
{
    const bool older = f.ext == "ppf" && identified(b, 1, kOlderPlayId);
    if (!identified(b, f.idAt, f.id) && !older)
        return f.rejection;
    const std::size_t records = older ? 72 : f.records, size = f.recordSize * (records + 1);
    if (b.size() != size)
        return path + " is not a " + f.name + " file of the right size (" + std::to_string(b.size()) +
               " bytes, expected " + std::to_string(size) + ").";
    if (f.ext == "ppf" && !(allHold(b, 0, kPlayHeader) && strumSpeed(b)))
        return path + " is damaged: record 0.";
    for (std::size_t r = 1; r <= records; ++r) {
        const std::size_t base = r * f.recordSize;
        if (!recordHolds(b, base, f.rules) ||
            (f.ext == "gpr" && at(b, base) != 1 &&
             !holds(b, base, at(b, base + 1) ? kPrintChordIntervals : kPrintScaleIntervals)))
            return path + " is damaged: record " + std::to_string(r) + ".";
    }
    if (!rpt)
        return "";
    const std::string rptPath = repeatFilePath(path);
    if (rpt->size() != 192 && !(older && rpt->size() == 48))
        return rptPath + " is not a repeat marker file of the right size (" + std::to_string(rpt->size()) +
               " bytes, expected " + (older ? "48" : "192") + ").";
    const std::size_t measures = rpt->size() / 4;
    for (std::size_t m = 0; m < measures; ++m)
        if (at(*rpt, m) > 1 || at(*rpt, 3 * measures + m) > 1)
            return rptPath + " is damaged: record 0.";
    return "";
}

// What the writer must give for an accepted file and its markers: the bytes after each text and
// the unnamed header bytes zeroed, a PlayPage in the current form with tempo 0 read as 100 and
// its markers in 48 measures.
std::pair<Bytes, Bytes> expectedRewrite(const Format& f, const Bytes& b, const std::optional<Bytes>& rpt)
{
    Bytes out(f.recordSize * (f.records + 1), '\0'), marks;
    out[f.idAt] = char(f.id.size());
    out.replace(f.idAt + 1, f.id.size(), f.id);
    const DiagramRecord::Bytes blank = DiagramRecord{}.toBytes();
    for (std::size_t base = f.recordSize; base < out.size(); base += f.recordSize) {
        if (base >= b.size()) {  // beyond the 72 slots of an older PlayPage
            out.replace(base, f.recordSize, Bytes(blank.begin(), blank.end()));
            continue;
        }
        out.replace(base, f.recordSize, b, base, f.recordSize);
        for (const Rule& r : f.rules)
            if (r.text)
                std::fill_n(out.begin() + std::ptrdiff_t(base + r.at + 1 + at(b, base + r.at)), r.hi - at(b, base + r.at), '\0');
    }
    if (f.ext == "ppf") {
        const std::string speed = std::to_string(*strumSpeed(b));
        out[0] = b[0];
        out[17] = char(speed.size());
        out.replace(18, speed.size(), speed);
        out[85] = at(b, 85) ? b[85] : char(100);
        out[86] = b[86];
        out[87] = b[87];
        marks.assign(192, '\0');
        if (!rpt)
            marks[0] = marks[144 + (b[0] ? 47 : 35)] = 1;
        for (std::size_t row = 0, measures = rpt ? rpt->size() / 4 : 0; row < 4 && rpt; ++row)
            marks.replace(row * 48, measures, *rpt, row * measures, measures);
    }
    return {out, marks};
}

// ---- Valid files and their damage --------------------------------------------------------------

class Fuzzer {
public:
    explicit Fuzzer(std::uint32_t seed) : m_rng(seed) {}
    int below(std::size_t n) { return std::uniform_int_distribution<int>(0, int(n) - 1)(m_rng); }
    char byte() { return char(below(256)); }

    void setValid(Bytes& b, std::size_t base, const Rule& r)
    {
        for (std::size_t k = 0; k < r.count; ++k)
            b[base + r.at + k * r.step] = char(r.also >= 0 && below(4) == 0 ? r.also : r.lo + below(std::size_t(r.hi - r.lo + 1)));
    }

    // Every byte random first, so that text tails and unnamed header bytes hold garbage; then
    // every byte that means something set within its rule.
    Bytes validFile(const Format& f, bool older)
    {
        Bytes b(f.recordSize * ((older ? 72 : f.records) + 1), '\0');
        std::generate(b.begin(), b.end(), [this] { return byte(); });
        const std::string& id = older ? kOlderPlayId : f.id;
        b[f.idAt] = char(id.size());
        b.replace(f.idAt + 1, id.size(), id);
        for (std::size_t base = f.recordSize; base < b.size(); base += f.recordSize) {
            for (const Rule& rule : f.rules)
                setValid(b, base, rule);
            if (f.ext == "gpr")
                setValid(b, base, b[base + 1] ? kPrintChordIntervals : kPrintScaleIntervals);
        }
        if (f.ext == "ppf") {
            for (const Rule& rule : kPlayHeader)
                setValid(b, 0, rule);
            const std::string speed = (below(2) ? "-" : "") + std::string(below(3), '0') + std::to_string(below(801));
            b[17] = char(speed.size());
            b.replace(18, speed.size(), speed);
        }
        return b;
    }

    // Return and loop marks 0 or 1, repeat counts and counters any byte.
    Bytes markers(std::size_t measures)
    {
        Bytes b(4 * measures, '\0');
        for (std::size_t i = 0; i < b.size(); ++i)
            b[i] = i < measures || i >= 3 * measures ? char(below(5) == 0) : byte();
        return b;
    }

    void damage(const Format& f, Bytes& b, std::optional<Bytes>& rpt)
    {
        const std::size_t records = b.size() / f.recordSize;
        if (records < 2) {
            b += byte();
            return;
        }
        const std::size_t base = std::size_t(below(records - 1) + 1) * f.recordSize;
        const int kinds = f.ext == "ppf" ? 7 : 5, pick = below(std::size_t(kinds) + 1);
        switch (pick == kinds ? 1 : pick) {  // 1 twice as often as the others
        case 0: b[std::size_t(below(b.size()))] = byte(); break;
        case 1: {  // a meaningful byte at or just beyond an end of its range (a text's length over its
                   // capacity among them), or a Print cell's kind
            if (f.ext == "gpr" && below(3) == 0) {
                b[base + 1] ^= 1;
                break;
            }
            const bool header = f.ext == "ppf" && below(4) == 0;
            const Rule& r = header ? kPlayHeader[std::size_t(below(kPlayHeader.size()))] : f.rules[std::size_t(below(f.rules.size()))];
            const int values[] = {r.lo - 1, r.lo, r.hi, r.hi + 1, r.also, below(256)};
            b[(header ? 0 : base) + r.at + std::size_t(below(r.count)) * r.step] = char(values[below(6)]);
            break;
        }
        case 2: b.resize(below(4) ? b.size() - 1 - std::size_t(below(std::min<std::size_t>(200, b.size()))) : std::size_t(below(b.size()))); break;
        case 3: b += below(2) ? Bytes(1, byte()) : Bytes(f.recordSize, byte()); break;
        case 4: b[f.idAt + std::size_t(below(f.id.size() + 1))] ^= char(1 + below(255)); break;
        case 5: rpt = below(3) == 0 ? std::nullopt : std::optional(markers(below(2) ? 12 : 48)); break;
        case 6:  // a return or loop mark of 1 or 2, or a character in the strum speed
            if (rpt && !rpt->empty())
                (*rpt)[(below(2) ? 0 : 3 * rpt->size() / 4) + std::size_t(below(rpt->size() / 4))] = char(1 + below(2));
            else
                b[18 + std::size_t(below(15))] = "-0123456789x "[below(13)];
            break;
        }
    }

private:
    std::mt19937 m_rng;
};

// Reads the file as its kind; on success a function that writes what was read elsewhere.
std::function<void(const std::string&)> readAs(const Format& f, const std::string& path, std::string* error)
{
    auto writer = [](auto page, auto write) -> std::function<void(const std::string&)> {
        if (!page)
            return {};
        return [page, write](const std::string& to) { write(to, *page); };
    };
    if (f.ext == "cpf")
        return writer(readChordPageFile(path, error), writeChordPageFile);
    if (f.ext == "cds")
        return writer(readDesignFile(path, error), writeDesignFile);
    if (f.ext == "gpr")
        return writer(readPrintPageFile(path, error), writePrintPageFile);
    if (f.ext == "spf")
        return writer(readScalePageFile(path, error), writeScalePageFile);
    return writer(readPlayPageFile(path, error), writePlayPageFile);
}

TEST(PageFileFuzz, ReadersRefuseExactlyWhatTheFormatsForbidAndKeepEverythingElse)
{
    // The writers sync every file to the disk; in memory that costs nothing.
    const TempDir dir(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path());
    Fuzzer fuzz(20240611);
    int accepted = 0, refused = 0;
    for (const Format& f : kFormats) {
        const std::string path = dir.file("page." + f.ext), again = dir.file("again." + f.ext);
        for (int round = 0; round < 1000; ++round) {
            SCOPED_TRACE(f.ext + " round " + std::to_string(round));
            const bool older = f.ext == "ppf" && fuzz.below(4) == 0;
            Bytes b = fuzz.validFile(f, older);
            std::optional<Bytes> rpt;
            if (f.ext == "ppf" && fuzz.below(2))
                rpt = fuzz.markers(older && fuzz.below(2) ? 12 : 48);
            for (int n = fuzz.below(4); n > 0; --n)
                fuzz.damage(f, b, rpt);
            std::filesystem::remove(repeatFilePath(path));
            writeText(path, b);
            if (rpt)
                writeText(repeatFilePath(path), *rpt);

            std::string error;
            const auto rewrite = readAs(f, path, &error);
            ASSERT_EQ(rewrite ? "" : error, expectedError(f, path, b, rpt));
            if (!rewrite) {
                ++refused;
                continue;
            }
            ++accepted;
            rewrite(again);
            const auto [bytes, marks] = expectedRewrite(f, b, rpt);
            ASSERT_EQ(readText(again), bytes);
            ASSERT_EQ(f.ext == "ppf" ? readText(repeatFilePath(again)) : "", marks);
            ASSERT_TRUE(readAs(f, again, &error)) << error;
        }
    }
    // Both outcomes well represented, or the loop proves little.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(refused, 2000);
}

}  // namespace
