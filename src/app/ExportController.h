#pragma once
// File > Export MIDI... and Export WAV...: the PlayPage's song as Play would sound it now (the
// tempo box, Click, Count Off, Bass Note and the strum bar; Loop Play taken as up, so the song
// ends), asked a file name for, then made on a worker thread behind a progress dialog that can
// cancel it. A cancelled or failed export leaves no file; a failure says why.
//
// GUI thread, but for the worker: it gets copies of the page and the settings, never a widget,
// and reports back through queued calls on this object plus two atomics the GUI polls.
#include <QObject>
#include <atomic>
#include <string>
#include <thread>

namespace strumox::session {
class Prompter;
}

class QProgressDialog;
class QTimer;

namespace strumox::app {

class TfrmMain;

class ExportController : public QObject {
    Q_OBJECT
public:
    enum class Kind { Midi, Wav };

    ExportController(TfrmMain& window, session::Prompter& prompter);
    // A running export is cancelled and waited for: its file is not written.
    ~ExportController() override;

    // The PlayPage is the active page, nothing plays and no export runs.
    bool available() const;
    // The file dialog, then the export; does nothing unless available().
    void exportSong(Kind kind);
    bool running() const { return m_worker.joinable(); }

signals:
    // The export ended: written, or cancelled or failed (the failure already told).
    void finished(bool written);

private:
    void done(int status, const std::string& message);
    std::string proposedPath(Kind kind) const;

    TfrmMain& m_window;
    session::Prompter& m_prompter;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_progress{0};  // 0..kSteps, written by the worker
    QProgressDialog* m_dialog = nullptr;
    QTimer* m_poll = nullptr;
};

}  // namespace strumox::app
