#pragma once

#include <QObject>

namespace tessora {

// The launcher panel's three notifications, posted by the application shell and observed by
// the launcher view. One instance, owned by the shell and handed to both.
class PanelNotifier : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // The panel has been made key and ordered front (posted on the next turn of the event loop).
    void casementPanelShown();
    // A visible panel was ordered out and the model's selection has been reset.
    void casementPanelHidden();
    // The status menu closed while the panel was visible; the panel has the focus again.
    void casementPanelRefocus();
};

}  // namespace tessora
