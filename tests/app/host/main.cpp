// The program as the single-instance tests run it: the same start as the real executable, but
// under an instance name and program directory of the test's own (STRUMOX_TEST_INSTANCE,
// STRUMOX_TEST_APPDIR), so a copy of Strumox the user has open neither disturbs the tests nor is
// disturbed by them. Only this test executable reads them.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/Startup.h"

int main(int argc, char** argv)
{
    const char* key = std::getenv("STRUMOX_TEST_INSTANCE");
    const char* dir = std::getenv("STRUMOX_TEST_APPDIR");
    if (!key || !*key || !dir || !*dir) {
        std::fprintf(stderr, "strumox-test-host: STRUMOX_TEST_INSTANCE and STRUMOX_TEST_APPDIR must be set\n");
        return 2;
    }
    QApplication app(argc, argv);
    strumox::app::configureApplication(app);
    std::string appDir = dir;
    if (!appDir.ends_with('/'))
        appDir += '/';
    return strumox::app::runProgram(app, QString::fromLocal8Bit(key), appDir);
}
