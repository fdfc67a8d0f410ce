#include "app/ShownRefresh.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

namespace tessora {

ShownRefresh::ShownRefresh(QWidget& widget, Clock& clock, std::function<void()> read)
    : QObject(&widget), m_widget(widget), m_clock(clock), m_read(std::move(read)) {
    m_widget.installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && m_widget.isVisible()) {
                    m_read();
                }
            });
    if (m_widget.isVisible()) {
        start();
    }
}

ShownRefresh::~ShownRefresh() {
    stop();
}

bool ShownRefresh::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_widget) {
        if (event->type() == QEvent::Show) {
            start();
        } else if (event->type() == QEvent::Hide) {
            stop();
        }
    }
    return false;
}

void ShownRefresh::start() {
    if (m_timer != 0) {
        return;
    }
    m_read();
    m_timer = m_clock.schedule(interval, [this] { tick(); });
}

void ShownRefresh::stop() {
    m_clock.cancel(std::exchange(m_timer, 0));
}

void ShownRefresh::tick() {
    m_timer = m_clock.schedule(interval, [this] { tick(); });
    m_read();
}

}  // namespace tessora
