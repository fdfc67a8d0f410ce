#pragma once

#include <QString>

namespace tessora {

// Whether the program starts when the user logs in (on Linux an XDG autostart entry). Reads
// are cheap and always ask the file system afresh, so a change made elsewhere shows at the next
// read.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    virtual bool enabled() const = 0;
    // Registers (true) or unregisters (false) the program. Empty on success; otherwise the
    // system's description of what failed, the state then being whatever enabled() reads.
    virtual QString setEnabled(bool enabled) = 0;
};

}  // namespace tessora
