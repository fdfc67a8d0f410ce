#pragma once

#include <QStringList>
#include <QWidget>

class QHBoxLayout;
class QLabel;

namespace tessora {

// One line of the shortcuts card: the title on the leading side, the keys as caps on the
// trailing side ("/" between two alternatives as plain text). Screen readers meet it as one
// element that reads the title and then the keys.
class ShortcutRow final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList keys READ keys WRITE setKeys NOTIFY keysChanged)

public:
    ShortcutRow(const QString& title, const QStringList& keys, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    QStringList keys() const { return m_keys; }
    void setKeys(const QStringList& keys);

    // The widgets that show the keys, in order: key caps, and labels for separators.
    QList<QWidget*> keyWidgets() const;
    // What is read out: the title, then each key as its cap names it.
    QString spokenText() const;

    static constexpr int kPadding = 18;
    static constexpr int kSpacing = 12;
    static constexpr int kMinimumGap = 8;
    static constexpr int kKeySpacing = 5;

signals:
    void keysChanged();

private:
    void showKeys();

    QString m_title;
    QStringList m_keys;
    QHBoxLayout* m_keysLayout;
};

}  // namespace tessora
