#pragma once

#include "core/InstalledApp.h"
#include "workspace/NameOrder.h"

#include <QStringList>
#include <algorithm>
#include <random>

namespace tessora::bench {

// A catalog of `count` applications with realistic names: vendor and product words, some
// accents, version numbers and suites, sorted the way the scan sorts them. Deterministic.
inline InstalledApps syntheticCatalog(int count) {
    static const QStringList vendors{"GNOME", "KDE",   "Mozilla", "Google", "Visual", "Open",
                                     "Libre", "Élan",  "Nova",    "Crème",  "Zürich", "Blue",
                                     "Quick", "Smart", "Deep",    "Micro",  "Cloud",  "Pixel"};
    static const QStringList products{
        "Studio",   "Code",   "Terminal",  "Files",          "Calculator",    "Editor",
        "Viewer",   "Player", "Recorder",  "Mail",           "Calendar",      "Notes",
        "Maps",     "Photos", "Music",     "Browser",        "Office Writer", "Office Calc",
        "Draw",     "Chess",  "Solitaire", "Sudoku",         "Monitor",       "Disks",
        "Settings", "Café",   "Atelier",   "Résumé Builder", "Naïve Chat",    "Übersicht"};
    std::mt19937 random(42);
    InstalledApps apps;
    apps.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString name =
            vendors[random() % vendors.size()] + ' ' + products[random() % products.size()];
        if (random() % 3 == 0) {
            name += QStringLiteral(" %1").arg(random() % 40);
        }
        const QString id = QStringLiteral("org.example.app%1").arg(i);
        apps.append({id, name, QStringLiteral("/usr/share/applications/%1.desktop").arg(id),
                     random() % 2 ? std::optional<QString>(name) : std::nullopt});
    }
    QCollator collator = standardNameCollator();
    std::stable_sort(apps.begin(), apps.end(), [&](const InstalledApp& a, const InstalledApp& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return apps;
}

// Queries of one, three and eight characters.
inline const QStringList& benchmarkQueries() {
    static const QStringList queries{"c", "stu", "creme ca"};
    return queries;
}

}  // namespace tessora::bench
