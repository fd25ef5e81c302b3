#pragma once
// The common lock-out: while Play or Pause is down or the busy cursor shows, handlers do nothing
// (or undo the button press that called them) and page changes are refused.
namespace strumox::session {

struct BusyGuard {
    bool playDown = false;
    bool pauseDown = false;
    bool stepDown = false;  // Step Play; only explains a refused close
    bool busyCursor = false;

    bool holds() const { return playDown || pauseDown || busyCursor; }
};

}  // namespace strumox::session
