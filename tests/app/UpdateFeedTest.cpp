// Which build configurations make an updater, and how the feed is read.
#include "app/Appcast.h"
#include "app/UpdateConfiguration.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

const QString kKey = QString::fromLatin1(QByteArray(32, 'k').toBase64());

TEST(UpdateConfiguration, OnlyAnHttpsFeedWithAHostAndA32ByteKeyMakeAnUpdater) {
    EXPECT_TRUE(UpdateConfiguration::fromValues("https://updates.example.org/appcast.xml", kKey));
    EXPECT_FALSE(UpdateConfiguration::fromValues("", ""));
    EXPECT_FALSE(UpdateConfiguration::fromValues("http://updates.example.org/appcast.xml", kKey));
    EXPECT_FALSE(UpdateConfiguration::fromValues("ftp://updates.example.org/appcast.xml", kKey));
    EXPECT_FALSE(UpdateConfiguration::fromValues("https:///appcast.xml", kKey));
    EXPECT_FALSE(UpdateConfiguration::fromValues("https://updates.example.org/", ""));
    for (int size : {31, 33}) {
        EXPECT_FALSE(UpdateConfiguration::fromValues(
            "https://updates.example.org/", QString::fromLatin1(QByteArray(size, 'k').toBase64())));
    }
    EXPECT_FALSE(UpdateConfiguration::fromValues("https://updates.example.org/", "not*base64!"));
    EXPECT_EQ(UpdateConfiguration::problemWith("http://x.org/a", kKey),
              "the update feed must be an https address with a host, not \"http://x.org/a\"");
}

TEST(UpdateFeed, VersionsCompareNumerically) {
    EXPECT_GT(compareVersions("0.10.0", "0.9.9"), 0);
    EXPECT_LT(compareVersions("1.9", "1.10"), 0);
    EXPECT_EQ(compareVersions("1.2", "1.2.0"), 0);
    EXPECT_GT(compareVersions("2rc1", "1.99"), 0);
}

TEST(UpdateFeed, NewsItemsArePassedOverAndAnIncompleteReleaseSpoilsTheFeed) {
    const QByteArray signature = QByteArray(64, 's').toBase64();
    const QByteArray head =
        "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
        "<item><title>We moved</title></item>";
    const auto release = [&](const QByteArray& version, const QByteArray& url,
                             const QByteArray& length, const QByteArray& sig) {
        return "<item><enclosure url=\"" + url + "\" length=\"" + length +
               "\" sparkle:version=\"" + version + "\" sparkle:edSignature=\"" + sig +
               "\"/></item>";
    };
    QString error;
    const auto good = Appcast::parse(
        head + release("1.2", "https://x.org/a.deb", "10", signature) + "</channel></rss>", &error);
    ASSERT_TRUE(good) << error.toStdString();
    ASSERT_EQ(good->releases.size(), 1u);
    EXPECT_EQ(good->releases[0].shortVersion, "1.2");
    EXPECT_FALSE(good->newestAfter("1.2"));

    for (const QByteArray& bad :
         {release("1.2", "http://x.org/a.deb", "10", signature),
          release("1.2", "https://x.org/a.deb", "-1", signature),
          release("1.2", "https://x.org/a.deb", "10", QByteArray(63, 's').toBase64()),
          release("", "https://x.org/a.deb", "10", signature)}) {
        EXPECT_FALSE(Appcast::parse(head + bad + "</channel></rss>", &error)) << bad.data();
    }
}

}  // namespace
}  // namespace tessora
