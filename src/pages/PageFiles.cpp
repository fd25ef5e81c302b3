#include "pages/PageFiles.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>

#include "fileio/AtomicFile.h"
#include "fileio/ReadFile.h"
#include "pages/ShortString.h"

namespace strumox::pages {

namespace {

using Byte = std::uint8_t;
using RecordRule = std::function<bool(const Byte*)>;

// What tells one kind of page file from another and how its records lie.
struct Format {
    std::string_view name;  // as the size message names the kind: "Chord Page"
    std::size_t recordSize;
    std::size_t idOffset;   // of the identification's length byte in the header
    std::string_view id;
    std::size_t records;    // after the header
    std::size_t fileSize() const { return recordSize * (records + 1); }
};

constexpr Format kChordFormat{"Chord Page", DiagramRecord::kSize, 1, "kqPageChord", 30};
constexpr Format kDesignFormat{"Chord Design", DiagramRecord::kSize, 1, "kqChordDesign", 6};
constexpr Format kPlayFormat{"PlayPage", DiagramRecord::kSize, 1, "kq6PlayPage", 288};
constexpr Format kOlderPlayFormat{"PlayPage", DiagramRecord::kSize, 1, "kqPlayPage", 72};
constexpr Format kPrintFormat{"Print Page", PrintRecord::kSize, 2, "kqPagePrint", 30};
constexpr Format kScaleFormat{"Scale Page", ScaleRecord::kSize, 1, "kqPageScale", 5};

// PlayPage header bytes.
constexpr std::size_t kTimeSignatureAt = 0, kStrumSpeedAt = 17, kTempoAt = 85, kLoopAt = 86, kBassAt = 87;
constexpr std::size_t kStrumSpeedCapacity = 15;
constexpr int kSlowestStrum = -800, kFastestStrum = 0;
constexpr int kLowestTempo = 10, kHighestTempo = 250, kTempoWhenZero = 100;

// Ours are a few kilobytes; a file far beyond that is refused without being read whole.
constexpr std::size_t kReadLimit = std::size_t{1} << 20;

// ---- Record rules (listed in PageFiles.h) ----------------------------------------------------

bool within(int v, int lowest, int highest) { return v >= lowest && v <= highest; }

// Each (offset, capacity): the length byte of a text field within its capacity.
bool textsFit(const Byte* r, std::initializer_list<std::pair<std::size_t, std::size_t>> fields)
{
    return std::all_of(fields.begin(), fields.end(), [r](const auto& f) { return r[f.first] <= f.second; });
}

bool tuningOk(const theory::Tuning& t)
{
    return std::all_of(t.begin(), t.end(), [](Byte v) { return within(v, theory::kLowestOpenNote, theory::kHighestOpenNote); });
}

template <typename Range>
bool entriesOk(const Range& list, int highest, Byte none)
{
    return std::all_of(list.begin(), list.end(), [&](Byte v) { return v <= highest || v == none; });
}

// What a chord record and a Print cell share.
template <typename Chord>
bool chordFieldsOk(const Chord& c)
{
    if (c.empty > 1 || c.root > 11 || !within(c.baseFret, 1, 20) || c.bass > 35 || !tuningOk(c.tuning))
        return false;
    for (std::size_t s = 0; s < 6; ++s) {
        if (c.frets[s] > theory::kMaxFret || c.markers[s] > theory::MarkerPlain)
            return false;
        if (c.sounding[s] != 0 && !within(c.sounding[s], theory::kLowestOpenNote, theory::kHighestOpenNote + theory::kMaxFret))
            return false;
    }
    return true;
}

// The offsets are those of the length bytes in DiagramRecord.cpp, PrintRecord.cpp and
// ScaleRecord.cpp.
bool diagramOk(const Byte* b)
{
    if (!textsFit(b, {{1, DiagramRecord::kNameCapacity}, {17, DiagramRecord::kTuningNameCapacity},
                      {33, DiagramRecord::kFormulaCapacity}}))
        return false;
    // An empty slot holds nothing anyone reads: whatever another writer left in it is kept.
    if (b[0] == 1)
        return true;
    const DiagramRecord d = DiagramRecord::fromBytes(b);
    return chordFieldsOk(d) && entriesOk(d.intervals, 23, theory::kNoInterval);
}

bool printOk(const Byte* b)
{
    if (!textsFit(b, {{2, PrintRecord::kNameCapacity}, {29, PrintRecord::kTuningNameCapacity},
                      {45, PrintRecord::kFormulaCapacity}}))
        return false;
    if (b[0] == 1)
        return true;
    const PrintRecord p = PrintRecord::fromBytes(b);
    if (p.isChord > 1 || !chordFieldsOk(p))
        return false;
    return p.isChord ? entriesOk(p.intervals, 23, theory::kNoInterval) : entriesOk(p.intervals, 11, theory::kScaleListEnd);
}

bool scaleOk(const Byte* b)
{
    if (!textsFit(b, {{1, ScaleRecord::kNameCapacity}, {28, ScaleRecord::kTuningNameCapacity},
                      {44, ScaleRecord::kFormulaCapacity}}))
        return false;
    if (b[0] == 1)
        return true;
    const ScaleRecord s = ScaleRecord::fromBytes(b);
    return s.empty <= 1 && s.root <= 11 && tuningOk(s.tuning) && entriesOk(s.intervals, 11, theory::kScaleListEnd) &&
           std::all_of(s.beginFret.begin(), s.beginFret.end(), [](Byte f) { return within(f, 1, 20); });
}

std::optional<int> strumSpeedOf(const Byte* header)
{
    if (header[kStrumSpeedAt] > kStrumSpeedCapacity)
        return std::nullopt;
    const std::string text = readShortString(header + kStrumSpeedAt, kStrumSpeedCapacity);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !within(value, kSlowestStrum, kFastestStrum))
        return std::nullopt;
    return value;
}

bool playHeaderOk(const Byte* h)
{
    return h[kTimeSignatureAt] <= 1 && strumSpeedOf(h) && (h[kTempoAt] == 0 || within(h[kTempoAt], kLowestTempo, kHighestTempo)) &&
           h[kLoopAt] <= 1 && h[kBassAt] <= 1;
}

bool repeatMarksOk(const Byte* marks, std::size_t measures)
{
    for (std::size_t m = 0; m < measures; ++m)
        if (marks[kReturnRow * measures + m] > 1 || marks[kLoopRow * measures + m] > 1)
            return false;
    return true;
}

// ---- Reading ---------------------------------------------------------------------------------

const Byte* bytesOf(const std::string& s) { return reinterpret_cast<const Byte*>(s.data()); }

std::nullopt_t refuse(std::string* error, std::string message)
{
    if (error)
        *error = std::move(message);
    return std::nullopt;
}

std::string sizeMessage(const std::string& path, std::string_view kind, std::size_t size, std::size_t expected)
{
    return path + " is not a " + std::string(kind) + " file of the right size (" + std::to_string(size) +
           " bytes, expected " + std::to_string(expected) + ").";
}

std::string damagedMessage(const std::string& path, std::size_t record)
{
    return path + " is damaged: record " + std::to_string(record) + ".";
}

// A file beyond the read limit is reported by its size.
std::string tooLargeMessage(const std::string& path, std::string_view kind, std::size_t expected)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return sizeMessage(path, kind, ec ? kReadLimit + 1 : std::size_t(size), expected);
}

// The whole file, or nothing with the reason.
std::optional<std::string> readWhole(const std::string& path, std::string_view kind, std::size_t expected,
                                     std::string* error)
{
    fileio::FileRead read = fileio::readRegularFile(path, kReadLimit);
    if (read.ok())
        return std::move(read.bytes);
    if (read.status == fileio::FileRead::Status::TooLarge)
        return refuse(error, tooLargeMessage(path, kind, expected));
    return refuse(error, path + " cannot be read: " + read.reason);
}

// The identification as a whole short string: its length byte and its characters.
bool identified(const std::string& bytes, const Format& f)
{
    return bytes.size() > f.idOffset + f.id.size() && static_cast<Byte>(bytes[f.idOffset]) == f.id.size() &&
           std::string_view(bytes).substr(f.idOffset + 1, f.id.size()) == f.id;
}

// The first of the file's records (the header being record 0) that breaks its rule.
std::optional<std::size_t> firstBadRecord(const std::string& bytes, const Format& f, const RecordRule& headerOk,
                                          const RecordRule& recordOk)
{
    if (headerOk && !headerOk(bytesOf(bytes)))
        return 0;
    for (std::size_t r = 1; r <= f.records; ++r)
        if (!recordOk(bytesOf(bytes) + r * f.recordSize))
            return r;
    return std::nullopt;
}

// The checked bytes of a page file of one of the forms (the first form's size is quoted for a
// file too large to read), and which form it is.
std::optional<std::pair<std::string, const Format*>> readChecked(const std::string& path,
                                                                 std::initializer_list<const Format*> forms,
                                                                 PageFileKind kind, const RecordRule& headerOk,
                                                                 const RecordRule& recordOk, std::string* error)
{
    const Format& first = **forms.begin();
    auto bytes = readWhole(path, first.name, first.fileSize(), error);
    if (!bytes)
        return std::nullopt;
    const auto form = std::find_if(forms.begin(), forms.end(), [&](const Format* f) { return identified(*bytes, *f); });
    if (form == forms.end())
        return refuse(error, pageFileTexts(kind).rejection);
    const Format& f = **form;
    if (bytes->size() != f.fileSize())
        return refuse(error, sizeMessage(path, f.name, bytes->size(), f.fileSize()));
    if (const auto bad = firstBadRecord(*bytes, f, headerOk, recordOk))
        return refuse(error, damagedMessage(path, *bad));
    return std::make_pair(std::move(*bytes), &f);
}

template <typename Record, std::size_t N>
void decodeRecords(const std::string& bytes, const Format& f, std::array<Record, N>& out)
{
    for (std::size_t i = 0; i < f.records && i < N; ++i)
        out[i] = Record::fromBytes(bytesOf(bytes) + (i + 1) * f.recordSize);
}

// The .rpt beside a .ppf: nothing when there is none, else its checked bytes; false on failure.
bool readRepeatFile(const std::string& ppfPath, bool older, std::optional<std::vector<Byte>>& out, std::string* error)
{
    const std::string path = repeatFilePath(ppfPath);
    fileio::FileRead read = fileio::readRegularFile(path, kReadLimit);
    if (read.status == fileio::FileRead::Status::Missing)
        return true;
    if (read.status == fileio::FileRead::Status::TooLarge) {
        refuse(error, tooLargeMessage(path, "repeat marker", kRepeatFileSize));
        return false;
    }
    if (!read.ok()) {
        refuse(error, path + " cannot be read: " + read.reason);
        return false;
    }
    const std::size_t size = read.bytes.size();
    // The older form appears only beside an older .ppf; one saved in the current form since may
    // lie beside it too.
    const bool sized = size == kRepeatFileSize || (older && size == kOlderRepeatFileSize);
    if (!sized) {
        refuse(error, sizeMessage(path, "repeat marker", size, older ? kOlderRepeatFileSize : kRepeatFileSize));
        return false;
    }
    if (!repeatMarksOk(bytesOf(read.bytes), size / 4)) {
        refuse(error, damagedMessage(path, 0));
        return false;
    }
    out.emplace(read.bytes.begin(), read.bytes.end());
    return true;
}

// ---- Writing ---------------------------------------------------------------------------------

std::string emptyFile(const Format& f)
{
    std::string bytes(f.fileSize(), '\0');
    bytes[f.idOffset] = static_cast<char>(f.id.size());
    std::copy(f.id.begin(), f.id.end(), bytes.begin() + static_cast<std::ptrdiff_t>(f.idOffset + 1));
    return bytes;
}

template <typename Record, std::size_t N>
void encodeRecords(std::string& bytes, const Format& f, const std::array<Record, N>& records)
{
    for (std::size_t i = 0; i < N; ++i) {
        const auto b = records[i].toBytes();
        std::copy(b.begin(), b.end(), bytes.begin() + static_cast<std::ptrdiff_t>((i + 1) * f.recordSize));
    }
}

[[noreturn]] void refuseToWrite(const std::string& path, const std::string& reason)
{
    throw std::runtime_error(path + " cannot be written: " + reason);
}

void put(const std::string& path, const std::string& bytes)
{
    try {
        fileio::writeFileAtomically(path, bytes);
    } catch (const std::system_error& e) {
        refuseToWrite(path, e.code().message() + ".");
    }
}

// Checks the bytes as a reader would.
void checkBeforeWriting(const std::string& path, const std::string& bytes, const Format& f,
                        const RecordRule& headerOk, const RecordRule& recordOk)
{
    if (const auto bad = firstBadRecord(bytes, f, headerOk, recordOk))
        refuseToWrite(path, "record " + std::to_string(*bad) + " holds values no page file may hold.");
}

void writeChecked(const std::string& path, const std::string& bytes, const Format& f, const RecordRule& recordOk)
{
    checkBeforeWriting(path, bytes, f, {}, recordOk);
    put(path, bytes);
}

void lower(std::string& s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Where the extension of the path's file name begins (its '.'), or npos.
std::size_t extensionAt(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : std::string::npos;
}

}  // namespace

const PageFileDialogTexts& pageFileTexts(PageFileKind kind)
{
    static const PageFileDialogTexts kTexts[] = {
        {"Open Chord Page File", "Save Chord Page File", "cpf", "Chord Page Files (*.cpf)", "Chord Page Files (*.cpf)",
         "This is not a Chord Page file"},
        {"Open Chord Design File", "Save Chord Design File", "cds", "Chord Design Files (*.cds)",
         "Chord Design Files (*.cds)", "This is not a Chord Design file"},
        {"Open PlayPage File", "Save PlayPage File", "ppf", "Play Page Files (*.ppf)", "Play Page Files (*.ppf)",
         "This is not a Strumox PlayPage file"},
        {"Open Print Page File", "Save Print Page File", "gpr", "Print Page Files (*.gpr *.prf)",
         "Print Page Files (*.gpr)", "This is not a Print Page file"},
        {"Open Scale Page File", "Save Scale Page File", "spf", "Scale Page Files (*.spf)", "Scale Page Files (*.spf)",
         "This is not a Scale Page file"},
    };
    return kTexts[static_cast<std::size_t>(kind)];
}

std::optional<ChordPageFile> readChordPageFile(const std::string& path, std::string* error)
{
    const auto file = readChecked(path, {&kChordFormat}, PageFileKind::Chords, {}, diagramOk, error);
    if (!file)
        return std::nullopt;
    ChordPageFile out;
    decodeRecords(file->first, kChordFormat, out.cells);
    return out;
}

std::optional<DesignFile> readDesignFile(const std::string& path, std::string* error)
{
    const auto file = readChecked(path, {&kDesignFormat}, PageFileKind::ChordDesign, {}, diagramOk, error);
    if (!file)
        return std::nullopt;
    DesignFile out;
    decodeRecords(file->first, kDesignFormat, out.diagrams);
    return out;
}

std::optional<PrintPageFile> readPrintPageFile(const std::string& path, std::string* error)
{
    const auto file = readChecked(path, {&kPrintFormat}, PageFileKind::Print, {}, printOk, error);
    if (!file)
        return std::nullopt;
    PrintPageFile out;
    decodeRecords(file->first, kPrintFormat, out.cells);
    return out;
}

std::optional<ScalePageFile> readScalePageFile(const std::string& path, std::string* error)
{
    const auto file = readChecked(path, {&kScaleFormat}, PageFileKind::Scales, {}, scaleOk, error);
    if (!file)
        return std::nullopt;
    ScalePageFile out;
    decodeRecords(file->first, kScaleFormat, out.rows);
    return out;
}

std::optional<PlayPageFile> readPlayPageFile(const std::string& path, std::string* error)
{
    const auto file =
        readChecked(path, {&kPlayFormat, &kOlderPlayFormat}, PageFileKind::PlayPage, playHeaderOk, diagramOk, error);
    if (!file)
        return std::nullopt;
    const auto& [bytes, format] = *file;
    PlayPageFile out;
    out.older = format == &kOlderPlayFormat;
    if (!readRepeatFile(path, out.older, out.markers, error))
        return std::nullopt;
    const Byte* h = bytesOf(bytes);
    out.threeFour = h[kTimeSignatureAt] == 1;
    out.strumSpeed = *strumSpeedOf(h);
    out.tempoWasZero = h[kTempoAt] == 0;
    out.tempo = out.tempoWasZero ? kTempoWhenZero : h[kTempoAt];
    out.loop = h[kLoopAt] == 1;
    out.bass = h[kBassAt] == 1;
    decodeRecords(bytes, *format, out.diagrams);
    return out;
}

std::string repeatFilePath(const std::string& ppfPath)
{
    return ppfPath.substr(0, extensionAt(ppfPath)) + ".rpt";
}

std::array<std::uint8_t, kRepeatFileSize> defaultRepeatMarkers(bool threeFour)
{
    std::array<std::uint8_t, kRepeatFileSize> marks{};
    marks[kReturnRow * kMeasureCount] = 1;
    // 288 slots make 48 measures of six slots in 3/4, 36 of eight in 4/4.
    const std::size_t lastMeasure = threeFour ? 47 : 35;
    marks[kLoopRow * kMeasureCount + lastMeasure] = 1;
    return marks;
}

std::array<std::uint8_t, kRepeatFileSize> currentRepeatMarkers(const PlayPageFile& page)
{
    if (!page.markers)
        return defaultRepeatMarkers(page.threeFour);
    const auto& given = *page.markers;
    std::array<std::uint8_t, kRepeatFileSize> marks{};
    if (given.size() == kRepeatFileSize) {
        std::copy(given.begin(), given.end(), marks.begin());
    } else if (given.size() == kOlderRepeatFileSize) {
        for (std::size_t row = 0; row < 4; ++row)
            for (std::size_t m = 0; m < kOlderMeasureCount; ++m)
                marks[row * kMeasureCount + m] = given[row * kOlderMeasureCount + m];
    } else {
        throw std::invalid_argument("repeat markers of " + std::to_string(given.size()) + " bytes");
    }
    return marks;
}

void writeChordPageFile(const std::string& path, const ChordPageFile& page)
{
    std::string bytes = emptyFile(kChordFormat);
    encodeRecords(bytes, kChordFormat, page.cells);
    writeChecked(path, bytes, kChordFormat, diagramOk);
}

void writeDesignFile(const std::string& path, const DesignFile& design)
{
    std::string bytes = emptyFile(kDesignFormat);
    encodeRecords(bytes, kDesignFormat, design.diagrams);
    writeChecked(path, bytes, kDesignFormat, diagramOk);
}

void writePrintPageFile(const std::string& path, const PrintPageFile& page)
{
    std::string bytes = emptyFile(kPrintFormat);
    encodeRecords(bytes, kPrintFormat, page.cells);
    writeChecked(path, bytes, kPrintFormat, printOk);
}

void writeScalePageFile(const std::string& path, const ScalePageFile& page)
{
    std::string bytes = emptyFile(kScaleFormat);
    encodeRecords(bytes, kScaleFormat, page.rows);
    writeChecked(path, bytes, kScaleFormat, scaleOk);
}

void writePlayPageFile(const std::string& path, const PlayPageFile& page)
{
    if (!within(page.tempo, kLowestTempo, kHighestTempo))
        refuseToWrite(path, "the tempo " + std::to_string(page.tempo) + " is outside 10..250.");
    if (!within(page.strumSpeed, kSlowestStrum, kFastestStrum))
        refuseToWrite(path, "the strum speed " + std::to_string(page.strumSpeed) + " is outside -800..0.");
    const std::string rptPath = repeatFilePath(path);
    if (rptPath == path)
        refuseToWrite(path, "a PlayPage file needs a name apart from its repeat markers' (.rpt).");
    if (page.markers && page.markers->size() != kRepeatFileSize && page.markers->size() != kOlderRepeatFileSize)
        refuseToWrite(rptPath, std::to_string(page.markers->size()) + " bytes of repeat markers, expected 192.");
    const auto marks = currentRepeatMarkers(page);
    if (!repeatMarksOk(marks.data(), kMeasureCount))
        refuseToWrite(rptPath, "a return or loop mark is neither 0 nor 1.");

    std::string bytes = emptyFile(kPlayFormat);
    bytes[kTimeSignatureAt] = page.threeFour ? 1 : 0;
    writeShortString(reinterpret_cast<Byte*>(bytes.data()) + kStrumSpeedAt, kStrumSpeedCapacity,
                     std::to_string(page.strumSpeed));
    bytes[kTempoAt] = static_cast<char>(page.tempo);
    bytes[kLoopAt] = page.loop ? 1 : 0;
    bytes[kBassAt] = page.bass ? 1 : 0;
    encodeRecords(bytes, kPlayFormat, page.diagrams);
    checkBeforeWriting(path, bytes, kPlayFormat, playHeaderOk, diagramOk);

    // The old .rpt goes back should the .ppf fail after it, so the pair stays as it was.
    const fileio::FileRead oldMarks = fileio::readRegularFile(rptPath, kReadLimit);
    put(rptPath, std::string(marks.begin(), marks.end()));
    try {
        put(path, bytes);
    } catch (...) {
        std::error_code ec;
        try {
            if (oldMarks.ok())
                fileio::writeFileAtomically(rptPath, oldMarks.bytes);
            else if (oldMarks.status == fileio::FileRead::Status::Missing)
                std::filesystem::remove(rptPath, ec);
        } catch (const std::exception&) {
            // The .ppf's own failure is what the caller must hear about.
        }
        throw;
    }
}

std::optional<PageFileKind> pageFileKindOf(const std::string& path)
{
    const auto dot = extensionAt(path);
    if (dot == std::string::npos)
        return std::nullopt;
    std::string ext = path.substr(dot + 1);
    lower(ext);
    if (ext == "cpf")
        return PageFileKind::Chords;
    if (ext == "cds")
        return PageFileKind::ChordDesign;
    if (ext == "ppf")
        return PageFileKind::PlayPage;
    if (ext == "gpr" || ext == "prf")
        return PageFileKind::Print;
    if (ext == "spf")
        return PageFileKind::Scales;
    return std::nullopt;
}

}  // namespace strumox::pages
