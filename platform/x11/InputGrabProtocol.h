#pragma once

// What the program and its grab helper (platform/x11/grabber, the executable tessora-grabs)
// say to each other over a SOCK_SEQPACKET socket pair: one fixed-size record a message, each
// side's in order. No Qt here: the helper links xcb alone.
//
// Why a process of its own: a passive grab in synchronous mode freezes the pointer of the whole
// desktop from the grabbed press until its holder answers. A thread would not do, as a stopped
// process (SIGSTOP, a debugger, Ctrl+Z) stops all its threads; the helper lives in a process
// group of its own, decides every press from the copy of the rule it was given, and ends, taking
// its grabs with it, when the program's end of the socket closes.

#include <cstdint>

namespace tessora::x11::grabprotocol {

// The program's name for the helper, looked for beside the running executable.
inline constexpr const char* kHelperName = "tessora-grabs";
// The descriptor on which the helper finds its end of the socket pair.
inline constexpr int kHelperSocket = 3;
// Modifier combinations a grab may cover: a base with four optional extras.
inline constexpr int kMaxVariants = 16;

// From the program.
struct Request {
    enum Kind : uint32_t {
        // Alt+scroll: buttons 4-7 with each of `modifiers`, on the root window, decided by the
        // rule below. Answered by Report::Grabbed or Report::Refused.
        GrabScroll = 1,
        // Lets go of the grab `serial` (and of its gesture). Not answered.
        ReleaseScroll = 2,
    };
    uint32_t kind = 0;
    uint32_t serial = 0;  // names the grab in both directions
    // The area, in root pixels, in which a grabbed press is taken (elsewhere it is replayed).
    int32_t x = 0, y = 0, width = 0, height = 0;
    // Once a press was taken, every wheel press is taken until none came for this long; 0: no
    // gesture, each press is decided alone.
    uint32_t gestureMs = 0;
    uint32_t variantCount = 0;
    uint16_t modifiers[kMaxVariants] = {};
};

// From the helper.
struct Report {
    enum Kind : uint32_t {
        Grabbed = 1,  // the grab `serial` is in place
        Refused = 2,  // another client holds some of it; nothing of it stayed grabbed
        Scroll = 3,   // a wheel press taken for the grab `serial`
    };
    uint32_t kind = 0;
    uint32_t serial = 0;
    uint8_t button = 0;  // 4-7
    uint16_t state = 0;  // the modifiers and buttons down, as X reports them
    int16_t rootX = 0, rootY = 0;
    uint32_t time = 0;
};

}  // namespace tessora::x11::grabprotocol
