#pragma once
// The Chord Design page: the work fingering the user frets on the neck, with its compound flags,
// the finger marker written for each new string, root and bass, the fret boxes and the typed
// chord name; the design group strip with its placements, popup and drops; the chord search and
// the chord-type formula laid over the neck. The fretboard shows the work chord while this page
// is active.
#include <QObject>
#include <functional>
#include <optional>
#include <vector>

#include "app/PageController.h"
#include "fretboard/FingeringEditor.h"
#include "pages/DesignGroup.h"
#include "pages/DiagramRecord.h"
#include "pages/PageTransfer.h"
#include "session/BusyGuard.h"
#include "session/Prompter.h"
#include "theory/ChordFormulas.h"
#include "theory/Notes.h"

class QMenu;
class QAction;

namespace strumox::app {

class DesignPageView;
class FretboardController;
class TZoStaffBox;
class UserChordMenu;

struct DesignPageServices {
    const theory::NoteNames& names;
    const session::BusyGuard& busy;
    session::Prompter& prompter;
    FretboardController& fretboard;
    pages::PageTransfer& transfer;
    std::string appDir;  // ends with '/'
    const settings::AppSettings& settings;
};

class DesignPageController : public QObject, public PageController {
    Q_OBJECT
public:
    DesignPageController(DesignPageServices services, QWidget* parent);
    ~DesignPageController() override;

    DesignPageView& designView() const { return *m_view; }
    TZoStaffBox& staff() const { return *m_staff; }
    // The fingering being designed; tests put chords here directly.
    pages::DiagramRecord& work() { return m_work; }
    const pages::DiagramRecord& work() const { return m_work; }
    theory::CompoundFlags& compoundFlags() { return m_compound; }
    fretboard::MarkerChoice marker() const { return m_marker; }
    pages::DesignGroup& group() { return m_group; }
    // The (formula index, root) pair of each result line; "No Chords Found" has none.
    struct Found {
        int formulaIndex;
        int root;
    };
    const std::vector<Found>& found() const { return m_found; }

    // Whether the window's own keys are live (not while a name is typed); the finger marker keys
    // follow it.
    std::function<bool()> keysLive;
    // Puts the keyboard focus back on the strum-speed bar.
    std::function<void()> parkFocus;
    // Saves the design group (Save As when it has no file); false when not saved.
    std::function<bool()> saveGroup;

    pages::Page page() const override { return pages::Page::ChordDesign; }
    QWidget* view() const override;
    QAbstractScrollArea* scrollBox() const override;
    bool tuningEditable() const override { return true; }
    void showOnFretboard() override;
    std::optional<pages::DiagramRecord> arpeggioChord() const override;
    PlayItem playItem() const override { return {PlayItem::Kind::Chord, m_work, {}, 1}; }
    bool showIntervalsDown() const override { return m_showIntervalsDown; }
    void awaitPlacement(pages::Placement placement) override;
    void leave() override;
    void redraw() override;
    bool erasable() const override { return true; }
    void erase() override;
    QString newCaption() const override { return QStringLiteral("&New Design Page"); }
    std::vector<session::CloseDocument> closeDocuments() const override;
    std::optional<pages::PageFileKind> fileKind() const override { return pages::PageFileKind::ChordDesign; }
    void writeFile(const std::string& path) const override { fileWriter()(path); }
    std::function<void(const std::string&)> fileWriter() const override;
    bool readFile(const std::string& path, std::string* error) override;
    bool unsavedWork() const override { return m_group.modified; }
    std::string openQuestion() const override
    {
        return "Do you want to save changes to this Design Group before opening another file?";
    }
    void fileSaved(const std::string& path) override;
    void recovered() override;
    session::DocumentState document() const { return {m_group.modified, m_fileName}; }

    // Input, as the views report it.
    void picturePressed(int x, int y, Qt::MouseButton button);
    void stripPressed(int x, int y, Qt::MouseButton button);
    void dropped(const QString& source, int x);
    void rootStepped(int root);
    void rootReleased();
    void bassStepped(int bass);
    void typedChordName(const QString& text);
    void fretBoxLeft(int string);
    void tuningApplied(const theory::Tuning& tuning, const std::string& name);
    void search();
    void showIntervalsToggled(bool down);
    void chordTypePicked();
    void intervalFieldClicked(int field);

signals:
    void pageRequested(pages::Page page, pages::Placement placement);
    void titleCleared();
    void statusMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isActive() const;
    void showWork();
    void showEditedWork();
    // The work chord as the page shows it: alone under the formula when Show Intervals is down.
    void showWorkAndFormula();
    void showFormula();
    std::optional<theory::FormulaRecord> formulaOfEntry(int entry);
    void showRootAndBass();
    void updateFretBoxes();
    void updateStaff();
    void nameFrettedChord();
    void takeUp(int slot);
    void endPlacement();
    void updateCursor();
    void popupAt(int slot);
    void sendToPrintPage();
    void deleteClicked();
    void moveClicked();
    void loadFound();
    void dropWork(int x);
    void fillChordTypes();

    const theory::NoteNames& m_names;
    const session::BusyGuard& m_busy;
    session::Prompter& m_prompter;
    FretboardController& m_fretboard;
    pages::PageTransfer& m_transfer;
    std::string m_appDir;
    const settings::AppSettings& m_settings;
    DesignPageView* m_view = nullptr;
    TZoStaffBox* m_staff = nullptr;
    UserChordMenu* m_userChords = nullptr;
    QMenu* popmenuDesign = nullptr;
    QAction* m_toPrint = nullptr;

    pages::DiagramRecord m_work = pages::DiagramRecord::blankWork();
    theory::CompoundFlags m_compound{};
    fretboard::MarkerChoice m_marker = std::uint8_t{pages::MarkerPlain};
    bool m_showIntervalsDown = false;
    pages::DesignGroup m_group;
    int m_clicked = -1;
    std::string m_fileName;
    std::vector<Found> m_found;
    bool m_naming = false;  // the status bar shows the fretted chord's name
};

}  // namespace strumox::app
