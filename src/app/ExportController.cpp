#include "app/ExportController.h"

#include <QDir>
#include <QProgressDialog>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "app/FretboardPanel.h"
#include "app/PageFileController.h"
#include "app/PlayPageController.h"
#include "app/PlaybackController.h"
#include "app/TfrmMain.h"
#include "playback/SongRender.h"
#include "playback/sinks/MidiFileWriter.h"
#include "playback/sinks/WavRenderer.h"
#include "session/Prompter.h"
#include "settings/SoundVoices.h"

namespace strumox::app {

namespace {

constexpr int kSteps = 1000;        // the progress bar's range
constexpr int kSongSteps = 50;      // of them, making the song before a WAV render
constexpr int kPollMs = 50;         // the bar follows the worker this often
enum Status { Written, Cancelled, Failed };

struct Texts {
    const char* title;
    const char* filter;
    const char* extension;
};
const Texts& textsOf(ExportController::Kind kind)
{
    static const Texts midi{"Export MIDI", "MIDI Files (*.mid)", ".mid"};
    static const Texts wav{"Export WAV", "Wave Files (*.wav)", ".wav"};
    return kind == ExportController::Kind::Midi ? midi : wav;
}

}  // namespace

ExportController::ExportController(TfrmMain& window, session::Prompter& prompter)
    : QObject(&window), m_window(window), m_prompter(prompter)
{
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (m_dialog)
            m_dialog->setValue(m_progress.load());
    });
}

ExportController::~ExportController()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

bool ExportController::available() const
{
    return !running() && m_window.activePage() == pages::Page::PlayPage && !m_window.playback().playing() &&
           !m_window.busy().holds();
}

std::string ExportController::proposedPath(Kind kind) const
{
    // Beside the page's own file, under its name; else in the user's home.
    const std::string page = m_window.pageFiles().fullPath(pages::Page::PlayPage);
    if (page.empty())
        return QDir::homePath().toStdString() + "/";
    return std::filesystem::path(page).replace_extension(textsOf(kind).extension).string();
}

void ExportController::exportSong(Kind kind)
{
    if (!available())
        return;
    const Texts& texts = textsOf(kind);
    std::string path = m_prompter.saveFileName(texts.title, proposedPath(kind), texts.filter);
    if (path.empty())
        return;
    if (std::filesystem::path(path).extension().empty())
        path += texts.extension;

    // What Play would use now; Loop Play is left out so the song ends.
    auto button = [this](const char* name) {
        const auto* b = m_window.findChild<QToolButton*>(name);
        return b && b->isChecked();
    };
    playback::SequencerOptions options;
    options.click = button("sbtnClick");
    options.count = button("sbtnCount");
    options.countOffMeasures = std::clamp(m_window.settings().countOff, 1, 4);
    options.bass = m_window.fretboardPanel().sbtnBassNote->isChecked();
    options.strumPosition = m_window.fretboardPanel().sbStrumSpeed->value();
    options.tempo = playback::playTempo(m_window.playback().bpm());
    const pages::PlayPage& model = m_window.playPage().model();
    options.startSlot = pages::PlayPage::slotIndex(model.startPosition());
    const playback::Voices voices = settings::voicesOf(m_window.settings());

    m_cancel = false;
    m_progress = 0;
    m_dialog = new QProgressDialog(
        QStringLiteral("Exporting %1...").arg(QString::fromStdString(std::filesystem::path(path).filename().string())),
        QStringLiteral("Cancel"), 0, kSteps, &m_window);
    m_dialog->setObjectName("dlgExportProgress");
    m_dialog->setWindowTitle(QStringLiteral("Strumox"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    connect(m_dialog, &QProgressDialog::canceled, this, [this] { m_cancel = true; });
    m_dialog->show();
    m_poll->start();

    // The worker: copies only; nothing thrown leaves it.
    m_worker = std::thread([this, kind, path, page = model, options, voices] {
        Status status = Failed;
        std::string message;
        try {
            playback::SongRenderOptions render;
            render.cancelled = [this] { return m_cancel.load(); };
            const playback::RenderedSong song = playback::renderSong(page, options, voices, render);
            if (song.status == playback::RenderedSong::Status::Cancelled || m_cancel) {
                status = Cancelled;
            } else if (kind == Kind::Midi) {
                m_progress = kSteps * 9 / 10;
                playback::MidiFileWriter writer(song.tempo);
                writer.setEndTick(song.endTick);
                message = writer.write(path, song.messages);
                status = message.empty() ? Written : Failed;
            } else {
                m_progress = kSongSteps;
                const playback::WavRenderer renderer;
                const auto progress = [this](std::uint64_t done, std::uint64_t total) {
                    const std::uint64_t all = std::max<std::uint64_t>(total, 1);
                    m_progress = kSongSteps + static_cast<int>((kSteps - kSongSteps) * done / all);
                    return !m_cancel.load();
                };
                const auto result = renderer.render(path, song.messages, song.tempo, progress);
                status = result.status == playback::RenderResult::Status::Written     ? Written
                         : result.status == playback::RenderResult::Status::Cancelled ? Cancelled
                                                                                      : Failed;
                message = result.message;
            }
        } catch (const std::exception& e) {
            status = Failed;
            message = e.what();
        }
        if (status == Failed && message.empty())
            message = "cannot export " + path;
        QMetaObject::invokeMethod(this, [this, status, message] { done(status, message); }, Qt::QueuedConnection);
    });
}

void ExportController::done(int status, const std::string& message)
{
    if (m_worker.joinable())
        m_worker.join();
    m_poll->stop();
    if (m_dialog) {
        m_dialog->close();
        m_dialog->deleteLater();
        m_dialog = nullptr;
    }
    if (status == Failed)
        m_prompter.message(message);
    emit finished(status == Written);
}

}  // namespace strumox::app
