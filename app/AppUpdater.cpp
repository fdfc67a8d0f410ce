#include "app/AppUpdater.h"

#include "app/HttpsFetch.h"
#include "app/PackageInstaller.h"
#include "app/UpdateSignature.h"
#include "app/UpdateWindow.h"
#include "platform/DefaultsStore.h"
#include "workspace/SettingsKeys.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QRegularExpression>
#include <QSaveFile>

namespace tessora {

namespace {

Q_LOGGING_CATEGORY(lcUpdates, "tessora.updates")

const QString kCannotCheck = QStringLiteral("Tessora could not check for updates");
const QString kCannotInstall = QStringLiteral("The update was not installed");

// The automatic check waits this long after start-up, out of the way of the first scan.
constexpr std::chrono::seconds kFirstAutomaticDelay = std::chrono::minutes(1);

bool writeFile(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

}  // namespace

AppUpdater::AppUpdater(UpdateConfiguration configuration, UpdaterServices services,
                       QObject* parent)
    : QObject(parent),
      m_configuration(std::move(configuration)),
      m_services(std::move(services)),
      m_network(std::make_unique<QNetworkAccessManager>()) {}

AppUpdater::~AppUpdater() {
    m_fetch.reset();
    m_services.clock.cancel(m_relaunchTimer);
    m_services.clock.cancel(m_automaticTimer);
}

bool AppUpdater::canCheck() const {
    return m_state == State::Idle || m_state == State::Offering;
}

void AppUpdater::checkForUpdates() {
    if (canCheck() && !m_isArranging()) {
        check(true);
    }
}

void AppUpdater::setIsArranging(std::function<bool()> isArranging) {
    m_isArranging = isArranging ? std::move(isArranging) : [] { return false; };
}

void AppUpdater::setState(State state) {
    if (m_state != state) {
        m_state = state;
        emit stateChanged(state);
    }
}

UpdateWindow& AppUpdater::showWindow() {
    if (!m_window) {
        m_window = std::make_unique<UpdateWindow>();
        connect(m_window.get(), &UpdateWindow::installChosen, this, &AppUpdater::install);
        connect(m_window.get(), &UpdateWindow::remindLaterChosen, this, [this] {
            m_offer.reset();
            m_window->hide();
            setState(State::Idle);
        });
        connect(m_window.get(), &UpdateWindow::skipChosen, this, [this] {
            if (m_offer) {
                m_services.defaults.setText(keys::updateSkippedVersion, m_offer->version);
            }
            m_offer.reset();
            m_window->hide();
            setState(State::Idle);
        });
        connect(m_window.get(), &UpdateWindow::automaticChecksAnswered, this, [this](bool yes) {
            m_services.defaults.setBool(keys::updateAutomaticChecks, yes);
            m_window->hide();
            planAutomaticCheck();
        });
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return *m_window;
}

void AppUpdater::check(bool asked) {
    m_offer.reset();
    setState(State::Checking);
    if (asked) {
        showWindow().showChecking();
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!m_configuration.extraCaFile.isEmpty() &&
        !HttpsFetch::trustExtraAuthorities(tls, m_configuration.extraCaFile)) {
        qCWarning(lcUpdates) << "no certificates in" << m_configuration.extraCaFile;
    }
    m_fetch = std::make_unique<HttpsFetch>(*m_network, m_services.clock, tls,
                                           m_configuration.feed, kMaxFeedBytes, kFeedTimeout);
    connect(m_fetch.get(), &HttpsFetch::finished, this,
            [this, asked](const QByteArray& body, const QString& error) {
                feedArrived(body, error, asked);
            });
}

// A fetch finishes from inside its own signal: it goes once that has returned, and with the
// updater at the latest.
void AppUpdater::dropFetch() {
    HttpsFetch* fetch = m_fetch.release();
    fetch->setParent(this);
    fetch->deleteLater();
}

void AppUpdater::feedArrived(const QByteArray& body, const QString& error, bool asked) {
    dropFetch();
    m_services.defaults.setInteger(keys::updateLastCheck,
                                   m_services.wallTime().toSecsSinceEpoch());
    QString problem = error;
    std::optional<Appcast> appcast;
    if (problem.isEmpty()) {
        QString why;
        appcast = Appcast::parse(body, &why);
        if (!appcast) {
            qCWarning(lcUpdates) << "unreadable update feed:" << why;
            problem = QStringLiteral("The update information from the server could not be read.");
        }
    }
    if (!problem.isEmpty()) {
        qCInfo(lcUpdates) << "update check failed:" << problem;
        setState(State::Idle);
        if (asked) {
            fail(kCannotCheck, problem);
        }
        planAutomaticCheck();
        return;
    }
    m_offer = appcast->newestAfter(m_services.currentVersion);
    const bool skipped =
        m_offer && m_services.defaults.textValue(keys::updateSkippedVersion) == m_offer->version;
    if (!m_offer || (skipped && !asked)) {
        m_offer.reset();
        setState(State::Idle);
        if (asked) {
            showWindow().showUpToDate(m_services.currentVersion);
        }
        planAutomaticCheck();
        return;
    }
    setState(State::Offering);
    showWindow().showOffer(m_offer->shortVersion, m_services.currentVersion, m_offer->notes);
    planAutomaticCheck();
}

void AppUpdater::install() {
    if (m_state != State::Offering || !m_offer) {
        return;
    }
    // The offer was newer when it was made; a feed is never trusted to take us back.
    if (compareVersions(m_offer->version, m_services.currentVersion) <= 0) {
        fail(kCannotInstall, QStringLiteral("Tessora %1 is not newer than this version.")
                                 .arg(m_offer->shortVersion));
        return;
    }
    setState(State::Downloading);
    UpdateWindow& window = showWindow();
    window.showProgress(0, m_offer->length);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!m_configuration.extraCaFile.isEmpty()) {
        HttpsFetch::trustExtraAuthorities(tls, m_configuration.extraCaFile);
    }
    m_fetch = std::make_unique<HttpsFetch>(*m_network, m_services.clock, tls, m_offer->enclosure,
                                           m_offer->length, kDownloadTimeout);
    connect(m_fetch.get(), &HttpsFetch::progress, &window,
            [this, &window](qint64 received, qint64) {
                window.showProgress(received, m_offer ? m_offer->length : 0);
            });
    connect(m_fetch.get(), &HttpsFetch::finished, this, &AppUpdater::enclosureArrived);
}

void AppUpdater::enclosureArrived(const QByteArray& body, const QString& error) {
    dropFetch();
    if (!error.isEmpty()) {
        fail(kCannotInstall, error);
        return;
    }
    if (body.size() != m_offer->length) {
        fail(kCannotInstall, QStringLiteral("The download is incomplete or damaged: it does not "
                                            "have the size the update server announced."));
        return;
    }
    if (!verifyUpdateSignature(body, m_offer->signature, m_configuration.publicKey)) {
        fail(kCannotInstall, QStringLiteral("The download is not signed by Tessora's makers, so "
                                            "it may have been tampered with."));
        return;
    }
    setState(State::Installing);
    m_services.installer.installedFromPackage(
        [self = QPointer<AppUpdater>(this), body](bool fromPackage) {
            if (self) {
                self->installVerified(body, fromPackage);
            }
        });
}

void AppUpdater::installVerified(const QByteArray& package, bool fromPackage) {
    if (!fromPackage) {
        saveToDownloads(package);
        return;
    }
    m_packageFolder = std::make_unique<QTemporaryDir>();
    const QString path = m_packageFolder->filePath(packageFileName());
    if (!m_packageFolder->isValid() || !writeFile(path, package)) {
        fail(kCannotInstall, QStringLiteral("The download could not be stored for installing."));
        return;
    }
    // apt reads the file as its own unprivileged user.
    QFile::setPermissions(m_packageFolder->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther);
    m_services.installer.install(path, [self = QPointer<AppUpdater>(this)](const QString& error) {
        if (!self) {
            return;
        }
        self->m_packageFolder.reset();
        if (!error.isEmpty()) {
            self->fail(kCannotInstall, error);
            return;
        }
        const QString version = self->m_offer ? self->m_offer->shortVersion : QString();
        self->setState(State::Relaunching);
        self->showWindow().showMessage(
            QStringLiteral("Tessora %1 is installed").arg(version),
            QStringLiteral("Tessora restarts into the new version as soon as no arrangement "
                           "is running."));
        self->relaunchWhenIdle();
    });
}

void AppUpdater::saveToDownloads(const QByteArray& package) {
    const QString path = QDir(m_services.downloadFolder).filePath(packageFileName());
    if (!QDir().mkpath(m_services.downloadFolder) || !writeFile(path, package)) {
        fail(kCannotInstall, QStringLiteral("The download could not be saved to %1.")
                                 .arg(m_services.downloadFolder));
        return;
    }
    const QString version = m_offer->shortVersion;
    m_offer.reset();
    setState(State::Idle);
    showWindow().showMessage(
        QStringLiteral("Tessora %1 is downloaded").arg(version),
        QStringLiteral("This copy of Tessora was not installed from its package, so it cannot "
                       "replace itself. The signed package is saved as %1; install it with "
                       "\"sudo apt install %1\" and start Tessora again.")
            .arg(path));
}

void AppUpdater::fail(const QString& heading, const QString& text) {
    m_offer.reset();
    setState(State::Idle);
    showWindow().showMessage(heading, text);
}

void AppUpdater::relaunchWhenIdle() {
    m_relaunchTimer = 0;
    if (!shouldRelaunch()) {
        m_relaunchTimer =
            m_services.clock.schedule(kRelaunchRetry, [this] { relaunchWhenIdle(); });
        return;
    }
    m_services.relaunch(m_services.installer.programPath());
}

QString AppUpdater::packageFileName() const {
    QString name = m_offer ? m_offer->enclosure.fileName() : QString();
    name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9._+~-]")));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) {
        name = QStringLiteral("tessora_%1.deb").arg(m_offer ? m_offer->version : QString());
    }
    return name;
}

void AppUpdater::start() {
    const qint64 starts = m_services.defaults.integerValue(keys::updateStarts).value_or(0);
    if (starts < 2) {
        m_services.defaults.setInteger(keys::updateStarts, starts + 1);
    }
    const std::optional<bool> automatic =
        m_services.defaults.boolValue(keys::updateAutomaticChecks);
    if (!automatic && starts + 1 >= 2) {
        showWindow().askAboutAutomaticChecks();
    }
    planAutomaticCheck();
}

void AppUpdater::planAutomaticCheck() {
    m_services.clock.cancel(m_automaticTimer);
    m_automaticTimer = 0;
    if (m_services.defaults.boolValue(keys::updateAutomaticChecks) != true) {
        return;
    }
    const qint64 last = m_services.defaults.integerValue(keys::updateLastCheck).value_or(0);
    const qint64 now = m_services.wallTime().toSecsSinceEpoch();
    // A last check "in the future" (the clock was set back) counts as long ago.
    const qint64 wait = last > now ? 0 : last + kCheckInterval.count() - now;
    const auto delay = std::max<std::chrono::seconds>(std::chrono::seconds(wait), kFirstAutomaticDelay);
    m_automaticTimer = m_services.clock.schedule(delay, [this] { automaticCheckDue(); });
}

void AppUpdater::automaticCheckDue() {
    m_automaticTimer = 0;
    if (m_state != State::Idle || m_isArranging()) {
        m_automaticTimer = m_services.clock.schedule(std::chrono::minutes(10),
                                                     [this] { automaticCheckDue(); });
        return;
    }
    check(false);
}

}  // namespace tessora
