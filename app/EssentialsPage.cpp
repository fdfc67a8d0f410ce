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
    : QWidget(parent), shortcut_(shortcut) {
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
    switch_ = new OrrerySwitch(QStringLiteral("Enable Tessora"));
    group->addWidget(new OrrerySettingsRow(
        QStringLiteral("Enable Tessora"),
        QStringLiteral("While it is off, the shortcut does nothing."), switch_));
    group->addDivider();
    keycaps_ = new ShortcutKeycaps(shortcut.label());
    shortcutRow_ = new OrrerySettingsRow(QStringLiteral("Shortcut"), shortcutDetail, keycaps_);
    group->addWidget(shortcutRow_);
    column->addWidget(group);
    column->addStretch(1);

    // The switch asks; the service decides (taking the key can fail), and the switch follows.
    connect(switch_, &QAbstractButton::clicked, this, [this](bool on) {
        shortcut_.setEnabled(on);
        refresh();
    });
    connect(&shortcut_, &ShortcutService::enabledChanged, this, &EssentialsPage::refresh);
    connect(&shortcut_, &ShortcutService::errorChanged, this, &EssentialsPage::refresh);
    refresh();
}

void EssentialsPage::refresh() {
    switch_->setChecked(shortcut_.enabled());
    keycaps_->setLabel(shortcut_.label());
    const bool problem = !shortcut_.error().isEmpty();
    shortcutRow_->setNeedsAttention(problem);
    shortcutRow_->setDetail(problem ? shortcut_.error() : shortcutDetail);
}

}  // namespace tessora
