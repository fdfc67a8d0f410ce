#pragma once

#include <QPointer>
#include <QWidget>

namespace tessora {

// One line of a settings card: a title with an optional detail under it on the leading side,
// the control (a switch, a button, key caps...) on the trailing side, both centred vertically.
// A title that needs attention is drawn in red. Narrow rows wrap the texts rather than squeeze
// the control. An empty detail counts as none.
class OrrerySettingsRow : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString detail READ detail WRITE setDetail NOTIFY detailChanged)
    Q_PROPERTY(bool needsAttention READ needsAttention WRITE setNeedsAttention NOTIFY
                   needsAttentionChanged)

public:
    explicit OrrerySettingsRow(const QString& title, const QString& detail = {},
                               QWidget* control = nullptr, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QString detail() const { return m_detail; }
    void setDetail(const QString& detail);
    bool needsAttention() const { return m_needsAttention; }
    void setNeedsAttention(bool needsAttention);

    // The row takes ownership of `control`; a previous control is deleted.
    void setControl(QWidget* control);
    QWidget* control() const { return m_control; }

    // Where the title and detail are drawn at the current size.
    QRect titleRect() const;
    QRect detailRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    static constexpr int kPadding = 18;
    static constexpr int kSpacing = 18;
    static constexpr int kMinimumGap = 8;
    static constexpr int kTextSpacing = 5;

signals:
    void titleChanged(const QString& title);
    void detailChanged(const QString& detail);
    void needsAttentionChanged(bool needsAttention);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Arrangement {
        QRect title;
        QRect detail;
        QRect control;
        int height = 0;
    };
    Arrangement arrange(int width) const;
    QSize controlSize() const;
    int naturalTextWidth() const;
    // Space between the texts and the trailing edge's padding taken by the gap and the control.
    int trailingWidth() const;
    void relayout();
    void changed();

    QString m_title;
    QString m_detail;
    bool m_needsAttention = false;
    QPointer<QWidget> m_control;
    QFont m_titleFont;
    QFont m_detailFont;
};

}  // namespace tessora
