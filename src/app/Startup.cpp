#include "app/Startup.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <QTimer>
#include <memory>

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

int runProgram(QApplication& app, const InstanceAddress& instance, const std::string& appDir,
               const InstanceLimits& limits)
{
    const QStringList arguments = app.arguments().mid(1);
    std::unique_ptr<SingleInstance> guard;
    if (instance.serverPath.isEmpty()) {
        qWarning("Strumox starts without its one-copy guard: %s", qPrintable(instance.problem));
    } else {
        guard = std::make_unique<SingleInstance>(instance.serverPath, limits);
        if (guard->handOver(arguments))
            return 0;
        SingleInstance::Claim claim = guard->listen();
        // Another start won the race to listen: it is the first copy now.
        if (claim == SingleInstance::Claim::FirstCopyAnswers && guard->handOver(arguments))
            return 0;
        if (!guard->isListening())
            qWarning("Strumox starts without its one-copy guard: %s",
                     qPrintable(claim == SingleInstance::Claim::Failed ? guard->errorString()
                                                                       : QStringLiteral("the first copy does not answer")));
    }

    TfrmMain window(appDir);
    if (guard)
        QObject::connect(guard.get(), &SingleInstance::activationRequested, &window,
                         &TfrmMain::activateFromSecondInstance);
    window.show();
    if (arguments.size() == 1) {
        // Opened once the window is up, like any later hand-over.
        QTimer::singleShot(0, &window, [&window, path = arguments.first()] { window.openDocument(path); });
    }
    // Queued after the file: a file handed over opens without asking about the PlayPage's work,
    // so it would drop a page restored before it; restored after it, the file is still on disk.
    QTimer::singleShot(0, &window, [&window] { window.startRecovery(); });
    return app.exec();
}

}  // namespace strumox::app
