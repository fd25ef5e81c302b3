#pragma once
// The song tempo as the tempo box, its arrows and the tempo dialog keep it: beats per minute,
// 10..250. The clock's microseconds per beat come from playTempo() (PlayPageSequencer.h).
#include <string>

namespace strumox::playback {

constexpr int kMinBpm = 10;
constexpr int kMaxBpm = 250;
constexpr int kDefaultBpm = 100;

// What a typed tempo becomes: digits held to 10..250; an empty text gives `empty` (the box uses
// 100); anything that is not a number counts as empty.
int holdBpm(const std::string& text, int empty = kDefaultBpm);

}  // namespace strumox::playback
