#include "launcher/LayoutFilter.h"

namespace tessora {

QList<WindowLayout> filteredLayouts(const QString& layoutQuery) {
    const QString query = layoutQuery.trimmed();
    if (query.isEmpty()) {
        return builtInLayouts();
    }
    QList<WindowLayout> matching;
    for (const WindowLayout& layout : builtInLayouts()) {
        if (matchesLayoutQuery(layout, query)) {
            matching.append(layout);
        }
    }
    return matching;
}

}  // namespace tessora
