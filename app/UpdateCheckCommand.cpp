#include "app/UpdateCheckCommand.h"

#include "app/AppUpdater.h"
#include "app/Appcast.h"
#include "app/HttpsFetch.h"
#include "app/UpdateConfiguration.h"
#include "core/QtClock.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <cstdio>

namespace tessora {

int checkForUpdatesCommand(const QString& feed, const QString& publicKey, const QString& caFile) {
    const QString feedValue = feed.isEmpty() ? builtInUpdateFeed() : feed;
    const QString keyValue = publicKey.isEmpty() ? builtInUpdatePublicKey() : publicKey;
    const auto fail = [](const QString& why) {
        std::fprintf(stderr, "tessora: %s\n", qPrintable(why));
        return 1;
    };
    const QString problem = UpdateConfiguration::problemWith(feedValue, keyValue);
    if (!problem.isEmpty()) {
        return fail(problem + (feed.isEmpty() && publicKey.isEmpty()
                                   ? QStringLiteral(" (give --feed URL and --public-key KEY)")
                                   : QString()));
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!caFile.isEmpty() && !HttpsFetch::trustExtraAuthorities(tls, caFile)) {
        return fail(QStringLiteral("no certificates in %1").arg(caFile));
    }
    QtClock clock;
    QNetworkAccessManager network;
    HttpsFetch fetch(network, clock, tls, QUrl(feedValue, QUrl::StrictMode),
                     AppUpdater::kMaxFeedBytes, AppUpdater::kFeedTimeout);
    QEventLoop loop;
    int code = 1;
    QObject::connect(&fetch, &HttpsFetch::finished, &loop,
                     [&](const QByteArray& body, const QString& error) {
                         loop.quit();
                         if (!error.isEmpty()) {
                             code = fail(error);
                             return;
                         }
                         QString why;
                         const auto appcast = Appcast::parse(body, &why);
                         if (!appcast) {
                             code = fail(QStringLiteral("the update feed cannot be read: %1").arg(why));
                             return;
                         }
                         const QString current = QStringLiteral(TESSORA_VERSION);
                         if (const auto newest = appcast->newestAfter(current)) {
                             std::printf("Tessora %s is available (this is %s)\n",
                                         qPrintable(newest->shortVersion), qPrintable(current));
                         } else {
                             std::printf("Tessora %s is up to date\n", qPrintable(current));
                         }
                         code = 0;
                     });
    loop.exec();
    return code;
}

}  // namespace tessora
