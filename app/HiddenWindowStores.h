#pragma once

#include <QObject>

namespace tessora {

// Lets go of the backing store of every top-level window of ours once it is hidden. Qt keeps a
// window's backing store (on X11, a shared-memory image the size of the window: 1.2 MB for the
// launcher panel) for as long as the window exists, shown or not; a resident program hides its
// windows far more than it shows them. The store is made again, at the window's size, when the
// window is next painted, which a window being shown is anyway.
//
// Installed on the application, it sees every hide event; hiding by the window system
// (minimising) keeps the store, since the window stays open for Qt.
class HiddenWindowStores final : public QObject {
    Q_OBJECT

public:
    explicit HiddenWindowStores(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tessora
