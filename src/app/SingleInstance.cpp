#include "app/SingleInstance.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace strumox::app {

namespace {
const QByteArray kActivate = "ACTIVATE\n";
const QByteArray kOpen = "OPEN\n";
// Longer than any path the system opens (PATH_MAX is 4096 bytes), short enough to read at once.
constexpr int kMaxMessage = 16 * 1024;
// Longest session word kept as it is; longer ones keep a prefix and a hash of the whole.
constexpr int kMaxSessionChars = 40;
// While out of descriptors with no reserve left, look at the queue again after this (ms).
constexpr int kAcceptPauseMs = 100;
// A busy first copy is asked again after this (ms).
constexpr int kRetryMs = 50;

QString errnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool fillAddress(const QString& path, sockaddr_un& addr)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, encoded.constData(), size_t(encoded.size()));
    return true;
}

// The user at the other end of a connected local socket, as the kernel recorded it.
bool peerIs(int fd, uid_t uid)
{
    ucred cred{};
    socklen_t length = sizeof cred;
    if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || length != sizeof cred)
        return false;
    return cred.uid == uid;
}

// Bytes a display name may keep in a file name; everything else is percent-encoded, so two
// different names never meet.
QString fileWord(const QByteArray& text)
{
    return QString::fromLatin1(text.toPercentEncoding(QByteArray(), QByteArray("~")));
}

// Keeps a session word within kMaxSessionChars: a prefix and a hash of the whole.
QString bounded(const QString& word)
{
    if (word.size() <= kMaxSessionChars)
        return word;
    quint64 hash = 14695981039346656037ull;  // FNV-1a, 64 bits; the word is plain ASCII
    for (QChar c : word) {
        hash ^= quint8(c.unicode());
        hash *= 1099511628211ull;
    }
    return word.left(kMaxSessionChars - 17) + '-' + QString::number(hash, 16).rightJustified(16, '0');
}
}  // namespace

InstanceEnvironment InstanceEnvironment::fromProcess()
{
    return {qgetenv("XDG_RUNTIME_DIR"), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY")};
}

QString untrustedFolderReason(const QByteArray& dir, uid_t owner)
{
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0)
        return QStringLiteral("%1: %2").arg(QFile::decodeName(dir), errnoText(errno));
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("%1 is a symbolic link").arg(QFile::decodeName(dir));
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("%1 is not a folder").arg(QFile::decodeName(dir));
    if (st.st_uid != owner)
        return QStringLiteral("%1 belongs to user %2").arg(QFile::decodeName(dir)).arg(st.st_uid);
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("%1 may be written by other users (mode %2)")
            .arg(QFile::decodeName(dir))
            .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

InstanceAddress userRuntimeFolder(const QByteArray& runtimeDir, const QString& fallbackParent)
{
    if (runtimeDir.startsWith('/') && untrustedFolderReason(runtimeDir).isEmpty())
        return {QFile::decodeName(runtimeDir), {}};

    const QString folder = fallbackParent + QStringLiteral("/strumox-") + QString::number(::geteuid());
    const QByteArray encoded = QFile::encodeName(folder);
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST)
        return {{}, QStringLiteral("cannot create %1: %2").arg(folder, errnoText(errno))};
    // Whatever is there now, made by us or planted before us, must pass the same check.
    const QString reason = untrustedFolderReason(encoded);
    if (!reason.isEmpty())
        return {{}, reason};
    return {folder, {}};
}

QString sessionName(const QByteArray& waylandDisplay, const QByteArray& display)
{
    if (!waylandDisplay.isEmpty())
        return bounded(QStringLiteral("wl-") + fileWord(waylandDisplay));
    if (display.isEmpty())
        return QStringLiteral("nodisplay");

    // [host]:number[.screen]; the screen is a part of the same session.
    const int colon = display.lastIndexOf(':');
    if (colon < 0)
        return bounded(QStringLiteral("x-") + fileWord(display));
    QByteArray host = display.left(colon);
    if (host == "unix")
        host.clear();
    QByteArray number = display.mid(colon + 1);
    const int dot = number.indexOf('.');
    if (dot >= 0)
        number.truncate(dot);
    bool numeric = false;
    const uint value = number.toUInt(&numeric);
    if (numeric)
        number = QByteArray::number(value);
    return bounded(QStringLiteral("x") + (host.isEmpty() ? QString() : fileWord(host) + '-') + fileWord(number));
}

InstanceAddress locateInstance(const QString& baseName, const InstanceEnvironment& env, const QString& fallbackParent)
{
    InstanceAddress folder = userRuntimeFolder(env.runtimeDir, fallbackParent);
    if (folder.serverPath.isEmpty())
        return folder;
    const QString path = folder.serverPath + '/' + baseName + '.' + sessionName(env.waylandDisplay, env.display);
    sockaddr_un addr;
    if (!fillAddress(path, addr))
        return {{}, QStringLiteral("%1 is too long for a local socket").arg(path)};
    return {path, {}};
}

SingleInstance::SingleInstance(QString serverPath, InstanceLimits limits, QObject* parent)
    : QObject(parent), m_path(std::move(serverPath)), m_limits(limits)
{
}

SingleInstance::~SingleInstance()
{
    delete m_notifier;
    if (m_listenFd >= 0) {
        // Remove the socket file only while it is still the one we made: a copy that replaced
        // a socket it thought stale keeps its own.
        struct stat st {};
        const QByteArray encoded = QFile::encodeName(m_path);
        if (::lstat(encoded.constData(), &st) == 0 && st.st_dev == m_socketDev && st.st_ino == m_socketIno)
            ::unlink(encoded.constData());
        ::close(m_listenFd);
    }
    if (m_reserveFd >= 0)
        ::close(m_reserveFd);
}

bool SingleInstance::handOver(const QStringList& arguments, int timeoutMs)
{
    QByteArray message = kActivate;
    if (arguments.size() == 1) {
        // The first copy runs in a folder of its own: a name relative to ours means nothing there.
        const QByteArray path = QFileInfo(arguments.first()).absoluteFilePath().toUtf8();
        // A path the first copy would refuse to read still brings its window forward.
        if (kOpen.size() + path.size() + 1 <= kMaxMessage && !path.contains('\0'))
            message = kOpen + path + '\0';
    }

    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const int remaining = timeoutMs - int(clock.elapsed());
        if (remaining <= 0)
            return false;
        QLocalSocket socket;
        socket.connectToServer(m_path);
        if (!socket.waitForConnected(remaining))
            return false;  // nobody listens there
        if (!peerIs(int(socket.socketDescriptor()), m_limits.peerUid)) {
            socket.abort();
            return false;  // not a copy of ours: it gets nothing, not even the path
        }
        socket.write(message);
        while (socket.bytesAvailable() < 1 && socket.state() == QLocalSocket::ConnectedState
               && socket.waitForReadyRead(std::max(1, timeoutMs - int(clock.elapsed())))) {
        }
        char answer = 0;
        if (socket.getChar(&answer))
            return answer == '0' || answer == '1';
        if (socket.state() == QLocalSocket::ConnectedState)
            return false;  // it kept the connection and never answered
        // Closed on us unanswered: the first copy had no room; ask again shortly.
        QThread::msleep(kRetryMs);
    }
}

SingleInstance::Claim SingleInstance::listen()
{
    if (isListening())
        return Claim::Listening;
    if (bindAndListen())
        return Claim::Listening;
    if (errno != EADDRINUSE)
        return Claim::Failed;

    // Something is at the path. A live listener answers a connection; a socket file left by a
    // crash refuses it.
    sockaddr_un addr;
    fillAddress(m_path, addr);
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0) {
        m_error = errnoText(errno);
        return Claim::Failed;
    }
    const int connected = ::connect(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    const int connectError = errno;
    if (connected == 0 || connectError == EAGAIN || connectError == EINPROGRESS) {
        // A full queue (EAGAIN) says someone listens without saying who; the hand-over checks.
        const bool ours = connected != 0 || peerIs(probe, m_limits.peerUid);
        ::close(probe);
        if (ours)
            return Claim::FirstCopyAnswers;
        m_error = QStringLiteral("%1 is held by another user").arg(m_path);
        return Claim::Failed;
    }
    ::close(probe);
    if (connectError == ENOENT)
        return bindAndListen() ? Claim::Listening : Claim::Failed;  // it went away meanwhile
    if (connectError != ECONNREFUSED) {
        m_error = QStringLiteral("%1: %2").arg(m_path, errnoText(connectError));
        return Claim::Failed;
    }

    struct stat st {};
    const QByteArray encoded = QFile::encodeName(m_path);
    if (::lstat(encoded.constData(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid()) {
        m_error = QStringLiteral("%1 exists and is not a socket of ours").arg(m_path);
        return Claim::Failed;
    }
    ::unlink(encoded.constData());
    return bindAndListen() ? Claim::Listening : Claim::Failed;
}

bool SingleInstance::bindAndListen()
{
    sockaddr_un addr;
    if (!fillAddress(m_path, addr)) {
        m_error = QStringLiteral("%1 is not a usable socket path").arg(m_path);
        errno = ENAMETOOLONG;
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        m_error = errnoText(errno);
        return false;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        const int error = errno;
        m_error = QStringLiteral("%1: %2").arg(m_path, errnoText(error));
        ::close(fd);
        errno = error;
        return false;
    }
    struct stat st {};
    const QByteArray encoded = QFile::encodeName(m_path);
    ::chmod(encoded.constData(), 0600);
    if (::listen(fd, 64) != 0 || ::lstat(encoded.constData(), &st) != 0) {
        const int error = errno;
        m_error = QStringLiteral("%1: %2").arg(m_path, errnoText(error));
        ::close(fd);
        ::unlink(encoded.constData());
        errno = error;
        return false;
    }
    m_listenFd = fd;
    m_socketDev = st.st_dev;
    m_socketIno = st.st_ino;
    m_reserveFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptPending);
    return true;
}

void SingleInstance::acceptPending()
{
    // The listening socket stays open and its file stays in place whatever accept says: a copy
    // that stopped listening would let the next start open a second window.
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            switch (errno) {
            case EAGAIN:
#if EWOULDBLOCK != EAGAIN
            case EWOULDBLOCK:
#endif
                return;
            case EINTR:
            case ECONNABORTED:
            case EPROTO:
                continue;
            case EMFILE:
            case ENFILE:
                if (refuseWithReserve())
                    continue;
                [[fallthrough]];
            default:
                pauseAccepting();
                return;
            }
        }
        if (!peerIs(fd, m_limits.peerUid) || m_open >= m_limits.maxConnections) {
            ::close(fd);
            continue;
        }
        serve(fd);
    }
}

bool SingleInstance::refuseWithReserve()
{
    if (m_reserveFd < 0)
        return false;
    ::close(m_reserveFd);
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    m_reserveFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    return fd >= 0;
}

void SingleInstance::pauseAccepting()
{
    // The caller stays in the queue; without the pause the notifier would fire at once again.
    m_notifier->setEnabled(false);
    QTimer::singleShot(kAcceptPauseMs, this, [this] {
        if (m_reserveFd < 0)
            m_reserveFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        m_notifier->setEnabled(true);
    });
}

void SingleInstance::serve(int fd)
{
    auto* socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(fd, QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
        ::close(fd);
        delete socket;
        return;
    }
    ++m_open;
    connect(socket, &QObject::destroyed, this, [this] { --m_open; });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
    // However far it got, the connection ends when its time is up.
    QTimer::singleShot(m_limits.messageTimeoutMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0)
        readMessage(socket);
}

void SingleInstance::readMessage(QLocalSocket* socket)
{
    const QByteArray data = socket->peek(kMaxMessage + 1);
    const auto drop = [this, socket] {
        disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
        socket->abort();
        socket->deleteLater();
    };
    QString path;
    if (data.startsWith(kOpen)) {
        const int end = data.indexOf('\0', kOpen.size());
        if (end < 0) {
            if (data.size() > kMaxMessage)
                drop();
            return;  // the rest of the path is still on its way
        }
        path = QString::fromUtf8(data.mid(kOpen.size(), end - kOpen.size()));
    } else if (!data.startsWith(kActivate)) {
        if (data.size() >= kActivate.size() || (!kActivate.startsWith(data) && !kOpen.startsWith(data)))
            drop();  // not one of ours
        return;
    }
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->readAll();
    socket->write(path.isEmpty() ? "0" : "1");
    // Out before anything the activation does (a dialog, a long load) can keep the caller waiting;
    // it reads the answer before it sees the end.
    socket->flush();
    socket->disconnectFromServer();
    emit activationRequested(path);
}

}  // namespace strumox::app
