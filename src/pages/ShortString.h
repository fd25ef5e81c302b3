#pragma once
// Fixed-capacity text as stored in records and page files: one length byte, then `Capacity`
// character bytes. Bytes after the text are meaningless on read and written as zero.
#include <algorithm>
#include <cstdint>
#include <string>

namespace strumox::pages {

// Text truncated to what a field of `capacity` characters can hold.
inline std::string fitShortString(const std::string& text, size_t capacity)
{
    return text.size() <= capacity ? text : text.substr(0, capacity);
}

// Writes `text` (truncated) into the capacity + 1 bytes at `out`.
inline void writeShortString(std::uint8_t* out, size_t capacity, const std::string& text)
{
    const std::string t = fitShortString(text, capacity);
    out[0] = static_cast<std::uint8_t>(t.size());
    std::fill(out + 1, out + 1 + capacity, std::uint8_t{0});
    std::copy(t.begin(), t.end(), out + 1);
}

// A length byte above the capacity (a damaged file) reads as the whole field.
inline std::string readShortString(const std::uint8_t* in, size_t capacity)
{
    const size_t len = std::min<size_t>(in[0], capacity);
    return std::string(reinterpret_cast<const char*>(in + 1), len);
}

}  // namespace strumox::pages
