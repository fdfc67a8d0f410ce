#include "app/HttpsFetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace tessora {

namespace {

constexpr int kMaxRedirects = 5;

bool isHttps(const QUrl& url) {
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty();
}

}  // namespace

HttpsFetch::HttpsFetch(QNetworkAccessManager& network, Clock& clock, QSslConfiguration tls,
                       QUrl url, qint64 maxBytes, Clock::Duration timeout, QObject* parent)
    : QObject(parent),
      m_network(network),
      m_clock(clock),
      m_tls(std::move(tls)),
      m_url(std::move(url)),
      m_maxBytes(maxBytes) {
    m_deadline = m_clock.schedule(timeout, [this] {
        m_deadline = 0;
        fail(QStringLiteral("The update server did not answer in time. Try again later."));
    });
    // Out of the constructor: a refusal arrives once the caller has connected.
    QTimer::singleShot(0, this, &HttpsFetch::start);
}

HttpsFetch::~HttpsFetch() {
    m_done = true;
    cancelDeadline();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

bool HttpsFetch::trustExtraAuthorities(QSslConfiguration& tls, const QString& extraCaFile) {
    const QList<QSslCertificate> extra = QSslCertificate::fromPath(extraCaFile, QSsl::Pem);
    if (extra.isEmpty()) {
        return false;
    }
    tls.addCaCertificates(extra);
    return true;
}

void HttpsFetch::start() {
    if (m_done) {
        return;
    }
    if (!isHttps(m_url)) {
        fail(QStringLiteral("The update address is not secure (it must start with https)."));
        return;
    }
    QNetworkRequest request(m_url);
    m_tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    request.setSslConfiguration(m_tls);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Tessora/%1").arg(QStringLiteral(TESSORA_VERSION)));
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::redirected, this, [this](const QUrl& target) {
        if (isHttps(target)) {
            emit m_reply->redirectAllowed();
        } else {
            fail(QStringLiteral("The update server sent Tessora to an address that is not "
                                "secure, so the download was stopped."));
        }
    });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_maxBytes) {
            fail(QStringLiteral("The update server sent more data than expected."));
        }
    });
    connect(m_reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64 total) { emit progress(received, total); });
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpsFetch::readAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &HttpsFetch::complete);
}

void HttpsFetch::readAvailable() {
    if (m_done) {
        return;
    }
    m_body += m_reply->read(m_maxBytes + 1 - m_body.size());
    if (m_body.size() > m_maxBytes) {
        fail(QStringLiteral("The update server sent more data than expected."));
    }
}

void HttpsFetch::complete() {
    if (m_done) {
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(describe());
        return;
    }
    readAvailable();
    if (m_done) {
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        fail(QStringLiteral("The update server answered with an error (HTTP %1).").arg(status));
        return;
    }
    m_done = true;
    cancelDeadline();
    emit finished(m_body, {});
}

void HttpsFetch::fail(const QString& error) {
    if (m_done) {
        return;
    }
    m_done = true;
    cancelDeadline();
    m_body.clear();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    emit finished({}, error);
}

// Once finished, a fetch no longer touches the clock: it may be deleted later than the clock.
void HttpsFetch::cancelDeadline() {
    if (m_deadline != 0) {
        m_clock.cancel(m_deadline);
        m_deadline = 0;
    }
}

QString HttpsFetch::describe() const {
    switch (m_reply->error()) {
        case QNetworkReply::SslHandshakeFailedError:
            return QStringLiteral("The update server's identity could not be verified, so "
                                  "Tessora did not trust it.");
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::UnknownNetworkError:
            return QStringLiteral("The update server could not be reached. Check your internet "
                                  "connection and try again.");
        case QNetworkReply::InsecureRedirectError:
            return QStringLiteral("The update server sent Tessora to an address that is not "
                                  "secure, so the download was stopped.");
        case QNetworkReply::TooManyRedirectsError:
            return QStringLiteral("The update server redirected too often.");
        default:
            break;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        return QStringLiteral("The update server answered with an error (HTTP %1).").arg(status);
    }
    return QStringLiteral("The update could not be downloaded (%1).").arg(m_reply->errorString());
}

}  // namespace tessora
