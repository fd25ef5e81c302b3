// Start-up time: from launching a fresh process to the first paint of the main window's
// fretboard picture, the last large part of the window to draw. The parent launches the child
// (this same program with --child) a number of times and reports min / median / max.
//
// Run it on a real X server or under xvfb-run; QT_QPA_PLATFORM decides (offscreen if no display).
#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/TfrmMain.h"

namespace {

long long monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            // Let the paint finish, then report the moment it was done.
            QTimer::singleShot(0, [] {
                std::printf("%lld\n", monotonicNs());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
            watched->removeEventFilter(this);
        }
        return false;
    }
};

int child(int argc, char** argv)
{
    QApplication app(argc, argv);
    strumox::app::configureApplication(app);
    // The same guard as the program, on a key of its own so a running Strumox is not disturbed.
    const auto address = strumox::app::locateInstance(QStringLiteral("Velmora.Strumox-bench"),
                                                      strumox::app::InstanceEnvironment::fromProcess());
    if (address.serverPath.isEmpty())
        return 2;
    strumox::app::SingleInstance instance(address.serverPath);
    if (instance.listen() != strumox::app::SingleInstance::Claim::Listening)
        return 2;
    strumox::app::TfrmMain window(STRUMOX_APPDIR "/");
    FirstPaint probe;
    window.fretboardPanel().imgFretboard->installEventFilter(&probe);
    window.show();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--child")
        return child(argc, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QCoreApplication app(argc, argv);
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        const long long t0 = monotonicNs();
        p.start(QCoreApplication::applicationFilePath(), {"--child"});
        if (!p.waitForFinished(20000) || p.exitCode() != 0) {
            std::fprintf(stderr, "child failed: %s\n", p.readAllStandardError().constData());
            return 1;
        }
        const long long t1 = p.readAllStandardOutput().trimmed().toLongLong();
        ms.push_back((t1 - t0) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("start-up to first painted window over %d runs (platform %s): min %.1f ms, median %.1f ms, max %.1f ms\n",
                runs, qEnvironmentVariable("QT_QPA_PLATFORM", "default").toUtf8().constData(), ms.front(),
                ms[ms.size() / 2], ms.back());
    return 0;
}
