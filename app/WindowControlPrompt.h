#pragma once

#include <QWidget>

class QLabel;

namespace tessora {

class OrreryButton;

// The small window that asks the user to make window control possible: it says what is
// missing on this desktop (no X11 display, no window manager, a Wayland session) and what to do
// about it, or that nothing is missing. Reused: each request brings the one window forward with
// the reason read afresh.
class WindowControlPrompt final : public QWidget {
    Q_OBJECT

public:
    explicit WindowControlPrompt(QWidget* parent = nullptr);

    // Shows the window in front, explaining `why` (empty: window control is available).
    void present(const QString& why);
    QString message() const;

private:
    QLabel* m_title;
    QLabel* m_text;
    OrreryButton* m_close;
};

}  // namespace tessora
