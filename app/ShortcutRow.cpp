#include "app/ShortcutRow.h"

#include "app/PreferencesAccessibility.h"
#include "app/ShortcutReference.h"
#include "preferences/Fonts.h"
#include "preferences/OrreryKeycap.h"
#include "preferences/Palette.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tessora {

namespace {

QLabel* separatorLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(manrope(13, QFont::Medium));
    // Level with the caps' faces, which sit above the room their shadows take.
    label->setContentsMargins(2, 0, 2, OrreryKeycap::kShadowRoom);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, palette::secondaryText());
    label->setPalette(colours);
    return label;
}

}  // namespace

ShortcutRow::ShortcutRow(const QString& title, const QStringList& keys, QWidget* parent)
    : QWidget(parent), m_title(title), m_keysLayout(new QHBoxLayout) {
    installPreferencesAccessibility();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    row->setSpacing(kSpacing);

    auto* titleLabel = new QLabel(title, this);
    titleLabel->setFont(manrope(12, QFont::DemiBold));
    QPalette colours = titleLabel->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    titleLabel->setPalette(colours);
    row->addWidget(titleLabel, 0, Qt::AlignVCenter);
    row->addSpacing(kMinimumGap);
    row->addStretch(1);

    m_keysLayout->setContentsMargins(0, 0, 0, 0);
    m_keysLayout->setSpacing(kKeySpacing);
    row->addLayout(m_keysLayout);

    m_keys = keys;
    showKeys();
}

void ShortcutRow::setKeys(const QStringList& keys) {
    if (keys == m_keys) {
        return;
    }
    m_keys = keys;
    showKeys();
    emit keysChanged();
}

void ShortcutRow::showKeys() {
    while (QLayoutItem* item = m_keysLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString& key : m_keys) {
        QWidget* shown = key == QLatin1String(kAlternativeKeys)
                             ? static_cast<QWidget*>(separatorLabel(key, this))
                             : new OrreryKeycap(key, this);
        m_keysLayout->addWidget(shown, 0, Qt::AlignVCenter);
    }
    setAccessibleName(spokenText());
}

QList<QWidget*> ShortcutRow::keyWidgets() const {
    QList<QWidget*> widgets;
    for (int i = 0; i < m_keysLayout->count(); ++i) {
        widgets << m_keysLayout->itemAt(i)->widget();
    }
    return widgets;
}

QString ShortcutRow::spokenText() const {
    QStringList parts{m_title};
    for (const QString& key : m_keys) {
        parts << keycapText(key);
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace tessora
