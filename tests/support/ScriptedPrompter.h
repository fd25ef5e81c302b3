#pragma once
// Answers the program's questions from a script and records everything asked and told, for the
// GoogleTest suites and the widget tests alike.
#include <deque>
#include <string>
#include <vector>

#include "session/Prompter.h"

namespace strumox::testsupport {

class ScriptedPrompter : public session::Prompter {
public:
    ScriptedPrompter() = default;
    explicit ScriptedPrompter(std::deque<session::Answer> script) : answers(std::move(script)) {}

    std::deque<session::Answer> answers;                // taken in order
    session::Answer whenDry = session::Answer::No;      // the answer once the script has run out
    std::vector<std::string> asked;      // questions and messages, in order
    std::vector<std::string> questions;  // the questions alone
    std::vector<std::string> messages;   // the messages alone
    int unscripted = 0;                  // questions asked after the script ran out

    session::Answer askYesNo(const std::string& q, bool) override { return next(q); }
    session::Answer askYesNoCancel(const std::string& q) override { return next(q); }
    void message(const std::string& text) override
    {
        asked.push_back(text);
        messages.push_back(text);
    }
    std::string openFileName(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFileName(const std::string&, const std::string&, const std::string&) override { return {}; }

private:
    session::Answer next(const std::string& q)
    {
        asked.push_back(q);
        questions.push_back(q);
        if (answers.empty()) {
            ++unscripted;
            return whenDry;
        }
        const session::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace strumox::testsupport
