#include "app/ShortcutKeycaps.h"

#include "preferences/OrreryKeycap.h"

#include <QHBoxLayout>

namespace tessora {

ShortcutKeycaps::ShortcutKeycaps(const QString& label, QWidget* parent)
    : QWidget(parent), layout_(new QHBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(6);
    setLabel(label);
}

void ShortcutKeycaps::setLabel(const QString& label) {
    while (QLayoutItem* item = layout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString& key : keycaps(label)) {
        layout_->addWidget(new OrreryKeycap(key, this));
    }
}

QStringList ShortcutKeycaps::shownKeys() const {
    QStringList keys;
    for (int i = 0; i < layout_->count(); ++i) {
        if (const auto* cap = qobject_cast<const OrreryKeycap*>(layout_->itemAt(i)->widget())) {
            keys << cap->displayText();
        }
    }
    return keys;
}

}  // namespace tessora
