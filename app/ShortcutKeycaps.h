#pragma once

#include <QWidget>

class QHBoxLayout;

namespace tessora {

// The launcher's shortcut as a row of key caps ("⌘esc" shows Ctrl and esc).
class ShortcutKeycaps final : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutKeycaps(const QString& label, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    QStringList shownKeys() const;

private:
    QHBoxLayout* m_layout;
};

}  // namespace tessora
