#pragma once
// The PlayPage tab: the song sheet picture in its scroll box with the page and time signature
// buttons, the popup of chord and measure edits, placements sent from the other pages, drags of
// a slot with auto-scroll, the Repeat Markers dialog, Undo and Erase. The page's rules are in
// pages::PlayPage; this asks the questions, draws and wires the controls.
#include <QObject>
#include <array>
#include <functional>
#include <string>

#include "app/PageController.h"
#include "pages/PageTransfer.h"
#include "pages/PlayPage.h"
#include "session/BusyGuard.h"
#include "session/Prompter.h"
#include "theory/Notes.h"

class QAction;
class QButtonGroup;
class QMenu;
class QScrollArea;
class QTimer;
class QToolButton;

namespace strumox::app {

class FretboardController;
class PlayPageImage;
class TdlgRepeat;

struct PlayPageServices {
    const theory::NoteNames& names;
    const session::BusyGuard& busy;
    session::Prompter& prompter;
    FretboardController& fretboard;
    pages::PageTransfer& transfer;
    const settings::AppSettings& settings;  // PPTinyFont picks the size of the slot titles
    QToolButton* undoButton;                // the toolbar's sbtnUndo
    QToolButton* loopButton;                // the toolbar's sbtnLoop
};

class PlayPageController : public QObject, public PageController {
    Q_OBJECT
public:
    PlayPageController(PlayPageServices services, QWidget* parent);

    pages::PlayPage& model() { return m_model; }
    const pages::PlayPage& model() const { return m_model; }
    PlayPageImage* picture() const { return m_picture; }
    QScrollArea* scroll() const { return m_scroll; }
    TdlgRepeat& repeatDialog() const { return *m_dlgRepeat; }
    // The page file the page was last opened from or saved to; empty for none.
    const std::string& fileName() const { return m_fileName; }
    void setFileName(std::string name) { m_fileName = std::move(name); }

    // Saves the page (Save As when it has no file); false when not saved.
    std::function<bool()> savePage;

    pages::Page page() const override { return pages::Page::PlayPage; }
    QWidget* view() const override { return m_view; }
    QAbstractScrollArea* scrollBox() const override;
    bool tuningEditable() const override { return false; }
    void showOnFretboard() override;
    // Show Arpeggio empties the fretboard here: the page shows no single chord.
    std::optional<pages::DiagramRecord> arpeggioChord() const override { return pages::DiagramRecord{}; }
    void awaitPlacement(pages::Placement placement) override;
    void leave() override;
    void redraw() override;
    bool erasable() const override { return true; }
    void erase() override;
    QString newCaption() const override { return QStringLiteral("&New Play Page"); }
    std::vector<session::CloseDocument> closeDocuments() const override;
    std::optional<pages::PageFileKind> fileKind() const override { return pages::PageFileKind::PlayPage; }
    void writeFile(const std::string& path) const override { fileWriter()(path); }
    std::function<void(const std::string&)> fileWriter() const override;
    bool readFile(const std::string& path, std::string* error) override;
    bool unsavedWork() const override { return m_model.modified; }
    // The tempo box or dialog changed the song's tempo, which the page's file keeps.
    void tempoChanged() { m_model.modified = true; }
    std::string openQuestion() const override
    {
        return "Do you want to save changes to this PlayPage before opening another file?";
    }
    void fileSaved(const std::string& path) override;
    void recovered() override;
    std::string titleSuffix() const override { return m_versionSuffix; }

    PlayItem playItem() const override { return {PlayItem::Kind::Song, {}, {}, 1}; }
    // "Play Chord" on a slot: the one chord strummed (set by the window).
    std::function<void(const pages::DiagramRecord&)> playSlotChord;

    // Playback's marks on the picture: the play cursor on beat cell 0..143, the step arrow over
    // slot 0..287; nothing removes the mark. The picture under them is not painted again.
    void setPlayCursor(std::optional<int> beatCell);
    void setStepArrow(std::optional<int> slot);
    std::optional<int> playCursor() const { return m_playCursor; }
    std::optional<int> stepArrow() const { return m_stepArrow; }
    // Scrolls the page so that the staff of `slot`'s row sits 95 pixels below the top.
    void scrollToSlot(int slot);

    // The song's tempo (beats per minute) as the tempo box shows it, kept with the page's file.
    std::function<int()> tempo;
    std::function<void(int)> setTempo;

    QMenu* popmenuPlayPage = nullptr;
    QToolButton* sbtnTime = nullptr;
    std::array<QToolButton*, pages::PlayPage::kPageCount> sbtnPage{};  // sbtnPage1 .. sbtnPage4
    QTimer* timerPageDrag = nullptr;

signals:
    void pageRequested(pages::Page page, pages::Placement placement);
    void titleCleared();

private:
    // Input, as the picture and the buttons report it.
    void pressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void place(pages::Cell cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void doubleClicked(int x, int y);
    void dragWanted();
    void dragMoved(QPoint at);
    void dragEnded();
    void dragTick();
    void dropped(int x, int y, Qt::KeyboardModifiers modifiers);
    void timeToggled(bool down);
    void pageClicked(int page);
    void undoClicked();

    // The popup's items, on the selected slot.
    void popupAt();
    void sendToChordDesign();
    void sendToPrintPage();
    void insertSpace();
    void deleteChord();
    void cutChord();
    void copyChord();
    void insertMeasure();
    void deleteMeasure();
    void cutMeasure();
    void copyMeasure();
    void repeatMarkers();

    bool isActive() const;
    bool hasSelection() const { return pages::PlayPage::isValid(m_model.selected); }
    int selectedSlot() const { return pages::PlayPage::slotIndex(m_model.selected); }
    int selectedMeasure() const { return m_model.measureOf(selectedSlot()); }
    bool ask(const std::string& question);
    // After an edit: the picture drawn again, the Undo button as the snapshot allows.
    void changed();
    void updateUndoButton();
    void updateCursor();
    void scrollTo(int y);
    void buildView(QWidget* parent);
    void buildPopup();

    std::optional<int> m_playCursor;
    std::optional<int> m_stepArrow;
    const theory::NoteNames& m_names;
    const session::BusyGuard& m_busy;
    session::Prompter& m_prompter;
    FretboardController& m_fretboard;
    pages::PageTransfer& m_transfer;
    const settings::AppSettings& m_settings;
    QToolButton* m_undoButton;
    QToolButton* m_loopButton;

    pages::PlayPage m_model;
    std::string m_fileName;
    std::string m_versionSuffix;  // " (KQ5 Version)" after an older file was read
    QWidget* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    PlayPageImage* m_picture = nullptr;
    QButtonGroup* m_pageGroup = nullptr;
    int m_pageDown = 1;
    TdlgRepeat* m_dlgRepeat = nullptr;
    bool m_dragArmed = false;  // the left button went down on a slot
    bool m_dragging = false;   // a drag started here is under way
    int m_dragY = 0;           // the pointer during a drag, in the scroll box's viewport
    QAction* m_play = nullptr;
    std::array<QAction*, 5> m_chordItems{};  // enabled only over a filled slot
};

}  // namespace strumox::app
