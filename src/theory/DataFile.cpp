#include "theory/DataFile.h"

#include "fileio/ReadFile.h"

namespace strumox::theory {

RecordScan scanRecords(std::string_view bytes, const RecordLayout& layout)
{
    RecordScan scan;
    scan.wholeRecords = bytes.size() / layout.size;
    if (scan.wholeRecords < layout.count) {
        scan.result = RecordScan::Result::Short;
        scan.record = scan.wholeRecords;
        return scan;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t r = 0; r < layout.count; ++r) {
        if (!layout.valid(data + r * layout.size)) {
            scan.result = RecordScan::Result::Damaged;
            scan.record = r;
            return scan;
        }
    }
    if (bytes.size() != layout.count * layout.size) {
        scan.result = RecordScan::Result::Damaged;
        scan.record = layout.count;
    }
    return scan;
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string damagedMessage(std::string_view fileName, std::size_t record)
{
    return std::string(fileName) + " is damaged: record " + std::to_string(record) + ".";
}

std::optional<std::string> readDataFile(const std::string& path, const RecordLayout& layout,
                                        const std::string& missingMessage, std::string* error)
{
    fileio::FileRead read = fileio::readRegularFile(path, kDataFileLimit);
    std::string reason;
    switch (read.status) {
    case fileio::FileRead::Status::Ok: return std::move(read.bytes);
    case fileio::FileRead::Status::Missing:
        reason = missingMessage.empty() ? "Cannot open " + path + ": " + read.reason : missingMessage;
        break;
    case fileio::FileRead::Status::NotRegular: reason = path + " is not a regular file."; break;
    case fileio::FileRead::Status::Unreadable: reason = "Cannot open " + path + ": " + read.reason; break;
    // Far more than a whole table: whatever the first records hold, record `count` should not
    // be there at all.
    case fileio::FileRead::Status::TooLarge: reason = damagedMessage(fileNameOf(path), layout.count); break;
    }
    if (error)
        *error = std::move(reason);
    return std::nullopt;
}

}  // namespace strumox::theory
