#pragma once
// Owns what the fretboard panel shows and the work fingering of the Chord Design page: the
// picture, the read-outs, the tuning controls, the root and bass controls and the display
// buttons. The main window routes page changes and the shared note names here.
#include <QObject>
#include <functional>
#include <optional>

#include "app/Pages.h"
#include "app/core/BusyGuard.h"
#include "app/core/FingeringEditor.h"
#include "app/core/FretboardDisplay.h"
#include "pages/DiagramRecord.h"
#include "theory/Notes.h"

class QAbstractButton;

namespace strumox::app {

class FretboardPanel;
class DesignPageView;
class PictureWidget;

class FretboardController : public QObject {
    Q_OBJECT
public:
    FretboardController(const theory::NoteNames& names, const BusyGuard& busy, theory::Tuning& currentTuning,
                        QObject* parent = nullptr);

    // The views are built after the controller because the picture paints from its display.
    void attach(FretboardPanel* panel, DesignPageView* design, PictureWidget* keyboard);

    const FretboardDisplay& display() const { return m_display; }
    FretboardDisplay& display() { return m_display; }

    void showChord(const pages::DiagramRecord& d);
    void showIntervals(const pages::DiagramRecord& d, std::uint32_t colour);
    void clearDisplay();
    // A scale position along the neck; an empty record clears the display and puts the tuning
    // back to standard.
    void showScale(const pages::ScaleRecord& r, int beginFret, int frets);

    pages::DiagramRecord& workDiagram() { return m_work; }
    const pages::DiagramRecord& workDiagram() const { return m_work; }
    theory::CompoundFlags& compoundFlags() { return m_compound; }

    void setActivePage(Page page);
    Page activePage() const { return m_page; }

    // Mouse on the picture, in picture pixels.
    void pictureMoved(int x, int y);
    void picturePressed(int x, int y, Qt::MouseButton button);
    void clearHoverPanels();
    // Mouse over the keyboard view, in its pixels: names the key and its interval.
    void keyboardMoved(int x, int y);

    // Tuning controls: one click of string s's up-down, and the release that applies the tuning.
    void tuningStepped(int string, int position);
    void tuningReleased();
    void setTuningControlsEnabled(bool enabled);
    void resetToStandardTuning();
    // The tuning shown by the open-string controls without changing the current tuning.
    void showTuningControls(const theory::Tuning& t);

    void rootStepped(int root);
    void rootReleased();
    void bassStepped(int bass);
    void typedChordName(const QString& text);
    void fretBoxLeft(int string);

    // The display buttons; each returns false when the busy guard undid the press.
    bool setBassNote(bool down);
    bool setLeftHanded(bool down);
    bool setShowFullFretboard(bool down);
    bool setShowArpeggio(bool down);
    bool bassNote() const { return m_bassNote; }
    bool leftHanded() const { return m_display.handLayout().leftHanded; }
    bool showFullFretboard() const { return m_showFull; }
    bool showArpeggio() const { return m_showArpeggio; }

    // Every caption that names a note, after the flats/sharps switch.
    void renameNotes();

    // The diagram each page shows on the fretboard; set by the main window as pages arrive.
    // The chord each page offers to Show Arpeggio; nothing for a page whose pictures are not
    // chords (Scales, Tablature).
    std::function<std::optional<pages::DiagramRecord>(Page)> pageDiagram;
    // Shows the page's own selection again (page change, full-fretboard button).
    std::function<void(Page)> redisplayPage;

signals:
    // The picture, read-outs or keyboard changed.
    void displayChanged();
    // Handedness changed: every page must be drawn again in the new hand.
    void handednessChanged();

private:
    DisplayContext context() const;
    MarkerChoice markerChoice() const;
    void refreshViews();
    void showWork();
    void showEditedWork();
    void updateFretBoxes();
    void updateChordNameWithBass();

    const theory::NoteNames& m_names;
    const BusyGuard& m_busy;
    theory::Tuning& m_currentTuning;
    FretboardDisplay m_display;
    pages::DiagramRecord m_work = pages::DiagramRecord::blankWork();
    theory::CompoundFlags m_compound{};
    Page m_page = Page::Chords;
    bool m_bassNote = false;
    bool m_showFull = false;
    bool m_showArpeggio = false;
    bool m_showIntervalsDown = false;  // the design page's Show Intervals toggle, with chord search

    FretboardPanel* m_panel = nullptr;
    DesignPageView* m_design = nullptr;
    PictureWidget* m_keyboard = nullptr;
};

}  // namespace strumox::app
