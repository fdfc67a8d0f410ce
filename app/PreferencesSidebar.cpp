#include "app/PreferencesSidebar.h"

#include "app/AttentionBadge.h"
#include "app/PreferencesSymbols.h"
#include "app/SidebarEntry.h"
#include "app/SidebarToggle.h"
#include "preferences/BrandMarks.h"
#include "preferences/Fonts.h"
#include "preferences/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tessora {

namespace {

QLabel* label(const QString& text, const QFont& font, const QColor& colour, QWidget* parent) {
    auto* shown = new QLabel(text, parent);
    shown->setFont(font);
    QPalette colours = shown->palette();
    colours.setColor(QPalette::WindowText, colour);
    shown->setPalette(colours);
    return shown;
}

}  // namespace

PreferencesSidebar::PreferencesSidebar(PreferencesNavigation& navigation, QWidget* parent)
    : QWidget(parent), m_navigation(navigation) {
    setFixedWidth(kWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeTopBar());
    column->addSpacing(1);  // the hairline under the top bar, painted by paintEvent
    column->addWidget(makeBrandBlock());

    QFont captionFont = manrope(11, QFont::Bold);
    captionFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    QLabel* caption = label(tr("PREFERENCES"), captionFont, palette::secondaryText(), this);
    caption->setAccessibleName(tr("Preferences"));
    caption->setContentsMargins(23, 0, 23, 12);
    column->addWidget(caption);

    m_settings = new SidebarEntry(tr("Settings"), gearSymbol, this);
    m_shortcuts = new SidebarEntry(tr("Shortcuts"), keyboardSymbol, this);
    m_badge = new AttentionBadge;
    m_settings->setAccessory(m_badge);
    for (SidebarEntry* entry : {m_settings, m_shortcuts}) {
        auto* padded = new QHBoxLayout;
        padded->setContentsMargins(12, 0, 12, 4);
        padded->addWidget(entry);
        column->addLayout(padded);
    }
    column->addStretch(1);

    connect(m_settings, &SidebarEntry::clicked, this,
            [this] { m_navigation.setSection(PreferencesNavigation::Section::Settings); });
    connect(m_shortcuts, &SidebarEntry::clicked, this,
            [this] { m_navigation.setSection(PreferencesNavigation::Section::Shortcuts); });
    connect(m_hide, &SidebarToggle::clicked, this,
            [this] { m_navigation.setSidebarVisible(false); });
    connect(&m_navigation, &PreferencesNavigation::sectionChanged, this,
            &PreferencesSidebar::showSection);
    showSection();
}

QWidget* PreferencesSidebar::makeTopBar() {
    auto* bar = new QWidget(this);
    bar->setFixedHeight(kTopBarHeight);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(18, 0, 18, 0);
    row->addStretch(1);
    m_hide = new SidebarToggle(tr("Hide sidebar"), bar);
    row->addWidget(m_hide, 0, Qt::AlignVCenter);
    return bar;
}

QWidget* PreferencesSidebar::makeBrandBlock() {
    auto* block = new QWidget(this);
    auto* row = new QHBoxLayout(block);
    row->setContentsMargins(18, 24, 18, 24);
    row->setSpacing(10);
    auto* logo = new CasementLogo(block);
    logo->setFixedSize(42, 42);
    row->addWidget(logo, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(label(QStringLiteral("Tessora"), manrope(15, QFont::Bold), Qt::white, block));
    texts->addWidget(label(tr("Launch and arrange"), manrope(11, QFont::Normal),
                           palette::secondaryText(), block));
    row->addLayout(texts);
    row->addStretch(1);
    return block;
}

SidebarEntry* PreferencesSidebar::entry(PreferencesNavigation::Section section) const {
    return section == PreferencesNavigation::Section::Settings ? m_settings : m_shortcuts;
}

void PreferencesSidebar::showSection() {
    m_settings->setSelected(m_navigation.section() == PreferencesNavigation::Section::Settings);
    m_shortcuts->setSelected(m_navigation.section() == PreferencesNavigation::Section::Shortcuts);
}

void PreferencesSidebar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette::windowBackground());
    painter.fillRect(QRect(0, kTopBarHeight, width(), 1), palette::hairline());
}

}  // namespace tessora
