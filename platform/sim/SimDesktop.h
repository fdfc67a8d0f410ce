#pragma once

#include "platform/Desktop.h"

namespace tessora {

// A scripted desktop: tests say which applications run, and can see how often the logic asked.
class SimDesktop final : public Desktop {
public:
    QList<RunningApplication> runningApplications() const override {
        ++queries_;
        return running_;
    }

    void setRunning(QList<RunningApplication> running) { running_ = std::move(running); }
    void launch(RunningApplication app) { running_.append(std::move(app)); }
    void quit(const QString& id) {
        running_.removeIf([&](const RunningApplication& app) { return app.id == id; });
    }
    int queries() const { return queries_; }

private:
    QList<RunningApplication> running_;
    mutable int queries_ = 0;
};

}  // namespace tessora
