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

TEST_F(ShortcutServiceTest, CorruptStoredValuesFallBackToCtrlEscapeAndSaySo) {
    const QJsonObject cases[] = {
        {{keys::shortcutCode, 4294967296.0}, {keys::shortcutModifiers, 256}},  // past 32 bits
        {{keys::shortcutCode, -1}, {keys::shortcutModifiers, 256}},
        {{keys::shortcutCode, "53"}, {keys::shortcutModifiers, 256}},
        {{keys::shortcutCode, 99999}, {keys::shortcutModifiers, 256}},  // no such key
        {{keys::shortcutCode, 10}, {keys::shortcutModifiers, 256}},     // a key we have no name for
        {{keys::shortcutCode, 53}, {keys::shortcutModifiers, 1e12}},
        {{keys::shortcutCode, 53}, {keys::shortcutModifiers, 4294967295.0}},  // every bit set
        // No Ctrl, Alt or Super: would take a plain key from every application.
        {{keys::shortcutCode, 40}, {keys::shortcutModifiers, 0}},
        {{keys::shortcutCode, 40}, {keys::shortcutModifiers, 512}},
    };
    for (QJsonObject stored : cases) {
        stored.insert(keys::shortcutV2, true);
        stored.insert(keys::shortcutLabel, "⌘esc");
        const std::string what = QJsonDocument(stored).toJson().constData();
        auto service = start(stored);
        EXPECT_TRUE(sim.pressHotKey(kCtrlEscape)) << what;
        EXPECT_EQ(sim.liveHotKeys(), 1) << what;
        EXPECT_TRUE(service->error().isEmpty()) << what;
        EXPECT_EQ(service->label(), "⌘esc") << what;
    }
}

// While a recording holds the hot key off, pressing it reaches our own window.
TEST_F(ShortcutServiceTest, ASuspensionLetsTheHotKeyGoUntilTheLastResume) {
    auto service = start();
    service->suspend();
    service->suspend();
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));
    EXPECT_TRUE(service->enabled());
    service->resume();
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));
    service->resume();
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    service->resume();  // unbalanced: nothing to take back
    EXPECT_EQ(sim.liveHotKeys(), 1);
    EXPECT_TRUE(service->error().isEmpty());

    // Taken by another program meanwhile: said, without claiming a previous shortcut.
    service->suspend();
    sim.setHotKeyTaken(kCtrlEscape, true);
    service->resume();
    EXPECT_EQ(service->error(), "This shortcut is unavailable. Try another combination.");
    EXPECT_EQ(sim.liveHotKeys(), 0);

    // Switched off meanwhile: nothing is taken back.
    sim.setHotKeyTaken(kCtrlEscape, false);
    service->setEnabled(false);
    service->setEnabled(true);
    service->suspend();
    service->setEnabled(false);
    service->resume();
    EXPECT_EQ(sim.liveHotKeys(), 0);
    EXPECT_EQ(opened, 1);
}

TEST_F(ShortcutServiceTest, ACombinationRegisteredWhileSuspendedIsTheOneHeldAfterwards) {
    auto service = start();
    service->suspend();
    // The current combination again: free now that it was let go.
    EXPECT_TRUE(service->registerCombination(kCtrlEscape));
    service->resume();
    EXPECT_EQ(sim.liveHotKeys(), 1);
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));

    service->suspend();
    sim.setHotKeyTaken(kSuperAltSpace, true);
    EXPECT_FALSE(service->registerCombination(kSuperAltSpace));
    EXPECT_EQ(service->error(), kUnavailable);  // the previous one comes back on resume
    sim.setHotKeyTaken(kSuperAltSpace, false);
    EXPECT_TRUE(service->registerCombination(kSuperAltSpace));
    service->resume();
    EXPECT_EQ(sim.liveHotKeys(), 1);
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));
    EXPECT_TRUE(sim.pressHotKey(kSuperAltSpace));
    EXPECT_EQ(storedInteger(keys::shortcutCode), 49);
    EXPECT_EQ(opened, 2);
}

// What the label shows is what pressing does, whatever the store's label says.
TEST_F(ShortcutServiceTest, TheLabelNamesTheCombinationHeld) {
    const auto labelFor = [this](qint64 code, qint64 modifiers, const QString& label) {
        QJsonObject stored{{keys::shortcutV2, true},
                           {keys::shortcutCode, code},
                           {keys::shortcutModifiers, modifiers}};
        if (!label.isNull()) {
            stored.insert(keys::shortcutLabel, label);
        }
        return start(stored)->label();
    };
    // Labels as recordings write them stay.
    EXPECT_EQ(labelFor(40, 768, "⇧⌘K"), "⇧⌘K");
    EXPECT_EQ(labelFor(87, 256, "⌘5"), "⌘5");  // keypad 5, as typed
    EXPECT_EQ(labelFor(87, 256, "⌘Num 5"), "⌘Num 5");
    EXPECT_EQ(labelFor(53, 256 | 1024, "⌘esc"), "⌘esc");  // Caps Lock is no modifier here
    // Labels of other combinations, or none, give way to the one held.
    EXPECT_EQ(labelFor(53, 0xFFFF, "⌘esc"), "⌃⌥⇧⌘esc");
    EXPECT_EQ(labelFor(40, 256, "⌘esc"), "⌘K");
    EXPECT_EQ(labelFor(49, 6144, QString()), "⌃⌥Space");
    EXPECT_EQ(labelFor(36, 256, "\u202e⌘esc"), "⌘Return");
    EXPECT_EQ(labelFor(87, 256, "⌘6"), "⌘Num 5");

    // Also where the combination could not be had: it names the one tried.
    sim.setHotKeyTaken({'k', KeyModifier::Ctrl}, true);
    auto service = start({{keys::shortcutV2, true},
                          {keys::shortcutCode, 40},
                          {keys::shortcutModifiers, 256},
                          {keys::shortcutLabel, "⌘esc"}});
    EXPECT_FALSE(service->hotKeyActive());
    EXPECT_EQ(service->label(), "⌘K");
}

}  // namespace
}  // namespace tessora
