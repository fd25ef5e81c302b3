#include "app/ChordFinderController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ChordPageController.h"
#include "app/FretboardController.h"
#include "app/ScalesPageController.h"
#include "pages/ChordFinder.h"
#include "theory/ChordData.h"
#include "pages/ScalesPageModel.h"
#include "theory/ChordTypes.h"
#include "theory/ScaleData.h"

namespace strumox::app {

ChordFinderController::ChordFinderController(const std::string& appDir, const theory::NoteNames& names,
                                             const session::BusyGuard& busy, session::Prompter& prompter,
                                             const theory::Tuning& currentTuning, Widgets widgets,
                                             ChordPageController& chords, ScalesPageController& scales,
                                             FretboardController& fretboard, QObject* parent)
    : QObject(parent), m_appDir(appDir), m_names(names), m_busy(busy), m_prompter(prompter),
      m_currentTuning(currentTuning), m_w(widgets), m_chords(chords), m_scales(scales), m_fretboard(fretboard)
{
}

void ChordFinderController::chooseKey(int key)
{
    m_key = key;
    m_w.editChordRoot->setText(QString::fromStdString(m_names.note(key)));
}

void ChordFinderController::renameNotes()
{
    if (m_key != -1 && !m_w.editChordRoot->text().isEmpty())
        m_w.editChordRoot->setText(QString::fromStdString(m_names.note(m_key)));
}

void ChordFinderController::chooseChordType(int family, int type, const QString& caption)
{
    m_type = type;
    m_family = family;
    m_target = Target::Chords;
    m_w.editChordName->setText(caption);
    m_w.btnShowChords->setText("Show Chords");
    m_w.label4->setText("Chord Name");
}

void ChordFinderController::chooseScale(int index, const QString& caption)
{
    m_scale = index;
    m_family = 0;
    m_target = Target::Scale;
    m_w.editChordName->setText(caption);
    m_w.btnShowChords->setText("Show Scale");
    m_w.label4->setText("Scale Name");
}

void ChordFinderController::showChords()
{
    if (parkFocus)
        parkFocus();
    if (m_w.editChordRoot->text().isEmpty() || m_busy.holds())
        return;
    if (m_target == Target::Scale) {
        if (activatePage && !activatePage(pages::Page::Scales))
            return;
        m_fretboard.setTuningControlsEnabled(true);
        findScale();
        return;
    }
    findChords();
}

void ChordFinderController::findChords()
{
    if (m_chords.model().isFull()) {
        m_prompter.message("Maximum is 5 sets of chords. Clear the Chord page.");
        return;
    }
    if (m_w.editChordName->text().isEmpty()) {
        m_type = 0;
        m_family = static_cast<int>(theory::ChordFamily::Major);
        m_w.editChordName->setText("major");
    }
    std::string error;
    const int g = theory::formulaIndex(static_cast<theory::ChordFamily>(m_family), m_type);
    const auto found = theory::lookupChord(m_appDir, g, m_key, &error);
    if (!found) {
        m_prompter.message(error);
        return;
    }
    if (activatePage && !activatePage(pages::Page::Chords))
        return;
    // Dictionary chords are always in standard tuning.
    m_fretboard.setTuningControlsEnabled(false);
    m_chords.addSet(pages::diagramsFromLookup(*found, m_key));
}

void ChordFinderController::findScale()
{
    if (m_scales.model().isFull()) {
        m_prompter.message("Maximum is 5 sets of scales. Clear the Scale page.");
        return;
    }
    std::string error;
    const auto def = theory::readScaleRecord(m_appDir, m_scale < 0 ? 0 : m_scale, &error);
    if (!def) {
        m_prompter.message(error);
        return;
    }
    const pages::ScaleRecord row =
        pages::newScalesPageRow(*def, m_w.editChordName->text().toStdString(), m_key, m_currentTuning,
                                m_w.editTuningName->text().toStdString(), m_names);
    m_scales.addRow(row);
}

}  // namespace strumox::app
