#pragma once
// Whole-file writes that a reader, a crash or a second program never sees half done: the bytes
// go to PATH.tmp, are flushed to the disk, and only then take the name PATH. A leftover PATH.tmp
// of an interrupted run is removed first; on failure the temporary is removed again and PATH is
// as it was.
//
// Failures throw std::system_error (a std::runtime_error) whose what() reads
// "cannot create|write|replace <file>: <reason>", naming the file the step failed on.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace strumox::fileio {

// Puts the bytes at path, replacing any file there.
// - A symbolic link (or a chain of them) is written through: the temporary goes beside the final
//   target and is renamed over it, so the link stays a link. A dangling link gets its target
//   created; a loop of links fails ("cannot replace <path>: Too many levels of symbolic links").
// - A file its owner may not write is not replaced ("cannot replace <file>: Permission denied"):
//   a file without the owner's write bit (0444) is refused even for root, who passes every
//   access check, and a file the caller has no write access to is refused although the rename
//   would succeed. The rename trick needs only the directory's permission; the file's own mode
//   says what its owner wants.
// - A replaced regular file keeps its permission bits; a new file gets 0644 less the umask.
void writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
void writeFileAtomically(const std::string& path, std::string_view bytes);

// Puts the bytes at path only while nothing (not even a dangling link) has that name, and never
// replaces what appears there meanwhile. True when this call created the file, false when the
// name was taken.
bool createFileIfMissing(const std::string& path, std::string_view bytes);

}  // namespace strumox::fileio
