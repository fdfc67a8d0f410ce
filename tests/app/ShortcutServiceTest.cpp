#include "app/ShortcutService.h"

#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "workspace/SettingsKeys.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessora {
namespace {

const QString kUnavailable = QStringLiteral(
    "This shortcut is unavailable. Try another combination. Your previous shortcut remains "
    "active.");

const KeyStroke kCtrlEscape{keysym::escape, KeyModifier::Ctrl};
const KeyStroke kSuperAltSpace{keysym::space, KeyModifier::Super | KeyModifier::Alt};

class ShortcutServiceTest : public ::testing::Test {
protected:
    std::unique_ptr<ShortcutService> start(const QJsonObject& stored = {}) {
        defaults = DefaultsStore::inMemory(stored);
        auto service = std::make_unique<ShortcutService>(sim, *defaults);
        service->setOnOpen([this] { ++opened; });
        return service;
    }
    qint64 storedInteger(const char* key) const { return *defaults->integerValue(key); }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    std::unique_ptr<DefaultsStore> defaults;
    int opened = 0;
};

TEST_F(ShortcutServiceTest, FirstStartWritesTheDefaultsAndCtrlEscapeOpens) {
    auto service = start();

    EXPECT_EQ(storedInteger(keys::shortcutCode), 53);
    EXPECT_EQ(storedInteger(keys::shortcutModifiers), 256);
    EXPECT_EQ(defaults->textValue(keys::shortcutLabel), QStringLiteral("⌘esc"));
    EXPECT_EQ(defaults->boolValue(keys::shortcutV2), true);
    EXPECT_TRUE(service->enabled());
    EXPECT_TRUE(service->error().isEmpty());
    EXPECT_EQ(sim.liveHotKeys(), 1);

    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(sim.pressHotKey({keysym::escape, {}}));

    service.reset();  // teardown lets the hot key go
    EXPECT_EQ(sim.liveHotKeys(), 0);
}

TEST_F(ShortcutServiceTest, MigrationReplacesOlderLayoutsOnlyOnce) {
    // An earlier layout's combination becomes the default.
    auto service = start(
        {{keys::shortcutCode, 40}, {keys::shortcutModifiers, 4096}, {keys::shortcutLabel, "⌃K"}});
    EXPECT_EQ(storedInteger(keys::shortcutCode), 53);
    EXPECT_EQ(defaults->textValue(keys::shortcutLabel), QStringLiteral("⌘esc"));
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    service.reset();

    // The current layout is kept: Shift+Ctrl+K.
    service = start({{keys::shortcutV2, true},
                     {keys::shortcutCode, 40},
                     {keys::shortcutModifiers, 768},
                     {keys::shortcutLabel, "⇧⌘K"}});
    EXPECT_EQ(defaults->textValue(keys::shortcutLabel), QStringLiteral("⇧⌘K"));
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));
    EXPECT_TRUE(sim.pressHotKey({'k', KeyModifier::Shift | KeyModifier::Ctrl}));
    EXPECT_EQ(opened, 2);
}

TEST_F(ShortcutServiceTest, SwitchedOffStaysUnregisteredAndSwitchingOnRegistersOnce) {
    auto service = start({{keys::shortcutV2, true},
                          {keys::launcherEnabled, false},
                          {keys::shortcutCode, 40},
                          {keys::shortcutModifiers, 256}});
    EXPECT_FALSE(service->enabled());
    EXPECT_EQ(sim.liveHotKeys(), 0);
    EXPECT_EQ(storedInteger(keys::shortcutCode), 40);

    int enabledChanges = 0;
    QObject::connect(service.get(), &ShortcutService::enabledChanged, [&] { ++enabledChanges; });
    service->setEnabled(true);
    service->setEnabled(true);
    EXPECT_TRUE(service->enabled());
    EXPECT_EQ(enabledChanges, 1);
    EXPECT_EQ(sim.liveHotKeys(), 1);
    EXPECT_EQ(defaults->boolValue(keys::launcherEnabled), true);
    EXPECT_TRUE(sim.pressHotKey({'k', KeyModifier::Ctrl}));

    service->setEnabled(false);
    service->setEnabled(false);
    EXPECT_EQ(enabledChanges, 2);
    EXPECT_EQ(sim.liveHotKeys(), 0);
    EXPECT_EQ(defaults->boolValue(keys::launcherEnabled), false);
    EXPECT_EQ(storedInteger(keys::shortcutCode), 40);  // the combination stays stored
    EXPECT_EQ(opened, 1);
}

TEST_F(ShortcutServiceTest, ATakenCombinationKeepsThePreviousShortcut) {
    auto service = start();
    int errorChanges = 0;
    QObject::connect(service.get(), &ShortcutService::errorChanged, [&] { ++errorChanges; });
    sim.setHotKeyTaken(kSuperAltSpace, true);

    EXPECT_FALSE(service->registerCombination(kSuperAltSpace));
    EXPECT_FALSE(service->registerCombination(kSuperAltSpace));
    // A key that the stored form cannot name is refused the same way.
    EXPECT_FALSE(service->registerCombination({0x1008ff12, KeyModifier::Ctrl}));
    EXPECT_EQ(service->error(), kUnavailable);
    EXPECT_EQ(errorChanges, 1);  // the same text twice notifies once
    EXPECT_TRUE(service->enabled());
    EXPECT_EQ(storedInteger(keys::shortcutCode), 53);
    EXPECT_EQ(storedInteger(keys::shortcutModifiers), 256);
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    EXPECT_EQ(opened, 1);

    // Once free, it replaces the old one, which is let go.
    sim.setHotKeyTaken(kSuperAltSpace, false);
    EXPECT_TRUE(service->registerCombination(kSuperAltSpace));
    EXPECT_TRUE(service->error().isEmpty());
    EXPECT_EQ(errorChanges, 2);
    EXPECT_EQ(storedInteger(keys::shortcutCode), 49);
    EXPECT_EQ(storedInteger(keys::shortcutModifiers), 6144);
    EXPECT_EQ(sim.liveHotKeys(), 1);
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));
    EXPECT_TRUE(sim.pressHotKey(kSuperAltSpace));
    EXPECT_EQ(opened, 2);
}

TEST_F(ShortcutServiceTest, AStoredCombinationTakenAtStartKeepsTheSwitchOnAndClaimsNoPrevious) {
    sim.setHotKeyTaken(kCtrlEscape, true);
    auto service = start();
    // The switch is the user's; the missing key is said, without a previous shortcut to claim.
    EXPECT_TRUE(service->enabled());
    EXPECT_FALSE(service->hotKeyActive());
    EXPECT_EQ(service->error(), "This shortcut is unavailable. Try another combination.");
    EXPECT_EQ(sim.liveHotKeys(), 0);
    EXPECT_EQ(defaults->boolValue(keys::launcherEnabled), std::nullopt);  // nothing rewritten

    // Another combination can be recorded; a refusal still claims nothing.
    sim.setHotKeyTaken(kSuperAltSpace, true);
    EXPECT_FALSE(service->registerCombination(kSuperAltSpace));
    EXPECT_EQ(service->error(), "This shortcut is unavailable. Try another combination.");
    sim.setHotKeyTaken(kSuperAltSpace, false);
    EXPECT_TRUE(service->registerCombination(kSuperAltSpace));
    EXPECT_TRUE(service->hotKeyActive());
    EXPECT_TRUE(service->error().isEmpty());

    // Off and on again retries the stored combination; a refusal leaves the switch on.
    service.reset();
    service = start();
    service->setEnabled(false);
    EXPECT_FALSE(service->enabled());
    EXPECT_EQ(defaults->boolValue(keys::launcherEnabled), false);
    service->setEnabled(true);
    EXPECT_TRUE(service->enabled());
    EXPECT_EQ(defaults->boolValue(keys::launcherEnabled), true);
    EXPECT_FALSE(service->hotKeyActive());
    sim.setHotKeyTaken(kCtrlEscape, false);
    service->setEnabled(false);
    service->setEnabled(true);
    EXPECT_TRUE(service->hotKeyActive());
    EXPECT_TRUE(service->error().isEmpty());
}

TEST_F(ShortcutServiceTest, CorruptStoredValuesFallBackToCtrlEscape) {
    const QJsonObject cases[] = {
        {{keys::shortcutCode, 4294967296.0}, {keys::shortcutModifiers, 256}},  // past 32 bits
        {{keys::shortcutCode, -1}, {keys::shortcutModifiers, 256}},
        {{keys::shortcutCode, "53"}, {keys::shortcutModifiers, 256}},
        {{keys::shortcutCode, 53}, {keys::shortcutModifiers, 1e12}},
        // No Ctrl, Alt or Super: would take a plain key from every application.
        {{keys::shortcutCode, 40}, {keys::shortcutModifiers, 0}},
        {{keys::shortcutCode, 40}, {keys::shortcutModifiers, 512}},
    };
    for (QJsonObject stored : cases) {
        stored.insert(keys::shortcutV2, true);
        auto service = start(stored);
        EXPECT_TRUE(sim.pressHotKey(kCtrlEscape)) << QJsonDocument(stored).toJson().constData();
        EXPECT_EQ(sim.liveHotKeys(), 1);
    }
}

}  // namespace
}  // namespace tessora
