#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSslServer>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

namespace tessora {

// A certificate authority made for one test run with openssl, and a certificate it signed for
// 127.0.0.1. Nothing outside the test trusts it.
class TestAuthority {
public:
    TestAuthority();
    bool isValid() const { return m_valid; }
    QString error() const { return m_error; }
    QString caFile() const { return m_folder.filePath(QStringLiteral("ca.pem")); }
    QString certificateFile() const { return m_folder.filePath(QStringLiteral("server.pem")); }
    QString keyFile() const { return m_folder.filePath(QStringLiteral("server.key")); }

private:
    bool openssl(const QStringList& arguments);

    QTemporaryDir m_folder;
    bool m_valid = false;
    QString m_error;
};

// An https server on 127.0.0.1 in the test's own event loop, answering GET requests from a
// table of paths. A path that is not in the table answers 404; a silent one never answers.
class TestHttpsServer final : public QObject {
    Q_OBJECT

public:
    struct Reply {
        int status = 200;
        QByteArray body;
        QByteArray location;  // for redirects
        bool silent = false;
    };

    explicit TestHttpsServer(const TestAuthority& authority);

    bool isListening() const { return m_server.isListening(); }
    QUrl url(const QString& path) const;
    void route(const QString& path, Reply reply) { m_routes.insert(path, std::move(reply)); }
    int requests() const { return m_requests; }

signals:
    void requestReceived();

private:
    void answer(QTcpSocket* socket);

    QSslServer m_server;
    QMap<QString, Reply> m_routes;
    int m_requests = 0;
};

}  // namespace tessora
