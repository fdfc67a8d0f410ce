#include "app/Appcast.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>

namespace tessora {

namespace {

constexpr char kSparkleNamespace[] = "http://www.andymatuschak.org/xml-namespaces/sparkle";
constexpr qsizetype kSignatureBytes = 64;

qint64 leadingNumber(const QString& part) {
    qint64 value = 0;
    for (const QChar c : part) {
        if (!c.isDigit() || value > 1'000'000'000) {
            break;
        }
        value = value * 10 + c.digitValue();
    }
    return value;
}

bool soundVersion(const QString& version) {
    return !version.isEmpty() && version.front().isDigit();
}

// Reads one <item>; the reader stands on its start element.
std::optional<AppcastItem> readItem(QXmlStreamReader& xml, bool* hasEnclosure, QString* problem) {
    AppcastItem item;
    QString enclosureVersion;
    QString signature;
    QString length;
    *hasEnclosure = false;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        const bool sparkle = xml.namespaceUri() == QLatin1String(kSparkleNamespace);
        if (sparkle && name == QLatin1String("version")) {
            item.version = xml.readElementText().trimmed();
        } else if (sparkle && name == QLatin1String("shortVersionString")) {
            item.shortVersion = xml.readElementText().trimmed();
        } else if (!sparkle && name == QLatin1String("description")) {
            item.notes = xml.readElementText().trimmed();
        } else if (!sparkle && name == QLatin1String("enclosure")) {
            *hasEnclosure = true;
            const QXmlStreamAttributes attributes = xml.attributes();
            item.enclosure = QUrl(attributes.value(QLatin1String("url")).toString().trimmed(),
                                  QUrl::StrictMode);
            length = attributes.value(QLatin1String("length")).toString().trimmed();
            signature = attributes.value(QLatin1String(kSparkleNamespace), QLatin1String("edSignature"))
                            .toString()
                            .trimmed();
            enclosureVersion =
                attributes.value(QLatin1String(kSparkleNamespace), QLatin1String("version"))
                    .toString()
                    .trimmed();
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (!*hasEnclosure) {
        return std::nullopt;
    }
    if (item.version.isEmpty()) {
        item.version = enclosureVersion;
    }
    if (item.shortVersion.isEmpty()) {
        item.shortVersion = item.version;
    }
    bool lengthRead = false;
    item.length = length.toLongLong(&lengthRead);
    const auto decoded = QByteArray::fromBase64Encoding(signature.toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!soundVersion(item.version)) {
        *problem = QStringLiteral("a release has no version");
    } else if (!item.enclosure.isValid() || item.enclosure.scheme() != QLatin1String("https") ||
               item.enclosure.host().isEmpty()) {
        *problem = QStringLiteral("release %1 is not offered over https").arg(item.version);
    } else if (!lengthRead || item.length <= 0) {
        *problem = QStringLiteral("release %1 has no length").arg(item.version);
    } else if (!decoded || decoded.decoded.size() != kSignatureBytes) {
        *problem = QStringLiteral("release %1 has no sound signature").arg(item.version);
    } else {
        item.signature = decoded.decoded;
        return item;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Appcast> Appcast::parse(const QByteArray& document, QString* error) {
    QXmlStreamReader xml(document);
    Appcast appcast;
    QString problem;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("rss")) {
        problem = QStringLiteral("it is not an RSS feed");
    }
    bool channelSeen = false;
    while (problem.isEmpty() && xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("channel")) {
            xml.skipCurrentElement();
            continue;
        }
        channelSeen = true;
        while (problem.isEmpty() && xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("item")) {
                xml.skipCurrentElement();
                continue;
            }
            bool hasEnclosure = false;
            if (auto item = readItem(xml, &hasEnclosure, &problem)) {
                appcast.releases.push_back(std::move(*item));
            }
        }
    }
    if (problem.isEmpty() && xml.hasError()) {
        problem = xml.errorString();
    } else if (problem.isEmpty() && !channelSeen) {
        problem = QStringLiteral("it has no channel");
    }
    if (!problem.isEmpty()) {
        if (error) {
            *error = problem;
        }
        return std::nullopt;
    }
    return appcast;
}

std::optional<AppcastItem> Appcast::newestAfter(const QString& current) const {
    std::optional<AppcastItem> newest;
    for (const AppcastItem& item : releases) {
        if (compareVersions(item.version, current) > 0 &&
            (!newest || compareVersions(item.version, newest->version) > 0)) {
            newest = item;
        }
    }
    return newest;
}

int compareVersions(const QString& a, const QString& b) {
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qint64 l = leadingNumber(left.value(i));
        const qint64 r = leadingNumber(right.value(i));
        if (l != r) {
            return l < r ? -1 : 1;
        }
    }
    return 0;
}

}  // namespace tessora
