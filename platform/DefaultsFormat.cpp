#include "platform/DefaultsFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace tessora {

namespace {

// JSON escapes can spell unpaired surrogates ("\ud800"), which the parser keeps as they are.
// Readers hand out well-formed text, with U+FFFD in their place.
QString wellFormed(QString text) {
    if (text.isValidUtf16()) {
        return text;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
    return text;
}

}  // namespace

DefaultsParse parseDefaults(const QByteArray& bytes) {
    DefaultsParse result;
    if (bytes.isEmpty()) {
        return result;
    }
    result.outcome = DefaultsParse::Outcome::Corrupt;
    if (bytes.size() > kMaxDefaultsFileBytes) {
        result.problem = QStringLiteral("larger than %1 bytes").arg(kMaxDefaultsFileBytes);
        return result;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        result.problem =
            QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset);
    } else if (!document.isObject()) {
        result.problem = QStringLiteral("not a JSON object");
    } else {
        result.outcome = DefaultsParse::Outcome::Values;
        result.values = document.object();
    }
    return result;
}

QByteArray serializeDefaults(const QJsonObject& values) {
    return QJsonDocument(values).toJson(QJsonDocument::Indented);
}

std::optional<bool> defaultsBool(const QJsonValue& value) {
    if (!value.isBool()) {
        return std::nullopt;
    }
    return value.toBool();
}

std::optional<qint64> defaultsInteger(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    // toInteger() falls back to its argument when the number is fractional or out of range,
    // so a result that differs from one of two distinct fallbacks is the number itself.
    const qint64 number = value.toInteger(0);
    if (number != 0 || value.toInteger(1) == 0) {
        return number;
    }
    return std::nullopt;
}

std::optional<QString> defaultsText(const QJsonValue& value) {
    if (!value.isString()) {
        return std::nullopt;
    }
    return wellFormed(value.toString());
}

std::optional<QStringList> defaultsTextList(const QJsonValue& value) {
    if (!value.isArray()) {
        return std::nullopt;
    }
    const QJsonArray array = value.toArray();
    QStringList texts;
    texts.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isString()) {
            return std::nullopt;
        }
        texts.append(wellFormed(element.toString()));
    }
    return texts;
}

bool sameDefaultsValue(const QJsonValue& current, const QJsonValue& next) {
    if (current.isDouble() && next.isDouble()) {
        const std::optional<qint64> a = defaultsInteger(current);
        const std::optional<qint64> b = defaultsInteger(next);
        if (a || b) {
            return a == b;
        }
        return current.toDouble() == next.toDouble();
    }
    return current == next;
}

}  // namespace tessora
