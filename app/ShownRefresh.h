#pragma once

#include "core/Clock.h"

#include <QObject>
#include <functional>

class QWidget;

namespace tessora {

// Keeps a view's reading of outside state (window control, the login item) fresh: `read` runs
// when the widget is shown, every second while it stays shown, and whenever the application
// becomes active. While the widget is hidden nothing is scheduled, so a closed window never
// wakes the process. The clock is injected, so tests run the seconds on a virtual clock.
class ShownRefresh final : public QObject {
    Q_OBJECT

public:
    static constexpr Clock::Duration interval = std::chrono::seconds(1);

    ShownRefresh(QWidget& widget, Clock& clock, std::function<void()> read);
    ~ShownRefresh() override;

    // Whether a re-read is scheduled.
    bool ticking() const { return m_timer != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();
    void stop();
    void tick();

    QWidget& m_widget;
    Clock& m_clock;
    std::function<void()> m_read;
    Clock::TimerId m_timer = 0;
};

}  // namespace tessora
