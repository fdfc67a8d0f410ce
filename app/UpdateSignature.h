#pragma once

#include <QByteArray>

namespace tessora {

// Whether `signature` (64 bytes) is the Ed25519 signature of all of `data` by the holder of
// `publicKey` (32 bytes). False for keys or signatures of the wrong size.
bool verifyUpdateSignature(const QByteArray& data, const QByteArray& signature,
                           const QByteArray& publicKey);

}  // namespace tessora
