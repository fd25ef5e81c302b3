#include "app/TfrmIntCalc.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/UpDown.h"

namespace strumox::app {

using playback::IntervalCalculator;

namespace {

constexpr int kBoxWidth = 46;
constexpr int kBoxHeight = 26;
const QColor kLitColour(255, 0, 0);
const QColor kUnlitColour(255, 255, 255);

QToolButton* toggleButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(caption);
    b->setCheckable(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

}  // namespace

TfrmIntCalc::TfrmIntCalc(const std::string& appDir, QWidget* parent) : QDialog(parent)
{
    setObjectName("TfrmIntCalc");
    setWindowTitle("Strumox! Music Interval Calculator");
    setModal(true);
    m_calc.load(appDir);

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    for (int i = 0; i < IntervalCalculator::kBoxCount; ++i) {
        const QString simple = i == 0 ? QStringLiteral("Root (1)") : QString::fromStdString(theory::intervalName(i));
        auto* caption = new QLabel(simple, this);
        caption->setAlignment(Qt::AlignCenter);
        grid->addWidget(caption, 0, i);

        auto* box = new QLabel(this);
        box->setObjectName(QStringLiteral("lbl%1").arg(i));
        box->setFixedSize(kBoxWidth, kBoxHeight);
        box->setAlignment(Qt::AlignCenter);
        box->setFrameStyle(QFrame::Box | QFrame::Plain);
        box->setAutoFillBackground(true);
        lbl[static_cast<std::size_t>(i)] = box;
        grid->addWidget(box, 1, i, Qt::AlignCenter);

        // The compound name (b9, 9, #9, 11, #11, b13, 13) of the intervals that have one.
        const std::string& compound = theory::intervalName(i + 12);
        if (!compound.empty()) {
            auto* under = new QLabel(QString::fromStdString(compound), this);
            under->setAlignment(Qt::AlignCenter);
            grid->addWidget(under, 2, i);
        }
    }
    layout->addLayout(grid);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Change Root", this));
    UpDown1 = new UpDown(0, 11, 0, true, this);
    UpDown1->setObjectName("UpDown1");
    UpDown1->setToolTip("Change Root");
    UpDown1->setFixedSize(18, kBoxHeight);
    controls->addWidget(UpDown1);
    sbtnFlatSharp = toggleButton("Flats or Sharps", "sbtnFlatSharp", this);
    controls->addWidget(sbtnFlatSharp);
    sbtnChordScale = toggleButton("Scales or Chords", "sbtnChordScale", this);
    controls->addWidget(sbtnChordScale);
    cbScales = new QComboBox(this);
    cbScales->setObjectName("cbScales");
    cbScales->setMinimumContentsLength(22);
    controls->addWidget(cbScales, 1);
    layout->addLayout(controls);

    auto* playRow = new QHBoxLayout;
    trkbarIntCalc = new QSlider(Qt::Horizontal, this);
    trkbarIntCalc->setObjectName("trkbarIntCalc");
    trkbarIntCalc->setRange(IntervalCalculator::kSlowest, IntervalCalculator::kFastest);
    trkbarIntCalc->setValue(IntervalCalculator::kDefaultSpeed);
    trkbarIntCalc->setTickInterval(50);
    trkbarIntCalc->setTickPosition(QSlider::TicksBelow);
    trkbarIntCalc->setSingleStep(10);
    trkbarIntCalc->setPageStep(50);
    trkbarIntCalc->setToolTip("Speed");
    playRow->addWidget(trkbarIntCalc, 1);
    sbtnPlay = toggleButton("Play", "sbtnPlay", this);
    playRow->addWidget(sbtnPlay);
    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setAutoDefault(false);
    playRow->addWidget(btnClose);
    layout->addLayout(playRow);

    lblProblem = new QLabel(this);
    lblProblem->setObjectName("lblProblem");
    lblProblem->setWordWrap(true);
    QStringList problems;
    for (const std::string& p : m_calc.problems())
        problems << QString::fromStdString(p);
    lblProblem->setText(problems.join('\n'));
    lblProblem->setVisible(!problems.isEmpty());
    layout->addWidget(lblProblem);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &TfrmIntCalc::runStep);

    // A click names the root's box at once; the rest follow when the arrow is let go.
    connect(UpDown1, &UpDown::stepped, this, [this](int root) {
        m_root = root;
        nameBoxes(0, 0);
    });
    connect(UpDown1, &UpDown::released, this, [this] { nameBoxes(1, IntervalCalculator::kBoxCount - 1); });
    connect(sbtnFlatSharp, &QToolButton::toggled, this, [this] { nameBoxes(0, IntervalCalculator::kBoxCount - 1); });
    connect(sbtnChordScale, &QToolButton::toggled, this, &TfrmIntCalc::chordScaleToggled);
    connect(sbtnPlay, &QToolButton::clicked, this, &TfrmIntCalc::playClicked);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    nameBoxes(0, IntervalCalculator::kBoxCount - 1);
    lightBoxes(0);
    fillItems();
}

TfrmIntCalc::~TfrmIntCalc()
{
    if (playing())
        finishPlay();
}

void TfrmIntCalc::setGuitarSound(int program, int velocity)
{
    m_program = program;
    m_velocity = velocity;
}

IntervalCalculator::Mode TfrmIntCalc::mode() const
{
    return sbtnChordScale->isChecked() ? IntervalCalculator::Mode::Chords : IntervalCalculator::Mode::Scales;
}

theory::Spelling TfrmIntCalc::spelling() const
{
    return sbtnFlatSharp->isChecked() ? theory::Spelling::Sharps : theory::Spelling::Flats;
}

bool TfrmIntCalc::boxLit(int box) const { return (m_lit >> box) & 1u; }

void TfrmIntCalc::nameBoxes(int from, int to)
{
    const auto names = IntervalCalculator::boxNames(m_root, spelling());
    for (int i = from; i <= to; ++i)
        lbl[static_cast<std::size_t>(i)]->setText(QString::fromStdString(names[static_cast<std::size_t>(i)]));
}

void TfrmIntCalc::fillItems()
{
    cbScales->clear();
    for (const std::string& name : m_calc.itemNames(mode()))
        cbScales->addItem(QString::fromStdString(name));
    cbScales->setCurrentIndex(-1);
    cbScales->setToolTip(mode() == IntervalCalculator::Mode::Chords ? "Chords" : "Scales");
}

void TfrmIntCalc::chordScaleToggled(bool down)
{
    if (playing()) {
        // The list under a running play stays as it is.
        const QSignalBlocker quiet(sbtnChordScale);
        sbtnChordScale->setChecked(!down);
        return;
    }
    fillItems();
}

void TfrmIntCalc::playClicked(bool down)
{
    if (!down) {
        // Play is let up only by the end of the run.
        const QSignalBlocker quiet(sbtnPlay);
        sbtnPlay->setChecked(playing());
        return;
    }
    if (playing())
        return;
    m_plan = IntervalCalculator::playPlan(mode(), m_calc.itemIntervals(mode(), cbScales->currentIndex()), m_root,
                                          m_program, m_velocity, trkbarIntCalc->value());
    if (m_plan.empty()) {
        const QSignalBlocker quiet(sbtnPlay);
        sbtnPlay->setChecked(false);
        return;
    }
    UpDown1->setEnabled(false);
    m_step = 0;
    runStep();
}

void TfrmIntCalc::runStep()
{
    if (!playing())
        return;
    const IntervalCalculator::Step& step = m_plan[static_cast<std::size_t>(m_step)];
    for (const playback::TimedMessage& m : step.messages) {
        if ((m.status & 0xF0) == 0x90) {
            if (m.data2 > 0)
                m_sounding.insert(m.data1);
            else
                m_sounding.erase(m.data1);
        }
        if (m_output)
            m_output->send(m);
        m_lastTick = m.tick;
    }
    lightBoxes(step.lit);
    if (++m_step >= static_cast<int>(m_plan.size())) {
        finishPlay();
        return;
    }
    m_timer->start(step.waitMs);
}

void TfrmIntCalc::finishPlay()
{
    m_timer->stop();
    // Cut short (the window closing): what still sounds is let go as the run would have.
    for (std::uint8_t note : m_sounding)
        if (m_output)
            m_output->send({m_lastTick, playback::noteOn(0), note, 0});
    m_sounding.clear();
    m_plan.clear();
    m_step = -1;
    lightBoxes(0);
    {
        const QSignalBlocker quiet(sbtnPlay);
        sbtnPlay->setChecked(false);
    }
    UpDown1->setEnabled(true);
}

void TfrmIntCalc::lightBoxes(IntervalCalculator::LitBoxes lit)
{
    m_lit = lit;
    for (int i = 0; i < IntervalCalculator::kBoxCount; ++i) {
        QLabel* box = lbl[static_cast<std::size_t>(i)];
        QPalette pal = box->palette();
        pal.setColor(QPalette::Window, boxLit(i) ? kLitColour : kUnlitColour);
        pal.setColor(QPalette::WindowText, Qt::black);
        box->setPalette(pal);
    }
}

void TfrmIntCalc::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (m_holdsDevice)
        return;
    m_holdsDevice = true;
    emit outputOpening();
    if (m_outputFactory)
        m_output = m_outputFactory();
}

void TfrmIntCalc::hideEvent(QHideEvent* e)
{
    if (playing())
        finishPlay();
    m_output.reset();
    QDialog::hideEvent(e);
    if (m_holdsDevice) {
        m_holdsDevice = false;
        emit outputClosed();
    }
}

}  // namespace strumox::app
