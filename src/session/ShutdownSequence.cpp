#include "session/ShutdownSequence.h"

#include <algorithm>

namespace strumox::session {

std::string closeLead(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::PlayPage: return "Save PlayPage changes ";
    case DocumentKind::ChordDesign: return "Save Chord Design Page changes ";
    case DocumentKind::RawTab: return "Save Raw Tab changes ";
    case DocumentKind::TabPage: return "Save Strumox Tab file (.sxt) changes ";
    }
    return {};
}

std::string closeQuestion(const CloseDocument& doc)
{
    std::string q = closeLead(doc.kind);
    if (!doc.state.fileName.empty())
        q += "to " + doc.state.fileName + " ";
    return q + "before closing?";
}

bool mayClose(const BusyGuard& busy, std::vector<CloseDocument> documents, Prompter& prompter)
{
    if (busy.holds()) {
        if (busy.stepDown)
            prompter.message("Step Play is active");
        return false;
    }
    std::stable_sort(documents.begin(), documents.end(),
                     [](const CloseDocument& a, const CloseDocument& b) { return a.kind < b.kind; });
    for (const auto& doc : documents) {
        if (!doc.state.modified)
            continue;
        switch (prompter.askYesNoCancel(closeQuestion(doc))) {
        case Answer::Cancel:
            return false;
        case Answer::No:
            break;
        case Answer::Yes:
            if (!doc.save || !doc.save())
                return false;
            break;
        }
    }
    return true;
}

}  // namespace strumox::session
