#include <QApplication>

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "settings/AppDir.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    strumox::app::configureApplication(app);
    using namespace strumox::app;
    // Per user through the folder, per graphical session through the name.
    return runProgram(app, locateInstance(QString::fromLatin1(kInstanceName), InstanceEnvironment::fromProcess()),
                      strumox::settings::executableDir());
}
