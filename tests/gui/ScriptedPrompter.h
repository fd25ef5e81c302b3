#pragma once
// Answers the program's questions from a script and records everything asked.
#include <deque>
#include <string>
#include <vector>

#include "app/core/Prompter.h"

namespace strumox::testing {

class ScriptedPrompter : public app::Prompter {
public:
    std::deque<app::Answer> answers;  // taken in order; No when the script runs dry
    std::vector<std::string> asked;   // questions and messages, in order

    app::Answer askYesNo(const std::string& q, bool) override { return next(q); }
    app::Answer askYesNoCancel(const std::string& q) override { return next(q); }
    void message(const std::string& text) override { asked.push_back(text); }
    std::string openFileName(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFileName(const std::string&, const std::string&, const std::string&) override { return {}; }

private:
    app::Answer next(const std::string& q)
    {
        asked.push_back(q);
        if (answers.empty())
            return app::Answer::No;
        const app::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace strumox::testing
