#include "platform/x11/X11PropertyReader.h"
#include "platform/x11/X11WindowFacts.h"
#include "tests/x11/X11TestSession.h"

namespace tessora::testing {
namespace {

using X11Hostile = X11Test;

TEST_F(X11Hostile, MalformedPropertiesAreAbsent) {
    const xcb_window_t hostile = startClient({"--hostile"});
    ASSERT_NE(hostile, XCB_WINDOW_NONE);
    ASSERT_TRUE(waitManaged(hostile));

    // No class, no pid, no application id: nothing to match it by, so no application.
    for (const RunningApplication& app : system->runningApplications()) {
        EXPECT_FALSE(app.id.isEmpty());
    }
    const QList<OnScreenWindow> shown = system->onScreenWindows();
    const auto it = std::find_if(shown.begin(), shown.end(),
                                 [&](const OnScreenWindow& w) { return w.window == hostile; });
    ASSERT_NE(it, shown.end());
    EXPECT_EQ(it->pid, 0);
    EXPECT_TRUE(it->appId.isEmpty());
    // A window type of the wrong type counts as none given.
    EXPECT_EQ(system->isStandardWindow(hostile), true);
    EXPECT_TRUE(system->frame(hostile));

    // The 200 KiB name is refused whole, not cut.
    const x11::PropertyReader reader(session.connection());
    EXPECT_FALSE(reader.bytes(
        reader.requestText(hostile, session.atom("_NET_WM_NAME"), session.atom("UTF8_STRING"))));
    EXPECT_TRUE(
        reader.bytes(reader.requestText(hostile, session.atom("_NET_WM_NAME"),
                                        session.atom("UTF8_STRING"), XCB_ATOM_NONE, 256 * 1024)));
}

TEST_F(X11Hostile, ASingleValueIsTheFirstItemOfALongerProperty) {
    const xcb_window_t client = startClient({});
    ASSERT_NE(client, XCB_WINDOW_NONE);
    ASSERT_TRUE(waitManaged(client));
    xcb_connection_t* c = session.connection();
    const x11::PropertyReader reader(c);

    // A value followed by more than was asked for: the single value is the first item, and a
    // list read is still refused whole.
    const xcb_atom_t pair = session.atom("TESSORA_TEST_PAIR");
    const uint32_t items[] = {client, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, client, pair, XCB_ATOM_WINDOW, 32, 2, items);
    session.sync();
    EXPECT_EQ(reader.cardinal(reader.requestCardinals(client, pair, XCB_ATOM_WINDOW, 1)), client);
    EXPECT_FALSE(reader.cardinals(reader.requestCardinals(client, pair, XCB_ATOM_WINDOW, 1)));

    // xfwm4 publishes the active window so, followed by a zero (written here until the window
    // manager leaves it so).
    const xcb_atom_t active = session.atom("_NET_ACTIVE_WINDOW");
    EXPECT_TRUE(session.waitUntil([&] {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, session.root(), active, XCB_ATOM_WINDOW, 32,
                            2, items);
        session.sync();
        const std::optional<RunningApplication> front = system->frontmostApplication();
        return front && front->pid > 0;
    }));
}

TEST(X11PropertyText, DecodingRefusesWhatIsNotWellFormed) {
    EXPECT_FALSE(x11::parseWindowClass("no-terminator"));
    EXPECT_FALSE(x11::parseWindowClass(QByteArray("only-one\0", 9)));
    const auto both = x11::parseWindowClass(QByteArray("xterm\0XTerm\0", 12));
    ASSERT_TRUE(both);
    EXPECT_EQ(both->instance, QStringLiteral("xterm"));
    EXPECT_EQ(both->className, QStringLiteral("XTerm"));
    EXPECT_EQ(x11::parseWindowClass(QByteArray("caf\xe9\0C\0", 7))->instance,
              QStringLiteral("caf\u00e9"));  // Latin-1, as ICCCM has it

    EXPECT_EQ(x11::decodeUtf8("gr\xc3\xbc\xc3\x9f"), QStringLiteral("gr\u00fc\u00df"));
    EXPECT_FALSE(x11::decodeUtf8("bad\xff\xfe"));
    EXPECT_FALSE(x11::decodeUtf8("\xc0\xaf"));  // overlong
    EXPECT_FALSE(x11::decodeUtf8(QByteArray("in\0side", 7)));

    EXPECT_FALSE(x11::plausiblePid(0));
    EXPECT_FALSE(x11::plausiblePid(0xFFFFFFF0u));
    EXPECT_FALSE(x11::plausiblePid(std::nullopt));
    EXPECT_EQ(x11::plausiblePid(4242), 4242);
}

}  // namespace
}  // namespace tessora::testing
