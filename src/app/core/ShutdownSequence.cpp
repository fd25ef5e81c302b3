#include "app/core/ShutdownSequence.h"

namespace strumox::app {

std::string closeQuestion(const CloseDocument& doc)
{
    std::string q = doc.lead;
    if (!doc.fileName.empty())
        q += "to " + doc.fileName + " ";
    return q + "before closing?";
}

bool mayClose(const BusyGuard& busy, const std::vector<CloseDocument>& documents, Prompter& prompter)
{
    if (busy.holds()) {
        if (busy.stepDown)
            prompter.message("Step Play is active");
        return false;
    }
    for (const auto& doc : documents) {
        if (!doc.modified)
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

}  // namespace strumox::app
