#pragma once

#include "platform/x11/InputGrabProtocol.h"

#include <sys/types.h>
#include <QByteArray>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tessora::x11 {

// The program's side of the grab helper (tessora-grabs, beside the running executable): started
// when a grab is first asked for, in a process group of its own (a terminal's Ctrl+Z or Ctrl+C
// reaches only the program, which takes the helper with it). Its reports of taken presses reach
// `onScroll` from the main thread's event loop, whenever that gets to them.
//
// The helper ends when this object goes or the program dies: its socket closes, and the X server
// ends its grabs with its connection. A helper that ended by itself is started again with the
// next grab.
class GrabHelper {
public:
    GrabHelper(QByteArray display, std::function<void(const grabprotocol::Report&)> onScroll);
    ~GrabHelper();
    GrabHelper(const GrabHelper&) = delete;
    GrabHelper& operator=(const GrabHelper&) = delete;

    // Sends a grab and waits for its answer (a few milliseconds; bounded): false when another
    // client holds it, or the helper cannot be started or does not answer.
    bool grab(const grabprotocol::Request& request);
    // Lets go of the grab `serial`; the helper does it without answering.
    void release(uint32_t serial);

private:
    bool start();
    void stop();
    bool send(const grabprotocol::Request& request);
    // Reads the reports that are waiting; false once the helper has gone.
    bool readReports(const std::function<void(const grabprotocol::Report&)>& take);
    void onReadable();

    QByteArray m_display;
    std::function<void(const grabprotocol::Report&)> m_onScroll;
    pid_t m_pid = 0;
    int m_socket = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_warnedMissing = false;
};

}  // namespace tessora::x11
