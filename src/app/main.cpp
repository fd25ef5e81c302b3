#include <QApplication>

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "settings/AppDir.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    strumox::app::configureApplication(app);
    return strumox::app::runProgram(app, strumox::app::SingleInstance::defaultKey(),
                                    strumox::settings::executableDir());
}
