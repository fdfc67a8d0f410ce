#pragma once

#include <QPoint>
#include <QWidget>
#include <optional>

namespace tessora {

// Where one of our own windows was asked to be, asked again (a few times) when the window
// manager maps it elsewhere: fluxbox puts a new small window in the screen's corner, and kwin
// brings a window shown again back where it last was.
class KeptPlace {
public:
    void ask(QWidget& window, const QRect& geometry) {
        m_wanted = geometry.topLeft();
        m_askedAgain = 0;
        window.setGeometry(geometry);
    }
    void ask(QWidget& window, const QPoint& position) {
        m_wanted = position;
        m_askedAgain = 0;
        window.move(position);
    }
    // The user moved the window: it stays where they put it until it is placed again.
    void letGo() { m_wanted.reset(); }
    // The window is being shown: where the window manager maps it is asked about afresh.
    void showing() { m_askedAgain = 0; }
    // From the window's move event.
    void moved(QWidget& window) {
        constexpr int kMostRequests = 3;
        if (window.isVisible() && m_wanted && window.pos() != *m_wanted &&
            m_askedAgain < kMostRequests) {
            ++m_askedAgain;
            window.move(*m_wanted);
        }
    }

private:
    std::optional<QPoint> m_wanted;
    int m_askedAgain = 0;
};

}  // namespace tessora
