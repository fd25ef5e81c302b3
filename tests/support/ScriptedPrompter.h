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
    // File dialogs: each answers with the next name of `fileNames` (empty = cancelled) and is
    // recorded as "title|filter".
    std::deque<std::string> fileNames;
    std::vector<std::string> dialogs;
    std::string openFileName(const std::string& title, const std::string&, const std::string& filter) override
    {
        return nextFile(title, filter);
    }
    std::string saveFileName(const std::string& title, const std::string&, const std::string& filter) override
    {
        return nextFile(title, filter);
    }

private:
    std::string nextFile(const std::string& title, const std::string& filter)
    {
        dialogs.push_back(title + "|" + filter);
        if (fileNames.empty())
            return {};
        std::string name = fileNames.front();
        fileNames.pop_front();
        return name;
    }

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
