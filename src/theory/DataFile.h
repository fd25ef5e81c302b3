#pragma once
// The fixed-record data files of the program directory (dictionaries, formulas, scales) are read
// whole and checked before anything of them is used: the size must be exactly the table's, and
// every record must keep the rules of its kind. A damaged file is refused with its first bad
// record, numbered from 0 as the record's index in the file: "kqma1.dat is damaged: record 17.".
// Only regular files are opened, without blocking, so a FIFO in place of a data file is reported
// instead of hanging the program.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace strumox::theory {

// Ours are all below 13 KB; anything beyond this is refused without being read whole.
constexpr std::size_t kDataFileLimit = std::size_t{1} << 20;

struct RecordLayout {
    std::size_t size;   // bytes per record
    std::size_t count;  // records in a whole file
    bool (*valid)(const std::uint8_t* record);
};

// How a file's bytes fit their layout.
struct RecordScan {
    enum class Result { Whole, Short, Damaged };
    Result result = Result::Whole;
    // Short: the first record the bytes do not hold whole. Damaged: the first record that breaks
    // the rules, or `count` when bytes follow a whole table.
    std::size_t record = 0;
    std::size_t wholeRecords = 0;  // complete records in the bytes
};

// A cut-off file is Short whatever its records hold (it keeps the short-file message); a file of
// the right size or longer is Damaged at its first record that breaks the rules, else at record
// `count` when it is longer.
RecordScan scanRecords(std::string_view bytes, const RecordLayout& layout);

// The part of a path after its last '/'.
std::string fileNameOf(const std::string& path);

// "kqma1.dat is damaged: record 17."
std::string damagedMessage(std::string_view fileName, std::size_t record);

// The bytes of a whole data file, not yet checked, or nothing with the reason in *error (when
// given): `missingMessage` when nothing has that name (when it is empty, "Cannot open PATH: No
// such file or directory"); "PATH is not a regular file." for a FIFO, socket, device or
// directory; "Cannot open PATH: REASON" when it cannot be read; the damaged message at record
// `layout.count` for a file beyond kDataFileLimit.
std::optional<std::string> readDataFile(const std::string& path, const RecordLayout& layout,
                                        const std::string& missingMessage, std::string* error);

}  // namespace strumox::theory
