#pragma once
// Owns what the fretboard panel shows: the picture, the keyboard marks, the read-outs, the
// open-string tuning controls and the display buttons (Bass Note, Left Handed, Display Full
// Fretboard, Show Arpeggio). Pages put their chords and scales here; the active page's
// controller answers what a page change or a display button needs.
#include <QObject>
#include <optional>
#include <string>

#include "fretboard/FretboardDisplay.h"
#include "pages/DiagramRecord.h"
#include "pages/PageGeometry.h"
#include "session/BusyGuard.h"
#include "settings/Settings.h"
#include "theory/Notes.h"

class QAbstractButton;

namespace strumox::app {

class FretboardPanel;
class PageController;
class PictureWidget;

class FretboardController : public QObject {
    Q_OBJECT
public:
    FretboardController(const theory::NoteNames& names, const session::BusyGuard& busy, theory::Tuning& currentTuning,
                        QObject* parent = nullptr);
    ~FretboardController() override;

    // The views are built after the controller because the picture paints from its display.
    void attach(FretboardPanel* panel, PictureWidget* keyboard);
    FretboardPanel* panel() const { return m_panel; }

    const fretboard::FretboardDisplay& display() const { return m_display; }

    // What every page calls: a chord, a formula laid over the neck, a scale position, nothing.
    // `arpeggio` false shows the chord alone even while Show Arpeggio is down.
    void showChord(const pages::DiagramRecord& d, bool arpeggio = true);
    void showIntervals(const pages::DiagramRecord& d, std::uint32_t colour);
    void clearDisplay();
    // A scale position along the neck; an empty record clears the display and puts the tuning
    // back to standard.
    void showScale(const pages::ScaleRecord& r, int beginFret, int span);
    // Puts the read-outs and pictures on screen again as the display holds them.
    void refresh();
    // Playback's finger dots: a note starts or ends on a string (see FretboardDisplay); only the
    // picture is drawn again.
    void noteSounding(int string, int fret, int mark);
    void noteEnded(int string, int fret, bool wipe);
    void clearSounding();
    // The chord name read-out for a name the shown record does not give (a slash chord being
    // designed): root, suffix, and the bass when it is not the root. Note numbers 0..11.
    void setChordName(int root, const std::string& suffix, int bass);
    // A suffix typed into the chord name field: the name read-out stands for it from now on, while
    // the field keeps the text as typed.
    void chordSuffixTyped(const std::string& suffix);

    // A page became active: the interval read-outs go back to black on white, the tuning
    // controls follow the page, and the page shows what it shows on the fretboard.
    void setActivePage(PageController& page);
    pages::Page activePage() const;

    // Mouse on the picture, in picture pixels. hoverAt() is what a press on the picture starts
    // with: the string and fret under the mouse, nothing outside the counting area.
    void pictureMoved(int x, int y);
    std::optional<fretboard::FretPosition> hoverAt(int x, int y);
    void showHoverInterval(const std::string& text);
    void clearHoverPanels();
    // Mouse over the keyboard view, in its pixels: names the key and its interval.
    void keyboardMoved(int x, int y);

    // Tuning controls: one click of string s's up-down, and the release that applies the tuning.
    void tuningStepped(int string, int position);
    void tuningReleased();
    void setTuningControlsEnabled(bool enabled);
    void resetToStandardTuning();
    // The open-string controls show a page's own tuning; the finder's current tuning stays.
    void showOpenStrings(const theory::Tuning& t);

    // The display buttons; each returns false when the busy guard undid the press.
    bool setBassNote(bool down);
    bool setLeftHanded(bool down);
    bool setShowFullFretboard(bool down);
    bool setShowArpeggio(bool down);
    // The Show Arpeggio button pressed as a click on it would.
    void toggleShowArpeggio();
    bool bassNote() const { return m_bassNote; }
    bool leftHanded() const { return m_display.handLayout().leftHanded; }
    bool showFullFretboard() const { return m_showFull; }
    bool showArpeggio() const { return m_showArpeggio; }

    // Every read-out that names a note, after the flats/sharps switch: spelled anew from the notes
    // shown; the picture, the selection and everything else stay as they are.
    void renameNotes();
    // Bass Note, Left Handed, Display Full Fretboard and the strum speed, as closing keeps them.
    void storeExitSettings(settings::AppSettings& s) const;

protected:
    // Moving the mouse anywhere else in the window empties the hover read-outs.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The picture, read-outs or keyboard changed.
    void displayChanged();
    // Handedness changed: every page must be drawn again in the new hand.
    void handednessChanged();
    // The open-string controls were let go on a new tuning, named `name`.
    void tuningApplied(const theory::Tuning& tuning, const std::string& name);

private:
    fretboard::DisplayContext context() const;
    void showTuningControls(const theory::Tuning& t);

    const theory::NoteNames& m_names;
    const session::BusyGuard& m_busy;
    theory::Tuning& m_currentTuning;
    fretboard::FretboardDisplay m_display;
    PageController* m_active = nullptr;
    bool m_bassNote = false;
    bool m_showFull = false;
    bool m_showArpeggio = false;

    FretboardPanel* m_panel = nullptr;
    PictureWidget* m_keyboard = nullptr;
};

}  // namespace strumox::app
