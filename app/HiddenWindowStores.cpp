#include "app/HiddenWindowStores.h"

#include <QBackingStore>
#include <QEvent>
#include <QWidget>

namespace tessora {

HiddenWindowStores::HiddenWindowStores(QObject* parent) : QObject(parent) {}

bool HiddenWindowStores::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && !event->spontaneous() && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && !widget->isVisible()) {
            // An empty store gives its image back; the next paint sees the size differ from
            // the window's and repaints the whole window into a new one.
            if (QBackingStore* store = widget->backingStore(); store && !store->size().isEmpty()) {
                store->resize(QSize(0, 0));
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tessora
