#pragma once

#include <xcb/xcb.h>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace tessora::x11 {

class X11Connection;

// Properties of other clients are outside input: any client may set any property of its own
// windows to anything. Every read here is bounded, checked for type and format, and absent when
// wrong, truncated or from a window that is gone. Reads are split into a request (sent at once)
// and a reply (read later), so that the reads of a whole window list share one round trip.

inline constexpr uint32_t kMaxTextBytes = 64 * 1024;
inline constexpr uint32_t kMaxListEntries = 4096;

// A property read on its way: what was asked and the cookie of the answer.
struct PendingProperty {
    xcb_get_property_cookie_t cookie{};
    xcb_atom_t type = XCB_ATOM_NONE;  // XCB_ATOM_ANY accepts the types in `alternative`
    xcb_atom_t alternative = XCB_ATOM_NONE;
    uint8_t format = 0;
    bool sent = false;
};

class PropertyReader {
public:
    explicit PropertyReader(xcb_connection_t* connection) : m_connection(connection) {}
    // Reads on the backend's connection, which counts the round trips.
    explicit PropertyReader(const X11Connection& connection);

    // Requests of 32-bit items (CARDINAL, WINDOW, ATOM) and of 8-bit text. `type` may accept
    // a second type (UTF8_STRING or STRING for names).
    PendingProperty requestCardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                     uint32_t maxItems = kMaxListEntries) const;
    PendingProperty requestText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                xcb_atom_t alternative = XCB_ATOM_NONE,
                                uint32_t maxBytes = kMaxTextBytes) const;

    // The items; absent when the property is missing, of another type or format, or longer than
    // the limit. An empty list is a property that is present and empty. A single value is the
    // first item of a property of any length.
    std::optional<std::vector<uint32_t>> cardinals(const PendingProperty& pending) const;
    std::optional<uint32_t> cardinal(const PendingProperty& pending) const;
    std::optional<QByteArray> bytes(const PendingProperty& pending) const;

    // Drops a request whose answer is not needed any more (keeps xcb from queuing it).
    void discard(const PendingProperty& pending) const;

private:
    // The reply when it is present, complete and of the expected type and format.
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    using Reply = std::unique_ptr<xcb_get_property_reply_t, FreeDeleter>;
    // The reply when it is of the type asked; `whole` refuses a value longer than was asked.
    Reply checkedReply(const PendingProperty& pending, bool whole = true) const;

    xcb_connection_t* m_connection;
    const X11Connection* m_counting = nullptr;
};

// Text decodings. UTF-8 that does not decode cleanly is absent, never replaced; Latin-1 (the
// encoding of ICCCM's STRING) decodes any byte. A trailing NUL is dropped.
std::optional<QString> decodeUtf8(const QByteArray& bytes);
QString decodeLatin1(const QByteArray& bytes);

// WM_CLASS: two NUL-terminated Latin-1 strings, the instance then the class. Absent unless both
// are there and terminated.
struct WindowClass {
    QString instance;
    QString className;
};
std::optional<WindowClass> parseWindowClass(const QByteArray& bytes);

}  // namespace tessora::x11
