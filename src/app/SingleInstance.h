#pragma once
// One running copy per user. The first copy listens on a local socket; a later copy connects,
// asks the first to come forward, hands over its single file argument and exits.
//
// Wire format, one message per connection: "ACTIVATE\n", or "OPEN\n" followed by the path in
// UTF-8 and a NUL byte; the first copy answers one byte, '1' when a path was present, else '0'.
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace strumox::app {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // "Velmora.Strumox" plus the user id, so that two users of one machine each get their own.
    static QString defaultKey();
    QString serverName() const { return m_key; }

    // Tries to become the first copy. A socket left behind by a crashed copy does not count.
    bool claim();

    // As the later copy: asks the first copy to come forward and, with exactly one argument,
    // hands that path over. Returns whether the first copy answered.
    bool handOver(const QStringList& arguments, int timeoutMs = 3000);

signals:
    // The first copy was asked to come forward; `path` is empty when no file was handed over.
    void activationRequested(const QString& path);

private:
    void onNewConnection();
    QString m_key;
    QLocalServer* m_server = nullptr;
};

}  // namespace strumox::app
