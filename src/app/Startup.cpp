#include "app/Startup.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <QTimer>

#include "app/SingleInstance.h"
#include "app/TfrmMain.h"

namespace strumox::app {

void configureApplication(QApplication& app)
{
    QApplication::setApplicationName("Strumox");
    // No display name: the platform would append it to every window and dialog title.
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QFont font("Liberation Sans");
    font.setPointSize(9);
    QApplication::setFont(font);
    Q_UNUSED(app);
}

int runProgram(QApplication& app, const QString& instanceKey, const std::string& appDir)
{
    const QStringList arguments = app.arguments().mid(1);
    SingleInstance instance(instanceKey);
    if (!instance.claim()) {
        instance.handOver(arguments);
        return 0;
    }

    TfrmMain window(appDir);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &TfrmMain::activateFromSecondInstance);
    window.show();
    if (arguments.size() == 1) {
        // Opened once the window is up, like any later hand-over.
        QTimer::singleShot(0, &window, [&window, path = arguments.first()] { window.openDocument(path); });
    }
    return app.exec();
}

}  // namespace strumox::app
