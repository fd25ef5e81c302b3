#pragma once
// The six tabs of the page control, in tab order.
namespace strumox::app {

enum class Page { Chords = 0, ChordDesign, PlayPage, Print, Scales, Tablature };
constexpr int kPageCount = 6;

}  // namespace strumox::app
