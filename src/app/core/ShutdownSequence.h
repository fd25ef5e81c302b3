#pragma once
// The questions asked when the main window is asked to close, in their fixed order.
#include <functional>
#include <string>
#include <vector>

#include "app/core/BusyGuard.h"
#include "app/core/Prompter.h"

namespace strumox::app {

// One document that may hold unsaved work.
struct CloseDocument {
    std::string lead;        // e.g. "Save PlayPage changes "
    bool modified = false;
    std::string fileName;    // empty when the document was never saved
    // Saves (running Save As when needed); false when the user cancelled or the save failed.
    std::function<bool()> save;
};

// "Save PlayPage changes to /x.ppf before closing?" or, without a file, "...changes before closing?"
std::string closeQuestion(const CloseDocument& doc);

// Asks about every modified document in order; Cancel, or a save that did not happen, refuses.
// While the busy guard holds the close is refused at once, with "Step Play is active" when Step
// Play is down. Returns whether the window may close.
bool mayClose(const BusyGuard& busy, const std::vector<CloseDocument>& documents, Prompter& prompter);

}  // namespace strumox::app
