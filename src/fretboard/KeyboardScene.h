#pragma once
// What the keyboard view below the fretboard shows: which of its 60 keys carry a mark. The
// painter turns it into pixels; KeyboardLayout says where each key is.
#include <cstdint>

namespace strumox::fretboard {

struct KeyboardScene {
    enum class Mark : std::uint8_t { None, Scale, Root };
    Mark marks[60] = {};
    void clear()
    {
        for (auto& m : marks) m = Mark::None;
    }
};

}  // namespace strumox::fretboard
