#include "launcher/SelectionStrip.h"

#include "launcher/AccessibilityTexts.h"
#include "launcher/IconCache.h"
#include "launcher/LauncherPainting.h"
#include "preferences/Palette.h"
#include "workspace/WorkspaceModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace tessora {

namespace {
constexpr qsizetype maxChips = 9;
}

SelectionStripContent selectionStripContent(const InstalledApps& selected) {
    SelectionStripContent content;
    content.chips = selected.mid(0, maxChips);
    content.more = selected.size() > maxChips ? selected.size() - maxChips : 0;
    return content;
}

SelectionChip::SelectionChip(const InstalledApp& app, IconCache& icons, QWidget* parent)
    : QAbstractButton(parent), app_(app), icons_(icons) {
    setFixedSize(19, 19);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(chipAccessibleText(app_));
    setToolTip(app_.name);
    connect(&icons_, &IconCache::iconLoaded, this, [this](const QString& id) {
        if (id == app_.id) {
            update();
        }
    });
}

void SelectionChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, icons_.icon(app_, 19, 4, devicePixelRatioF()));
}

SelectionStrip::SelectionStrip(WorkspaceModel& model, IconCache& icons, QWidget* parent)
    : QWidget(parent), model_(model), icons_(icons), counter_(new QLabel(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(counter_);
    counter_->setFont(launcherpaint::textFont(12, QFont::Medium));
    QPalette colours = counter_->palette();
    colours.setColor(QPalette::WindowText, palette::secondaryText());
    counter_->setPalette(colours);
    connect(&model_, &WorkspaceModel::selectedChanged, this, &SelectionStrip::rebuild);
    rebuild();
}

void SelectionStrip::rebuild() {
    // A chip may be the one being clicked: it goes once its click has been handled.
    for (SelectionChip* chip : std::as_const(chips_)) {
        chip->hide();
        chip->deleteLater();
    }
    chips_.clear();
    const SelectionStripContent content = selectionStripContent(model_.selected());
    auto* row = static_cast<QHBoxLayout*>(layout());
    for (const InstalledApp& app : content.chips) {
        auto* chip = new SelectionChip(app, icons_, this);
        connect(chip, &QAbstractButton::clicked, &model_, [this, app] { model_.toggle(app); });
        row->insertWidget(static_cast<int>(chips_.size()), chip);
        chips_.append(chip);
    }
    counter_->setVisible(content.more > 0);
    counter_->setText(QStringLiteral("+") + QString::number(content.more));
    counter_->setAccessibleName(moreSelectedAccessibleText(content.more));
    setVisible(!content.chips.isEmpty());
}

}  // namespace tessora
