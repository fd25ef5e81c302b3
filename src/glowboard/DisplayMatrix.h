#pragma once
// What the LED guitar should show: frets 0..21 by strings 0..5, each with a lit and a root flag.
// Fret 22 exists on the picture but not on the guitar, so callers skip it.
#include <array>
#include <cstddef>
#include <cstdint>

namespace strumox::glowboard {

class DisplayMatrix {
public:
    static constexpr int kFrets = 22;
    static constexpr int kStrings = 6;

    void clear() { m_cells.fill({}); }
    // Out-of-range positions are ignored.
    void setLit(int fret, int string) { if (auto* c = cell(fret, string)) c->lit = true; }
    void setRoot(int fret, int string) { if (auto* c = cell(fret, string)) c->root = true; }
    bool lit(int fret, int string) const { const auto* c = cell(fret, string); return c && c->lit; }
    bool root(int fret, int string) const { const auto* c = cell(fret, string); return c && c->root; }
    int litCount() const
    {
        int n = 0;
        for (const auto& c : m_cells) n += c.lit ? 1 : 0;
        return n;
    }
    bool operator==(const DisplayMatrix&) const = default;

private:
    struct Cell {
        bool lit = false;
        bool root = false;
        bool operator==(const Cell&) const = default;
    };
    Cell* cell(int f, int s)
    {
        return (f < 0 || f >= kFrets || s < 0 || s >= kStrings) ? nullptr : &m_cells[static_cast<std::size_t>(f * kStrings + s)];
    }
    const Cell* cell(int f, int s) const { return const_cast<DisplayMatrix*>(this)->cell(f, s); }
    std::array<Cell, kFrets * kStrings> m_cells{};
};

}  // namespace strumox::glowboard
