#include "preferences/OrrerySettingsRow.h"

#include "preferences/ComponentAccessibility.h"
#include "preferences/Fonts.h"
#include "preferences/Palette.h"

#include <QEvent>
#include <QPainter>

namespace tessora {

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
// Below this the texts wrap word by word into a column too thin to read; the row stops there.
constexpr int kNarrowestText = 120;

QSize wrappedSize(const QFont& font, const QString& text, int width) {
    return QFontMetrics(font)
        .boundingRect(QRect(0, 0, qMax(1, width), 100000), kTextFlags, text)
        .size();
}

}  // namespace

OrrerySettingsRow::OrrerySettingsRow(const QString& title, const QString& detail, QWidget* control,
                                     QWidget* parent)
    : QWidget(parent),
      m_title(title),
      m_detail(detail),
      m_titleFont(manrope(12, QFont::DemiBold)),
      m_detailFont(manrope(11, QFont::Normal)) {
    installComponentAccessibility();
    setAccessibleName(m_title);
    setAccessibleDescription(m_detail);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setControl(control);
}

void OrrerySettingsRow::setTitle(const QString& title) {
    if (title == m_title) {
        return;
    }
    m_title = title;
    setAccessibleName(title);
    changed();
    emit titleChanged(title);
}

void OrrerySettingsRow::setDetail(const QString& detail) {
    if (detail == m_detail) {
        return;
    }
    m_detail = detail;
    setAccessibleDescription(detail);
    changed();
    emit detailChanged(detail);
}

void OrrerySettingsRow::setNeedsAttention(bool needsAttention) {
    if (needsAttention == m_needsAttention) {
        return;
    }
    m_needsAttention = needsAttention;
    update();
    emit needsAttentionChanged(needsAttention);
}

void OrrerySettingsRow::setControl(QWidget* control) {
    if (control == m_control) {
        return;
    }
    delete m_control;
    m_control = control;
    if (m_control != nullptr) {
        m_control->setParent(this);
        m_control->show();
    }
    changed();
}

QSize OrrerySettingsRow::controlSize() const {
    if (m_control == nullptr || m_control->isHidden()) {
        return {0, 0};
    }
    return m_control->sizeHint()
        .expandedTo(m_control->minimumSizeHint())
        .expandedTo(m_control->minimumSize())
        .boundedTo(m_control->maximumSize());
}

int OrrerySettingsRow::naturalTextWidth() const {
    // Measured the way the texts are wrapped, so that at this width nothing wraps.
    constexpr int unbounded = 100000;
    int width = wrappedSize(m_titleFont, m_title, unbounded).width();
    if (!m_detail.isEmpty()) {
        width = qMax(width, wrappedSize(m_detailFont, m_detail, unbounded).width());
    }
    return width;
}

int OrrerySettingsRow::trailingWidth() const {
    // Spacing on both sides of the flexible gap, then the control.
    const int control = controlSize().width();
    return kSpacing + kMinimumGap + (control > 0 ? kSpacing + control : 0);
}

OrrerySettingsRow::Arrangement OrrerySettingsRow::arrange(int width) const {
    Arrangement result;
    const QSize control = controlSize();
    const int textWidth = qMax(1, qMin(naturalTextWidth(), width - 2 * kPadding - trailingWidth()));
    const QSize title = wrappedSize(m_titleFont, m_title, textWidth);
    QSize detail;
    int textHeight = title.height();
    if (!m_detail.isEmpty()) {
        detail = wrappedSize(m_detailFont, m_detail, textWidth);
        textHeight += kTextSpacing + detail.height();
    }
    const int content = qMax(textHeight, control.height());
    result.height = content + 2 * kPadding;

    const int textTop = kPadding + (content - textHeight) / 2;
    result.title = QRect(QPoint(kPadding, textTop), QSize(textWidth, title.height()));
    if (!m_detail.isEmpty()) {
        result.detail = QRect(QPoint(kPadding, result.title.bottom() + 1 + kTextSpacing),
                              QSize(textWidth, detail.height()));
    }
    if (!control.isEmpty()) {
        result.control = QRect(
            QPoint(width - kPadding - control.width(), kPadding + (content - control.height()) / 2),
            control);
    }
    return result;
}

QSize OrrerySettingsRow::sizeHint() const {
    const int width = 2 * kPadding + naturalTextWidth() + trailingWidth();
    return {width, arrange(width).height};
}

QSize OrrerySettingsRow::minimumSizeHint() const {
    const int width = 2 * kPadding + qMin(naturalTextWidth(), kNarrowestText) + trailingWidth();
    return {width, arrange(sizeHint().width()).height};
}

int OrrerySettingsRow::heightForWidth(int width) const {
    return arrange(width).height;
}

QRect OrrerySettingsRow::titleRect() const {
    return arrange(width()).title;
}

QRect OrrerySettingsRow::detailRect() const {
    return arrange(width()).detail;
}

void OrrerySettingsRow::changed() {
    updateGeometry();
    relayout();
    update();
}

void OrrerySettingsRow::relayout() {
    if (m_control != nullptr) {
        m_control->setGeometry(arrange(width()).control);
    }
}

bool OrrerySettingsRow::event(QEvent* event) {
    // A child without a layout above it reports a changed size hint this way.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        relayout();
    }
    return QWidget::event(event);
}

void OrrerySettingsRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void OrrerySettingsRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Arrangement arrangement = arrange(width());
    painter.setFont(m_titleFont);
    painter.setPen(m_needsAttention ? palette::attentionText() : QColor(Qt::white));
    painter.drawText(arrangement.title, kTextFlags, m_title);
    if (!m_detail.isEmpty()) {
        painter.setFont(m_detailFont);
        painter.setPen(palette::secondaryText());
        painter.drawText(arrangement.detail, kTextFlags, m_detail);
    }
}

}  // namespace tessora
