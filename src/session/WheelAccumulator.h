#pragma once
// Turns wheel deltas (120 per notch, finer on smooth wheels) into whole scroll lines.
namespace strumox::session {

class WheelAccumulator {
public:
    static constexpr int kNotch = 120;

    // Lines per notch from the platform; anything outside 0..100 becomes 3.
    static int sanitizeLinesPerNotch(int lines) { return (lines < 0 || lines > 100) ? 3 : lines; }

    // Adds a delta and returns the lines to scroll: positive = up, negative = down. Whole notches
    // are consumed; the remainder (same sign as the turn) waits for the next delta.
    int feed(int delta, int linesPerNotch)
    {
        const int lines = sanitizeLinesPerNotch(linesPerNotch);
        m_accumulated += delta;
        const int notches = m_accumulated / kNotch;  // truncates toward zero
        m_accumulated -= notches * kNotch;
        return notches * lines;
    }
    int pending() const { return m_accumulated; }

private:
    int m_accumulated = 0;
};

}  // namespace strumox::session
