#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace tessora {

// Turns SIGINT and SIGTERM into a Qt signal on the main thread (the handler only writes a byte
// to a socket pair, which is all a signal handler may safely do). One instance at a time.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signal);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace tessora
