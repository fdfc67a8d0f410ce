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
    : QAbstractButton(parent), m_app(app), m_icons(icons) {
    setFixedSize(19, 19);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(chipAccessibleText(m_app));
    setToolTip(m_app.name);
    connect(&m_icons, &IconCache::iconLoaded, this, [this](const QString& id) {
        if (id == m_app.id) {
            update();
        }
    });
}

void SelectionChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_icons.icon(m_app, 19, 4, devicePixelRatioF()));
}

SelectionStrip::SelectionStrip(WorkspaceModel& model, IconCache& icons, QWidget* parent)
    : QWidget(parent), m_model(model), m_icons(icons) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    connect(&m_model, &WorkspaceModel::selectedChanged, this, &SelectionStrip::rebuild);
    rebuild();
}

void SelectionStrip::rebuild() {
    // A chip may be the one being clicked: it goes once its click has been handled.
    for (SelectionChip* chip : std::as_const(m_chips)) {
        chip->hide();
        chip->deleteLater();
    }
    m_chips.clear();
    const SelectionStripContent content = selectionStripContent(m_model.selected());
    auto* row = static_cast<QHBoxLayout*>(layout());
    for (const InstalledApp& app : content.chips) {
        auto* chip = new SelectionChip(app, m_icons, this);
        connect(chip, &QAbstractButton::clicked, &m_model, [this, app] { m_model.toggle(app); });
        row->insertWidget(static_cast<int>(m_chips.size()), chip);
        m_chips.append(chip);
    }
    showCounter(content.more);
    setVisible(!content.chips.isEmpty());
}

void SelectionStrip::showCounter(qsizetype more) {
    // The counter exists only while there is something to count, so that a screen reader
    // never meets "0 more".
    if (more == 0) {
        delete std::exchange(m_counter, nullptr);
        return;
    }
    if (!m_counter) {
        m_counter = new QLabel(this);
        m_counter->setFont(launcherpaint::textFont(12, QFont::Medium));
        QPalette colours = m_counter->palette();
        colours.setColor(QPalette::WindowText, palette::secondaryText());
        m_counter->setPalette(colours);
        layout()->addWidget(m_counter);
        m_counter->show();
    }
    m_counter->setText(QStringLiteral("+") + QString::number(more));
    m_counter->setAccessibleName(moreSelectedAccessibleText(more));
}

}  // namespace tessora
