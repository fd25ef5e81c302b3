#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/TfrmIntCalc.h"
#include "app/TfrmMain.h"
#include "app/UpDown.h"
#include "theory/ChordData.h"
#include "theory/ScaleData.h"

using namespace strumox;
using app::TfrmIntCalc;
using playback::TimedMessage;

namespace {

QString litBoxes(const TfrmIntCalc& w)
{
    QStringList lit;
    for (int i = 0; i < 12; ++i)
        if (w.lbl[std::size_t(i)]->palette().color(QPalette::Window) == QColor(255, 0, 0))
            lit << QString::number(i);
    return lit.join(' ');
}

// What the window's outputs were sent: when (ms), and the boxes lit once that step had run.
struct OutputLog {
    struct Sent {
        qint64 ms;
        TimedMessage message;
        QString lit;
    };
    QElapsedTimer clock;
    std::vector<Sent> sent;
    int opened = 0, closed = 0;

    std::vector<const Sent*> strikes() const
    {
        std::vector<const Sent*> out;
        for (const Sent& s : sent)
            if (s.message.status == 0x90 && s.message.data2 > 0)
                out.push_back(&s);
        return out;
    }
    std::vector<int> struck() const
    {
        std::vector<int> notes;
        for (const Sent* s : strikes())
            notes.push_back(s->message.data1);
        return notes;
    }
    // Strikes less releases: what still sounds.
    std::ptrdiff_t sounding() const
    {
        return 2 * std::ptrdiff_t(strikes().size()) -
               std::count_if(sent.begin(), sent.end(), [](const Sent& s) { return s.message.status == 0x90; });
    }
};

class RecordingOutput : public playback::OutputSink {
public:
    RecordingOutput(OutputLog& log, const TfrmIntCalc* w) : m_log(log), m_window(w) { ++m_log.opened; }
    ~RecordingOutput() override { ++m_log.closed; }
    void send(const TimedMessage& message) override
    {
        m_log.sent.push_back({m_log.clock.elapsed(), message, {}});
        // The boxes change once the step's messages are out.
        QTimer::singleShot(0, [log = &m_log, at = m_log.sent.size() - 1, w = m_window] {
            log->sent[at].lit = litBoxes(*w);
        });
    }

private:
    OutputLog& m_log;
    const TfrmIntCalc* m_window;
};

QString boxTexts(const TfrmIntCalc& w)
{
    QStringList texts;
    for (QLabel* l : w.lbl)
        texts << l->text();
    return texts.join(' ');
}

QToolButton* arrow(TfrmIntCalc& w, bool up) { return w.UpDown1->findChild<QToolButton*>(up ? "btnUp" : "btnDown"); }

void chooseFirstItem(TfrmIntCalc& w)
{
    w.cbScales->setFocus();
    QTest::keyClick(w.cbScales, Qt::Key_Down);
}

}  // namespace

class IntervalCalculatorWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::string appDir() const { return m_dir.path().toStdString() + "/"; }

    std::unique_ptr<TfrmIntCalc> openWindow(OutputLog& log)
    {
        auto w = std::make_unique<TfrmIntCalc>(appDir());
        w->setOutputFactory([&log, win = w.get()] { return std::make_unique<RecordingOutput>(log, win); });
        w->show();
        log.clock.start();
        return QTest::qWaitForWindowExposed(w.get()) ? std::move(w) : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        theory::writeScaleFile(appDir());
        theory::writeChordDataFiles(appDir());
    }

    void rootArrowsAndSpellingNameTheBoxes()
    {
        OutputLog log;
        auto w = openWindow(log);
        QVERIFY(w);
        QCOMPARE(boxTexts(*w), QString("C Db D Eb E F Gb G Ab A Bb B"));
        QTest::mouseClick(arrow(*w, true), Qt::LeftButton);
        QTest::mouseClick(arrow(*w, true), Qt::LeftButton);
        QCOMPARE(boxTexts(*w), QString("D Eb E F Gb G Ab A Bb B C Db"));
        QTest::mouseClick(w->sbtnFlatSharp, Qt::LeftButton);
        QCOMPARE(boxTexts(*w), QString("D D# E F F# G G# A A# B C C#"));
        // While an arrow is held only the root's box follows; the others follow its release.
        QTest::mousePress(arrow(*w, false), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w->UpDown1->position() != 2 && w->UpDown1->position() != 1, 3000);
        const auto& sharps = theory::noteNameTable(theory::Spelling::Sharps);
        QCOMPARE(w->lbl[0]->text(), QString::fromStdString(sharps[w->UpDown1->position()]));
        QCOMPARE(w->lbl[1]->text(), QString("D#"));
        QTest::mouseRelease(arrow(*w, false), Qt::LeftButton);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(w->lbl[std::size_t(i)]->text(), QString::fromStdString(sharps[(w->UpDown1->position() + i) % 12]));
    }

    void scalePlaysNoteByNoteAndNothingChangesUntilItEnds()
    {
        OutputLog log;
        auto w = openWindow(log);
        QVERIFY(w);
        QCOMPARE(log.opened, 1);
        QCOMPARE(w->cbScales->count(), theory::kScaleCount);
        QTest::mouseClick(w->sbtnPlay, Qt::LeftButton);  // nothing chosen: springs back
        QVERIFY(!w->sbtnPlay->isChecked() && log.sent.empty());

        chooseFirstItem(*w);
        QCOMPARE(w->cbScales->currentText(), QString("Ionian (Major)"));
        w->trkbarIntCalc->setFocus();
        QTest::keyClick(w->trkbarIntCalc, Qt::Key_End);  // the fastest: 300 ms a note
        w->setGuitarSound(30, 90);
        QTest::mouseClick(w->sbtnPlay, Qt::LeftButton);
        QCOMPARE(log.sent.size(), std::size_t(2));
        QCOMPARE(log.sent[0].message, (TimedMessage{0, 0xC0, 30, 0}));
        // While it plays, Play stays down and neither the list nor the root changes.
        for (QWidget* b : {static_cast<QWidget*>(w->sbtnPlay), static_cast<QWidget*>(w->sbtnChordScale),
                           static_cast<QWidget*>(arrow(*w, true))})
            QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(w->sbtnPlay->isChecked() && !w->sbtnChordScale->isChecked());
        QCOMPARE(w->cbScales->count(), theory::kScaleCount);
        QCOMPARE(w->UpDown1->position(), 0);
        QCOMPARE(log.sent.size(), std::size_t(2));

        QTRY_VERIFY_WITH_TIMEOUT(!w->sbtnPlay->isChecked(), 10000);
        QVERIFY(w->UpDown1->isEnabled());
        QCOMPARE(log.struck(), (std::vector<int>{48, 50, 52, 53, 55, 57, 59, 60}));
        QCOMPARE(log.sounding(), 0);
        QStringList lit;
        const auto strikes = log.strikes();
        for (std::size_t k = 0; k < strikes.size(); ++k) {
            lit << strikes[k]->lit;
            const qint64 next = k + 1 < strikes.size() ? strikes[k + 1]->ms : log.sent.back().ms;
            QVERIFY2(next - strikes[k]->ms >= 290, qPrintable(QString::number(next - strikes[k]->ms)));
        }
        QCOMPARE(lit.join(','), QString("0,2,4,5,7,9,11,0"));  // each note its own box, alone
        QCOMPARE(int(strikes[0]->message.data2), 90);
        QVERIFY(log.sent.back().lit.isEmpty());
    }

    void chordIsHeldAndClosingLetsEveryNoteGo()
    {
        OutputLog log;
        auto w = openWindow(log);
        QVERIFY(w);
        QTest::mouseClick(w->sbtnChordScale, Qt::LeftButton);
        QCOMPARE(w->cbScales->toolTip(), QString("Chords"));
        QCOMPARE(w->cbScales->count(), theory::kChordTypeCount);
        QCOMPARE(w->cbScales->currentIndex(), -1);
        chooseFirstItem(*w);
        QCOMPARE(w->cbScales->currentText(), QString("major"));
        QTest::mouseClick(arrow(*w, true), Qt::LeftButton);
        QTest::mouseClick(arrow(*w, true), Qt::LeftButton);
        QTest::mouseClick(w->sbtnPlay, Qt::LeftButton);  // D major, 600 ms a note
        QTRY_VERIFY_WITH_TIMEOUT(!w->sbtnPlay->isChecked(), 10000);
        QCOMPARE(log.struck(), (std::vector<int>{50, 54, 57}));
        QCOMPARE(log.sent.size(), std::size_t(7));
        QCOMPARE(log.sent[3].lit, QString("0 4 7"));
        QVERIFY2(log.sent[4].ms - log.sent[3].ms >= 1190, qPrintable(QString::number(log.sent[4].ms - log.sent[3].ms)));
        QVERIFY(log.sent[6].ms - log.sent[4].ms < 100 && log.sounding() == 0 && log.sent[6].lit.isEmpty());

        // Closed in the middle: what sounds is let go and the output is dropped.
        QTest::mouseClick(w->sbtnPlay, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(log.struck().size(), std::size_t(5), 3000);
        QTest::mouseClick(w->btnClose, Qt::LeftButton);
        QVERIFY(!w->isVisible() && !w->sbtnPlay->isChecked() && !w->hasOutput());
        QCOMPARE(log.sounding(), 0);
        QCOMPARE(log.closed, 1);
        QCOMPARE(litBoxes(*w), QString());
        const std::size_t sent = log.sent.size();

        // Without an output the boxes still light and the steps still take their time.
        w->setOutputFactory({});
        w->show();
        QElapsedTimer played;
        played.start();
        QTest::mouseClick(w->sbtnPlay, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(litBoxes(*w), QString("0 4 7"), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!w->sbtnPlay->isChecked(), 10000);
        QVERIFY(played.elapsed() >= 4 * 600 - 20);
        QCOMPARE(log.sent.size(), sent);
    }

    void optionsMenuOpensTheCalculator()
    {
        app::TfrmMain w(appDir());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* options = w.menuBar()->findChild<QMenu*>("menuOptions");
        QTest::mouseClick(w.menuBar(), Qt::LeftButton, Qt::NoModifier,
                          w.menuBar()->actionGeometry(options->menuAction()).center());
        QTRY_VERIFY(options->isVisible());
        auto* item = options->findChild<QAction*>("mnuIntervalCalculator");
        QTest::mouseClick(options, Qt::LeftButton, Qt::NoModifier, options->actionGeometry(item).center());
        QTRY_VERIFY(w.intervalCalculator().isVisible());
        QVERIFY(w.intervalCalculator().isModal());
        QCOMPARE(w.intervalCalculator().windowTitle(), QString("Strumox! Music Interval Calculator"));
        QTest::mouseClick(w.intervalCalculator().btnClose, Qt::LeftButton);
        QVERIFY(!w.intervalCalculator().isVisible());
    }
};

QTEST_MAIN(IntervalCalculatorWindowTest)
#include "interval_calculator_window_test.moc"
