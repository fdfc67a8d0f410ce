#include "platform/x11/X11PointerWatch.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11WindowSystem.h"

#include <xcb/xinput.h>
#include <algorithm>
#include <cstdlib>
#include <exception>

namespace tessora::x11 {

namespace {

constexpr uint8_t kLeftButton = 1;
constexpr uint8_t kRightButton = 3;

// One event mask of XI_SelectEvents: the header with one word of bits after it.
struct RawPressMask {
    xcb_input_event_mask_t head;
    uint32_t bits;
};

}  // namespace

class PointerWatch::Handle final : public InputGrab {
public:
    Handle(std::weak_ptr<PointerWatch*> owner, int id) : m_owner(std::move(owner)), m_id(id) {}
    ~Handle() override {
        if (const std::shared_ptr<PointerWatch*> owner = m_owner.lock()) {
            (*owner)->remove(m_id);
        }
    }

private:
    std::weak_ptr<PointerWatch*> m_owner;
    int m_id;
};

PointerWatch::PointerWatch(X11Connection& connection,
                           std::function<QPointF(int, int)> toWindowSpace)
    : m_connection(connection),
      m_toWindowSpace(std::move(toWindowSpace)),
      m_self(std::make_shared<PointerWatch*>(this)) {}

PointerWatch::~PointerWatch() {
    m_self.reset();
    if (!m_watchers.empty()) {
        select(false);
    }
}

std::optional<uint8_t> PointerWatch::extension() {
    if (m_queried) {
        return m_opcode;
    }
    m_queried = true;
    xcb_connection_t* c = m_connection.get();
    const xcb_query_extension_reply_t* present = xcb_get_extension_data(c, &xcb_input_id);
    if (!present || !present->present) {
        qCInfo(lcX11) << "the X server has no XInput extension: clicks elsewhere go unseen";
        return std::nullopt;
    }
    // 2.2 rather than 2.0: clients that announce 2.1 or later get raw events during grabs too.
    // The server answers with the highest version both sides know.
    std::unique_ptr<xcb_input_xi_query_version_reply_t, decltype(&std::free)> version(
        xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr),
        &std::free);
    if (!version || version->major_version < 2) {
        qCInfo(lcX11) << "the X server lacks XInput 2: clicks elsewhere go unseen";
        return std::nullopt;
    }
    m_opcode = present->major_opcode;
    return m_opcode;
}

bool PointerWatch::select(bool pressesWanted) {
    RawPressMask mask{};
    mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    mask.head.mask_len = 1;
    mask.bits = pressesWanted ? XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS : 0;
    xcb_connection_t* c = m_connection.get();
    const xcb_void_cookie_t cookie =
        xcb_input_xi_select_events_checked(c, m_connection.root(), 1, &mask.head);
    if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
        qCDebug(lcX11) << "selecting raw button presses failed with error" << error->error_code;
        std::free(error);
        return false;
    }
    return !m_connection.broken();
}

std::unique_ptr<InputGrab> PointerWatch::watch(std::function<void(QPointF)> handler) {
    if (!handler || m_connection.broken() || !extension()) {
        return nullptr;
    }
    if (m_watchers.empty() && !select(true)) {
        return nullptr;
    }
    const int id = ++m_lastId;
    m_watchers.push_back(Watcher{id, std::move(handler)});
    return std::make_unique<Handle>(m_self, id);
}

void PointerWatch::remove(int id) {
    std::erase_if(m_watchers, [id](const Watcher& w) { return w.id == id; });
    if (m_watchers.empty() && !m_connection.broken()) {
        select(false);
    }
}

bool PointerWatch::handle(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) != XCB_GE_GENERIC || !m_opcode) {
        return false;
    }
    const auto& raw = reinterpret_cast<const xcb_input_raw_button_press_event_t&>(event);
    if (raw.extension != *m_opcode) {
        return false;
    }
    // Raw events report the physical button; 1 and 3 stay the left and right ones whichever
    // way round a left-handed mapping puts them.
    if (raw.event_type == XCB_INPUT_RAW_BUTTON_PRESS &&
        (raw.detail == kLeftButton || raw.detail == kRightButton) && !m_watchers.empty()) {
        deliver();
    }
    return true;
}

void PointerWatch::deliver() {
    xcb_connection_t* c = m_connection.get();
    std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> pointer(
        xcb_query_pointer_reply(c, xcb_query_pointer(c, m_connection.root()), nullptr), &std::free);
    if (!pointer) {
        return;
    }
    const QPointF location = m_toWindowSpace(pointer->root_x, pointer->root_y);
    // A copy: a handler may end its own watch or another, or start one.
    const std::vector<Watcher> watchers = m_watchers;
    const std::weak_ptr<PointerWatch*> self = m_self;
    for (const Watcher& watcher : watchers) {
        if (self.expired()) {
            return;  // a handler ended the whole backend
        }
        const bool live = std::any_of(m_watchers.begin(), m_watchers.end(),
                                      [&](const Watcher& w) { return w.id == watcher.id; });
        if (!live) {
            continue;
        }
        try {
            watcher.handler(location);
        } catch (const std::exception& error) {
            qCWarning(lcX11) << "the handler of a button press failed:" << error.what();
        } catch (...) {
            qCWarning(lcX11) << "the handler of a button press failed";
        }
    }
}

}  // namespace tessora::x11

namespace tessora {

std::unique_ptr<InputGrab> X11WindowSystem::watchButtonPresses(
    std::function<void(QPointF location)> handler) {
    return m_pointerWatch->watch(std::move(handler));
}

}  // namespace tessora
