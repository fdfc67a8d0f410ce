// The updater against an https server of the test's own, trusted through an authority made
// for the run: offers, installs and the restart after it, and every refusal, each of which
// must leave nothing installed and nothing written.
#include "app/AppUpdater.h"
#include "app/PackageInstaller.h"
#include "app/UpdateWindow.h"
#include "platform/DefaultsStore.h"
#include "platform/sim/VirtualClock.h"
#include "tests/app/TestHttpsServer.h"
#include "workspace/SettingsKeys.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

namespace tessora {
namespace {

const QDateTime kNow = QDateTime::fromSecsSinceEpoch(1'750'000'000, Qt::UTC);

class FakeInstaller final : public PackageInstaller {
public:
    void installedFromPackage(std::function<void(bool)> answer) override { answer(fromPackage); }
    void install(const QString& path, Done done) override {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        installed << file.readAll();
        done({});
    }
    QString programPath() const override { return QStringLiteral("/usr/bin/tessora"); }

    bool fromPackage = true;
    QList<QByteArray> installed;
};

struct SigningKey {
    SigningKey() {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey, secretKey);
    }
    QByteArray sign(const QByteArray& data) const {
        QByteArray signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(data.constData()),
                             static_cast<unsigned long long>(data.size()), secretKey);
        return signature;
    }
    QByteArray publicKeyBytes() const {
        return QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey);
    }
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
};

struct Release {
    QString version;
    QByteArray signature;
    qint64 length;
    QString path = QStringLiteral("/tessora_0.10.0_amd64.deb");
};

class AppUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(authority.isValid()) << authority.error().toStdString();
        ASSERT_TRUE(server.isListening());
        server.route(QStringLiteral("/tessora_0.10.0_amd64.deb"), {200, package, {}, false});
    }

    AppUpdater& makeUpdater(bool trusted = true) {
        UpdateConfiguration configuration{server.url(QStringLiteral("/appcast.xml")),
                                          key.publicKeyBytes(),
                                          trusted ? authority.caFile() : QString()};
        updater = std::make_unique<AppUpdater>(
            configuration,
            UpdaterServices{clock, *defaults, installer, [] { return kNow; },
                            [this](const QString& program) { relaunched << program; },
                            downloads.path(), QStringLiteral("0.1.0")});
        updater->setIsArranging([this] { return busy; });
        return *updater;
    }

    void serveFeed(const QList<Release>& releases) {
        QByteArray items;
        for (const Release& release : releases) {
            items += QStringLiteral(
                         "<item><title>Tessora %1</title><sparkle:version>%1</sparkle:version>"
                         "<description><![CDATA[<ul><li>Faster &amp; calmer</li></ul>]]>"
                         "</description><enclosure url=\"%2\" length=\"%3\" "
                         "type=\"application/vnd.debian.binary-package\" "
                         "sparkle:edSignature=\"%4\"/></item>")
                         .arg(release.version, server.url(release.path).toString())
                         .arg(release.length)
                         .arg(QString::fromLatin1(release.signature.toBase64()))
                         .toUtf8();
        }
        serveFeedDocument(
            "<?xml version=\"1.0\"?><rss version=\"2.0\" "
            "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
            "<title>Tessora</title>" +
            items + "</channel></rss>");
    }
    void serveFeedDocument(const QByteArray& document) {
        server.route(QStringLiteral("/appcast.xml"), {200, document, {}, false});
    }
    Release goodRelease() const {
        return {QStringLiteral("0.10.0"), key.sign(package), package.size()};
    }

    // Runs the event loop until the updater has nothing under way.
    void settle() {
        QSignalSpy changes(updater.get(), &AppUpdater::stateChanged);
        while (updater->state() == AppUpdater::State::Checking ||
               updater->state() == AppUpdater::State::Downloading ||
               updater->state() == AppUpdater::State::Installing) {
            ASSERT_TRUE(changes.wait(20000)) << "the updater never finished";
        }
    }
    void checkAndInstall() {
        updater->checkForUpdates();
        settle();
        ASSERT_EQ(updater->state(), AppUpdater::State::Offering) << heading();
        emit updater->window()->installChosen();
        settle();
    }
    std::string heading() const {
        return updater->window() ? updater->window()->heading().toStdString() : std::string();
    }
    std::string message() const {
        return updater->window() ? updater->window()->text().toStdString() : std::string();
    }
    bool nothingWritten() const {
        return installer.installed.isEmpty() && QDir(downloads.path()).isEmpty();
    }

    VirtualClock clock;
    TestAuthority authority;
    TestHttpsServer server{authority};
    SigningKey key;
    QByteArray package = QByteArray("!<arch>\n") + QByteArray(200'000, 'p');
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    FakeInstaller installer;
    QTemporaryDir downloads;
    QStringList relaunched;
    bool busy = false;
    std::unique_ptr<AppUpdater> updater;
};

TEST_F(AppUpdaterTest, OffersTheNewestNewerReleaseInstallsItAndRestartsOnceNoArrangementRuns) {
    makeUpdater();
    Release older{QStringLiteral("0.9.9"), key.sign(package), package.size()};
    serveFeed({older, goodRelease(), {QStringLiteral("0.0.9"), key.sign(package), package.size()}});
    EXPECT_TRUE(updater->canCheck());
    updater->checkForUpdates();
    settle();
    ASSERT_EQ(updater->state(), AppUpdater::State::Offering);
    EXPECT_EQ(heading(), "Tessora 0.10.0 is available");
    EXPECT_EQ(updater->window()->notes(), QStringLiteral("Faster & calmer"));
    EXPECT_EQ(defaults->integerValue(keys::updateLastCheck), kNow.toSecsSinceEpoch());

    busy = true;
    emit updater->window()->installChosen();
    settle();
    ASSERT_EQ(installer.installed.size(), 1) << message();
    EXPECT_EQ(installer.installed.first(), package);
    EXPECT_EQ(updater->state(), AppUpdater::State::Relaunching);
    EXPECT_FALSE(updater->canCheck());

    // Not in the middle of an arrangement; as soon as it is over.
    EXPECT_FALSE(updater->shouldRelaunch());
    clock.advance(std::chrono::seconds(30));
    EXPECT_TRUE(relaunched.isEmpty());
    busy = false;
    EXPECT_TRUE(updater->shouldRelaunch());
    clock.advance(AppUpdater::kRelaunchRetry);
    EXPECT_EQ(relaunched, QStringList{QStringLiteral("/usr/bin/tessora")});
}

TEST_F(AppUpdaterTest, AProgramNotInstalledFromThePackageGetsTheVerifiedFileInDownloads) {
    makeUpdater();
    installer.fromPackage = false;
    serveFeed({goodRelease()});
    checkAndInstall();
    const QString saved = downloads.filePath(QStringLiteral("tessora_0.10.0_amd64.deb"));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << message();
    EXPECT_EQ(file.readAll(), package);
    EXPECT_NE(message().find("sudo apt install " + saved.toStdString()), std::string::npos);
    EXPECT_TRUE(installer.installed.isEmpty());
    clock.runUntilIdle();
    EXPECT_TRUE(relaunched.isEmpty());
}

TEST_F(AppUpdaterTest, RefusesUnsoundDownloadsAndWritesNothing) {
    makeUpdater();
    const SigningKey stranger;
    struct Case {
        const char* name;
        Release release;
        const char* expected;
    };
    const Case cases[] = {
        {"signed by another key", {"0.10.0", stranger.sign(package), package.size()}, "not signed"},
        {"signature of other bytes", {"0.10.0", key.sign(package + "x"), package.size()},
         "not signed"},
        {"announced longer", {"0.10.0", key.sign(package), package.size() + 1}, "incomplete"},
        {"announced shorter", {"0.10.0", key.sign(package), package.size() - 1}, "more data"},
        {"missing on the server",
         {"0.10.0", key.sign(package), package.size(), QStringLiteral("/gone.deb")},
         "HTTP 404"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serveFeed({c.release});
        checkAndInstall();
        EXPECT_EQ(heading(), "The update was not installed");
        EXPECT_NE(message().find(c.expected), std::string::npos) << message();
        EXPECT_EQ(updater->state(), AppUpdater::State::Idle);
        EXPECT_TRUE(nothingWritten());
    }
    clock.runUntilIdle();
    EXPECT_TRUE(relaunched.isEmpty());
}

TEST_F(AppUpdaterTest, RefusesUnsoundFeedsInWordsAUserUnderstands) {
    struct Case {
        const char* name;
        std::function<void()> serve;
        bool trusted;
        const char* expected;
    };
    const QByteArray oversized = "<rss><!--" + QByteArray(AppUpdater::kMaxFeedBytes, ' ') + "-->";
    const Case cases[] = {
        {"malformed", [&] { serveFeedDocument("<rss><channel><item><enclosure"); }, true,
         "could not be read"},
        {"not RSS", [&] { serveFeedDocument("{\"version\": \"9.0\"}"); }, true, "could not be read"},
        {"oversized", [&] { serveFeedDocument(oversized); }, true, "more data"},
        {"redirected to http",
         [&] {
             QUrl plain = server.url(QStringLiteral("/appcast.xml"));
             plain.setScheme(QStringLiteral("http"));
             server.route(QStringLiteral("/appcast.xml"), {302, {}, plain.toEncoded(), false});
         },
         true, "not secure"},
        {"served by a stranger", [&] { serveFeed({goodRelease()}); }, false,
         "could not be verified"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.serve();
        makeUpdater(c.trusted);
        updater->checkForUpdates();
        settle();
        EXPECT_EQ(heading(), "Tessora could not check for updates");
        EXPECT_NE(message().find(c.expected), std::string::npos) << message();
        EXPECT_EQ(updater->state(), AppUpdater::State::Idle);
        EXPECT_TRUE(updater->canCheck());
        EXPECT_TRUE(nothingWritten());
    }
}

TEST_F(AppUpdaterTest, OnlyOlderOrEqualReleasesMeanUpToDate) {
    makeUpdater();
    serveFeed({{QStringLiteral("0.1.0"), key.sign(package), package.size()},
               {QStringLiteral("0.0.9"), key.sign(package), package.size()}});
    updater->checkForUpdates();
    settle();
    EXPECT_EQ(heading(), "You're up to date");
    EXPECT_TRUE(nothingWritten());
}

TEST_F(AppUpdaterTest, AServerThatNeverAnswersTimesOutOnTheClock) {
    makeUpdater();
    server.route(QStringLiteral("/appcast.xml"), {200, {}, {}, true});
    QSignalSpy requests(&server, &TestHttpsServer::requestReceived);
    updater->checkForUpdates();
    ASSERT_TRUE(requests.wait(20000));
    EXPECT_EQ(updater->state(), AppUpdater::State::Checking);
    clock.advance(AppUpdater::kFeedTimeout);
    EXPECT_EQ(updater->state(), AppUpdater::State::Idle);
    EXPECT_NE(message().find("did not answer in time"), std::string::npos) << message();
}

TEST_F(AppUpdaterTest, NoCheckWhileArranging) {
    makeUpdater();
    serveFeed({goodRelease()});
    busy = true;
    updater->checkForUpdates();
    EXPECT_EQ(updater->state(), AppUpdater::State::Idle);
    EXPECT_EQ(updater->window(), nullptr);
}

TEST_F(AppUpdaterTest, DailyChecksOnlyAfterTheUserAgreedAndSkippedVersionsStayQuiet) {
    serveFeed({goodRelease()});
    // First start: nothing asked, nothing checked.
    makeUpdater().start();
    EXPECT_EQ(updater->window(), nullptr);
    clock.advance(std::chrono::hours(48));
    EXPECT_EQ(server.requests(), 0);

    // Second start: asked; yes plans a check soon, as the last one is long ago.
    makeUpdater().start();
    ASSERT_NE(updater->window(), nullptr);
    EXPECT_EQ(heading(), "Check for updates automatically?");
    emit updater->window()->automaticChecksAnswered(true);
    EXPECT_EQ(defaults->boolValue(keys::updateAutomaticChecks), true);
    clock.advance(std::chrono::minutes(1));
    settle();
    EXPECT_EQ(updater->state(), AppUpdater::State::Offering);
    emit updater->window()->skipChosen();
    EXPECT_EQ(defaults->textValue(keys::updateSkippedVersion), QStringLiteral("0.10.0"));

    // The next day's check passes over the skipped release; asking still shows it.
    updater->window()->hide();
    clock.advance(AppUpdater::kCheckInterval);
    settle();
    EXPECT_EQ(server.requests(), 2);
    EXPECT_EQ(updater->state(), AppUpdater::State::Idle);
    EXPECT_FALSE(updater->window()->isVisible());
    updater->checkForUpdates();
    settle();
    EXPECT_EQ(updater->state(), AppUpdater::State::Offering);
}

}  // namespace
}  // namespace tessora
