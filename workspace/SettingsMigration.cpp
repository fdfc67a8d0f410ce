#include "workspace/SettingsMigration.h"

#include "workspace/SettingsKeys.h"

#include <map>

namespace tessora {

void migrateEarlierEditions(DefaultsStore& store, const QStringList& domains,
                            const SuiteOpener& openSuite) {
    if (store.boolValue(keys::preferencesMigrated).value_or(false)) {
        return;
    }
    static const char* const carriedOver[] = {
        keys::onboardingComplete,  keys::onboardingVersion,
        keys::shortcutCode,        keys::shortcutModifiers,
        keys::shortcutLabel,       keys::shortcutV2,
        keys::launcherEnabled,     keys::noGaps,
        keys::recentActivatedApps, keys::appViewMode,
    };

    // Each earlier edition is opened at most once, and only when a key needs it.
    std::map<QString, std::unique_ptr<DefaultsStore>> opened;
    auto suite = [&](const QString& domain) -> DefaultsStore* {
        auto it = opened.find(domain);
        if (it == opened.end()) {
            it = opened.emplace(domain, openSuite ? openSuite(domain) : nullptr).first;
        }
        return it->second.get();
    };

    for (const char* key : carriedOver) {
        if (store.contains(key)) {
            continue;
        }
        for (const QString& domain : domains) {
            DefaultsStore* earlier = suite(domain);
            if (!earlier) {
                continue;
            }
            if (const auto value = earlier->value(key)) {
                store.setValue(key, *value);
                break;
            }
        }
    }
    store.setBool(keys::preferencesMigrated, true);
}

}  // namespace tessora
