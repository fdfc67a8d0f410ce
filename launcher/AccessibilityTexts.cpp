#include "launcher/AccessibilityTexts.h"

namespace tessora {

QString resultAccessibleText(const InstalledApp& app, std::optional<qsizetype> position) {
    if (position) {
        return app.name + QStringLiteral(", selected, position ") + QString::number(*position + 1);
    }
    return app.name + QStringLiteral(", not selected");
}

QString recentAccessibleText(const InstalledApp& app, std::optional<qsizetype> position) {
    return QStringLiteral("Recent: ") + resultAccessibleText(app, position);
}

QString chipAccessibleText(const InstalledApp& app) {
    return QStringLiteral("Remove ") + app.name;
}

QString moreSelectedAccessibleText(qsizetype more) {
    return QString::number(more) + (more == 1 ? QStringLiteral(" more selected app")
                                              : QStringLiteral(" more selected apps"));
}

QString layoutAccessibleText(const WindowLayout& layout, bool chosen) {
    const QString kind = layout.id == QLatin1String(chainLayoutId)
                             ? QStringLiteral("scrolling columns")
                             : QString::number(layout.regions.size()) +
                                   (layout.regions.size() == 1 ? QStringLiteral(" position")
                                                               : QStringLiteral(" positions"));
    return layout.name + QStringLiteral(", ") + kind +
           (chosen ? QStringLiteral(", selected") : QString());
}

}  // namespace tessora
