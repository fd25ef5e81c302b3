#pragma once
// The five page files: the Chords, Chord Design, PlayPage, Print and Scales pages on disk. Each
// is a run of fixed-size records with a header as record 0 and no other framing; the records are
// the pages' own (DiagramRecord, PrintRecord, ScaleRecord) byte for byte.
//
//   Kind          ext            record  identification (length byte + text)  records   size
//   Chord page    .cpf           88      "kqPageChord" at offset 1            30       2728
//   Chord Design  .cds           88      "kqChordDesign" at offset 1          6         616
//   PlayPage      .ppf           88      "kq6PlayPage" at offset 1            288     25432
//                 (older form)           "kqPlayPage"                         72       6424
//   Print page    .gpr (.prf)    109     "kqPagePrint" at offset 2            30       3379
//   Scales page   .spf           94      "kqPageScale" at offset 1            5         564
//
// Header bytes not named here are written as zero and never looked at. The PlayPage header:
// byte 0 time signature (1 = 3/4, 0 = 4/4), 1..12 the identification, 17..32 the strum speed as
// decimal text (length byte + up to 15 characters), 85 tempo in beats per minute, 86 Loop Play
// (1 = down), 87 Bass Note (1 = down).
//
// Beside a .ppf lies its repeat-marker file (the extension replaced by ".rpt"): four rows of 48
// bytes, measure 0..47 each, in the order return mark, repeat count, repeat counter, loop mark.
// The older form, only beside an older .ppf, has the same rows for measures 0..11 (48 bytes).
//
// Reading checks every byte that means something before anything is returned. The rules, from
// what the program itself puts into records and what drawing them needs:
//   every record   empty 0 or 1; each text's length byte within its field's capacity. A record
//                  marked empty (1) is held to nothing more: its other bytes are never read,
//                  and other writers leave anything there. A filled one (0) also:
//   filled records open strings (tuning) MIDI 33..69; root 0..11
//   chord records  frets 0..22; markers 0..6; sounding notes 0 (not played) or 33..91 (an open
//                  string's note plus at most 22 frets); baseFret 1..20; bass 0..35 (a note,
//                  stored by the program as note + 24, read modulo 12); interval entries
//                  0..23 or 255 (none)
//   Print cells    as chord records, and isChord 0 or 1; a chord cell's ten interval entries
//                  0..23 or 255, a scale cell's 0..11 or 99 (none)
//   Scales rows    interval entries 0..11 or 99 (none); beginning frets 1..20
//   PlayPage       time signature, Loop Play and Bass Note 0 or 1; strum speed a whole number
//                  -800..0; tempo 10..250, or 0 (read as 100, see `tempoWasZero`)
//   .rpt           return and loop marks 0 or 1; repeat counts and counters any byte
// Writing checks the same rules, so a file the program writes is always one it can read again.
//
// What a read and a write keep: every record's bytes, except the bytes after a text's length in
// its field (every reader stops at the length byte, so they carry nothing; they are written as
// zero) and the header bytes named nowhere above. An older .ppf is written in the current form.
//
// Plain C++; the GUI thread and strumox-cli call it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pages/DiagramRecord.h"
#include "pages/PrintRecord.h"
#include "pages/ScaleRecord.h"

namespace strumox::pages {

enum class PageFileKind { Chords, ChordDesign, PlayPage, Print, Scales };

struct PageFileDialogTexts {  // texts of the open/save dialogs
    std::string openTitle, saveTitle, defaultExtension, openFilter, saveFilter, rejection;
};
const PageFileDialogTexts& pageFileTexts(PageFileKind);

struct ChordPageFile {
    std::array<DiagramRecord, 30> cells;  // index = set * 6 + column
};
struct DesignFile {
    std::array<DiagramRecord, 6> diagrams;  // slots 0..5 ("slots" is a keyword in Qt code)
};
struct PrintPageFile {
    std::array<PrintRecord, 30> cells;  // index = row * 6 + column
};
struct ScalePageFile {
    std::array<ScaleRecord, 5> rows;
};

constexpr std::size_t kMeasureCount = 48;        // measures of a .rpt row
constexpr std::size_t kRepeatFileSize = 192;     // 4 rows x 48 measures
constexpr std::size_t kOlderMeasureCount = 12;
constexpr std::size_t kOlderRepeatFileSize = 48; // 4 rows x 12 measures
// Rows of a repeat-marker file.
enum RepeatRow : std::size_t { kReturnRow = 0, kRepeatCountRow = 1, kRepeatCounterRow = 2, kLoopRow = 3 };

struct PlayPageFile {
    bool threeFour = false;
    int strumSpeed = 0;         // the strum speed bar position, -800..0, written as decimal text
    int tempo = 100;            // beats per minute, 10..250 when written
    bool tempoWasZero = false;  // read: the byte was 0; `tempo` is then 100 (the caller says so)
    bool loop = false, bass = false;
    bool older = false;         // read from the older 72-slot form
    std::array<DiagramRecord, 288> diagrams;  // slot order; an older file fills 0..71, the rest empty
    // The .rpt beside it: current form 192 bytes, older form 48 bytes (measures 0..11 only);
    // nothing when there is no .rpt.
    std::optional<std::vector<std::uint8_t>> markers;
};

// Reads whole, checks everything, and only then returns the content (all or nothing). On
// failure nothing, and *error (when given) holds one sentence: the kind's rejection text when
// the identification is not there; "PATH cannot be read: REASON" (missing, unreadable, not a
// regular file); "PATH is not a KIND file of the right size (N bytes, expected M)."; "PATH is
// damaged: record N." for the first record, the header being record 0, that breaks the rules
// above. A .ppf whose .rpt cannot be read, has the wrong size (192 bytes; beside an older .ppf
// 48 or 192) or is damaged is refused with the same sentences naming the .rpt.
std::optional<ChordPageFile> readChordPageFile(const std::string& path, std::string* error);
std::optional<DesignFile> readDesignFile(const std::string& path, std::string* error);
std::optional<PrintPageFile> readPrintPageFile(const std::string& path, std::string* error);
std::optional<ScalePageFile> readScalePageFile(const std::string& path, std::string* error);
std::optional<PlayPageFile> readPlayPageFile(const std::string& path, std::string* error);

// The path with the extension of its file name replaced by ".rpt" (added when it has none).
std::string repeatFilePath(const std::string& ppfPath);

// The markers of a new PlayPage: return mark of measure 0, loop mark of the last measure of the
// time signature (47 in 3/4, 35 in 4/4).
std::array<std::uint8_t, kRepeatFileSize> defaultRepeatMarkers(bool threeFour);
// The page's markers in the current form: the .rpt's, an older one's measures 0..11 with the
// rest 0, or the defaults when it had none.
std::array<std::uint8_t, kRepeatFileSize> currentRepeatMarkers(const PlayPageFile&);

// Writes atomically (a temporary file in the target folder renamed over the old one). A .ppf
// writes its .rpt first: the given markers (192 bytes; 48 older ones are widened to measures
// 0..47 with the rest 0), or the defaults when there are none; should the .ppf then fail, the
// old .rpt is put back. Throws std::runtime_error naming the file ("PATH cannot be written:
// REASON") when the folder or file refuses, or when the content breaks the rules above (a tempo
// outside 10..250, a record no reader would accept); the old files are then left as they were.
// A .ppf is always written in the current form, whatever it was read as.
void writeChordPageFile(const std::string& path, const ChordPageFile&);
void writeDesignFile(const std::string& path, const DesignFile&);
void writePrintPageFile(const std::string& path, const PrintPageFile&);
void writeScalePageFile(const std::string& path, const ScalePageFile&);
void writePlayPageFile(const std::string& path, const PlayPageFile&);

// The kind a file name's extension opens as (in any letter case: .cpf .cds .ppf .gpr .prf
// .spf); nothing for any other.
std::optional<PageFileKind> pageFileKindOf(const std::string& path);

}  // namespace strumox::pages
