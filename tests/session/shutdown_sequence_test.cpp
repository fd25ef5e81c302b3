#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "ScriptedPrompter.h"
#include "session/ShutdownSequence.h"

using namespace strumox::session;

namespace {

using strumox::testsupport::ScriptedPrompter;

// A prompter that fails the test when asked more than it was told to answer.
struct StrictPrompter : ScriptedPrompter {
    explicit StrictPrompter(std::deque<Answer> script = {}) : ScriptedPrompter(std::move(script))
    {
        whenDry = Answer::Cancel;
    }
    ~StrictPrompter() override { EXPECT_EQ(unscripted, 0) << "asked more questions than scripted"; }
};

// The four documents in the order closing asks about them; each counts its saves.
struct Documents {
    std::vector<int> saves = std::vector<int>(4, 0);
    std::vector<bool> saveResult = std::vector<bool>(4, true);
    std::vector<CloseDocument> list;

    Documents(std::vector<bool> modified, std::vector<std::string> files = {"", "", "", ""})
    {
        const DocumentKind kinds[] = {DocumentKind::PlayPage, DocumentKind::ChordDesign, DocumentKind::RawTab,
                                      DocumentKind::TabPage};
        for (size_t i = 0; i < 4; ++i)
            list.push_back({kinds[i], {modified[i], files[i]}, [this, i] {
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
        DocumentKind kind;
        const char* file;
        const char* expected;
    };
    const Row rows[] = {
        {DocumentKind::PlayPage, "/home/ann/songs/blues.ppf", "Save PlayPage changes to /home/ann/songs/blues.ppf before closing?"},
        {DocumentKind::PlayPage, "", "Save PlayPage changes before closing?"},
        {DocumentKind::ChordDesign, "", "Save Chord Design Page changes before closing?"},
        {DocumentKind::RawTab, "/tmp/riff.tab", "Save Raw Tab changes to /tmp/riff.tab before closing?"},
        {DocumentKind::TabPage, "a.sxt", "Save Strumox Tab file (.sxt) changes to a.sxt before closing?"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(closeQuestion({r.kind, {true, r.file}, nullptr}), r.expected);
}

// ---- Order of the questions and the answers ----

TEST(MayClose, NothingModifiedClosesWithoutAQuestion)
{
    Documents docs({false, false, false, false});
    StrictPrompter p;
    EXPECT_TRUE(mayClose(kIdle, docs.list, p));
    EXPECT_TRUE(p.questions.empty());
    EXPECT_TRUE(p.messages.empty());
}

TEST(MayClose, AsksAboutEveryModifiedDocumentInOrderWhenAnsweredNo)
{
    Documents docs({true, true, true, true}, {"/p.ppf", "", "/r.tab", ""});
    StrictPrompter p({Answer::No, Answer::No, Answer::No, Answer::No});
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
    StrictPrompter p({Answer::No, Answer::No});
    EXPECT_TRUE(mayClose(kIdle, docs.list, p));
    ASSERT_EQ(p.questions.size(), 2u);
    EXPECT_EQ(p.questions[0], "Save Chord Design Page changes before closing?");
    EXPECT_EQ(p.questions[1], "Save Strumox Tab file (.sxt) changes before closing?");
}

TEST(MayClose, CancelOnTheFirstQuestionRefusesAndAsksNothingMore)
{
    Documents docs({true, true, false, false});
    StrictPrompter p({Answer::Cancel});
    EXPECT_FALSE(mayClose(kIdle, docs.list, p));
    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0], "Save PlayPage changes before closing?");
    EXPECT_EQ(docs.saves, (std::vector<int>{0, 0, 0, 0}));
}

TEST(MayClose, CancelLaterStillRefusesAfterEarlierSaves)
{
    Documents docs({true, true, true, true});
    StrictPrompter p({Answer::Yes, Answer::No, Answer::Cancel});
    EXPECT_FALSE(mayClose(kIdle, docs.list, p));
    EXPECT_EQ(p.questions.size(), 3u);
    EXPECT_EQ(docs.saves, (std::vector<int>{1, 0, 0, 0}));
}

TEST(MayClose, YesSavesAndGoesOn)
{
    Documents docs({true, true, true, true});
    StrictPrompter p({Answer::Yes, Answer::Yes, Answer::No, Answer::Yes});
    EXPECT_TRUE(mayClose(kIdle, docs.list, p));
    EXPECT_EQ(p.questions.size(), 4u);
    EXPECT_EQ(docs.saves, (std::vector<int>{1, 1, 0, 1}));
}

TEST(MayClose, YesWhoseSaveIsCancelledOrFailsRefuses)
{
    for (size_t failing = 0; failing < 4; ++failing) {
        Documents docs({true, true, true, true});
        docs.saveResult[failing] = false;
        StrictPrompter p({Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes});
        EXPECT_FALSE(mayClose(kIdle, docs.list, p)) << "document " << failing;
        EXPECT_EQ(p.questions.size(), failing + 1) << "document " << failing;
        EXPECT_EQ(docs.saves[failing], 1) << "document " << failing;
        for (size_t later = failing + 1; later < 4; ++later)
            EXPECT_EQ(docs.saves[later], 0) << "document " << later << " after " << failing;
    }
}

TEST(MayClose, AsksInTheFixedOrderWhateverOrderTheOwnersHandTheDocumentsIn)
{
    const std::vector<std::string> expected{
        "Save PlayPage changes to /p.ppf before closing?", "Save Chord Design Page changes before closing?",
        "Save Raw Tab changes to /r.tab before closing?", "Save Strumox Tab file (.sxt) changes to /t.sxt before closing?"};
    std::vector<size_t> order{0, 1, 2, 3};
    do {
        Documents docs({true, true, true, true}, {"/p.ppf", "", "/r.tab", "/t.sxt"});
        std::vector<CloseDocument> handedIn;
        for (size_t i : order)
            handedIn.push_back(docs.list[i]);
        StrictPrompter p({Answer::No, Answer::No, Answer::No, Answer::No});
        EXPECT_TRUE(mayClose(kIdle, handedIn, p));
        EXPECT_EQ(p.questions, expected) << order[0] << order[1] << order[2] << order[3];
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(MayClose, YesForADocumentThatCannotBeSavedYetRefuses)
{
    // Closing must not throw the work away because nothing can save it.
    for (size_t unsaveable = 0; unsaveable < 4; ++unsaveable) {
        Documents docs({true, true, true, true});
        docs.list[unsaveable].save = nullptr;
        StrictPrompter p(std::deque<Answer>(4, Answer::Yes));
        p.whenDry = Answer::Yes;
        EXPECT_FALSE(mayClose(kIdle, docs.list, p)) << "document " << unsaveable;
        EXPECT_EQ(p.questions.size(), unsaveable + 1) << "document " << unsaveable;
        p.unscripted = 0;
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
        StrictPrompter p;
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
    StrictPrompter p;
    EXPECT_TRUE(mayClose(stepOnly, docs.list, p));
    EXPECT_TRUE(p.messages.empty());
}

}  // namespace
