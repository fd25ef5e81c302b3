#pragma once
// Crash recovery of unsaved pages. While a page holds unsaved work, a copy of it sits in a
// recovery file of its own page-file format in the user's data folder, written every minute and
// at each change of page; the start after a crash finds the files and offers them back. Saving,
// opening or erasing the page removes its file, and a clean close removes them all.
//
// Nothing is kept before start(): the files a crash left must be answered for before this window
// writes its own over them. The program's start calls it once the window shows; a window that is
// never started (a test's) neither asks nor writes.
//
// Threads: every member function is GUI-thread only. A write takes a copy of the page there (a
// page's fileWriter(), cheap) and hands it to one worker thread, which writes and syncs the files
// one at a time; a newer copy of a file replaces an older one still waiting. The worker reports
// back only through queued calls to this object.
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pages/PageFiles.h"
#include "pages/PageGeometry.h"

class QTimer;

namespace strumox::session {
class Prompter;
}

namespace strumox::app {

class PageController;

inline constexpr const char* kRecoveryQuestion = "Strumox closed unexpectedly. Restore the unsaved pages?";
inline constexpr int kRecoveryIntervalMs = 60'000;

// GenericDataLocation + "/strumox/recovery/", ending with '/'; empty when the platform names no
// data folder (nothing is then kept).
std::string recoveryFolder();
// The name of the recovery file of a page kept in `kind` files: "design.cds", "playpage.ppf"...
std::string recoveryFileName(pages::PageFileKind kind);
// Every name a recovery of `kind` may leave in the folder: the file, a PlayPage's repeat-marker
// file, and the temporary files of a write cut short.
std::vector<std::string> recoveryLeftovers(pages::PageFileKind kind);
// Milliseconds between writes: STRUMOX_TEST_RECOVERY_MS when it holds a positive number, which
// lets a test wait less than a minute; kRecoveryIntervalMs otherwise.
int recoveryIntervalMs();

class RecoveryController : public QObject {
    Q_OBJECT
public:
    // `pages` are the window's page controllers; those with a file kind and a fileWriter() are
    // kept. The folder is read from the environment here, once.
    RecoveryController(const std::vector<PageController*>& pages, session::Prompter& prompter,
                       QObject* parent = nullptr);
    // Writes still waiting are written (the newest content is not thrown away by a close that
    // skipped the closing questions); the files stay.
    ~RecoveryController() override;

    const std::string& folder() const { return m_folder; }
    // The recovery file of `page`; nothing for a page that is not kept.
    std::optional<std::string> pathOf(pages::Page page) const;
    bool running() const { return m_running; }

    // Once, at the start: when files are found, asks kRecoveryQuestion; Yes reads each into its
    // page, which then counts as changed and has no file name (an unreadable file is skipped
    // with one status line); either way the files are removed. From then on the pages are kept.
    void start();
    // The page changed, or the minute is up: each page with unsaved work is written, the file
    // of a page without any removed.
    void keepUnsavedPages();
    // `page` was saved, opened or erased: its file goes unless the page still holds unsaved work.
    void pageSettled(pages::Page page);
    // A clean close: nothing more is written and every file is removed. Waits for a write under
    // way, at most one file's.
    void discardAll();
    // Returns once every write handed over so far has been done.
    void waitForWrites();

signals:
    // One line for the status bar: a restore that skipped files, or a failed write (said when
    // the first file starts failing; said again only once every file was written since).
    void statusMessage(const QString& text);
    // The page now shows what its recovery file held; it has no file name.
    void pageRestored(pages::Page page);

private:
    class Worker;

    struct Kept {
        PageController* page;
        pages::PageFileKind kind;
        bool written = false;  // a file may be there, or is on its way
    };
    Kept* keptOf(pages::Page page);
    void post(Kept& kept, bool write);
    void removeAllNow();
    void writeFinished(const std::string& file, const std::string& error);

    session::Prompter& m_prompter;
    std::string m_folder;
    std::vector<Kept> m_kept;
    QTimer* m_timer = nullptr;
    std::unique_ptr<Worker> m_worker;
    bool m_started = false;
    bool m_running = false;
    std::set<std::string> m_failing;  // files whose last write failed
};

}  // namespace strumox::app
