#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessora {

// What the bytes of a settings file mean, and what its JSON values mean as typed settings.
// Pure functions: no disk, no logging.

// Larger files are refused as corrupt instead of being read: settings never grow that big.
inline constexpr qint64 kMaxDefaultsFileBytes = 4 * 1024 * 1024;

struct DefaultsParse {
    enum class Outcome {
        Values,   // a JSON object: `values` holds it
        Empty,    // a 0-byte file
        Corrupt,  // anything else: `problem` says why
    };
    Outcome outcome = Outcome::Empty;
    QJsonObject values;
    QString problem;
};

DefaultsParse parseDefaults(const QByteArray& bytes);
QByteArray serializeDefaults(const QJsonObject& values);

// Typed readings of a value; absent when the value holds another type.
std::optional<bool> defaultsBool(const QJsonValue& value);
// A JSON number that is integral and fits in qint64 (53 and 53.0 both read as 53).
std::optional<qint64> defaultsInteger(const QJsonValue& value);
std::optional<QString> defaultsText(const QJsonValue& value);
// An array whose elements are all strings.
std::optional<QStringList> defaultsTextList(const QJsonValue& value);

// Whether writing `next` over `current` would change what any reader sees.
bool sameDefaultsValue(const QJsonValue& current, const QJsonValue& next);

}  // namespace tessora
