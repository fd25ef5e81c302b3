#pragma once
// "Strumox! Music Interval Calculator": the twelve notes above a root in a row of boxes, and a
// scale or chord type played note by note with the box of each sounding interval lit. What the
// boxes say and what Play sends when is playback::IntervalCalculator's; this window shows it,
// paces the steps on a GUI timer (the window stays responsive) and talks to an output of its own,
// made by the factory the main window gives when the window shows and dropped when it hides.
// Created once, reused, modal.
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "playback/IntervalCalculator.h"
#include "playback/OutputSink.h"
#include "theory/Notes.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

namespace strumox::app {

class UpDown;

class TfrmIntCalc : public QDialog {
    Q_OBJECT
public:
    using OutputFactory = std::function<std::unique_ptr<playback::OutputSink>()>;

    // Reads the scale and formula files of `appDir` (ending with '/') once, here.
    explicit TfrmIntCalc(const std::string& appDir, QWidget* parent = nullptr);
    ~TfrmIntCalc() override;

    // Called each time the window shows; empty (or a null result): no output, the steps run
    // silent.
    void setOutputFactory(OutputFactory factory) { m_outputFactory = std::move(factory); }
    // The guitar's program (0-based) and note velocity, for the next Play.
    void setGuitarSound(int program, int velocity);

    bool playing() const { return m_step >= 0; }
    bool hasOutput() const { return m_output != nullptr; }
    // Whether box i shows red.
    bool boxLit(int box) const;

    std::array<QLabel*, playback::IntervalCalculator::kBoxCount> lbl{};  // lbl0..lbl11
    UpDown* UpDown1 = nullptr;
    QToolButton* sbtnFlatSharp = nullptr;
    QToolButton* sbtnChordScale = nullptr;
    QComboBox* cbScales = nullptr;
    QSlider* trkbarIntCalc = nullptr;
    QToolButton* sbtnPlay = nullptr;
    QPushButton* btnClose = nullptr;
    QLabel* lblProblem = nullptr;  // why a list is empty, when a file could not be read

signals:
    // Around the window's own output: just before it is opened (the window is showing) and just
    // after it has been let go (the window hid). Whoever shares the device steps aside meanwhile.
    void outputOpening();
    void outputClosed();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    playback::IntervalCalculator::Mode mode() const;
    theory::Spelling spelling() const;
    void nameBoxes(int from, int to);
    void fillItems();
    void playClicked(bool down);
    void chordScaleToggled(bool down);
    void runStep();
    void lightBoxes(playback::IntervalCalculator::LitBoxes lit);
    // Ends a run early or on time: releases what still sounds, whitens the boxes, lets Play up.
    void finishPlay();

    playback::IntervalCalculator m_calc;
    OutputFactory m_outputFactory;
    std::unique_ptr<playback::OutputSink> m_output;
    bool m_holdsDevice = false;  // between outputOpening and outputClosed
    int m_program = 25;
    int m_velocity = 100;
    int m_root = 0;

    std::vector<playback::IntervalCalculator::Step> m_plan;
    int m_step = -1;  // the next step of m_plan to run; -1 while not playing
    std::set<std::uint8_t> m_sounding;  // notes struck and not yet released
    std::uint64_t m_lastTick = 0;       // of the last message sent
    playback::IntervalCalculator::LitBoxes m_lit = 0;
    QTimer* m_timer = nullptr;
};

}  // namespace strumox::app
