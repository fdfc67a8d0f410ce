#include "app/LocalKeyMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace tessora {

LocalKeyMonitor::LocalKeyMonitor(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)) {}

LocalKeyMonitor::~LocalKeyMonitor() {
    remove();
}

void LocalKeyMonitor::install() {
    if (m_installed) {
        return;
    }
    // On the application, so that every window's keys pass by, whichever has the focus.
    QCoreApplication::instance()->installEventFilter(this);
    m_installed = true;
}

void LocalKeyMonitor::remove() {
    if (!m_installed) {
        return;
    }
    QCoreApplication::instance()->removeEventFilter(this);
    m_installed = false;
}

bool LocalKeyMonitor::eventFilter(QObject* watched, QEvent* event) {
    // A press reaches the window first, then the focused widget and, unless taken, its parents:
    // the handler may see one press more than once, up to the moment it takes it.
    if (event->type() == QEvent::KeyPress && (qobject_cast<QWindow*>(watched) != nullptr ||
                                              qobject_cast<QWidget*>(watched) != nullptr)) {
        return m_handler(*static_cast<QKeyEvent*>(event));
    }
    return false;
}

}  // namespace tessora
