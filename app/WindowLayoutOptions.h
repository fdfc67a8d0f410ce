#pragma once

#include "platform/DefaultsStore.h"

#include <QObject>
#include <functional>

namespace tessora {

// The two window-layout settings, kept consistent with each other: the stack indicator sits in
// the gap between windows, so switching it on switches the gap on, and switching the gap off
// switches the indicator off. An indicator switched off disappears at once (through
// `hideIndicator`), not only at the next arrangement. Writes of an equal value change nothing.
class WindowLayoutOptions final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)
    Q_PROPERTY(bool stackIndicators READ stackIndicators WRITE setStackIndicators NOTIFY
                   stackIndicatorsChanged)

public:
    WindowLayoutOptions(DefaultsStore& defaults, std::function<void()> hideIndicator,
                        QObject* parent = nullptr);

    bool spacing() const;
    bool stackIndicators() const;
    void setSpacing(bool on);
    void setStackIndicators(bool on);

signals:
    void spacingChanged();
    void stackIndicatorsChanged();

private:
    DefaultsStore& m_defaults;
    std::function<void()> m_hideIndicator;
};

}  // namespace tessora
