#include "app/ShortcutRecorder.h"

#include "app/ShortcutService.h"
#include "app/StoredShortcut.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "workspace/SettingsKeys.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

using Kind = RecordingStep::Kind;
constexpr KeyModifier kCtrl = KeyModifier::Ctrl, kSuper = KeyModifier::Super,
                      kAlt = KeyModifier::Alt, kShift = KeyModifier::Shift;
constexpr Keysym kAudioMute = 0x1008ff12;  // a media key: no place on the ANSI keyboard

// The rules, and what each registered combination is stored as (code and mask; none when it
// cannot be stored).
TEST(ShortcutRecorderTest, RecordingRules) {
    struct Case {
        KeyStroke key;
        QString characters;
        Kind kind;
        QString label;
        std::optional<StoredShortcut> stored;
    };
    const Case cases[] = {
        {{'k', {}}, "k", Kind::Refuse, {}, {}},
        {{'k', kShift}, "k", Kind::Refuse, {}, {}},  // Shift alone does not count
        {{keysym::escape, {}}, "\x1b", Kind::Cancel, {}, {}},
        {{keysym::escape, kSuper | kAlt}, "\x1b", Kind::Cancel, {}, {}},  // only Ctrl+Escape
        {{keysym::controlL, kCtrl}, "", Kind::Ignore, {}, {}},            // Ctrl pressed on its own
        {{keysym::levelThreeShift, {}}, "", Kind::Ignore, {}, {}},        // AltGr too
        {{keysym::escape, kCtrl}, "\x1b", Kind::Register, "⌘esc", StoredShortcut{53, 256}},
        {{keysym::space, kSuper | kAlt}, " ", Kind::Register, "⌃⌥Space", StoredShortcut{49, 6144}},
        {{'k', kShift | kCtrl}, "k", Kind::Register, "⇧⌘K", StoredShortcut{40, 768}},
        {{'k', kCtrl | kShift | kAlt | kSuper},
         "k",
         Kind::Register,
         "⌃⌥⇧⌘K",
         StoredShortcut{40, 6912}},
        {{'1', kAlt}, "1", Kind::Register, "⌥1", StoredShortcut{18, 2048}},
        {{keysym::kp0 + 5, kCtrl}, "5", Kind::Register, "⌘5", StoredShortcut{87, 256}},
        // Keys that type nothing visible get their names.
        {{keysym::returnKey, kCtrl}, "\r", Kind::Register, "⌘Return", StoredShortcut{36, 256}},
        {{keysym::f1 + 4, kCtrl}, "", Kind::Register, "⌘F5", StoredShortcut{96, 256}},
        {{keysym::kp0 + 5, kCtrl}, "", Kind::Register, "⌘Num 5", StoredShortcut{87, 256}},
        {{kAudioMute, kCtrl}, "", Kind::Register, "⌘Key 1008ff12", std::nullopt},
    };
    for (const Case& c : cases) {
        const RecordingStep step = recordingStep(c.key, c.characters);
        SCOPED_TRACE(c.label.toStdString() + " key " + std::to_string(c.key.key));
        EXPECT_EQ(step.kind, c.kind);
        if (c.kind == Kind::Refuse) {
            EXPECT_EQ(step.error, "Include Super, Alt or Ctrl.");
        }
        if (c.kind == Kind::Register) {
            EXPECT_EQ(step.label, c.label);
            EXPECT_EQ(step.combination, c.key);
            EXPECT_EQ(encodeShortcut(step.combination), c.stored);
        }
    }
}

TEST(ShortcutRecorderTest, RecordsThroughTheServiceUntilOneIsRegistered) {
    VirtualClock clock;
    SimWindowSystem sim(clock);
    auto defaults = DefaultsStore::inMemory();
    ShortcutService service(sim, *defaults);
    ShortcutRecorder recorder(service);
    QStringList labels;  // as the views showing the shortcut follow it
    QObject::connect(&service, &ShortcutService::labelChanged, [&] { labels << service.label(); });
    const KeyStroke superAltSpace{keysym::space, kSuper | kAlt};

    recorder.handleKey(superAltSpace, " ");  // not recording: nothing happens
    EXPECT_EQ(defaults->integerValue(keys::shortcutCode), 53);

    recorder.start();
    recorder.handleKey({'k', {}}, "k");
    EXPECT_EQ(service.error(), "Include Super, Alt or Ctrl.");
    EXPECT_TRUE(recorder.recording());

    sim.setHotKeyTaken(superAltSpace, true);
    recorder.handleKey(superAltSpace, " ");
    EXPECT_TRUE(service.error().startsWith("This shortcut is unavailable."));
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(defaults->textValue(keys::shortcutLabel), QStringLiteral("⌘esc"));
    EXPECT_TRUE(sim.pressHotKey({keysym::escape, kCtrl}));

    sim.setHotKeyTaken(superAltSpace, false);
    recorder.handleKey(superAltSpace, " ");
    EXPECT_FALSE(recorder.recording());
    EXPECT_TRUE(service.error().isEmpty());
    EXPECT_EQ(defaults->textValue(keys::shortcutLabel), QStringLiteral("⌃⌥Space"));
    EXPECT_EQ(service.label(), QStringLiteral("⌃⌥Space"));
    EXPECT_EQ(labels, QStringList{QStringLiteral("⌃⌥Space")});
    EXPECT_TRUE(sim.pressHotKey(superAltSpace));

    // Escape cancels and changes nothing; recording Ctrl+Escape again takes it back.
    recorder.start();
    recorder.handleKey({keysym::escape, {}}, "\x1b");
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(service.label(), QStringLiteral("⌃⌥Space"));
    recorder.start();
    recorder.handleKey({keysym::escape, kCtrl}, "\x1b");
    EXPECT_EQ(service.label(), QStringLiteral("⌘esc"));
    EXPECT_EQ(sim.liveHotKeys(), 1);
}

}  // namespace
}  // namespace tessora
