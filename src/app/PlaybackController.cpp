#include "app/PlaybackController.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/ClockProxy.h"
#include "app/FretboardController.h"
#include "app/PlayPageController.h"
#include "app/SpokenNoteNames.h"
#include "app/TdlgTempo.h"
#include "app/UpDown.h"
#include "playback/RealtimeClock.h"
#include "playback/Strum.h"
#include "playback/Tempo.h"
#include "settings/SoundVoices.h"

namespace strumox::app {

using pages::Page;
using playback::kDefaultTempo;

namespace {

// Time after a Stop during which markers already on their way are painted over again.
constexpr int kDelayAfterStopMs = 500;
// The output opens this long after the window shows, so start-up never waits for it.
constexpr int kOpenOutputDelayMs = 300;

// A checkable button set without running its handlers.
void setDown(QToolButton* b, bool down)
{
    const bool blocked = b->blockSignals(true);
    b->setChecked(down);
    b->blockSignals(blocked);
}

}  // namespace

PlaybackController::PlaybackController(PlaybackServices services, PlaybackControls controls, TdlgTempo& tempoDialog,
                                       QObject* parent)
    : QObject(parent), m_s(std::move(services)), m_c(controls), m_tempoDialog(tempoDialog),
      m_clock(std::make_unique<playback::RealtimeClock>())
{
    m_proxy = new ClockProxy(*m_clock, this);
    m_clock->setListener(m_proxy);
    connect(m_proxy, &ClockProxy::beatDue, this, &PlaybackController::onBeat);
    connect(m_proxy, &ClockProxy::roomDue, this, &PlaybackController::onRoom);
    connect(m_proxy, &ClockProxy::allPlayedDue, this, &PlaybackController::onAllPlayed);
    connect(m_proxy, &ClockProxy::markerDue, this, &PlaybackController::onMarker);

    m_delayAfterStop = new QTimer(this);
    m_delayAfterStop->setObjectName("timerDelayAfterStop");
    m_delayAfterStop->setSingleShot(true);
    m_delayAfterStop->setInterval(kDelayAfterStopMs);
    connect(m_delayAfterStop, &QTimer::timeout, this, &PlaybackController::delayAfterStop);
    m_openSoon = new QTimer(this);
    m_openSoon->setSingleShot(true);
    m_openSoon->setInterval(kOpenOutputDelayMs);
    connect(m_openSoon, &QTimer::timeout, this, [this] {
        if (!m_sink)
            reopenOutput();
    });

    connect(m_c.play, &QToolButton::clicked, this, &PlaybackController::playToggled);
    connect(m_c.stop, &QToolButton::clicked, this, &PlaybackController::stopClicked);
    connect(m_c.pause, &QToolButton::clicked, this, &PlaybackController::pauseToggled);
    for (QToolButton* b : {m_c.step, m_c.loop, m_c.rootPlay})
        connect(b, &QToolButton::clicked, this, [this, b] { guardToggle(b); });

    m_c.tempoBox->installEventFilter(this);
    connect(m_c.tempoBox, &QLineEdit::editingFinished, this, &PlaybackController::tempoBoxLeft);
    connect(m_c.tempoBox, &QLineEdit::returnPressed, this, [this] { m_c.strumSpeed->setFocus(); });
    connect(m_c.tempoUpDown, &UpDown::stepped, this,
            [this](int position) { m_c.tempoBox->setText(QString::number(position)); });
    connect(m_c.tempoUpDown, &UpDown::released, this, [this] {
        setBpm(m_c.tempoUpDown->position());
        if (tempoEdited)
            tempoEdited();
    });
    setBpm(playback::kDefaultBpm);
}

PlaybackController::~PlaybackController()
{
    // The clock's thread must not report to a proxy or play into a sink that are going.
    m_clock->stop();
    m_clock->setListener(nullptr);
    m_clock->setSink(nullptr);
}

void PlaybackController::openOutputSoon() { m_openSoon->start(); }

void PlaybackController::setSpokenNames(SpokenNoteNames* names) { m_s.spokenNames = names; }

void PlaybackController::closeOutput()
{
    // Closed on purpose (the calculator holds the device): not reopened behind its back.
    m_openSoon->stop();
    m_clock->stop();
    m_clock->setSink(nullptr);
    m_sink.reset();
}

void PlaybackController::reopenOutput()
{
    closeOutput();
    m_sink = m_s.openOutput(m_s.settings.midiOutDevice);
    m_clock->setSink(m_sink.get());
    m_problemShown = false;
}

void PlaybackController::setOutputFactory(std::function<std::unique_ptr<playback::OutputSink>(int index)> open)
{
    closeOutput();
    m_s.openOutput = std::move(open);
}

bool PlaybackController::playing() const { return m_s.busy.playDown; }

void PlaybackController::pressPlay(bool fromRoot)
{
    if (m_s.busy.holds())
        return;
    const bool rootWas = m_c.rootPlay->isChecked();
    if (fromRoot)
        setDown(m_c.rootPlay, true);
    setDown(m_c.play, true);
    playToggled(true);
    if (fromRoot)
        setDown(m_c.rootPlay, rootWas);
}

void PlaybackController::guardToggle(QToolButton* button)
{
    // The press already flipped the button: while anything plays, flip it back.
    if (m_s.busy.holds())
        setDown(button, !button->isChecked());
}

void PlaybackController::setPlayDown(bool down)
{
    setDown(m_c.play, down);
    m_s.busy.playDown = down;
    m_s.setMenusEnabled(!down);
    emit playStateChanged(down);
}

void PlaybackController::setTempoControlsEnabled(bool enabled)
{
    m_c.tempoBox->setEnabled(enabled);
    m_c.tempoUpDown->setEnabled(enabled);
}

void PlaybackController::release()
{
    setDown(m_c.pause, false);
    m_s.busy.pauseDown = false;
    m_s.busy.stepDown = false;
    m_chordSounding = false;
    m_songPlaying = false;
    m_singleChord = false;
    setPlayDown(false);
    setTempoControlsEnabled(true);
}

void PlaybackController::playToggled(bool down)
{
    // Play is released by Stop or by the end of what plays, never by a click on it.
    if (!down) {
        setDown(m_c.play, true);
        return;
    }
    if (m_s.busy.busyCursor || m_s.busy.playDown) {
        setDown(m_c.play, m_s.busy.playDown);
        return;
    }
    if (!m_sink)
        reopenOutput();
    if (!m_problemShown && m_sink && !m_sink->problem().empty()) {
        m_problemShown = true;
        m_s.statusMessage(QString::fromStdString(m_sink->problem()));
    }
    m_clock->stop();
    m_clock->setTempo(kDefaultTempo);
    const PlayItem item = m_s.activePage().playItem();
    m_playingPage = m_s.activePage().page();
    switch (item.kind) {
    case PlayItem::Kind::Chord:
        startChord(item.chord, false, false);
        return;
    case PlayItem::Kind::Scale:
        startScale(item);
        return;
    case PlayItem::Kind::Song:
        startSong();
        return;
    case PlayItem::Kind::Nothing:
        break;
    }
    release();
}

void PlaybackController::startChord(const pages::DiagramRecord& chord, bool playPage, bool stepped)
{
    if (chord.isEmpty()) {
        release();
        return;
    }
    setPlayDown(true);
    playback::StrumOptions o;
    o.countOff = m_c.count->isChecked() && !playPage;
    o.bass = m_c.bassNote->isChecked();
    o.strumPosition = m_c.strumSpeed->value();
    o.playPage = playPage;
    o.stepped = stepped;
    playback::strumChord(*m_clock, chord, settings::voicesOf(m_s.settings), o);
    m_chordSounding = true;
    m_clock->start();
}

void PlaybackController::startScale(const PlayItem& item)
{
    if (item.scale.isEmpty()) {
        release();
        return;
    }
    playback::ScaleRunOptions o;
    o.bass = m_c.bassNote->isChecked();
    o.strumPosition = m_c.strumSpeed->value();
    o.span = m_s.scaleSpan;
    o.fromRoot = m_c.rootPlay->isChecked();
    setPlayDown(true);
    const auto result = playback::runScale(*m_clock, item.scale, item.beginFret, settings::voicesOf(m_s.settings), o);
    if (result != playback::ScaleRunResult::Queued) {
        // From the root works in standard tuning only: the run stops before it starts.
        m_clock->stop();
        release();
        return;
    }
    m_clock->start();
}

void PlaybackController::playSingleChord(const pages::DiagramRecord& chord)
{
    if (m_s.busy.holds() || chord.isEmpty())
        return;
    if (!m_sink)
        reopenOutput();
    m_clock->stop();
    m_clock->setTempo(playback::playTempo(m_bpm));
    m_playingPage = Page::PlayPage;
    m_singleChord = true;
    m_s.fretboard.clearSounding();
    startChord(chord, true, false);
}

void PlaybackController::startSong()
{
    playback::SequencerOptions o;
    o.click = m_c.click->isChecked();
    o.count = m_c.count->isChecked();
    o.countOffMeasures = std::clamp(m_s.settings.countOff, 1, 4);
    o.loop = m_c.loop->isChecked();
    o.bass = m_c.bassNote->isChecked();
    o.stepMode = m_c.step->isChecked();
    o.strumPosition = m_c.strumSpeed->value();
    o.tempo = playback::playTempo(m_bpm);
    const pages::PlayPage& page = m_s.playPage.model();
    o.startSlot = pages::PlayPage::slotIndex(page.startPosition());
    m_clock->setTempo(o.tempo);
    setPlayDown(true);
    setTempoControlsEnabled(false);
    m_s.fretboard.clearDisplay();
    const auto result = m_sequencer.start(page, o, settings::voicesOf(m_s.settings), *m_clock);
    if (result == playback::PlayPageSequencer::StartResult::NothingToStep) {
        release();
        return;
    }
    m_songPlaying = true;
    if (result == playback::PlayPageSequencer::StartResult::Stepped) {
        m_s.busy.stepDown = true;
        m_chordSounding = true;
        m_s.playPage.setStepArrow(m_sequencer.playSlot());
        m_s.playPage.scrollToSlot(m_sequencer.playSlot());
        m_clock->start();
        return;
    }
    m_sequencer.fill(*m_clock);
    const int startCell = o.startSlot / 2;
    m_s.playPage.scrollToSlot(o.startSlot);
    if (!o.count)
        m_s.playPage.setPlayCursor(startCell);
    m_clock->start();
}

bool PlaybackController::stepForward(bool moveFirst, bool backward)
{
    if (m_chordSounding)
        return true;
    m_clock->stop();
    m_s.playPage.setStepArrow(std::nullopt);
    const auto slot = m_sequencer.step(*m_clock, backward ? playback::PlayPageSequencer::Direction::Backward
                                                          : playback::PlayPageSequencer::Direction::Forward,
                                       moveFirst);
    if (!slot) {
        release();
        return true;
    }
    m_s.fretboard.clearSounding();
    m_s.playPage.setStepArrow(*slot);
    m_s.playPage.scrollToSlot(*slot);
    if (m_c.showArpeggio->isChecked())
        m_s.fretboard.showChord(m_s.playPage.model().slot(*slot));
    m_chordSounding = true;
    m_clock->start();
    return true;
}

void PlaybackController::stopClicked()
{
    if (!m_s.busy.playDown)
        return;
    switch (m_playingPage) {
    case Page::Chords:
    case Page::ChordDesign:
        // A chord always plays out.
        return;
    case Page::Print:
        if (m_s.activePage().playItem().kind == PlayItem::Kind::Chord)
            return;
        break;
    case Page::PlayPage:
        if (m_chordSounding && (m_s.busy.stepDown || m_singleChord))
            return;
        break;
    default:
        break;
    }
    m_s.busy.busyCursor = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_clock->stop();
    if (m_playingPage == Page::PlayPage)
        putSongAway();
    m_s.fretboard.clearSounding();
    m_delayAfterStop->start();
    QApplication::restoreOverrideCursor();
    m_s.busy.busyCursor = false;
    release();
}

void PlaybackController::pauseToggled(bool down)
{
    const bool pausable = m_s.busy.playDown && (m_playingPage == Page::PlayPage || m_playingPage == Page::Scales ||
                                                m_playingPage == Page::Tablature);
    if (!pausable) {
        setDown(m_c.pause, false);
        return;
    }
    m_s.busy.pauseDown = down;
    if (down)
        m_clock->pause();
    else
        m_clock->restart();
}

void PlaybackController::delayAfterStop()
{
    // Markers that were already due when Stop came have been painted; paint them over.
    m_s.fretboard.clearSounding();
    if (m_playingPage == Page::PlayPage) {
        putSongAway();
    } else if (m_playingPage == Page::Scales || m_playingPage == Page::Print) {
        m_s.activePage().showOnFretboard();
    }
}

void PlaybackController::onBeat()
{
    if (!m_songPlaying || m_s.busy.stepDown || m_singleChord)
        return;
    if (!m_sequencer.takeBeat())
        return;
    const int cell = m_sequencer.cursorCell();
    m_s.playPage.scrollToSlot(cell * 2);
    m_s.playPage.setPlayCursor(cell);
}

void PlaybackController::onRoom()
{
    if (m_songPlaying && !m_s.busy.stepDown)
        m_sequencer.fill(*m_clock);
}

void PlaybackController::onAllPlayed()
{
    if (!m_s.busy.playDown)
        return;
    m_chordSounding = false;
    if (m_playingPage == Page::PlayPage && m_s.busy.stepDown && !m_singleChord) {
        // Step play waits, Play down, for the next step.
        m_clock->stop();
        return;
    }
    m_clock->stop();
    m_s.fretboard.clearSounding();
    if (m_playingPage == Page::PlayPage && !m_singleChord)
        putSongAway();
    release();
}

void PlaybackController::putSongAway()
{
    m_s.playPage.setPlayCursor(std::nullopt);
    m_s.playPage.setStepArrow(std::nullopt);
    m_sequencer.stop();
    m_s.fretboard.clearDisplay();
}

void PlaybackController::onMarker(int kind, int data1, int data2, int data3)
{
    const bool playPage = m_playingPage == Page::PlayPage;
    switch (kind) {
    case playback::NoteMarker:
        if (data3 == 10) {
            m_s.fretboard.noteEnded(data1, data2, playPage || m_playingPage == Page::Tablature);
            return;
        }
        m_s.fretboard.noteSounding(data1, data2, data3);
        if (!playPage && m_s.settings.speechOn && m_s.spokenNames && data1 >= 0 && data1 < 6) {
            const int open = m_s.fretboard.display().openStrings()[static_cast<size_t>(data1)];
            m_s.spokenNames->speak((open + data2) % 12, m_s.names.spelling());
        }
        return;
    case playback::BeatMarker:
        m_sequencer.beatMarkerDue(data1);
        return;
    case playback::SlotMarker: {
        const int slot = data2 * 256 + data1;
        if (!playPage || slot < 0 || slot >= pages::PlayPage::kSlotCount)
            return;
        const pages::DiagramRecord& chord = m_s.playPage.model().slot(slot);
        if (!chord.isEmpty() && m_c.showArpeggio->isChecked())
            m_s.fretboard.showChord(chord);
        return;
    }
    default:
        return;
    }
}

bool PlaybackController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_c.tempoBox && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_c.tempoBox, &QLineEdit::selectAll);
    return QObject::eventFilter(watched, event);
}

int PlaybackController::bpm() const { return m_bpm; }

void PlaybackController::setBpm(int bpm)
{
    m_bpm = std::clamp(bpm, playback::kMinBpm, playback::kMaxBpm);
    m_c.tempoBox->setText(QString::number(m_bpm));
    m_c.tempoUpDown->setPosition(m_bpm);
}

void PlaybackController::tempoBoxLeft()
{
    const int held = playback::holdBpm(m_c.tempoBox->text().trimmed().toStdString());
    const bool changed = held != m_bpm;
    setBpm(held);
    if (changed && tempoEdited)
        tempoEdited();
}

void PlaybackController::openTempoDialog()
{
    if (m_s.busy.holds())
        return;
    if (const auto chosen = m_tempoDialog.ask(m_bpm)) {
        setBpm(*chosen);
        if (tempoEdited)
            tempoEdited();
    }
}

bool PlaybackController::keyPressed(int key)
{
    const Page page = m_s.activePage().page();
    if (key == Qt::Key_Left) {
        if (m_s.busy.playDown && m_s.busy.stepDown && page == Page::PlayPage)
            return stepForward(true, true);
        return false;
    }
    if (key != Qt::Key_Space && key != Qt::Key_Right)
        return false;
    if (!m_s.busy.playDown) {
        pressPlay();
        return true;
    }
    if (m_s.busy.stepDown && page == Page::PlayPage)
        return stepForward(true, false);
    if (page == Page::PlayPage || page == Page::Scales || page == Page::Print || page == Page::Tablature)
        stopClicked();
    return true;
}

}  // namespace strumox::app
