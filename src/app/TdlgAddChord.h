#pragma once
// "Add User Chord": the user ticks the intervals of a chord type of their own and names it. What
// may be ticked and the formula text that follows is theory::UserChordForm's decision; the
// dialog shows it and forwards every toggle, whether a click or the space key made it.
#include <QDialog>
#include <array>
#include <optional>
#include <string>

#include "theory/UserChordForm.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace strumox::session {
class Prompter;
}

namespace strumox::app {

struct NewUserChord {
    std::string name;     // as typed, at most 15 characters; may be empty
    std::string formula;  // the formula field as the user left it, at most 20 characters
    theory::IntervalList intervals;
};

class TdlgAddChord : public QDialog {
    Q_OBJECT
public:
    // Help text goes through `prompter`, which must outlive the dialog.
    explicit TdlgAddChord(session::Prompter& prompter, QWidget* parent = nullptr);

    // Opens the dialog reset (root alone, empty name, formula "1") and runs it modally. Nothing
    // when the user cancels, or presses OK with no interval besides the root.
    std::optional<NewUserChord> ask();

    const theory::UserChordForm& form() const { return m_form; }

    QLineEdit* editUserName = nullptr;
    QLineEdit* editUserFormula = nullptr;
    std::array<QCheckBox*, theory::UserChordForm::kBoxCount> cbInterval{};  // cbInterval0..18
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

private:
    void boxToggled(int box, bool ticked);
    void showBoxes();

    session::Prompter& m_prompter;
    theory::UserChordForm m_form;
};

}  // namespace strumox::app
