#include "app/RecoveryController.h"

#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "app/PageController.h"
#include "session/Prompter.h"

namespace strumox::app {

using pages::Page;
using pages::PageFileKind;

std::string recoveryFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return {};
    return data.toStdString() + "/strumox/recovery/";
}

std::string recoveryFileName(PageFileKind kind)
{
    switch (kind) {
    case PageFileKind::Chords: return "chords.cpf";
    case PageFileKind::ChordDesign: return "design.cds";
    case PageFileKind::PlayPage: return "playpage.ppf";
    case PageFileKind::Print: return "print.gpr";
    case PageFileKind::Scales: return "scales.spf";
    }
    return {};
}

std::vector<std::string> recoveryLeftovers(PageFileKind kind)
{
    std::vector<std::string> names{recoveryFileName(kind)};
    if (kind == PageFileKind::PlayPage)
        names.push_back(pages::repeatFilePath(names.front()));
    // The atomic writer's temporary files, left when the program died in the middle of a write.
    const size_t files = names.size();
    for (size_t i = 0; i < files; ++i)
        names.push_back(names[i] + ".tmp");
    return names;
}

int recoveryIntervalMs()
{
    if (const char* text = std::getenv("STRUMOX_TEST_RECOVERY_MS"); text && std::atoi(text) > 0)
        return std::atoi(text);
    return kRecoveryIntervalMs;
}

// --- the worker ---------------------------------------------------------------------------------

// One thread, started by the first job, running jobs one at a time. Jobs wait under the name of
// the file they concern; a newer job for the same file replaces the waiting one, so a removal
// queued after a write wins and the newest content is the one written.
class RecoveryController::Worker {
public:
    using Job = std::function<void()>;  // throws std::exception when it fails
    // Called on the worker thread after each write job with the file's name and, when it
    // failed, why.
    using Report = std::function<void(const std::string& file, const std::string& error)>;

    explicit Worker(Report report) : m_report(std::move(report)) {}
    ~Worker()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    void post(const std::string& file, Job job, bool write)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_waiting[file] = {std::move(job), write};
            if (!m_thread.joinable())
                m_thread = std::thread([this] { run(); });
        }
        m_wake.notify_all();
    }

    void dropWaiting()
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.clear();
    }

    void waitIdle()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_waiting.empty() && !m_busy; });
    }

private:
    struct Waiting {
        Job job;
        bool write = false;
    };

    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_waiting.empty(); });
            // Stopping still writes what waits: it is the newest content there is.
            if (m_waiting.empty())
                return;
            const std::string file = m_waiting.begin()->first;
            Waiting next = std::move(m_waiting.begin()->second);
            m_waiting.erase(m_waiting.begin());
            m_busy = true;
            lock.unlock();
            std::string error;
            try {
                next.job();
            } catch (const std::exception& e) {
                error = e.what();
                if (error.empty())
                    error = "unknown error";
            }
            if (next.write)
                m_report(file, error);
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
    }

    Report m_report;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::map<std::string, Waiting> m_waiting;  // by file name
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;  // last: started after everything it uses exists
};

// --- the controller -----------------------------------------------------------------------------

RecoveryController::RecoveryController(const std::vector<PageController*>& pages, session::Prompter& prompter,
                                       QObject* parent)
    : QObject(parent), m_prompter(prompter), m_folder(recoveryFolder())
{
    for (PageController* page : pages)
        if (const auto kind = page->fileKind(); kind && page->fileWriter())
            m_kept.push_back({page, *kind});
    m_timer = new QTimer(this);
    m_timer->setInterval(recoveryIntervalMs());
    connect(m_timer, &QTimer::timeout, this, &RecoveryController::keepUnsavedPages);
    m_worker = std::make_unique<Worker>([this](const std::string& file, const std::string& error) {
        QMetaObject::invokeMethod(this, [this, file, error] { writeFinished(file, error); }, Qt::QueuedConnection);
    });
}

RecoveryController::~RecoveryController()
{
    // Joined here, while this object can still take the worker's last reports.
    m_worker.reset();
}

std::optional<std::string> RecoveryController::pathOf(Page page) const
{
    for (const Kept& k : m_kept)
        if (k.page->page() == page)
            return m_folder + recoveryFileName(k.kind);
    return std::nullopt;
}

RecoveryController::Kept* RecoveryController::keptOf(Page page)
{
    for (Kept& k : m_kept)
        if (k.page->page() == page)
            return &k;
    return nullptr;
}

void RecoveryController::start()
{
    if (m_started || m_folder.empty())
        return;
    m_started = true;
    std::vector<Kept*> found;
    std::error_code ec;
    for (Kept& k : m_kept)
        if (std::filesystem::is_regular_file(m_folder + recoveryFileName(k.kind), ec))
            found.push_back(&k);
    if (!found.empty() && m_prompter.askYesNo(kRecoveryQuestion) == session::Answer::Yes) {
        QStringList skipped;  // "file (why)"
        for (Kept* k : found) {
            const std::string name = recoveryFileName(k->kind);
            std::string error;
            if (k->page->readFile(m_folder + name, &error)) {
                k->page->recovered();
                emit pageRestored(k->page->page());
            } else {
                skipped << QStringLiteral("%1 (%2)").arg(QString::fromStdString(name), QString::fromStdString(error));
            }
        }
        if (!skipped.isEmpty())
            emit statusMessage(
                QStringLiteral("Not restored, the recovery file cannot be read: %1").arg(skipped.join("; ")));
    }
    // Restored or declined, the old files go; the pages now restored are written again at once,
    // so a second crash right after the restore does not lose them.
    removeAllNow();
    m_running = true;
    m_timer->start();
    keepUnsavedPages();
}

void RecoveryController::post(Kept& kept, bool write)
{
    const std::string name = recoveryFileName(kept.kind);
    if (write) {
        kept.written = true;
        m_worker->post(
            name,
            [folder = m_folder, path = m_folder + name, writer = kept.page->fileWriter()] {
                std::error_code ec;
                std::filesystem::create_directories(folder, ec);
                if (ec)
                    throw std::runtime_error(folder + " cannot be made: " + ec.message());
                writer(path);
            },
            true);
        return;
    }
    kept.written = false;
    m_worker->post(
        name,
        [folder = m_folder, names = recoveryLeftovers(kept.kind)] {
            std::error_code ec;
            for (const std::string& n : names)
                std::filesystem::remove(folder + n, ec);
        },
        false);
}

void RecoveryController::keepUnsavedPages()
{
    if (!m_running)
        return;
    for (Kept& k : m_kept) {
        if (k.page->unsavedWork())
            post(k, true);
        else if (k.written)
            post(k, false);
    }
}

void RecoveryController::pageSettled(Page page)
{
    Kept* k = keptOf(page);
    if (m_running && k && k->written && !k->page->unsavedWork())
        post(*k, false);
}

void RecoveryController::discardAll()
{
    m_running = false;
    m_timer->stop();
    m_worker->dropWaiting();
    m_worker->waitIdle();
    removeAllNow();
}

void RecoveryController::waitForWrites() { m_worker->waitIdle(); }

void RecoveryController::removeAllNow()
{
    if (m_folder.empty())
        return;
    std::error_code ec;
    for (Kept& k : m_kept) {
        for (const std::string& name : recoveryLeftovers(k.kind))
            std::filesystem::remove(m_folder + name, ec);
        k.written = false;
    }
}

void RecoveryController::writeFinished(const std::string& file, const std::string& error)
{
    if (error.empty()) {
        m_failing.erase(file);
        return;
    }
    // Told when the first file starts failing; a file that keeps failing says nothing more.
    const bool told = !m_failing.empty();
    m_failing.insert(file);
    if (told)
        return;
    emit statusMessage(
        QStringLiteral("Unsaved pages cannot be kept for recovery: %1").arg(QString::fromStdString(error)));
}

}  // namespace strumox::app
