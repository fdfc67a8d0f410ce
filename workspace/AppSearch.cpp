#include "workspace/AppSearch.h"

#include "workspace/NameOrder.h"

#include <QFileInfo>
#include <algorithm>
#include <numeric>

namespace tessora {

namespace {

constexpr int runningBonus = 1000;
constexpr qsizetype stopCheckInterval = 512;

}  // namespace

QString entryFileStem(const QString& url) {
    QString name = QFileInfo(url).fileName();
    if (name.endsWith(QLatin1String(".desktop"))) {
        name.chop(8);
    }
    return name;
}

AppSearchIndex::AppSearchIndex(const InstalledApps& apps) {
    m_entries.reserve(static_cast<size_t>(apps.size()));
    for (const InstalledApp& app : apps) {
        Entry entry;
        entry.id = app.id;
        entry.candidates.push_back(foldForMatching(app.name));
        entry.candidates.push_back(foldForMatching(entryFileStem(app.url)));
        if (app.bundleName) {
            entry.candidates.push_back(foldForMatching(*app.bundleName));
        }
        m_entries.push_back(std::move(entry));
    }

    // Rank the names once, so that each search compares integers instead of collating.
    const QCollator collator = standardNameCollator();
    if (!rankSortedNames(apps, collator)) {
        rankNames(apps, collator);
    }
}

bool AppSearchIndex::rankSortedNames(const InstalledApps& apps, const QCollator& collator) {
    // The catalog normally arrives sorted in this very order: then comparing neighbours ranks
    // it, at a fraction of the cost of a sort key per name.
    qsizetype rank = 0;
    for (qsizetype i = 1; i < apps.size(); ++i) {
        const int order = collator.compare(apps[i - 1].name, apps[i].name);
        if (order > 0) {
            return false;
        }
        rank += order < 0 ? 1 : 0;
        m_entries[size_t(i)].nameRank = rank;
    }
    return true;
}

void AppSearchIndex::rankNames(const InstalledApps& apps, const QCollator& collator) {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<size_t>(apps.size()));
    for (const InstalledApp& app : apps) {
        keys.push_back(collator.sortKey(app.name));
    }
    std::vector<size_t> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    qsizetype rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[order[i - 1]].compare(keys[order[i]]) != 0) {
            ++rank;
        }
        m_entries[order[i]].nameRank = rank;
    }
}

std::vector<qsizetype> AppSearchIndex::rank(const QString& query,
                                            const std::function<QSet<QString>()>& runningIds,
                                            std::stop_token stop) const {
    const FoldedText q = foldForMatching(query.trimmed());
    const bool blank = q.empty();
    const QSet<QString> running = blank && runningIds ? runningIds() : QSet<QString>();

    struct Scored {
        int score;
        qsizetype nameRank;
        qsizetype index;
    };
    std::vector<Scored> scored;
    scored.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (i % stopCheckInterval == 0 && stop.stop_requested()) {
            return {};
        }
        const Entry& entry = m_entries[i];
        std::optional<int> best;
        for (const FoldedText& candidate : entry.candidates) {
            const std::optional<int> score = matchScore(candidate, q);
            if (score && (!best || *score < *best)) {
                best = score;
            }
        }
        if (!best) {
            continue;
        }
        if (blank && running.contains(entry.id)) {
            *best -= runningBonus;
        }
        scored.push_back({*best, entry.nameRank, static_cast<qsizetype>(i)});
    }
    // Catalog position as the last key keeps the order of full ties stable.
    std::sort(scored.begin(), scored.end(), [](const Scored& a, const Scored& b) {
        return std::tie(a.score, a.nameRank, a.index) < std::tie(b.score, b.nameRank, b.index);
    });
    std::vector<qsizetype> result;
    result.reserve(scored.size());
    for (const Scored& s : scored) {
        result.push_back(s.index);
    }
    return result;
}

}  // namespace tessora
