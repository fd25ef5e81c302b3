#include "app/UserChordMenu.h"

#include <QComboBox>
#include <QMenu>

#include <algorithm>

#include "app/TdlgAddChord.h"
#include "session/Prompter.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/UserChords.h"

namespace strumox::app {

UserChordMenu::UserChordMenu(QComboBox* combo, std::string settingsPath, session::Prompter& prompter,
                             QObject* parent)
    : QObject(parent), m_combo(combo), m_settingsPath(std::move(settingsPath)), m_prompter(prompter)
{
    m_menu = new QMenu(combo);
    m_menu->setObjectName("menuUserChords");
    actAddUserChord = m_menu->addAction("Add User Chord");
    actDeleteUserChord = m_menu->addAction("Delete User Chord");
    actAddUserChord->setObjectName("actAddUserChord");
    actDeleteUserChord->setObjectName("actDeleteUserChord");
    connect(actAddUserChord, &QAction::triggered, this, &UserChordMenu::addUserChord);
    connect(actDeleteUserChord, &QAction::triggered, this, &UserChordMenu::deleteUserChord);

    combo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(combo, &QWidget::customContextMenuRequested, this, &UserChordMenu::popUp);
}

UserChordMenu::~UserChordMenu()
{
    // The menu hangs on the combo, which may well outlive this object.
    delete m_menu.data();
}

void UserChordMenu::popUp(const QPoint& pos)
{
    if (m_combo)
        m_menu->popup(m_combo->mapToGlobal(pos));
}

TdlgAddChord* UserChordMenu::dialog()
{
    if (!m_dialog)
        m_dialog = new TdlgAddChord(m_prompter, m_combo ? m_combo->window() : nullptr);
    return m_dialog;
}

theory::FormulaRecord UserChordMenu::formulaOf(int entry) const
{
    return settings::readUserChord(settings::IniFile(m_settingsPath), entry);
}

void UserChordMenu::addUserChord()
{
    const std::optional<NewUserChord> chord = dialog()->ask();
    if (!chord || !m_combo)
        return;
    // A list not yet holding every built-in type must not give a built-in's number to a section.
    const int entry = std::max(m_combo->count(), settings::kFirstUserChordSection);
    try {
        settings::IniFile ini(m_settingsPath);
        settings::addUserChord(ini, entry, chord->name, chord->formula, chord->intervals);
        // Listed as the next start will list it ("NONAME" for no name, blanks dropped).
        const std::string shown = settings::readUserChord(ini, entry).suffix;
        ini.commit();
        m_combo->addItem(QString::fromStdString(shown));
    } catch (const settings::SettingsWriteError& err) {
        m_prompter.message(err.what());
    }
}

void UserChordMenu::deleteUserChord()
{
    if (!m_combo)
        return;
    const int chosen = m_combo->currentIndex();
    if (chosen < settings::kFirstUserChordSection) {
        m_prompter.message("Cannot delete this chord. Please select a User Chord.");
        return;
    }
    try {
        settings::IniFile ini(m_settingsPath);
        if (!settings::deleteUserChord(ini, chosen, m_combo->count() - 1)) {
            m_prompter.message(m_settingsPath + " holds no user chords; nothing was deleted.");
            return;
        }
        ini.commit();
    } catch (const settings::SettingsWriteError& err) {
        m_prompter.message(err.what());
        return;
    }
    m_combo->removeItem(chosen);
    m_combo->setCurrentIndex(-1);
    emit userChordDeleted();
}

}  // namespace strumox::app
