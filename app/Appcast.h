#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

namespace tessora {

// One release as the update feed lists it.
struct AppcastItem {
    QString version;       // compared numerically, "1.10" after "1.9"
    QString shortVersion;  // shown to the user; the version when the feed gives none
    QString notes;         // release notes as the feed has them (often HTML)
    QUrl enclosure;        // https
    qint64 length = 0;     // bytes, more than zero
    QByteArray signature;  // Ed25519, 64 bytes, over the whole enclosure
};

// The feed: an RSS document whose items carry the release in the well-known form
//   <item><sparkle:version>…</sparkle:version><description>notes</description>
//     <enclosure url="https://…" length="…" sparkle:edSignature="base64"/></item>
// (the version may also sit on the enclosure as sparkle:version). Items without an enclosure
// are news, not releases, and are passed over; a release with a missing or unsound version,
// address, length or signature makes the whole feed unreadable, as does anything that is not
// well-formed RSS.
struct Appcast {
    std::vector<AppcastItem> releases;

    static std::optional<Appcast> parse(const QByteArray& document, QString* error);
    // The newest release newer than `current`; none when there is none.
    std::optional<AppcastItem> newestAfter(const QString& current) const;
};

// Numeric comparison of dotted versions: negative, zero or positive as `a` is older than,
// the same as, or newer than `b`. Missing parts count as 0 ("1.2" == "1.2.0"); a part's
// leading digits count, the rest is ignored ("2rc1" is 2).
int compareVersions(const QString& a, const QString& b);

}  // namespace tessora
