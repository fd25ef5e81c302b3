#include <QDateTime>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "app/SingleInstance.h"

using namespace strumox::app;

namespace {

// The program started as the real executable starts it, under this run's own instance name and
// runtime folder, so a copy of Strumox the user has open plays no part.
const QString kProgram = QStringLiteral(STRUMOX_TEST_HOST);
const QByteArray kDisplay = ":0";
constexpr uid_t kNobody = 65534;
// The address sanitizer's runtime opens descriptors of its own as a copy starts serving.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSanitizerDescriptors = 16;
#else
constexpr int kSanitizerDescriptors = 0;
#endif

QString privateName()
{
    static const QString name = QStringLiteral("strumox-test-%1-%2")
                                    .arg(QCoreApplication::applicationPid())
                                    .arg(QDateTime::currentMSecsSinceEpoch());
    return name;
}

sockaddr_un addressOf(const QString& path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    std::memcpy(addr.sun_path, encoded.constData(), size_t(encoded.size()));
    return addr;
}

// A bare client: connected (possibly still in the queue), sending only what a test tells it to.
int connectRaw(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_un addr = addressOf(path);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the other side has closed (or reset) a client that never got an answer.
bool closedOnUs(int fd)
{
    char c;
    const ssize_t n = ::recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN);
}

int countClosed(const std::vector<int>& fds)
{
    return int(std::count_if(fds.begin(), fds.end(), closedOnUs));
}

void closeAll(std::vector<int>& fds)
{
    for (int fd : fds)
        ::close(fd);
    fds.clear();
}

void setMode(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }

bool serverAnswers(const QString& path)
{
    QLocalSocket s;
    s.connectToServer(path);
    return s.waitForConnected(200);
}

// Which process listens at `path` (0: none), as the kernel recorded it.
qint64 listenerPid(const QString& path)
{
    const int fd = connectRaw(path);
    ucred cred{};
    socklen_t length = sizeof cred;
    const bool known = fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0;
    if (fd >= 0)
        ::close(fd);
    return known ? cred.pid : 0;
}

// A whole round trip: the first copy's event loop is running and serves callers.
bool firstCopyServes(const QString& path) { return SingleInstance(path).handOver({}, 500); }

// A listener that is not the program: it takes whatever arrives, answers '1' like a first copy
// and counts the bytes it was given.
class Decoy {
public:
    explicit Decoy(const QString& path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_un addr = addressOf(path);
        m_ok = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 && ::listen(m_fd, 8) == 0;
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd p{m_fd, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0)
                    continue;
                const int c = ::accept(m_fd, nullptr, nullptr);
                pollfd q{c, POLLIN, 0};
                char buf[4096];
                const ssize_t n = ::poll(&q, 1, 500) > 0 ? ::read(c, buf, sizeof buf) : 0;
                if (n > 0) {
                    m_bytes += int(n);
                    (void)!::write(c, "1", 1);
                }
                ::close(c);
            }
        });
    }
    ~Decoy()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool ok() const { return m_ok; }
    int bytes() const { return m_bytes; }

private:
    int m_fd = -1;
    bool m_ok = false;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_bytes{0};
    std::thread m_thread;
};

// In a forked child: become the nobody user for good.
void becomeNobody()
{
    if (::setresgid(kNobody, kNobody, kNobody) != 0 || ::setresuid(kNobody, kNobody, kNobody) != 0)
        ::_exit(3);
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_appDir;
    QTemporaryDir m_runtime;  // made with mode 0700: a trustworthy runtime folder
    QTemporaryDir m_otherTmp;

    QString pathFor(const QByteArray& display) const
    {
        return locateInstance(privateName(), {QFile::encodeName(m_runtime.path()), {}, display}).serverPath;
    }

    // The program under the test's name; its $TMPDIR points elsewhere, which must not matter.
    void startCopy(QProcess& p, const QStringList& args, const QByteArray& display = kDisplay,
                   QString runtime = {}, int messageTimeoutMs = 0)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("STRUMOX_TEST_INSTANCE", privateName());
        env.insert("STRUMOX_TEST_APPDIR", m_appDir.path());
        env.insert("STRUMOX_TEST_RUNTIME_DIR", runtime.isEmpty() ? m_runtime.path() : runtime);
        env.insert("TMPDIR", m_otherTmp.path());
        env.insert("DISPLAY", QString::fromLatin1(display));
        env.remove("WAYLAND_DISPLAY");
        if (messageTimeoutMs > 0)
            env.insert("STRUMOX_TEST_MESSAGE_TIMEOUT_MS", QString::number(messageTimeoutMs));
        p.setProcessEnvironment(env);
        p.start(kProgram, args);
        QVERIFY2(p.waitForStarted(5000), qPrintable(p.errorString()));
    }

private slots:
    // --- where the socket lives ------------------------------------------------------------
    // Either folder the socket may live in, as we find it: the runtime folder we are given, or
    // the fallback folder someone may have made before us.
    void onlyATrustworthyFolderHoldsTheSocket_data()
    {
        QTest::addColumn<bool>("runtime");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("trusted");
        for (bool runtime : {true, false}) {
            const char* where = runtime ? "runtime folder" : "fallback folder";
            QTest::addRow("%s: private", where) << runtime << "0700" << true;
            QTest::addRow("%s: others may read", where) << runtime << "0755" << true;
            QTest::addRow("%s: group may write", where) << runtime << "0770" << false;
            QTest::addRow("%s: anyone may write", where) << runtime << "0777" << false;
            QTest::addRow("%s: symlink to a private folder", where) << runtime << "link" << false;
            QTest::addRow("%s: a file", where) << runtime << "file" << false;
            QTest::addRow("%s: another user's", where) << runtime << "nobody" << false;
        }
        QTest::newRow("runtime folder: relative") << true << "relative" << false;
        QTest::newRow("runtime folder: unset") << true << "unset" << false;
    }

    void onlyATrustworthyFolderHoldsTheSocket()
    {
        QFETCH(bool, runtime);
        QFETCH(QString, kind);
        QFETCH(bool, trusted);
        if (kind == "nobody" && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QTemporaryDir scratch;
        const QString fallback = scratch.filePath("strumox-" + QString::number(::geteuid()));
        const QString target = runtime ? scratch.filePath("run") : fallback;
        const QByteArray encoded = QFile::encodeName(target);
        QVERIFY(QDir().mkdir(scratch.filePath("private")));
        setMode(scratch.filePath("private"), 0700);
        if (kind == "link") {
            QVERIFY(QFile::link(scratch.filePath("private"), target));
        } else if (kind == "file") {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind[0].isDigit() || kind == "nobody") {
            QVERIFY(QDir().mkdir(target));
            setMode(target, kind == "nobody" ? 0700 : mode_t(kind.toUInt(nullptr, 8)));
            if (kind == "nobody")
                QCOMPARE(::chown(encoded.constData(), kNobody, kNobody), 0);
        }
        const QByteArray given = !runtime || kind == "unset" ? QByteArray() : kind == "relative" ? "run" : encoded;

        const InstanceAddress folder = userRuntimeFolder(given, scratch.path());
        if (!runtime && !trusted) {
            // Planted before us: no guard rather than a folder someone else controls.
            QCOMPARE(folder.serverPath, QString());
            QVERIFY(folder.problem.contains(target));
            return;
        }
        QCOMPARE(folder.serverPath, trusted ? target : fallback);
        QVERIFY(folder.problem.isEmpty());
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(folder.serverPath).constData(), &st), 0);
        QCOMPARE(st.st_uid, ::geteuid());
        if (!trusted)
            QCOMPARE(st.st_mode & 0777, 0700u);
    }

    void theRealProgramsAddressBelongsToTheUserNotToTmpdir()
    {
        const InstanceEnvironment env{QFile::encodeName(m_runtime.path()), {}, kDisplay};
        const InstanceAddress real = locateInstance(QString::fromLatin1(kInstanceName), env);
        QCOMPARE(QFileInfo(real.serverPath).absolutePath(), m_runtime.path());
        QVERIFY(real.serverPath != pathFor(kDisplay));
        const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
        const QByteArray tmpdir = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_otherTmp.path()));
        const QString underOtherTmpdir = locateInstance(QString::fromLatin1(kInstanceName), env).serverPath;
        hadTmpdir ? qputenv("TMPDIR", tmpdir) : qunsetenv("TMPDIR");
        QCOMPARE(underOtherTmpdir, real.serverPath);
    }

    // --- one copy per graphical session ----------------------------------------------------
    void sessionsAreTheSameOnlyWhenTheDisplayIs_data()
    {
        QTest::addColumn<QByteArray>("wayland1");
        QTest::addColumn<QByteArray>("x1");
        QTest::addColumn<QByteArray>("wayland2");
        QTest::addColumn<QByteArray>("x2");
        QTest::addColumn<bool>("same");
        QTest::newRow(":0 is :0.0") << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray(":0.0") << true;
        QTest::newRow(":0.1 is :0") << QByteArray() << QByteArray(":0.1") << QByteArray() << QByteArray(":0") << true;
        QTest::newRow("unix:0 is :0") << QByteArray() << QByteArray("unix:0") << QByteArray() << QByteArray(":0") << true;
        QTest::newRow(":00 is :0") << QByteArray() << QByteArray(":00") << QByteArray() << QByteArray(":0") << true;
        QTest::newRow(":0 is not :1") << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray(":1") << false;
        QTest::newRow(":1.0 is not :10") << QByteArray() << QByteArray(":1.0") << QByteArray() << QByteArray(":10") << false;
        QTest::newRow("forwarded is not local") << QByteArray() << QByteArray("localhost:10.0") << QByteArray()
                                                << QByteArray(":10") << false;
        QTest::newRow("wayland decides over X") << QByteArray("wayland-0") << QByteArray(":0")
                                                << QByteArray("wayland-0") << QByteArray(":1") << true;
        QTest::newRow("wayland-1 is not wayland-0") << QByteArray("wayland-1") << QByteArray(":0")
                                                    << QByteArray("wayland-0") << QByteArray(":0") << false;
        QTest::newRow("wayland is not X") << QByteArray("wayland-0") << QByteArray() << QByteArray()
                                          << QByteArray(":0") << false;
        QTest::newRow("no display twice") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << true;
        QTest::newRow("no display is not :0") << QByteArray() << QByteArray() << QByteArray() << QByteArray(":0") << false;
    }

    void sessionsAreTheSameOnlyWhenTheDisplayIs()
    {
        QFETCH(QByteArray, wayland1);
        QFETCH(QByteArray, x1);
        QFETCH(QByteArray, wayland2);
        QFETCH(QByteArray, x2);
        QFETCH(bool, same);
        QCOMPARE(sessionName(wayland1, x1) == sessionName(wayland2, x2), same);
        const InstanceEnvironment a{QFile::encodeName(m_runtime.path()), wayland1, x1};
        const InstanceEnvironment b{QFile::encodeName(m_runtime.path()), wayland2, x2};
        QCOMPARE(locateInstance("n", a).serverPath == locateInstance("n", b).serverPath, same);
    }

    // Any display name yields one safe, bounded file-name word, and different Wayland names
    // (taken as they are) never share one.
    void sessionNamesAreSafeAndDistinctForAnyDisplay()
    {
        QRandomGenerator random(1234);
        QHash<QString, QByteArray> seen;
        for (int i = 0; i < 3000; ++i) {
            QByteArray name(1 + int(random.bounded(i % 3 ? 12 : 200)), '\0');
            for (char& c : name)
                c = char(1 + random.bounded(255));
            const QString word = sessionName(name, {});
            QVERIFY2(word.size() <= 40 && sessionName({}, name).size() <= 40, word.toLatin1());
            for (QChar c : word)
                QVERIFY2(c.isLetterOrNumber() || QStringLiteral(".-_%").contains(c), word.toLatin1());
            QVERIFY2(!seen.contains(word) || seen[word] == name, word.toLatin1());
            seen.insert(word, name);
            QVERIFY(!sessionName({}, name).contains('/'));
        }
    }

    // --- a later copy hands over to the first ----------------------------------------------
    void aSecondCopyHandsOverItsOnlyArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");  // relative to the second copy's folder
        QTest::newRow("absolute") << "/tmp/some song.ppf" << "/tmp/some song.ppf";
        QTest::newRow("relative") << "songs/some song.ppf" << "songs/some song.ppf";
    }

    void aSecondCopyHandsOverItsOnlyArgument()
    {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        SingleInstance first(pathFor(kDisplay));
        QCOMPARE(first.listen(), SingleInstance::Claim::Listening);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        QProcess second;
        const QTemporaryDir folder;
        second.setWorkingDirectory(folder.path());
        startCopy(second, {argument}, ":0.0");
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.first().first().toString(), QDir(folder.path()).absoluteFilePath(expected));
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
        SingleInstance first(pathFor(kDisplay));
        QCOMPARE(first.listen(), SingleInstance::Claim::Listening);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        QProcess second;
        startCopy(second, args);
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.first().first().toString(), QString());
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
    }

    void aCopyOnAnotherDisplayOpensItsOwnWindow()
    {
        SingleInstance first(pathFor(":5"));
        QCOMPARE(first.listen(), SingleInstance::Claim::Listening);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        QProcess other;
        startCopy(other, {"/tmp/elsewhere.tab"}, ":6");
        QTRY_COMPARE_WITH_TIMEOUT(listenerPid(pathFor(":6")), other.processId(), 10000);
        QCOMPARE(spy.count(), 0);
        other.kill();
        QVERIFY(other.waitForFinished(5000));
    }

    // --- two real copies of the program ----------------------------------------------------
    void theFirstRealCopyKeepsRunningAndACrashDoesNotBlockTheNext()
    {
        const QString path = pathFor(kDisplay);
        QProcess first;
        startCopy(first, {});
        QTRY_VERIFY_WITH_TIMEOUT(serverAnswers(path), 10000);

        QProcess second;
        startCopy(second, {"/tmp/x.tab"});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // A crash leaves the socket behind; the next start must still become the first copy.
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!serverAnswers(path));
        QProcess third;
        startCopy(third, {});
        QTRY_VERIFY_WITH_TIMEOUT(serverAnswers(path), 10000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        QVERIFY(third.waitForFinished(5000));
        QFile::remove(path);
    }

    // --- only the user's own copies talk to each other -------------------------------------
    void aListenerInAFolderOthersMayWriteGetsNothing()
    {
        QTemporaryDir shared;
        setMode(shared.path(), 0777);
        const InstanceEnvironment trusting{QFile::encodeName(shared.path()), {}, kDisplay};
        const QString planted = shared.filePath(privateName() + '.' + sessionName({}, kDisplay));
        Decoy decoy(planted);
        QVERIFY(decoy.ok());
        QProcess copy;
        startCopy(copy, {"/home/someone/secret.ppf"}, kDisplay, shared.path());
        const QString own = shared.filePath(QStringLiteral("strumox-%1/").arg(::geteuid()) + privateName() + '.'
                                            + sessionName({}, kDisplay));
        QCOMPARE(locateInstance(privateName(), trusting, shared.path()).serverPath, own);
        // Listening in its own folder means it has decided; by then the listener it was offered
        // must have had nothing from it.
        QTRY_COMPARE_WITH_TIMEOUT(listenerPid(own), copy.processId(), 10000);
        QCOMPARE(decoy.bytes(), 0);
        copy.kill();
        QVERIFY(copy.waitForFinished(5000));
    }

    void eachSideTalksOnlyToItsOwnUser()
    {
        const QString path = pathFor(":3");
        {
            // The later copy: another user's listener learns nothing, not even the path.
            Decoy decoy(path);
            QVERIFY(decoy.ok());
            SingleInstance wary(path, {2000, 16, ::geteuid() + 1});
            QVERIFY(!wary.handOver({"/tmp/secret.ppf"}, 1000));
            QCOMPARE(decoy.bytes(), 0);
            SingleInstance trusting(path);
            QVERIFY(trusting.handOver({"/tmp/secret.ppf"}, 1000));
            QCOMPARE(decoy.bytes(), int(qstrlen("OPEN\n/tmp/secret.ppf")) + 1);
        }
        QFile::remove(path);
        const QByteArray message("OPEN\n/tmp/theirs.ppf\0", 21);
        for (bool sameUser : {false, true}) {
            // The first copy: a message from another user is closed unanswered.
            SingleInstance first(path, {2000, 16, sameUser ? ::geteuid() : ::geteuid() + 1});
            QCOMPARE(first.listen(), SingleInstance::Claim::Listening);
            QSignalSpy spy(&first, &SingleInstance::activationRequested);
            const int fd = connectRaw(path);
            QVERIFY(fd >= 0);
            QCOMPARE(::send(fd, message.constData(), size_t(message.size()), MSG_NOSIGNAL), ssize_t(message.size()));
            char answer = 0;
            QTRY_VERIFY_WITH_TIMEOUT(closedOnUs(fd) || ::recv(fd, &answer, 1, MSG_PEEK | MSG_DONTWAIT) == 1, 1000);
            QCOMPARE(answer == '1', sameUser);
            QCOMPARE(spy.count(), sameUser ? 1 : 0);
            ::close(fd);
        }
    }

    // Real other users, as only root can arrange: a listener of theirs at our path, and a message
    // of theirs to our first copy.
    void anotherUsersListenerAndMessagesAreRefused()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to run as another user");
        const QString path = pathFor(":4");
        int ready[2], stop[2];
        QVERIFY(::pipe2(ready, O_CLOEXEC) == 0 && ::pipe2(stop, O_CLOEXEC) == 0);
        const sockaddr_un addr = addressOf(path);
        const pid_t listener = ::fork();
        if (listener == 0) {
            ::close(stop[1]);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
                ::_exit(2);
            becomeNobody();  // the listener's user is the one at listen()
            ::listen(fd, 8);
            (void)!::write(ready[1], "r", 1);
            int total = 0;
            for (;;) {
                pollfd p[2] = {{fd, POLLIN, 0}, {stop[0], POLLIN, 0}};
                ::poll(p, 2, -1);
                if (p[1].revents)
                    ::_exit(total > 0 ? 1 : 0);
                const int c = ::accept(fd, nullptr, nullptr);
                pollfd q{c, POLLIN, 0};
                char buf[256];
                if (::poll(&q, 1, 300) > 0)
                    total += int(std::max<ssize_t>(0, ::read(c, buf, sizeof buf)));
                ::close(c);
                (void)!::write(ready[1], "c", 1);  // one caller seen
            }
        }
        ::close(ready[1]);
        ::close(stop[0]);
        char r;
        QCOMPARE(::read(ready[0], &r, 1), ssize_t(1));
        ::fcntl(ready[0], F_SETFL, O_NONBLOCK);
        QProcess copy;
        startCopy(copy, {"/root/secret.ppf"}, ":4");
        // It tries to hand over, then checks whether the socket is stale: two callers, after
        // which it has decided to run on its own.
        int callers = 0;
        QTRY_VERIFY_WITH_TIMEOUT((callers += int(std::max<ssize_t>(0, ::read(ready[0], &r, 1)))) >= 2, 10000);
        QCOMPARE(copy.state(), QProcess::Running);  // unguarded, but its own window
        ::close(stop[1]);
        int status = 0;
        QCOMPARE(::waitpid(listener, &status, 0), listener);
        QCOMPARE(WEXITSTATUS(status), 0);  // it received nothing
        copy.kill();
        QVERIFY(copy.waitForFinished(5000));
        QFile::remove(path);

        // Nobody writes to our first copy, through a folder and socket it could reach.
        QTemporaryDir reachable(QStringLiteral("/tmp/strumox-test-XXXXXX"));
        setMode(reachable.path(), 0711);
        SingleInstance first(reachable.filePath("s"));
        QCOMPARE(first.listen(), SingleInstance::Claim::Listening);
        setMode(reachable.filePath("s"), 0666);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        int result[2];
        QVERIFY(::pipe2(result, O_CLOEXEC) == 0);
        const sockaddr_un ours = addressOf(reachable.filePath("s"));
        const pid_t writer = ::fork();
        if (writer == 0) {
            becomeNobody();
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            char verdict = 'C';  // could not connect
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&ours), sizeof ours) == 0) {
                ::send(fd, "OPEN\n/etc/shadow\0", 17, MSG_NOSIGNAL);
                pollfd q{fd, POLLIN, 0};
                char c = 0;
                verdict = ::poll(&q, 1, 2000) > 0 && ::read(fd, &c, 1) == 1 ? 'A' : 'N';
            }
            (void)!::write(result[1], &verdict, 1);
            ::_exit(0);
        }
        ::fcntl(result[0], F_SETFL, O_NONBLOCK);
        char verdict = 0;
        QTRY_VERIFY_WITH_TIMEOUT(verdict || ::read(result[0], &verdict, 1) == 1, 5000);
        QCOMPARE(verdict, 'N');
        QCOMPARE(spy.count(), 0);
        ::waitpid(writer, &status, 0);
    }

    void onlyAStaleSocketOfOursIsReplaced()
    {
        const QString path = pathFor(":2");
        const QByteArray encoded = QFile::encodeName(path);
        {
            // A crashed copy's socket: bound, never closed cleanly.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un addr = addressOf(path);
            QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
            ::close(fd);
            SingleInstance first(path);
            QCOMPARE(first.listen(), SingleInstance::Claim::Listening);
            SingleInstance later(path);
            QCOMPARE(later.listen(), SingleInstance::Claim::FirstCopyAnswers);
            SingleInstance wary(path, {2000, 16, ::geteuid() + 1});
            QCOMPARE(wary.listen(), SingleInstance::Claim::Failed);
            QVERIFY(serverAnswers(path));
        }
        QVERIFY(!QFileInfo::exists(path));  // the first copy took its socket away

        QFile planted(path);
        QVERIFY(planted.open(QIODevice::WriteOnly) && planted.write("keep") == 4);
        planted.close();
        QCOMPARE(SingleInstance(path).listen(), SingleInstance::Claim::Failed);
        QVERIFY(planted.open(QIODevice::ReadOnly));
        QCOMPARE(planted.readAll(), QByteArray("keep"));
        planted.remove();

        if (::geteuid() == 0) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un addr = addressOf(path);
            QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
            ::close(fd);
            QCOMPARE(::chown(encoded.constData(), kNobody, kNobody), 0);
            QCOMPARE(SingleInstance(path).listen(), SingleInstance::Claim::Failed);
            QVERIFY(QFileInfo::exists(path));
            QFile::remove(path);
        }
    }

    // --- connections that never finish -----------------------------------------------------
    void slowIdleAndOversizedConnectionsAreDroppedAndCapped()
    {
        const QString path = pathFor(":8");
        SingleInstance first(path, {1500, 16});
        QCOMPARE(first.listen(), SingleInstance::Claim::Listening);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        std::vector<int> idle;
        for (int i = 0; i < 40; ++i)
            idle.push_back(connectRaw(path));
        QVERIFY(std::count(idle.begin(), idle.end(), -1) == 0);
        // Past the cap, refused at once; the rest held until their time is up.
        QTRY_COMPARE_WITH_TIMEOUT(countClosed(idle), 24, 1000);
        QCOMPARE(first.openConnections(), 16);
        QTRY_COMPARE_WITH_TIMEOUT(countClosed(idle), 40, 4000);
        QTRY_COMPARE(first.openConnections(), 0);
        closeAll(idle);

        // More than any path: dropped as soon as it is too long, long before the time is up.
        const QByteArray huge = "OPEN\n" + QByteArray(20 * 1024, 'a');
        const int oversized = connectRaw(path);
        QElapsedTimer clock;
        clock.start();
        ::send(oversized, huge.constData(), size_t(huge.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        QTRY_VERIFY_WITH_TIMEOUT(closedOnUs(oversized), 1000);
        QVERIFY(clock.elapsed() < 1000);
        ::close(oversized);

        // A message that trickles in never ends in time: the limit is on the whole message.
        const int slow = connectRaw(path);
        clock.restart();
        for (int i = 0; !closedOnUs(slow) && clock.elapsed() < 5000; ++i) {
            ::send(slow, i < 5 ? &"OPEN\n"[i] : "a", 1, MSG_NOSIGNAL);
            QTest::qWait(100);
        }
        QVERIFY(clock.elapsed() >= 1400 && clock.elapsed() < 3000);
        ::close(slow);
        QCOMPARE(spy.count(), 0);
    }

    // The first copy, short of descriptors, flooded with connections that say nothing: it keeps
    // its socket, and a later start still reaches it.
    void aLaterStartReachesAFirstCopyFloodedWhileShortOfDescriptors()
    {
        const QString path = pathFor(":9");
        qint64 baseline = 0;
        {
            QProcess probe;
            startCopy(probe, {}, ":9");
            QTRY_VERIFY_WITH_TIMEOUT(firstCopyServes(path), 10000);
            baseline = QDir(QStringLiteral("/proc/%1/fd").arg(probe.processId()), {}, QDir::NoSort,
                            QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                           .count();
            probe.kill();
            QVERIFY(probe.waitForFinished(5000));
            QFile::remove(path);
        }
        QVERIFY(baseline > 0);
        QProcess first;
        const rlim_t limit = rlim_t(baseline + 6 + kSanitizerDescriptors);
        first.setChildProcessModifier([limit] {
            const rlimit r{limit, limit};
            ::setrlimit(RLIMIT_NOFILE, &r);
        });
        startCopy(first, {}, ":9", {}, 300);
        QTRY_VERIFY_WITH_TIMEOUT(firstCopyServes(path), 10000);

        std::vector<int> idle;
        for (int i = 0; i < 400; ++i) {
            const int fd = connectRaw(path);
            if (fd >= 0)
                idle.push_back(fd);
        }
        QVERIFY(idle.size() > 16);
        QProcess second;
        startCopy(second, {"/tmp/after the flood.ppf"}, ":9");
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(QFileInfo(path).exists());
        closeAll(idle);
        QVERIFY(serverAnswers(path));
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QFile::remove(path);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
