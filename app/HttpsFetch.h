#pragma once

#include "core/Clock.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace tessora {

// One download over https into memory, bounded in size and time: certificates are verified
// (against the system's authorities and the configuration's), plain http is refused, also
// when a server redirects to it, and a body larger than `maxBytes` is cut off. Finishes once,
// with the body or with an error in words a user understands; never after it is destroyed.
class HttpsFetch final : public QObject {
    Q_OBJECT

public:
    HttpsFetch(QNetworkAccessManager& network, Clock& clock, QSslConfiguration tls, QUrl url,
               qint64 maxBytes, Clock::Duration timeout, QObject* parent = nullptr);
    ~HttpsFetch() override;

    // Authorities in `extraCaFile` (PEM) added to the system's; false when it holds none.
    static bool trustExtraAuthorities(QSslConfiguration& tls, const QString& extraCaFile);

signals:
    void progress(qint64 received, qint64 total);
    void finished(const QByteArray& body, const QString& error);

private:
    void start();
    void fail(const QString& error);
    void complete();
    void readAvailable();
    void cancelDeadline();
    QString describe() const;

    QNetworkAccessManager& m_network;
    Clock& m_clock;
    QSslConfiguration m_tls;
    QUrl m_url;
    qint64 m_maxBytes;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    Clock::TimerId m_deadline = 0;
    bool m_done = false;
};

}  // namespace tessora
