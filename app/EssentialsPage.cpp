#include "app/EssentialsPage.h"

#include "app/ShortcutKeycaps.h"
#include "app/ShortcutService.h"
#include "preferences/Fonts.h"
#include "preferences/OrrerySettingsGroup.h"
#include "preferences/OrrerySettingsRow.h"
#include "preferences/OrrerySwitch.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tessora {

namespace {
const QString shortcutDetail = QStringLiteral("Opens the launcher from any application.");
}  // namespace

EssentialsPage::EssentialsPage(ShortcutService& shortcut, QWidget* parent)
    : QWidget(parent), m_shortcut(shortcut) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(40, 44, 40, 40);
    column->setSpacing(24);

    auto* title = new QLabel(QStringLiteral("Settings"), this);
    title->setFont(manrope(24, QFont::Bold));
    QPalette colours = title->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(colours);
    column->addWidget(title);

    auto* group = new OrrerySettingsGroup(QStringLiteral("Launcher"), this);
    m_switch = new OrrerySwitch(QStringLiteral("Enable Tessora"));
    group->addWidget(new OrrerySettingsRow(
        QStringLiteral("Enable Tessora"),
        QStringLiteral("While it is off, the shortcut does nothing."), m_switch));
    group->addDivider();
    m_keycaps = new ShortcutKeycaps(shortcut.label());
    m_shortcutRow = new OrrerySettingsRow(QStringLiteral("Shortcut"), shortcutDetail, m_keycaps);
    group->addWidget(m_shortcutRow);
    column->addWidget(group);
    column->addStretch(1);

    // The switch is the user's; a key that cannot be taken shows in the shortcut row instead.
    connect(m_switch, &QAbstractButton::clicked, this, [this](bool on) {
        m_shortcut.setEnabled(on);
        refresh();
    });
    connect(&m_shortcut, &ShortcutService::enabledChanged, this, &EssentialsPage::refresh);
    connect(&m_shortcut, &ShortcutService::errorChanged, this, &EssentialsPage::refresh);
    refresh();
}

void EssentialsPage::refresh() {
    m_switch->setChecked(m_shortcut.enabled());
    m_keycaps->setLabel(m_shortcut.label());
    const bool problem = !m_shortcut.error().isEmpty();
    m_shortcutRow->setNeedsAttention(problem);
    m_shortcutRow->setDetail(problem ? m_shortcut.error() : shortcutDetail);
}

}  // namespace tessora
