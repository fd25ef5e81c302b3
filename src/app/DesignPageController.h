#pragma once
// The Chord Design page: the work fingering the user frets on the neck, with its compound flags,
// the finger marker written for each new string, root and bass, the fret boxes and the typed
// chord name. The fretboard shows the work chord while this page is active.
#include <QObject>

#include "app/PageController.h"
#include "fretboard/FingeringEditor.h"
#include "pages/DiagramRecord.h"
#include "session/BusyGuard.h"
#include "theory/Notes.h"

namespace strumox::app {

class DesignPageView;
class FretboardController;

class DesignPageController : public QObject, public PageController {
    Q_OBJECT
public:
    DesignPageController(const theory::NoteNames& names, const session::BusyGuard& busy,
                         FretboardController& fretboard, QWidget* parent);
    ~DesignPageController() override;

    DesignPageView& designView() const { return *m_view; }
    // The fingering being designed; tests (and later the design strip) put chords here directly.
    pages::DiagramRecord& work() { return m_work; }
    const pages::DiagramRecord& work() const { return m_work; }
    theory::CompoundFlags& compoundFlags() { return m_compound; }
    fretboard::MarkerChoice marker() const { return m_marker; }

    // Whether the window's own keys are live (not while a name is typed); the finger marker keys
    // follow it.
    std::function<bool()> keysLive;
    // Puts the keyboard focus back on the strum-speed bar.
    std::function<void()> parkFocus;

    pages::Page page() const override { return pages::Page::ChordDesign; }
    QWidget* view() const override;
    QAbstractScrollArea* scrollBox() const override;
    bool tuningEditable() const override { return true; }
    void showOnFretboard() override { showWork(); }
    std::optional<pages::DiagramRecord> arpeggioChord() const override;
    bool showIntervalsDown() const override { return m_showIntervalsDown; }
    void redraw() override;
    QString newCaption() const override { return QStringLiteral("&New Design Page"); }
    std::vector<session::CloseDocument> closeDocuments() const override;
    session::DocumentState& document() { return m_document; }

    // Input, as the views report it.
    void picturePressed(int x, int y, Qt::MouseButton button);
    void rootStepped(int root);
    void rootReleased();
    void bassStepped(int bass);
    void typedChordName(const QString& text);
    void fretBoxLeft(int string);
    void tuningApplied(const theory::Tuning& tuning, const std::string& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isActive() const;
    void showWork();
    void showEditedWork();
    void showRootAndBass();
    void updateFretBoxes();

    const theory::NoteNames& m_names;
    const session::BusyGuard& m_busy;
    FretboardController& m_fretboard;
    DesignPageView* m_view = nullptr;
    pages::DiagramRecord m_work = pages::DiagramRecord::blankWork();
    theory::CompoundFlags m_compound{};
    fretboard::MarkerChoice m_marker = std::uint8_t{pages::MarkerPlain};
    bool m_showIntervalsDown = false;  // the Show Intervals toggle, with chord search
    session::DocumentState m_document;
};

}  // namespace strumox::app
