#include "app/ShortcutRecorder.h"

#include "app/ShortcutService.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "workspace/SettingsKeys.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

using Kind = RecordingStep::Kind;
constexpr quint32 kCtrl = KeyModifiers::command, kSuper = KeyModifiers::control,
                  kAlt = KeyModifiers::option, kShift = KeyModifiers::shift;

TEST(ShortcutRecorderTest, RecordingRules) {
    struct Case {
        KeyInput key;
        QString characters;
        Kind kind;
        QString label;
        quint32 carbon = 0;
    };
    const Case cases[] = {
        {{40, 0}, "k", Kind::Refuse, {}},
        {{40, kShift}, "k", Kind::Refuse, {}},  // Shift alone does not count
        {{53, 0}, "\x1b", Kind::Cancel, {}},
        {{53, kSuper | kAlt}, "\x1b", Kind::Cancel, {}},  // only Ctrl+Escape is a shortcut
        {{55, kCtrl}, "", Kind::Ignore, {}},              // Ctrl pressed on its own
        {{53, kCtrl}, "\x1b", Kind::Register, "⌘esc", 256},
        {{49, kSuper | kAlt}, " ", Kind::Register, "⌃⌥Space", 6144},
        {{40, kShift | kCtrl}, "k", Kind::Register, "⇧⌘K", 768},
        {{40, kCtrl | kShift | kAlt | kSuper}, "k", Kind::Register, "⌃⌥⇧⌘K", 6912},
        {{18, kAlt}, "1", Kind::Register, "⌥1", 2048},
        // Keys that type nothing visible get their names.
        {{36, kCtrl}, "\r", Kind::Register, "⌘Return", 256},
        {{96, kCtrl}, "", Kind::Register, "⌘F5", 256},
        {{10, kCtrl}, "", Kind::Register, "⌘Key 10", 256},
    };
    for (const Case& c : cases) {
        const RecordingStep step = recordingStep(c.key, c.characters);
        SCOPED_TRACE(c.label.toStdString() + " code " + std::to_string(c.key.keyCode));
        EXPECT_EQ(step.kind, c.kind);
        if (c.kind == Kind::Refuse) {
            EXPECT_EQ(step.error, "Include Super, Alt or Ctrl.");
        }
        if (c.kind == Kind::Register) {
            EXPECT_EQ(step.label, c.label);
            EXPECT_EQ(step.keyCode, c.key.keyCode);
            EXPECT_EQ(step.carbonModifiers, c.carbon);
        }
    }
}

TEST(ShortcutRecorderTest, RecordsThroughTheServiceUntilOneIsRegistered) {
    VirtualClock clock;
    SimWindowSystem sim(clock);
    auto defaults = DefaultsStore::inMemory();
    ShortcutService service(sim, *defaults);
    ShortcutRecorder recorder(service, *defaults);
    QStringList labels;
    QObject::connect(&recorder, &ShortcutRecorder::labelChanged,
                     [&](const QString& label) { labels << label; });
    const KeyInput superAltSpace{49, kSuper | kAlt};

    recorder.handleKey(superAltSpace, " ");  // not recording: nothing happens
    EXPECT_EQ(defaults->integerValue(keys::shortcutCode), 53);

    recorder.start();
    recorder.handleKey({40, 0}, "k");
    EXPECT_EQ(service.error(), "Include Super, Alt or Ctrl.");
    EXPECT_TRUE(recorder.recording());

    sim.setHotKeyTaken(superAltSpace, true);
    recorder.handleKey(superAltSpace, " ");
    EXPECT_TRUE(service.error().startsWith("This shortcut is unavailable."));
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(defaults->textValue(keys::shortcutLabel), QStringLiteral("⌘esc"));
    EXPECT_TRUE(sim.pressHotKey({53, kCtrl}));

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
    recorder.handleKey({53, 0}, "\x1b");
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(service.label(), QStringLiteral("⌃⌥Space"));
    recorder.start();
    recorder.handleKey({53, kCtrl}, "\x1b");
    EXPECT_EQ(service.label(), QStringLiteral("⌘esc"));
    EXPECT_EQ(sim.liveHotKeys(), 1);
}

}  // namespace
}  // namespace tessora
