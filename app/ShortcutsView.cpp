#include "app/ShortcutsView.h"

#include "app/ShortcutReference.h"
#include "app/ShortcutRow.h"
#include "app/ShortcutService.h"
#include "preferences/OrreryKeycap.h"
#include "preferences/OrrerySettingsGroup.h"
#include "preferences/Palette.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tessora {

ShortcutsView::ShortcutsView(ShortcutService& shortcut, QWidget* parent)
    : QWidget(parent), m_shortcut(shortcut), m_scrollArea(new QScrollArea(this)) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    auto* card = new QWidget;
    auto* stack = new QVBoxLayout(card);
    stack->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    stack->setSpacing(kGroupSpacing);
    for (const ShortcutReferenceGroup& group : shortcutReference(m_shortcut.label())) {
        auto* groupView = new OrrerySettingsGroup(group.title, card);
        for (const ShortcutReferenceRow& row : group.rows) {
            if (&row != &group.rows.front()) {
                groupView->addDivider();
            }
            auto* rowView = new ShortcutRow(row.title, row.keys, groupView);
            groupView->addWidget(rowView);
            m_rows << rowView;
        }
        stack->addWidget(groupView);
    }
    stack->addStretch(1);

    m_scrollArea->setWidget(card);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setFixedWidth(kWidth);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    card->setAutoFillBackground(false);
    m_scrollArea->setAccessibleName(tr("Shortcuts"));

    auto* centring = new QHBoxLayout(this);
    centring->setContentsMargins(0, 0, 0, 0);
    centring->addStretch(1);
    centring->addWidget(m_scrollArea);
    centring->addStretch(1);

    connect(&m_shortcut, &ShortcutService::labelChanged, this,
            [this] { m_rows.front()->setKeys(keycaps(m_shortcut.label())); });
}

}  // namespace tessora
