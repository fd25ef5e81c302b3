#include <QDateTime>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include "app/SingleInstance.h"

using strumox::app::SingleInstance;

namespace {

// The program started as the real executable starts it, under this run's own instance name, so a
// copy of Strumox the user has open plays no part.
const QString kProgram = QStringLiteral(STRUMOX_TEST_HOST);

QString privateKey()
{
    static const QString key = QStringLiteral("strumox-test-%1-%2")
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(QDateTime::currentMSecsSinceEpoch());
    return key;
}

void startCopy(QProcess& p, const QStringList& args, const QString& appDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("STRUMOX_TEST_INSTANCE", privateKey());
    env.insert("STRUMOX_TEST_APPDIR", appDir);
    p.setProcessEnvironment(env);
    p.start(kProgram, args);
    QVERIFY2(p.waitForStarted(5000), qPrintable(p.errorString()));
}

bool serverAnswers(const QString& key)
{
    QLocalSocket s;
    s.connectToServer(key);
    return s.waitForConnected(200);
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_appDir;
    void startCopy(QProcess& p, const QStringList& args) { ::startCopy(p, args, m_appDir.path()); }

private slots:
    // The crash test leaves its socket behind on purpose; it is ours to remove.
    void cleanupTestCase() { QLocalServer::removeServer(privateKey()); }

    void theRealProgramsNameBelongsToTheUser()
    {
        QVERIFY(SingleInstance::defaultKey().endsWith(QString::number(getuid())));
        QVERIFY(privateKey() != SingleInstance::defaultKey());
    }

    // --- a later copy hands over to the first ----------------------------------------------
    void aSecondCopyHandsOverItsOnlyArgument()
    {
        SingleInstance first(privateKey());
        QVERIFY(first.claim());
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        QProcess second;
        startCopy(second, {"/tmp/some song.ppf"});
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.first().first().toString(), QString("/tmp/some song.ppf"));
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
    }

    void withNoneOrTwoArgumentsOnlyTheWindowComesForward_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("two") << QStringList{"/tmp/a.ppf", "/tmp/b.ppf"};
    }

    void withNoneOrTwoArgumentsOnlyTheWindowComesForward()
    {
        QFETCH(QStringList, args);
        SingleInstance first(privateKey());
        QVERIFY(first.claim());
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        QProcess second;
        startCopy(second, args);
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.first().first().toString(), QString());
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
    }

    // --- two real copies of the program ----------------------------------------------------
    void theFirstRealCopyKeepsRunningAndACrashDoesNotBlockTheNext()
    {
        const QString key = privateKey();
        QProcess first;
        startCopy(first, {});
        QTRY_VERIFY_WITH_TIMEOUT(serverAnswers(key), 10000);

        QProcess second;
        startCopy(second, {"/tmp/x.tab"});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // A crash leaves the socket behind; the next start must still become the first copy.
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(!serverAnswers(key));
        QProcess third;
        startCopy(third, {});
        QTRY_VERIFY_WITH_TIMEOUT(serverAnswers(key), 10000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        QVERIFY(third.waitForFinished(5000));
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
