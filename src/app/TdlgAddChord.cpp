#include "app/TdlgAddChord.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "session/Prompter.h"
#include "theory/ChordFormulas.h"

namespace strumox::app {

namespace {

constexpr int kBoxesPerRow = 7;  // the root's row, the seconds to sevenths, the upper extensions

constexpr const char* kHelpText =
    "Tick the intervals your chord holds besides the root, at most six. The formula follows your "
    "ticks and may be edited afterwards. Give the chord a name of up to 15 characters (\"NONAME\" "
    "when left empty) and press OK: it is added to the end of the chord-type list of the Chord Design "
    "page, where Show Intervals shows it. \"Delete User Chord\" in that list's right-click menu "
    "removes it again.";

}  // namespace

TdlgAddChord::TdlgAddChord(session::Prompter& prompter, QWidget* parent) : QDialog(parent), m_prompter(prompter)
{
    setObjectName("TdlgAddChord");
    setWindowTitle("Add User Chord");
    auto* layout = new QVBoxLayout(this);

    auto* fields = new QFormLayout;
    editUserName = new QLineEdit(this);
    editUserName->setObjectName("editUserName");
    editUserName->setMaxLength(static_cast<int>(theory::FormulaRecord::kSuffixCapacity));
    fields->addRow("Chord Name:", editUserName);
    editUserFormula = new QLineEdit(this);
    editUserFormula->setObjectName("editUserFormula");
    editUserFormula->setMaxLength(static_cast<int>(theory::FormulaRecord::kTextCapacity));
    fields->addRow("Formula:", editUserFormula);
    layout->addLayout(fields);

    auto* intervals = new QGroupBox(this);
    auto* grid = new QGridLayout(intervals);
    for (int box = 0; box < theory::UserChordForm::kBoxCount; ++box) {
        auto* cb = new QCheckBox(QString::fromStdString(theory::UserChordForm::caption(box)), intervals);
        cb->setObjectName(QStringLiteral("cbInterval%1").arg(box));
        cbInterval[static_cast<std::size_t>(box)] = cb;
        // The root on a row of its own; the rest in rows of kBoxesPerRow from the next row.
        const int slot = box == 0 ? 0 : box - 1 + kBoxesPerRow;
        grid->addWidget(cb, slot / kBoxesPerRow, slot % kBoxesPerRow);
        connect(cb, &QCheckBox::toggled, this, [this, box](bool ticked) { boxToggled(box, ticked); });
    }
    cbInterval[0]->setEnabled(false);
    layout->addWidget(intervals);

    auto* buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    btnCancel->setObjectName("btnCancel");
    btnHelp = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    btnHelp->setObjectName("btnHelp");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { m_prompter.message(kHelpText); });

    showBoxes();
}

void TdlgAddChord::boxToggled(int box, bool ticked)
{
    const bool shown = m_form.setTicked(box, ticked);
    if (shown != ticked) {
        // Put the refused toggle back without coming here again.
        const QSignalBlocker quiet(cbInterval[static_cast<std::size_t>(box)]);
        cbInterval[static_cast<std::size_t>(box)]->setChecked(shown);
    }
    editUserFormula->setText(QString::fromStdString(m_form.formulaText()));
}

void TdlgAddChord::showBoxes()
{
    for (int box = 0; box < theory::UserChordForm::kBoxCount; ++box) {
        const QSignalBlocker quiet(cbInterval[static_cast<std::size_t>(box)]);
        cbInterval[static_cast<std::size_t>(box)]->setChecked(m_form.ticked(box));
    }
    editUserFormula->setText(QString::fromStdString(m_form.formulaText()));
}

std::optional<NewUserChord> TdlgAddChord::ask()
{
    m_form.reset();
    showBoxes();
    editUserName->clear();
    editUserName->setFocus();
    if (exec() != QDialog::Accepted || !m_form.hasIntervals())
        return std::nullopt;
    return NewUserChord{editUserName->text().toStdString(), editUserFormula->text().toStdString(),
                        m_form.intervals()};
}

}  // namespace strumox::app
