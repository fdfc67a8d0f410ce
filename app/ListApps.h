#pragma once

#include <QString>

namespace tessora {

// `tessora --list-apps [QUERY]`: scans the catalog and prints the ranked results, one
// application per line (id, tab, name, tab, entry path). Returns the exit status.
int listApps(const QString& query);

}  // namespace tessora
