#pragma once

#include "core/InstalledApp.h"
#include "workspace/SearchMatch.h"

#include <QCollator>
#include <QSet>
#include <functional>
#include <stop_token>
#include <vector>

namespace tessora {

// The ranking of the launcher's search over one catalog. Built once per catalog (it folds every
// candidate text and ranks the names in the file-browser order up front), then asked on every
// keystroke.
//
// Ranking: each application scores the best (lowest) match score among its name, the file name
// of its entry without ".desktop", and its unlocalized name; applications with no matching
// candidate are dropped. With a blank query every application scores 0 and running ones score
// −1000, so they come first. Ties are broken by name in the file-browser order, then by catalog
// position.
class AppSearchIndex {
public:
    AppSearchIndex() = default;
    explicit AppSearchIndex(const InstalledApps& apps);

    // Indices into the catalog, best first. `runningIds` is called at most once, and only for a
    // blank query. A stop request ends the search early with an empty result.
    std::vector<qsizetype> rank(const QString& query,
                                const std::function<QSet<QString>()>& runningIds,
                                std::stop_token stop = {}) const;

private:
    // Sets the entries' name ranks: from the neighbours when `apps` is sorted by name (false,
    // the ranks then unfinished, when it is not), else by sorting.
    bool rankSortedNames(const InstalledApps& apps, const QCollator& collator);
    void rankNames(const InstalledApps& apps, const QCollator& collator);

    struct Entry {
        QString id;
        std::vector<FoldedText> candidates;
        qsizetype nameRank = 0;  // equal for names that collate equal
    };
    std::vector<Entry> m_entries;
};

// The file name of an entry without ".desktop": the second search candidate.
QString entryFileStem(const QString& url);

}  // namespace tessora
