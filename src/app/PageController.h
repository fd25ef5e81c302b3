#pragma once
// What the main window asks of the controller of each page of the page control. The window keeps
// no table of which page does what: on a page change, a Show Arpeggio press, an Erase or a close
// it asks the controller of the page concerned.
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages/DiagramRecord.h"
#include "pages/PageFiles.h"
#include "pages/PageGeometry.h"
#include "pages/PageTransfer.h"
#include "pages/ScaleRecord.h"
#include "session/ShutdownSequence.h"
#include "settings/Settings.h"

class QAbstractScrollArea;
class QWidget;

namespace strumox::app {

// What Play sounds on a page: its current chord strummed, a scale position run, the PlayPage's
// song, or nothing.
struct PlayItem {
    enum class Kind { Nothing, Chord, Scale, Song };
    Kind kind = Kind::Nothing;
    pages::DiagramRecord chord;
    pages::ScaleRecord scale;
    int beginFret = 1;  // the scale position's
};

class PageController {
public:
    virtual ~PageController() = default;

    virtual pages::Page page() const = 0;
    // The tab's widget, and the scroll box the mouse wheel moves while the page is active.
    virtual QWidget* view() const = 0;
    virtual QAbstractScrollArea* scrollBox() const = 0;

    // While the page is active, the open-string controls may retune the guitar.
    virtual bool tuningEditable() const = 0;
    // The page became active, or the hand changed: put on the fretboard what the page shows there.
    virtual void showOnFretboard() = 0;
    // The chord "Show Arpeggio" acts on while the page is active; nothing leaves the fretboard as
    // it is.
    virtual std::optional<pages::DiagramRecord> arpeggioChord() const = 0;
    // Whether the design page's Show Intervals toggle is down (only that page has one).
    virtual bool showIntervalsDown() const { return false; }
    // "Display Full Fretboard" changed while the page is active.
    virtual void fullFretboardChanged() {}

    // Another page sent something here: the next click on the page places it.
    virtual void awaitPlacement(pages::Placement) {}
    // The page stops being active: a placement waiting for a click ends.
    virtual void leave() {}
    // The hand or the spelling of note names changed: every text and picture is drawn again.
    virtual void redraw() {}

    // Erase Page and File New; pages that cannot be erased from there disable both.
    virtual bool erasable() const { return false; }
    virtual void erase() {}
    // The File menu's "New ..." caption while the page is active; empty keeps the caption shown.
    virtual QString newCaption() const = 0;

    // Page files. The kind of file the page is kept in; nothing for a page without one.
    virtual std::optional<pages::PageFileKind> fileKind() const { return std::nullopt; }
    // Writes the page to `path`; throws std::runtime_error naming the file when it cannot.
    virtual void writeFile(const std::string& path) const {}
    // A copy of the page's content as it is now, and the write of that copy: taking it is cheap
    // (GUI thread), calling it writes and syncs the file and may run on any thread; it throws as
    // writeFile does. Empty for pages that keep no unsaved work worth recovering.
    virtual std::function<void(const std::string&)> fileWriter() const { return {}; }
    // Reads a file of the page's kind onto the page, all or nothing: on failure the page is as it
    // was and *error says why.
    virtual bool readFile(const std::string& path, std::string* error) { return false; }
    // Unsaved work that opening another file would replace, and the question asked about it.
    virtual bool unsavedWork() const { return false; }
    virtual std::string openQuestion() const { return {}; }
    // The page was written to `path`.
    virtual void fileSaved(const std::string& path) {}
    // The page was just read from a recovery file: it counts as changed and has no file name,
    // so Save asks for one.
    virtual void recovered() {}
    // What the window title adds after the file name (an older file's version).
    virtual std::string titleSuffix() const { return {}; }

    // What Play sounds while the page is active.
    virtual PlayItem playItem() const { return {}; }
    // Play on the page's popup: presses the Play button as a click would; `fromRoot` holds "Play
    // Scale From Root" down for that press (set by the window).
    std::function<void(bool fromRoot)> pressPlay;

    // The page's documents that closing asks about.
    virtual std::vector<session::CloseDocument> closeDocuments() const { return {}; }
    // What closing keeps of the page in the settings file; pages that open and save files keep
    // their last folder there.
    virtual void storeExitSettings(settings::AppSettings&) const {}
};

}  // namespace strumox::app
