#include <QApplication>
#include <QTimer>

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/TfrmMain.h"
#include "settings/AppDir.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    strumox::app::configureApplication(app);

    const QStringList arguments = app.arguments().mid(1);
    strumox::app::SingleInstance instance;
    if (!instance.claim()) {
        instance.handOver(arguments);
        return 0;
    }

    strumox::app::TfrmMain window(strumox::settings::executableDir());
    QObject::connect(&instance, &strumox::app::SingleInstance::activationRequested, &window,
                     &strumox::app::TfrmMain::activateFromSecondInstance);
    window.show();
    if (arguments.size() == 1) {
        // Opened once the window is up, like any later hand-over.
        QTimer::singleShot(0, &window, [&window, path = arguments.first()] { window.openDocument(path); });
    }
    return app.exec();
}
