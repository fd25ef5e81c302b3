// The program as the single-instance tests run it: the same start as the real executable, but
// under an instance name and program directory of the test's own (STRUMOX_TEST_INSTANCE,
// STRUMOX_TEST_APPDIR), so a copy of Strumox the user has open neither disturbs the tests nor is
// disturbed by them. Only this test executable reads them.
//
// Optional: STRUMOX_TEST_RUNTIME_DIR stands in for $XDG_RUNTIME_DIR and is also the parent of the
// fallback folder, so nothing is made in the real one; STRUMOX_TEST_MESSAGE_TIMEOUT_MS shortens
// the time a connection may take to deliver its message; STRUMOX_TEST_EDIT=playpage puts a chord
// on the PlayPage once the window shows, leaving the page with unsaved work as a user's edit
// would (the crash recovery tests, which also shorten the program's recovery interval with
// STRUMOX_TEST_RECOVERY_MS). The display variables are read as the real program reads them.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/PlayPageController.h"
#include "app/Startup.h"
#include "app/TfrmMain.h"

int main(int argc, char** argv)
{
    const char* key = std::getenv("STRUMOX_TEST_INSTANCE");
    const char* dir = std::getenv("STRUMOX_TEST_APPDIR");
    if (!key || !*key || !dir || !*dir) {
        std::fprintf(stderr, "strumox-test-host: STRUMOX_TEST_INSTANCE and STRUMOX_TEST_APPDIR must be set\n");
        return 2;
    }
    using namespace strumox::app;
    InstanceEnvironment env = InstanceEnvironment::fromProcess();
    QString fallbackParent = QStringLiteral("/tmp");
    if (const char* runtime = std::getenv("STRUMOX_TEST_RUNTIME_DIR"); runtime && *runtime) {
        env.runtimeDir = runtime;
        fallbackParent = QString::fromLocal8Bit(runtime);
    }
    InstanceLimits limits;
    if (const char* timeout = std::getenv("STRUMOX_TEST_MESSAGE_TIMEOUT_MS"); timeout && std::atoi(timeout) > 0)
        limits.messageTimeoutMs = std::atoi(timeout);

    QApplication app(argc, argv);
    configureApplication(app);
    if (const char* edit = std::getenv("STRUMOX_TEST_EDIT"); edit && std::strcmp(edit, "playpage") == 0) {
        // Queued before the program's own start-up steps, so it runs first once the window shows.
        QTimer::singleShot(0, &app, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* window = qobject_cast<TfrmMain*>(w)) {
                    strumox::pages::PlayPage& page = window->playPage().model();
                    page.pendingDiagram = strumox::pages::DiagramRecord::blankWork();
                    page.pendingDiagram.name = "crash";
                    page.setMode(strumox::pages::PlayPage::Mode::Place);
                    page.placeAt({3, 1}, false, false);
                    window->playPage().redraw();
                }
        });
    }
    std::string appDir = dir;
    if (!appDir.ends_with('/'))
        appDir += '/';
    return runProgram(app, locateInstance(QString::fromLocal8Bit(key), env, fallbackParent), appDir, limits);
}
