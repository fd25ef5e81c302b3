#pragma once
// Play, Stop, Pause, Step and the tempo: what the active page sounds (a strummed chord, a scale
// run, the PlayPage's song), the clock it is queued on, the output it sounds through, and what
// the clock's reports move on screen (finger dots on the guitar, the PlayPage's cursor). The
// events themselves come from playback's generators; this only wires them to the buttons.
//
// GUI thread only. The clock's timing thread reaches this through ClockProxy's queued signals.
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "app/PageController.h"
#include "playback/PlayPageSequencer.h"
#include "playback/Voices.h"
#include "session/BusyGuard.h"
#include "settings/Settings.h"
#include "theory/Notes.h"

class QLineEdit;
class QScrollBar;
class QTimer;
class QToolButton;

namespace strumox::playback {
class OutputSink;
class RealtimeClock;
}  // namespace strumox::playback

namespace strumox::app {

class ClockProxy;
class FretboardController;
class PlayPageController;
class SpokenNoteNames;
class TdlgTempo;
class UpDown;

struct PlaybackControls {
    QToolButton* play;
    QToolButton* stop;
    QToolButton* pause;
    QToolButton* step;
    QToolButton* loop;
    QToolButton* count;
    QToolButton* click;
    QToolButton* rootPlay;
    QToolButton* bassNote;
    QToolButton* showArpeggio;
    QScrollBar* strumSpeed;
    QLineEdit* tempoBox;
    UpDown* tempoUpDown;
};

struct PlaybackServices {
    const theory::NoteNames& names;  // the spelling spoken names follow
    session::BusyGuard& busy;
    FretboardController& fretboard;
    PlayPageController& playPage;
    const settings::AppSettings& settings;  // voices, count-off measures, speech
    const int& scaleSpan;                   // frets a scale position spans (4..6)
    std::function<PageController&()> activePage;
    // Every main menu item enabled or not: off while anything plays.
    std::function<void(bool)> setMenusEnabled;
    std::function<void(const QString&)> statusMessage;
    // Opens output device `index` (0 = the built-in synthesizer); never null.
    std::function<std::unique_ptr<playback::OutputSink>(int index)> openOutput;
    SpokenNoteNames* spokenNames = nullptr;  // may be null: the names are then not spoken
};

class PlaybackController : public QObject {
    Q_OBJECT
public:
    PlaybackController(PlaybackServices services, PlaybackControls controls, TdlgTempo& tempoDialog,
                       QObject* parent = nullptr);
    ~PlaybackController() override;

    // The output is opened on the chosen device shortly after the window shows (the synthesizer
    // then loads in the background) or at the first Play, whichever comes first.
    void openOutputSoon();
    bool outputOpen() const { return m_sink != nullptr; }
    // The interval calculator sounds on its own output while it is shown: ours closes meanwhile.
    void closeOutput();
    void reopenOutput();
    // The names the note markers speak (see PlaybackServices::spokenNames); null for none.
    void setSpokenNames(SpokenNoteNames* names);
    // Where outputs come from from now on (the device list; a recording in tests). Closes ours.
    void setOutputFactory(std::function<std::unique_ptr<playback::OutputSink>(int index)> open);

    bool playing() const;
    // "Play Chord" on a PlayPage slot: that one chord, as the PlayPage would strum it.
    void playSingleChord(const pages::DiagramRecord& chord);
    // Play pressed as a click would; `fromRoot` holds "Play Scale From Root" down for it.
    void pressPlay(bool fromRoot = false);

    // The song's tempo as the tempo box shows it (10..250), and the dialog "Tempo..." opens.
    int bpm() const;
    void setBpm(int bpm);
    void openTempoDialog();
    // The page whose tempo a change of the box marks modified (the PlayPage; the tab page later).
    std::function<void()> tempoEdited;

    // The window's keys, while they are live: Space, Right and Left. True when used.
    bool keyPressed(int key);

signals:
    void playStateChanged(bool playing);

protected:
    // Entering the tempo box selects its whole text.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void playToggled(bool down);
    void stopClicked();
    void pauseToggled(bool down);
    // A toggle that refuses changes while anything plays: the press is undone.
    void guardToggle(QToolButton* button);

    void startChord(const pages::DiagramRecord& chord, bool playPage, bool stepped);
    void startScale(const PlayItem& item);
    void startSong();
    // Play is released: menus and tempo controls back, the busy guard open.
    void release();
    // The song's pictures put away: the PlayPage's cursor and step arrow, its chords on the neck.
    void putSongAway();
    void setPlayDown(bool down);
    void setTempoControlsEnabled(bool enabled);
    bool stepForward(bool moveFirst, bool backward);

    void onBeat();
    void onRoom();
    void onAllPlayed();
    void onMarker(int kind, int data1, int data2, int data3);
    void delayAfterStop();
    void tempoBoxLeft();

    PlaybackServices m_s;
    PlaybackControls m_c;
    TdlgTempo& m_tempoDialog;
    std::unique_ptr<playback::RealtimeClock> m_clock;
    std::unique_ptr<playback::OutputSink> m_sink;
    ClockProxy* m_proxy = nullptr;
    QTimer* m_delayAfterStop = nullptr;
    QTimer* m_openSoon = nullptr;
    bool m_problemShown = false;

    playback::PlayPageSequencer m_sequencer;
    pages::Page m_playingPage = pages::Page::Chords;
    bool m_songPlaying = false;   // the PlayPage's sequencer runs (not a single chord)
    bool m_chordSounding = false;  // a chord or a stepped slot sounds until its end is reported
    bool m_singleChord = false;
    int m_bpm = 100;
};

}  // namespace strumox::app
