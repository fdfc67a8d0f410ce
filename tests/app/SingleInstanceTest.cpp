// One resident instance per session, on a D-Bus daemon of the test's own.
#include "app/SingleInstance.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <atomic>

namespace tessora {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            GTEST_SKIP() << "dbus-daemon is not installed";
        }
        m_daemon.setStandardErrorFile(QProcess::nullDevice());
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        while (!m_daemon.canReadLine()) {
            ASSERT_TRUE(m_daemon.waitForReadyRead(20000)) << "dbus-daemon did not start";
        }
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }

    void TearDown() override {
        for (const QString& name : m_connections) {
            QDBusConnection::disconnectFromBus(name);
        }
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    // A client of its own on the test's bus, as another process would be.
    QDBusConnection client(const QString& name) {
        m_connections << name;
        return QDBusConnection::connectToBus(m_address, name);
    }

    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

TEST_F(SingleInstanceTest, ALaterStartAsksTheRunningInstanceToShowItsLauncher) {
    // The running instance answers from a thread of its own, since the later start waits for
    // the answer.
    QThread running;
    running.start();
    std::atomic<int> shown = 0;
    auto* first = new SingleInstance(client("first"));
    first->setShowPanel([&shown] { ++shown; });
    ASSERT_EQ(first->claim(), SingleInstance::Outcome::Primary);
    first->moveToThread(&running);

    SingleInstance later(client("later"));
    EXPECT_EQ(later.claim(), SingleInstance::Outcome::Forwarded);
    EXPECT_EQ(shown, 1);

    QMetaObject::invokeMethod(
        first, [first] { delete first; }, Qt::BlockingQueuedConnection);
    running.quit();
    running.wait();
    // Once it has gone, the name is free again.
    SingleInstance next(client("next"));
    EXPECT_EQ(next.claim(), SingleInstance::Outcome::Primary);
}

TEST_F(SingleInstanceTest, AHolderThatDoesNotAnswerIsReportedAndABusThatIsNotThereIsNoObstacle) {
    QDBusConnection squatter = client("squatter");
    ASSERT_TRUE(squatter.registerService(QString::fromLatin1(SingleInstance::serviceName)));
    SingleInstance later(client("later"));
    EXPECT_EQ(later.claim(), SingleInstance::Outcome::Unanswered);
    EXPECT_FALSE(later.error().isEmpty());

    SingleInstance alone(QDBusConnection(QStringLiteral("no such connection")));
    EXPECT_EQ(alone.claim(), SingleInstance::Outcome::NoBus);
}

}  // namespace
}  // namespace tessora
