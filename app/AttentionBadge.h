#pragma once

#include <QWidget>

namespace tessora {

// What the settings page has to resolve, as sentences joined by single spaces: only that window
// control is missing, for now. Empty when nothing needs attention.
QString attentionMessage(bool windowControlAvailable);

// A small red disc with a white exclamation mark, shown on the sidebar's Settings entry while
// something there needs the user. Screen readers read the message; the tooltip adds where to
// go about it.
class AttentionBadge final : public QWidget {
    Q_OBJECT

public:
    explicit AttentionBadge(QWidget* parent = nullptr);

    QString message() const { return m_message; }
    // Shows the badge for `message`, or hides it when the message is empty.
    void setMessage(const QString& message);

    QSize sizeHint() const override { return {kSide, kSide}; }

    static constexpr int kSide = 20;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_message;
};

}  // namespace tessora
