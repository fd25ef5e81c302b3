#pragma once
// Every question the program asks goes through this, so that models and controllers never
// open a message box themselves and tests can answer in their place.
#include <string>

namespace strumox::session {

enum class Answer { Yes, No, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;
    // Yes/No question box titled "Strumox"; `defaultNo` makes No the default button.
    virtual Answer askYesNo(const std::string& question, bool defaultNo = false) = 0;
    virtual Answer askYesNoCancel(const std::string& question) = 0;
    virtual void message(const std::string& text) = 0;
    // Empty when the user cancels.
    virtual std::string openFileName(const std::string& title, const std::string& dir, const std::string& filter) = 0;
    virtual std::string saveFileName(const std::string& title, const std::string& dir, const std::string& filter) = 0;
};

}  // namespace strumox::session
