#include "tests/app/TestHttpsServer.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTcpSocket>

namespace tessora {

TestAuthority::TestAuthority() {
    const QString curve = QStringLiteral("ec_paramgen_curve:prime256v1");
    QFile extensions(m_folder.filePath(QStringLiteral("server.ext")));
    m_valid = m_folder.isValid() && extensions.open(QIODevice::WriteOnly) &&
              extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n") > 0;
    extensions.close();
    m_valid = m_valid &&
              openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout",
                       "ca.key", "-out", "ca.pem", "-days", "2", "-subj", "/CN=Tessora test CA"}) &&
              openssl({"req", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout",
                       "server.key", "-out", "server.csr", "-subj", "/CN=localhost"}) &&
              openssl({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                       "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile",
                       "server.ext"});
}

bool TestAuthority::openssl(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(m_folder.path());
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        m_error = QStringLiteral("openssl %1: %2 %3")
                      .arg(arguments.join(QLatin1Char(' ')), process.errorString(),
                           QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    return true;
}

TestHttpsServer::TestHttpsServer(const TestAuthority& authority) {
    QFile certificate(authority.certificateFile());
    QFile key(authority.keyFile());
    if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) {
        return;
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(certificate.readAll()));
    tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);  // clients bring no certificate
    m_server.setSslConfiguration(tls);
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            if (socket->bytesAvailable() > 0) {
                answer(socket);
            }
        }
    });
    m_server.listen(QHostAddress::LocalHost);
}

QUrl TestHttpsServer::url(const QString& path) const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void TestHttpsServer::answer(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n")) {
        return;
    }
    ++m_requests;
    emit requestReceived();
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = QString::fromLatin1(line.value(1));
    const auto found = m_routes.constFind(path);
    const Reply reply = found != m_routes.cend() ? *found : Reply{404, "not here", {}, false};
    if (reply.silent) {
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " X\r\n";
    head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    if (!reply.location.isEmpty()) {
        head += "Location: " + reply.location + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    socket->write(head + reply.body);
    socket->disconnectFromHost();
}

}  // namespace tessora
