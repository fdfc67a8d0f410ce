#pragma once

#include <QString>

namespace tessora {

// `tessora --check-for-updates`: fetches the update feed (the built-in one unless `feed` and
// `publicKey` are given) and prints the newest version newer than this one, or that this one
// is up to date. Returns 0; 1 with the reason on stderr when the check fails. `caFile` names
// authorities trusted besides the system's (a private update server).
int checkForUpdatesCommand(const QString& feed, const QString& publicKey, const QString& caFile);

}  // namespace tessora
