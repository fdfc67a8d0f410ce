#include "platform/Screens.h"

namespace tessora {

std::optional<Screen> screenContaining(const QList<Screen>& screens, QPointF location) {
    for (const Screen& screen : screens) {
        if (screen.frame.contains(location)) {
            return screen;
        }
    }
    return std::nullopt;
}

std::optional<Screen> screenAt(const QList<Screen>& screens, std::optional<QPointF> location) {
    if (screens.isEmpty()) {
        return std::nullopt;
    }
    return (location ? screenContaining(screens, *location) : std::nullopt)
        .value_or(screens.front());
}

std::optional<double> primaryHeight(const QList<Screen>& screens) {
    if (screens.isEmpty()) {
        return std::nullopt;
    }
    return screens.front().frame.maxY();
}

}  // namespace tessora
