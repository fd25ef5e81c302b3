// The real crash: the program, started as a process with a data folder of the test's own, holds
// an unsaved PlayPage until its recovery file is there and is then killed with SIGKILL; a window
// started afterwards on the same folder gets the page back when the question is answered Yes.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "ScriptedPrompter.h"
#include "app/PageFileController.h"
#include "app/PlayPageController.h"
#include "app/RecoveryController.h"
#include "app/TfrmMain.h"
#include "pages/PageFiles.h"
#include "theory/ChordData.h"

using namespace strumox;
using namespace strumox::app;
using pages::Page;

class CrashRecoveryTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_appDir, m_home, m_runtime;

private slots:
    void initTestCase()
    {
        QVERIFY(m_appDir.isValid() && m_home.isValid() && m_runtime.isValid());
        theory::writeChordDataFiles(m_appDir.path().toStdString() + "/");
    }

    void aKilledProgramsUnsavedPlayPageIsRestoredByTheNextStart()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("STRUMOX_TEST_INSTANCE", QStringLiteral("strumox-crash-%1").arg(QCoreApplication::applicationPid()));
        env.insert("STRUMOX_TEST_APPDIR", m_appDir.path());
        env.insert("STRUMOX_TEST_RUNTIME_DIR", m_runtime.path());
        env.insert("XDG_DATA_HOME", m_home.path());
        env.insert("STRUMOX_TEST_EDIT", "playpage");
        env.insert("STRUMOX_TEST_RECOVERY_MS", "100");
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(STRUMOX_TEST_HOST), {});
        QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));

        const std::string ppf = m_home.path().toStdString() + "/strumox/recovery/playpage.ppf";
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(ppf), 20000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        // Whatever instant the kill came at, the file is a whole one: written aside and renamed.
        const auto kept = pages::readPlayPageFile(ppf, nullptr);
        QVERIFY(kept && kept->diagrams[15].name == "crash");

        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
        testsupport::ScriptedPrompter prompter({session::Answer::Yes});
        TfrmMain window(m_appDir.path().toStdString() + "/", &prompter);
        window.show();
        window.startRecovery();
        QCOMPARE(prompter.questions, std::vector<std::string>{kRecoveryQuestion});
        QVERIFY(window.playPage().model().allSlots() == kept->diagrams);
        QVERIFY(window.playPage().model().modified);
        QVERIFY(window.pageFiles().fileName(Page::PlayPage).empty());
        // Nothing is left over (a temporary file of a write the kill cut short included) but the
        // restored page, kept again at once in case the program goes down a second time.
        window.recovery().waitForWrites();
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::directory_iterator(window.recovery().folder()))
            left.push_back(e.path().filename().string());
        std::sort(left.begin(), left.end());
        QCOMPARE(left, (std::vector<std::string>{"playpage.ppf", "playpage.rpt"}));
    }
};

QTEST_MAIN(CrashRecoveryTest)
#include "crash_recovery_test.moc"
