#pragma once

#include "app/Appcast.h"
#include "app/UpdateConfiguration.h"
#include "app/Updater.h"
#include "core/Clock.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace tessora {

class DefaultsStore;
class HttpsFetch;
class PackageInstaller;
class UpdateWindow;

// What the updater works with besides its configuration.
struct UpdaterServices {
    Clock& clock;
    DefaultsStore& defaults;
    PackageInstaller& installer;
    std::function<QDateTime()> wallTime;                 // for the daily check across starts
    std::function<void(const QString& program)> relaunch;  // replaces this process
    QString downloadFolder;  // where a package goes when it cannot be installed from here
    QString currentVersion = QStringLiteral(TESSORA_VERSION);
};

// The updater of a build configured for signed updates. A check fetches the feed and offers
// the newest release newer than this one in a small window; installing downloads it, checks
// its length and Ed25519 signature before anything else, then installs it through the
// system's authorisation prompt (or, for a program not installed from our package, saves it
// to the download folder). Afterwards the program restarts into the new version as soon as no
// arrangement runs. Daily checks run only once the user has agreed to them; they are asked on
// the second start. Main thread only.
class AppUpdater final : public QObject, public Updater {
    Q_OBJECT

public:
    enum class State { Idle, Checking, Offering, Downloading, Installing, Relaunching };

    static constexpr qint64 kMaxFeedBytes = 1024 * 1024;
    static constexpr Clock::Duration kFeedTimeout = std::chrono::seconds(30);
    static constexpr Clock::Duration kDownloadTimeout = std::chrono::minutes(15);
    static constexpr Clock::Duration kRelaunchRetry = std::chrono::seconds(1);
    static constexpr std::chrono::seconds kCheckInterval = std::chrono::hours(24);

    AppUpdater(UpdateConfiguration configuration, UpdaterServices services,
               QObject* parent = nullptr);
    ~AppUpdater() override;

    bool canCheck() const override;
    void checkForUpdates() override;
    void setIsArranging(std::function<bool()> isArranging) override;
    // No while an arrangement runs: a restart then would leave its windows half placed.
    bool shouldRelaunch() const { return !m_isArranging(); }

    // Counts the start, asks about automatic checks on the second one and plans the next
    // automatic check when they are on.
    void start();

    State state() const { return m_state; }
    UpdateWindow* window() const { return m_window.get(); }

signals:
    void stateChanged(tessora::AppUpdater::State state);

private:
    void setState(State state);
    UpdateWindow& showWindow();
    void check(bool asked);
    void dropFetch();
    void feedArrived(const QByteArray& body, const QString& error, bool asked);
    void install();
    void enclosureArrived(const QByteArray& body, const QString& error);
    void installVerified(const QByteArray& package, bool fromPackage);
    void saveToDownloads(const QByteArray& package);
    void fail(const QString& heading, const QString& text);
    void relaunchWhenIdle();
    void planAutomaticCheck();
    void automaticCheckDue();
    QString packageFileName() const;

    UpdateConfiguration m_configuration;
    UpdaterServices m_services;
    std::function<bool()> m_isArranging = [] { return false; };
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<HttpsFetch> m_fetch;
    std::unique_ptr<UpdateWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_packageFolder;
    std::optional<AppcastItem> m_offer;
    State m_state = State::Idle;
    Clock::TimerId m_relaunchTimer = 0;
    Clock::TimerId m_automaticTimer = 0;
};

}  // namespace tessora
