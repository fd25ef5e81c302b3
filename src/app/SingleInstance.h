#pragma once
// One running copy per user and graphical session. The first copy listens on a local socket in
// the user's own runtime folder; a later copy connects, asks the first to come forward, hands over
// its single file argument and exits.
//
// Wire format, one message per connection: "ACTIVATE\n", or "OPEN\n" followed by the path in
// UTF-8 and a NUL byte; the first copy answers one byte, '1' when a path was present, else '0'.
//
// Both sides check who is on the other end (the kernel's peer credentials): a later copy talks
// only to a first copy of its own user, and the first copy listens only to its own user.
#include <QObject>
#include <QString>
#include <QStringList>

#include <sys/types.h>
#include <unistd.h>

class QLocalSocket;
class QSocketNotifier;

namespace strumox::app {

// The parts of the environment that decide where the socket lives.
struct InstanceEnvironment {
    QByteArray runtimeDir;      // $XDG_RUNTIME_DIR
    QByteArray waylandDisplay;  // $WAYLAND_DISPLAY
    QByteArray display;         // $DISPLAY
    static InstanceEnvironment fromProcess();
};

// The socket's full path, or an empty path and the reason no trustworthy folder was found (the
// program then runs without the one-copy guard rather than trust a folder others could plant in).
struct InstanceAddress {
    QString serverPath;
    QString problem;
};

// Empty when `dir` may hold the socket: a directory itself (not a symlink to one), owned by
// `owner`, that neither its group nor others may write. Otherwise the reason, for a warning.
QString untrustedFolderReason(const QByteArray& dir, uid_t owner = ::geteuid());

// The folder for the socket: `runtimeDir` when it is an absolute, trustworthy folder, otherwise
// `<fallbackParent>/strumox-<uid>`, created with mode 0700 when missing and checked like the first.
InstanceAddress userRuntimeFolder(const QByteArray& runtimeDir, const QString& fallbackParent);

// The graphical session as a file-name word: Wayland display first, else the X display with its
// screen dropped (":0", ":0.0" and "unix:0" are one session), else "nodisplay". Only letters,
// digits, '.', '-', '_' and '%' appear; overlong names are shortened with a hash.
QString sessionName(const QByteArray& waylandDisplay, const QByteArray& display);

// `<folder>/<baseName>.<session>`; the real program's base name is kInstanceName.
InstanceAddress locateInstance(const QString& baseName, const InstanceEnvironment& env,
                               const QString& fallbackParent = QStringLiteral("/tmp"));
inline constexpr char kInstanceName[] = "Velmora.Strumox";

struct InstanceLimits {
    // A connection that has not delivered its whole message by then is dropped (milliseconds).
    int messageTimeoutMs = 2000;
    // Connections served at once; more are closed as they arrive.
    int maxConnections = 16;
    // The user the other side must run as: the user's own (tests choose another to see refusals).
    uid_t peerUid = ::geteuid();
};

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `serverPath` is absolute; relative names would depend on $TMPDIR.
    explicit SingleInstance(QString serverPath, InstanceLimits limits = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    QString serverPath() const { return m_path; }

    // As the later copy: asks the first copy of this user to come forward and, with exactly one
    // argument, hands that path over. A first copy that closes on us without an answer is busy
    // and asked again until `timeoutMs` runs out. Returns whether it answered.
    bool handOver(const QStringList& arguments, int timeoutMs = 3000);

    enum class Claim {
        Listening,         // this is the first copy now
        FirstCopyAnswers,  // another copy of this user listens: hand over to it instead
        Failed,            // no guard possible (see errorString()); run anyway
    };
    // Becomes the first copy. A socket file left by a crashed copy of this user is replaced; any
    // other file at the path, or a listener of another user, is left alone.
    Claim listen();
    bool isListening() const { return m_listenFd >= 0; }
    QString errorString() const { return m_error; }

    // Connections being served right now.
    int openConnections() const { return m_open; }

signals:
    // The first copy was asked to come forward; `path` is empty when no file was handed over.
    void activationRequested(const QString& path);

private:
    bool bindAndListen();
    void acceptPending();
    bool refuseWithReserve();
    void pauseAccepting();
    void serve(int fd);
    void readMessage(QLocalSocket* socket);

    QString m_path;
    InstanceLimits m_limits;
    QString m_error;
    int m_listenFd = -1;
    // Held open so that, out of descriptors, a waiting caller can still be accepted and closed
    // rather than left hanging in the queue.
    int m_reserveFd = -1;
    dev_t m_socketDev = 0;
    ino_t m_socketIno = 0;
    QSocketNotifier* m_notifier = nullptr;
    int m_open = 0;
};

}  // namespace strumox::app
