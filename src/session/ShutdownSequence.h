#pragma once
// The questions asked when the main window is asked to close, in their fixed order.
#include <functional>
#include <string>
#include <vector>

#include "session/BusyGuard.h"
#include "session/Prompter.h"

namespace strumox::session {

// The documents that may hold unsaved work, in the order closing asks about them.
enum class DocumentKind { PlayPage, ChordDesign, RawTab, TabPage };

// "Save PlayPage changes ", "Save Chord Design Page changes ", "Save Raw Tab changes ",
// "Save Strumox Tab file (.sxt) changes ".
std::string closeLead(DocumentKind kind);

// What the controller owning a document keeps of it.
struct DocumentState {
    bool modified = false;
    std::string fileName;  // empty when the document was never saved
};

// One document as closing sees it.
struct CloseDocument {
    DocumentKind kind = DocumentKind::PlayPage;
    DocumentState state;
    // Saves (running Save As when needed); false when the user cancelled or the save failed.
    // A document that has no way to be saved yet refuses the close when the user answers Yes.
    std::function<bool()> save;
};

// "Save PlayPage changes to /x.ppf before closing?" or, without a file, "...changes before closing?"
std::string closeQuestion(const CloseDocument& doc);

// Asks about every modified document in the order of DocumentKind, whatever order the owners
// handed them in; Cancel, or a Yes whose save did not happen, refuses. While the busy guard holds
// the close is refused at once, with "Step Play is active" when Step Play is down. Returns
// whether the window may close.
bool mayClose(const BusyGuard& busy, std::vector<CloseDocument> documents, Prompter& prompter);

}  // namespace strumox::session
