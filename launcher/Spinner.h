#pragma once

#include <QWidget>

class QVariantAnimation;

namespace tessora {

// A small white activity indicator, 20 x 20; it turns only while it is shown.
class Spinner : public QWidget {
    Q_OBJECT

public:
    explicit Spinner(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QVariantAnimation* m_turn;
};

}  // namespace tessora
