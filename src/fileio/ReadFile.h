#pragma once
// Whole-file reads that never hang and never mistake "could not read" for "empty". Only regular
// files are read: a FIFO, device or directory put in place of a data or settings file is refused
// at once instead of blocking the program on open() or read().
#include <cstddef>
#include <string>

namespace strumox::fileio {

struct FileRead {
    enum class Status {
        Ok,
        Missing,     // nothing by that name (or a dangling link)
        NotRegular,  // a FIFO, socket, device or directory
        Unreadable,  // exists but open() or read() failed: permissions, I/O error
        TooLarge,    // larger than the reader's limit
    };
    Status status = Status::Missing;
    std::string bytes;  // the whole file when Ok, else empty
    int error = 0;      // errno of the failing call, for Unreadable
    std::string reason; // "Permission denied", "not a regular file", ... empty when Ok

    bool ok() const { return status == Status::Ok; }
};

// Reads the file whole. maxBytes guards against a huge file standing in for a small one.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes = std::size_t{256} << 20);

}  // namespace strumox::fileio
