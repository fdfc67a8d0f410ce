#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

namespace tessora {

// Where updates come from and who signs them. A build is configured for updates only when
// both values are sound: the feed is an https address with a host, and the key is standard
// Base64 of exactly 32 bytes (an Ed25519 public key). Anything else means no updater at all.
struct UpdateConfiguration {
    QUrl feed;
    QByteArray publicKey;  // 32 bytes
    // A PEM file of certificate authorities trusted besides the system's (a private update
    // server, the tests' own authority); empty for none. Verification itself stays on.
    QString extraCaFile;

    static std::optional<UpdateConfiguration> fromValues(const QString& feed,
                                                         const QString& publicKey);
    // Why fromValues() refuses these values, in words for the command line; empty when it
    // accepts them.
    static QString problemWith(const QString& feed, const QString& publicKey);
};

// The values this build was configured with (empty when none).
QString builtInUpdateFeed();
QString builtInUpdatePublicKey();

}  // namespace tessora
