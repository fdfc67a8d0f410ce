#pragma once

#include "platform/LoginItem.h"

namespace tessora {

// A login item held in memory. `failure`, when set, makes every change fail with that text and
// leaves the state as it is.
class SimLoginItem final : public LoginItem {
public:
    bool enabled() const override { return m_enabled; }
    QString setEnabled(bool enabled) override {
        ++changes;
        if (!failure.isEmpty()) {
            return failure;
        }
        m_enabled = enabled;
        return {};
    }
    // Changes the state behind the program's back, as another tool would.
    void setEnabledElsewhere(bool enabled) { m_enabled = enabled; }

    QString failure;
    int changes = 0;

private:
    bool m_enabled = false;
};

}  // namespace tessora
