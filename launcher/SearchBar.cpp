#include "launcher/SearchBar.h"

#include "launcher/LauncherPainting.h"
#include "launcher/SelectionStrip.h"
#include "launcher/Spinner.h"
#include "preferences/Palette.h"
#include "preferences/Shapes.h"
#include "workspace/WorkspaceModel.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>

namespace tessora {

using namespace launcherpaint;

SearchBar::SearchBar(WorkspaceModel& model, IconCache& icons, QWidget* actions, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_field(new QLineEdit(this)),
      m_strip(new SelectionStrip(model, icons, this)) {
    setFixedSize(barWidth, barHeight);

    m_field->setFrame(false);
    m_field->setFont(textFont(25, QFont::Normal));
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette colours = m_field->palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, Qt::white);
    colours.setColor(QPalette::PlaceholderText, white(0.32));
    colours.setColor(QPalette::Highlight, QColor(183, 159, 255, 120));
    colours.setColor(QPalette::HighlightedText, Qt::white);
    m_field->setPalette(colours);
    m_field->setMinimumWidth(80);

    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(28, 0, 28, 0);
    m_row->setSpacing(15);
    m_row->addWidget(m_field, 1);
    m_row->addWidget(m_strip, 0, Qt::AlignVCenter);
    m_row->addWidget(actions, 0, Qt::AlignVCenter);

    showScanning();
    connect(&m_model, &WorkspaceModel::scanningChanged, this, &SearchBar::showScanning);
}

void SearchBar::showScanning() {
    // The spinner exists only while a scan runs: a screen reader finds "Scanning
    // applications" then, and nothing otherwise.
    if (!m_model.scanning()) {
        delete std::exchange(m_spinner, nullptr);
    } else if (!m_spinner) {
        m_spinner = new Spinner(this);
        m_row->insertWidget(1, m_spinner, 0, Qt::AlignVCenter);
        m_spinner->show();
    }
}

void SearchBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bar = rect();
    QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
    fill.setColorAt(0, searchBarTop());
    fill.setColorAt(1, searchBarBottom());
    painter.fillPath(capsule(bar), fill);
    painter.setPen(QPen(white(0.13), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(capsule(bar.adjusted(0.5, 0.5, -0.5, -0.5)));
}

}  // namespace tessora
