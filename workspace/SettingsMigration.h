#pragma once

#include "platform/DefaultsStore.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace tessora {

using SuiteOpener = std::function<std::unique_ptr<DefaultsStore>(const QString& domain)>;

// Copies the settings of the earlier editions into `store`, once per user: for each carried-over
// key that `store` lacks, the first earlier edition (in `domains` order) that has a value gives
// it, unchanged. Editions whose settings cannot be opened are passed over. The store is marked
// migrated even when nothing was copied, so this never runs twice.
void migrateEarlierEditions(DefaultsStore& store, const QStringList& domains,
                            const SuiteOpener& openSuite);

}  // namespace tessora
