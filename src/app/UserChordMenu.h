#pragma once
// The right-click menu of the chord-type list: "Add User Chord" and "Delete User Chord". The
// list itself belongs to the Chord Design page, which fills entries 0..61 with the built-in
// types and then the user chords' names; this class keeps the user part of the list and the
// settings file in step (entry 62 + i is user chord i and settings section 62 + i).
#include <QObject>
#include <QPointer>
#include <string>

#include "theory/ChordFormulas.h"

class QAction;
class QComboBox;
class QMenu;
class QPoint;

namespace strumox::session {
class Prompter;
}

namespace strumox::app {

class TdlgAddChord;

class UserChordMenu : public QObject {
    Q_OBJECT
public:
    // `settingsPath` is the settings file; `prompter` must outlive this object.
    UserChordMenu(QComboBox* combo, std::string settingsPath, session::Prompter& prompter,
                  QObject* parent = nullptr);
    ~UserChordMenu() override;

    // User chord `entry` (62 and up) as the settings file holds it now.
    theory::FormulaRecord formulaOf(int entry) const;

    // Created on first use and kept, so it opens where the user last left it.
    TdlgAddChord* dialog();

    // What the two menu items do.
    void addUserChord();
    void deleteUserChord();

    QAction* actAddUserChord = nullptr;
    QAction* actDeleteUserChord = nullptr;

signals:
    // The chosen user chord is gone and the list shows no choice: the page shows nothing for it.
    void userChordDeleted();

private:
    void popUp(const QPoint& pos);

    QPointer<QComboBox> m_combo;
    std::string m_settingsPath;
    session::Prompter& m_prompter;
    QPointer<QMenu> m_menu;
    QPointer<TdlgAddChord> m_dialog;
};

}  // namespace strumox::app
