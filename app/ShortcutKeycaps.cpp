#include "app/ShortcutKeycaps.h"

#include "preferences/OrreryKeycap.h"

#include <QHBoxLayout>

namespace tessora {

ShortcutKeycaps::ShortcutKeycaps(const QString& label, QWidget* parent)
    : QWidget(parent), m_layout(new QHBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(6);
    setLabel(label);
}

void ShortcutKeycaps::setLabel(const QString& label) {
    while (QLayoutItem* item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString& key : keycaps(label)) {
        m_layout->addWidget(new OrreryKeycap(key, this));
    }
}

QStringList ShortcutKeycaps::shownKeys() const {
    QStringList keys;
    for (int i = 0; i < m_layout->count(); ++i) {
        if (const auto* cap = qobject_cast<const OrreryKeycap*>(m_layout->itemAt(i)->widget())) {
            keys << cap->displayText();
        }
    }
    return keys;
}

}  // namespace tessora
