#pragma once

#include <QWidget>

class QVBoxLayout;

namespace tessora {

// A titled card of settings: the title in small capitals above a rounded, faintly filled card
// with a hairline border. The caller adds the card's rows, and the dividers between them.
class OrrerySettingsGroup : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)

public:
    explicit OrrerySettingsGroup(const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    // The heading as shown: the title in upper case.
    QString heading() const { return m_title.toUpper(); }

    // Appends a row (any widget) to the card; the card takes ownership.
    void addWidget(QWidget* widget);
    // Appends a 1 px hairline across the card, to go between two rows.
    void addDivider();
    QVBoxLayout* contentLayout() const { return m_content; }

    // The card, below the heading.
    QRect cardRect() const;

    static constexpr int kHeadingSpacing = 12;
    static constexpr qreal kCardRadius = 12;

signals:
    void titleChanged(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int headingHeight() const;

    QString m_title;
    QFont m_headingFont;
    QVBoxLayout* m_content;
};

}  // namespace tessora
