#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <QtTest>

#include <sys/stat.h>

#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "app/TdlgAddChord.h"
#include "app/UserChordMenu.h"
#include "settings/Settings.h"

using namespace strumox;
using app::TdlgAddChord;
using app::UserChordMenu;

namespace {

// The design page's chord-type list as it stands at start: the built-in types, then the user's.
QComboBox* chordTypeList(QWidget& host, const QStringList& userChords)
{
    auto* combo = new QComboBox(&host);
    for (int i = 0; i < settings::kFirstUserChordSection; ++i)
        combo->addItem(QStringLiteral("type%1").arg(i));
    combo->addItems(userChords);
    (new QVBoxLayout(&host))->addWidget(combo);
    host.show();
    return combo;
}

// Right-clicks the list as the mouse would (through the window, so a context-menu event
// follows) and clicks the named item of the popup that opens.
[[nodiscard]] bool chooseFromPopup(QComboBox* combo, const char* item)
{
    QWindow* window = combo->window()->windowHandle();
    QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, combo->mapTo(combo->window(), combo->rect().center()));
    auto* popup = combo->findChild<QMenu*>("menuUserChords");
    auto* action = popup ? popup->findChild<QAction*>(item) : nullptr;
    if (!popup || !popup->isVisible() || !action) {
        qWarning("the right click opened no popup holding %s", item);
        return false;
    }
    QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, popup->actionGeometry(action).center());
    return !popup->isVisible();
}

// Runs `answer` inside the dialog's own loop once it is up; cancels a dialog it left open.
void whenDialogOpens(TdlgAddChord* dlg, std::function<void()> answer)
{
    auto* poll = new QTimer(dlg);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, dlg, [dlg, poll, answer] {
        if (!dlg->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer();
        if (dlg->isVisible())
            dlg->reject();
    });
    poll->start();
}

// A click on the box's indicator, or the space key with the box focused.
void toggle(QCheckBox* box, bool byKey = false)
{
    QStyleOptionButton opt;
    opt.initFrom(box);
    box->setFocus();
    if (byKey)
        QTest::keyClick(box, Qt::Key_Space);
    else
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier,
                          box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, box).center());
}

// The captions of the ticked boxes, then the formula field: "1 3 5 | 1 3 5".
QString shown(const TdlgAddChord& dlg)
{
    QStringList ticked;
    for (QCheckBox* box : dlg.cbInterval)
        if (box->isChecked())
            ticked << box->text();
    return ticked.join(' ') + " | " + dlg.editUserFormula->text();
}

}  // namespace

class AddUserChordTest : public QObject {
    Q_OBJECT

private slots:
    void clicksAndSpaceTickAtMostSixAndOkAppendsTheChord()
    {
        testsupport::TempDir dir;
        const std::string path = dir.file("Kq.ini");
        testsupport::ScriptedPrompter prompter;
        QWidget host;
        QComboBox* combo = chordTypeList(host, {});
        UserChordMenu menu(combo, path, prompter);
        TdlgAddChord* dlg = menu.dialog();

        QStringList seen;
        whenDialogOpens(dlg, [&] {
            seen << shown(*dlg);
            toggle(dlg->cbInterval[0]);  // the root cannot be unticked
            toggle(dlg->cbInterval[4]);
            toggle(dlg->cbInterval[7], true);
            for (int box : {10, 13, 2, 5})
                toggle(dlg->cbInterval[static_cast<std::size_t>(box)]);
            seen << shown(*dlg);
            toggle(dlg->cbInterval[1]);  // a seventh interval, refused by mouse ...
            toggle(dlg->cbInterval[18], true);  // ... and by keyboard
            seen << shown(*dlg);
            toggle(dlg->cbInterval[5], true);  // an untick frees a place
            toggle(dlg->cbInterval[1]);
            seen << shown(*dlg);
            dlg->editUserFormula->clear();
            QTest::keyClicks(dlg->editUserFormula, "1 b2 2 3 5 b7 9!");
            QTest::keyClicks(dlg->editUserName, "7b9sus2");
            QTest::mouseClick(dlg->btnOK, Qt::LeftButton);
        });
        QVERIFY(chooseFromPopup(combo, "actAddUserChord"));

        QCOMPARE(seen, QStringList({"1 | 1", "1 2 3 4 5 b7 9 | 1 2 3 4 5 b7 9", "1 2 3 4 5 b7 9 | 1 2 3 4 5 b7 9",
                                    "1 b2 2 3 5 b7 9 | 1 b2 2 3 5 b7 9"}));
        QCOMPARE(combo->count(), 63);
        QCOMPARE(combo->itemText(62), QString("7b9sus2"));
        QCOMPARE(menu.formulaOf(62), (theory::FormulaRecord{{0, 1, 2, 4, 7, 10, 14}, "7b9sus2", "1 b2 2 3 5 b7 9!"}));

        // Opening again starts afresh.
        whenDialogOpens(dlg, [&] {
            seen << shown(*dlg);
            QTest::mouseClick(dlg->btnOK, Qt::LeftButton);
        });
        const std::string before = dir.read("Kq.ini");
        QVERIFY(chooseFromPopup(combo, "actAddUserChord"));  // no intervals: nothing stored
        QCOMPARE(seen.last(), QString("1 | 1"));
        QCOMPARE(combo->count(), 63);
        QCOMPARE(dir.read("Kq.ini"), before);
        QVERIFY(prompter.messages.empty());
    }

    void deleteOnlyTakesUserChordsAndKeepsTheListAsTheFileIs()
    {
        testsupport::TempDir dir;
        const std::string path = dir.file("Kq.ini");
        dir.write("Kq.ini", "[UserChords]\nNumber=2\n[62]\nName=First\nI0=0\nI1=4\n[63]\nName=Second\nI0=0\nI1=3\n");
        testsupport::ScriptedPrompter prompter;
        QWidget host;
        QComboBox* combo = chordTypeList(host, {"First", "Second"});
        UserChordMenu menu(combo, path, prompter);
        QSignalSpy deleted(&menu, &UserChordMenu::userChordDeleted);

        combo->setCurrentIndex(61);
        QVERIFY(chooseFromPopup(combo, "actDeleteUserChord"));
        QCOMPARE(prompter.messages, std::vector<std::string>{"Cannot delete this chord. Please select a User Chord."});

        // A file that may not be replaced: the message tells so and the list stays as the file is.
        combo->setCurrentIndex(62);
        ::chmod(path.c_str(), 0444);
        QVERIFY(chooseFromPopup(combo, "actDeleteUserChord"));
        QCOMPARE(prompter.messages.back(), "Unable to write to " + path);
        QCOMPARE(combo->count(), 64);

        ::chmod(path.c_str(), 0644);
        QVERIFY(chooseFromPopup(combo, "actDeleteUserChord"));
        QCOMPARE(combo->count(), 63);
        QCOMPARE(combo->itemText(62), QString("Second"));
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(menu.formulaOf(62).suffix, std::string("Second"));
    }
};

QTEST_MAIN(AddUserChordTest)
#include "add_user_chord_test.moc"
