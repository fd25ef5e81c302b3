#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/core/ShutdownSequence.h"

using namespace strumox::app;

namespace {

// Answers Yes/No/Cancel questions from a script and records everything it was asked or told.
class ScriptedPrompter : public Prompter {
public:
    explicit ScriptedPrompter(std::deque<Answer> answers = {}) : m_answers(std::move(answers)) {}

    Answer askYesNo(const std::string& question, bool) override
    {
        questions.push_back(question);
        return next();
    }
    Answer askYesNoCancel(const std::string& question) override
    {
        questions.push_back(question);
        return next();
    }
    void message(const std::string& text) override { messages.push_back(text); }
    std::string openFileName(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFileName(const std::string&, const std::string&, const std::string&) override { return {}; }

    std::vector<std::string> questions;
    std::vector<std::string> messages;

private:
    Answer next()
    {
        if (m_answers.empty()) {
            ADD_FAILURE() << "asked more questions than scripted";
            return Answer::Cancel;
        }
        const Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    std::deque<Answer> m_answers;
};

// The four documents in the order the main window asks about them; each counts its saves.
struct Documents {
    std::vector<int> saves = std::vector<int>(4, 0);
    std::vector<bool> saveResult = std::vector<bool>(4, true);
    std::vector<CloseDocument> list;

    Documents(std::vector<bool> modified, std::vector<std::string> files = {"", "", "", ""})
    {
        const char* leads[] = {"Save PlayPage changes ", "Save Chord Design Page changes ", "Save Raw Tab changes ",
                               "Save Strumox Tab file (.sxt) changes "};
        for (size_t i = 0; i < 4; ++i)
            list.push_back({leads[i], modified[i], files[i], [this, i] {
                                ++saves[i];
                                return saveResult[i];
                            }});
    }
};

const BusyGuard kIdle{};

// ---- Question texts ----

TEST(CloseQuestion, FileNameIsNamedWhenTheDocumentHasOne)
{
    struct Row {
        const char* lead;
        const char* file;
        const char* expected;
    };
    const Row rows[] = {
        {"Save PlayPage changes ", "/home/ann/songs/blues.ppf", "Save PlayPage changes to /home/ann/songs/blues.ppf before closing?"},
        {"Save PlayPage changes ", "", "Save PlayPage changes before closing?"},
        {"Save Chord Design Page changes ", "", "Save Chord Design Page changes before closing?"},
        {"Save Raw Tab changes ", "/tmp/riff.tab", "Save Raw Tab changes to /tmp/riff.tab before closing?"},
        {"Save Strumox Tab file (.sxt) changes ", "a.sxt", "Save Strumox Tab file (.sxt) changes to a.sxt before closing?"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(closeQuestion({r.lead, true, r.file, nullptr}), r.expected);
}

// ---- Order of the questions and the answers ----

TEST(MayClose, NothingModifiedClosesWithoutAQuestion)
{
    Documents docs({false, false, false, false});
    ScriptedPrompter p;
    EXPECT_TRUE(mayClose(kIdle, docs.list, p));
    EXPECT_TRUE(p.questions.empty());
    EXPECT_TRUE(p.messages.empty());
}

TEST(MayClose, AsksAboutEveryModifiedDocumentInOrderWhenAnsweredNo)
{
    Documents docs({true, true, true, true}, {"/p.ppf", "", "/r.tab", ""});
    ScriptedPrompter p({Answer::No, Answer::No, Answer::No, Answer::No});
    EXPECT_TRUE(mayClose(kIdle, docs.list, p));
    const std::vector<std::string> expected{
        "Save PlayPage changes to /p.ppf before closing?", "Save Chord Design Page changes before closing?",
        "Save Raw Tab changes to /r.tab before closing?", "Save Strumox Tab file (.sxt) changes before closing?"};
    EXPECT_EQ(p.questions, expected);
    EXPECT_EQ(docs.saves, (std::vector<int>{0, 0, 0, 0}));
}

TEST(MayClose, UnmodifiedDocumentsAreSkipped)
{
    Documents docs({false, true, false, true});
    ScriptedPrompter p({Answer::No, Answer::No});
    EXPECT_TRUE(mayClose(kIdle, docs.list, p));
    ASSERT_EQ(p.questions.size(), 2u);
    EXPECT_EQ(p.questions[0], "Save Chord Design Page changes before closing?");
    EXPECT_EQ(p.questions[1], "Save Strumox Tab file (.sxt) changes before closing?");
}

TEST(MayClose, CancelOnTheFirstQuestionRefusesAndAsksNothingMore)
{
    Documents docs({true, true, false, false});
    ScriptedPrompter p({Answer::Cancel});
    EXPECT_FALSE(mayClose(kIdle, docs.list, p));
    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0], "Save PlayPage changes before closing?");
    EXPECT_EQ(docs.saves, (std::vector<int>{0, 0, 0, 0}));
}

TEST(MayClose, CancelLaterStillRefusesAfterEarlierSaves)
{
    Documents docs({true, true, true, true});
    ScriptedPrompter p({Answer::Yes, Answer::No, Answer::Cancel});
    EXPECT_FALSE(mayClose(kIdle, docs.list, p));
    EXPECT_EQ(p.questions.size(), 3u);
    EXPECT_EQ(docs.saves, (std::vector<int>{1, 0, 0, 0}));
}

TEST(MayClose, YesSavesAndGoesOn)
{
    Documents docs({true, true, true, true});
    ScriptedPrompter p({Answer::Yes, Answer::Yes, Answer::No, Answer::Yes});
    EXPECT_TRUE(mayClose(kIdle, docs.list, p));
    EXPECT_EQ(p.questions.size(), 4u);
    EXPECT_EQ(docs.saves, (std::vector<int>{1, 1, 0, 1}));
}

TEST(MayClose, YesWhoseSaveIsCancelledOrFailsRefuses)
{
    for (size_t failing = 0; failing < 4; ++failing) {
        Documents docs({true, true, true, true});
        docs.saveResult[failing] = false;
        ScriptedPrompter p({Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes});
        EXPECT_FALSE(mayClose(kIdle, docs.list, p)) << "document " << failing;
        EXPECT_EQ(p.questions.size(), failing + 1) << "document " << failing;
        EXPECT_EQ(docs.saves[failing], 1) << "document " << failing;
        for (size_t later = failing + 1; later < 4; ++later)
            EXPECT_EQ(docs.saves[later], 0) << "document " << later << " after " << failing;
    }
}

// ---- Refusing while something plays ----

TEST(MayClose, BusyRefusesWithoutQuestions)
{
    struct Row {
        const char* what;
        BusyGuard busy;
        bool explains;
    };
    const Row rows[] = {
        {"Play down with Step Play", {true, false, true, false}, true},
        {"Play down without Step", {true, false, false, false}, false},
        {"Pause down", {false, true, false, false}, false},
        {"Pause down with Step Play", {false, true, true, false}, true},
        {"busy cursor", {false, false, false, true}, false},
    };
    for (const auto& r : rows) {
        Documents docs({true, true, true, true});
        ScriptedPrompter p;
        EXPECT_FALSE(mayClose(r.busy, docs.list, p)) << r.what;
        EXPECT_TRUE(p.questions.empty()) << r.what;
        const std::vector<std::string> expected =
            r.explains ? std::vector<std::string>{"Step Play is active"} : std::vector<std::string>{};
        EXPECT_EQ(p.messages, expected) << r.what;
        EXPECT_EQ(docs.saves, (std::vector<int>{0, 0, 0, 0})) << r.what;
    }
}

TEST(MayClose, StepPlayAloneDoesNotHoldTheWindowOpen)
{
    BusyGuard stepOnly;
    stepOnly.stepDown = true;
    Documents docs({false, false, false, false});
    ScriptedPrompter p;
    EXPECT_TRUE(mayClose(stepOnly, docs.list, p));
    EXPECT_TRUE(p.messages.empty());
}

}  // namespace
