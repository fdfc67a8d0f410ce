#include "app/UpdateConfiguration.h"

namespace tessora {

namespace {

constexpr qsizetype kPublicKeyBytes = 32;

std::optional<QByteArray> decodedKey(const QString& text) {
    const auto decoded = QByteArray::fromBase64Encoding(
        text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || text.isEmpty() || decoded.decoded.size() != kPublicKeyBytes) {
        return std::nullopt;
    }
    return decoded.decoded;
}

}  // namespace

QString UpdateConfiguration::problemWith(const QString& feed, const QString& publicKey) {
    const QUrl url(feed, QUrl::StrictMode);
    if (feed.isEmpty()) {
        return QStringLiteral("no update feed is configured");
    }
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty()) {
        return QStringLiteral("the update feed must be an https address with a host, not \"%1\"")
            .arg(feed);
    }
    if (publicKey.isEmpty()) {
        return QStringLiteral("no public key for update signatures is configured");
    }
    if (!decodedKey(publicKey)) {
        return QStringLiteral("the public key must be 32 bytes in standard Base64");
    }
    return {};
}

std::optional<UpdateConfiguration> UpdateConfiguration::fromValues(const QString& feed,
                                                                   const QString& publicKey) {
    if (!problemWith(feed, publicKey).isEmpty()) {
        return std::nullopt;
    }
    return UpdateConfiguration{QUrl(feed, QUrl::StrictMode), *decodedKey(publicKey), {}};
}

QString builtInUpdateFeed() {
    return QStringLiteral(TESSORA_UPDATE_FEED_URL);
}

QString builtInUpdatePublicKey() {
    return QStringLiteral(TESSORA_UPDATE_PUBLIC_KEY);
}

}  // namespace tessora
