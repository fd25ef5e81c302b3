#include <QToolButton>
#include <QtTest>

#include "app/UpDown.h"

using strumox::app::UpDown;

namespace {

// What an owner sees: a number is a position stepped() reported, "R(p)" a released() with the
// position the control held at that moment.
struct SignalLog {
    QStringList entries;
    int releases = 0;
    int lastStepped = -1;
    int positionAtRelease = -1;

    void watch(UpDown& ud)
    {
        QObject::connect(&ud, &UpDown::stepped, [this](int p) {
            entries << QString::number(p);
            lastStepped = p;
        });
        QObject::connect(&ud, &UpDown::released, [this, &ud] {
            entries << QStringLiteral("R(%1)").arg(ud.position());
            ++releases;
            positionAtRelease = ud.position();
        });
    }
};

QToolButton* arrow(UpDown& ud, bool up) { return ud.findChild<QToolButton*>(up ? "btnUp" : "btnDown"); }

}  // namespace

class UpDownTest : public QObject {
    Q_OBJECT

private slots:
    // --- the release reports the position the field shows ----------------------------------
    void releaseFollowsEveryStepOfItsPress_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("holdMs");  // 0: a quick click; longer: held into auto-repeat
        QTest::addColumn<bool>("letGoOffTheArrow");

        QTest::newRow("quick click up") << 33 << 69 << 40 << true << true << 0 << false;
        QTest::newRow("quick click down") << 33 << 69 << 40 << true << false << 0 << false;
        QTest::newRow("quick click wraps at the top") << 0 << 11 << 11 << true << true << 0 << false;
        QTest::newRow("quick click wraps at the bottom") << 0 << 11 << 0 << true << false << 0 << false;
        QTest::newRow("quick click held at the end") << 10 << 250 << 250 << false << true << 0 << false;
        QTest::newRow("held up, repeating") << 33 << 69 << 40 << true << true << 650 << false;
        QTest::newRow("held down, repeating past the wrap") << 0 << 11 << 1 << true << false << 650 << false;
        QTest::newRow("held, then let go off the arrow") << 33 << 69 << 40 << true << true << 650 << true;
    }

    void releaseFollowsEveryStepOfItsPress()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, start);
        QFETCH(bool, wrap);
        QFETCH(bool, up);
        QFETCH(int, holdMs);
        QFETCH(bool, letGoOffTheArrow);

        QWidget host;
        auto* ud = new UpDown(minimum, maximum, start, wrap, &host);
        ud->setGeometry(0, 0, 16, 22);
        host.resize(80, 40);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        SignalLog log;
        log.watch(*ud);

        QToolButton* b = arrow(*ud, up);
        QVERIFY(b);
        QTest::mousePress(b, Qt::LeftButton);
        if (holdMs > 0)
            QTest::qWait(holdMs);
        const QPoint where = letGoOffTheArrow ? QPoint(60, 30) - b->mapTo(&host, QPoint(0, 0)) : b->rect().center();
        QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, where);

        const QString trace = log.entries.join(' ');
        QVERIFY2(log.releases == 1, qPrintable(trace));
        QVERIFY2(log.entries.last().startsWith("R"), qPrintable(trace));  // nothing steps after it
        const int steps = int(log.entries.size()) - 1;
        QVERIFY2(steps >= (holdMs > 0 ? 2 : 1), qPrintable(trace));
        QCOMPARE(log.positionAtRelease, log.lastStepped);
        QCOMPARE(ud->position(), log.lastStepped);

        // The position walked one step at a time in the arrow's direction.
        int expected = start;
        for (int i = 0; i < steps; ++i) {
            expected += up ? 1 : -1;
            if (expected > maximum)
                expected = wrap ? minimum : maximum;
            if (expected < minimum)
                expected = wrap ? maximum : minimum;
            QCOMPARE(log.entries[i].toInt(), expected);
        }
    }
};

QTEST_MAIN(UpDownTest)
#include "updown_test.moc"
