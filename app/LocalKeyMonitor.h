#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;

namespace tessora {

// Sees every key press typed into the application's own windows, before the window or widget
// it is meant for, while installed. The handler takes a press by returning true (nobody else
// gets it) or lets it pass on with false. Removed when destroyed.
class LocalKeyMonitor final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<bool(const QKeyEvent& key)>;

    explicit LocalKeyMonitor(Handler handler, QObject* parent = nullptr);
    ~LocalKeyMonitor() override;

    void install();
    void remove();
    bool installed() const { return m_installed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_handler;
    bool m_installed = false;
};

}  // namespace tessora
