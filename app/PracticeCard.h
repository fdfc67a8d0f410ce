#pragma once

#include <QStringList>
#include <QWidget>

namespace tessora {

// One gesture of the practice step: the keys to press as large key caps on a faint card. Once
// the gesture was performed the caps light up. For screen readers the card is one element,
// "Press Open", whose value is "Verified" or "Waiting".
class PracticeCard final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList keys READ keys WRITE setKeys NOTIFY keysChanged)
    Q_PROPERTY(bool verified READ verified WRITE setVerified NOTIFY verifiedChanged)

public:
    // `keys` are the caps' texts as shown ("Ctrl", "esc").
    PracticeCard(const QString& name, const QStringList& keys, QWidget* parent = nullptr);

    QString name() const { return m_name; }
    QStringList keys() const { return m_keys; }
    void setKeys(const QStringList& keys);
    bool verified() const { return m_verified; }
    void setVerified(bool verified);
    // "Verified" or "Waiting".
    QString stateText() const;

    // The cap of key `index` in widget coordinates.
    QRectF capRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kContentWidth = 154;
    static constexpr int kCapSide = 46;
    static constexpr int kCapSpacing = 8;
    static constexpr int kPadding = 12;
    static constexpr qreal kRadius = 12;

signals:
    void keysChanged();
    void verifiedChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int capsWidth() const;
    void paintCap(QPainter& painter, const QRectF& cap, const QString& text) const;

    QString m_name;
    QStringList m_keys;
    bool m_verified = false;
};

}  // namespace tessora
