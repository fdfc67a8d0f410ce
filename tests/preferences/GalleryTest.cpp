// The components together, as a settings page puts them: a check that they compose (rows fill
// the card, the card grows with its rows) and a picture of the whole for people to look at.
#include "Rendering.h"
#include "preferences/BrandMarks.h"
#include "preferences/Fonts.h"
#include "preferences/OrreryButton.h"
#include "preferences/OrreryKeycap.h"
#include "preferences/OrrerySettingsGroup.h"
#include "preferences/OrrerySettingsRow.h"
#include "preferences/OrrerySwitch.h"

#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tessora {
namespace {

QWidget* keycapRow(const QString& label) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (const QString& key : keycaps(label)) {
        layout->addWidget(new OrreryKeycap(key));
    }
    return row;
}

TEST(ComponentGallery, GroupsOfRowsComposeIntoAPage) {
    QWidget page;
    auto* column = new QVBoxLayout(&page);
    column->setContentsMargins(28, 28, 28, 28);
    column->setSpacing(24);

    auto* brand = new QHBoxLayout;
    brand->setSpacing(10);
    auto* logo = new CasementLogo;
    logo->setFixedSize(42, 42);
    brand->addWidget(logo);
    brand->addWidget(new CasementSymbol(palette::accent()));
    brand->addStretch();
    column->addLayout(brand);

    auto* general = new OrrerySettingsGroup(QStringLiteral("General"));
    auto* login = new OrrerySwitch(QStringLiteral("Launch at login"));
    login->setChecked(true);
    general->addWidget(new OrrerySettingsRow(
        QStringLiteral("Launch at login"),
        QStringLiteral("Start Tessora in the menu bar when you sign in"), login));
    general->addDivider();
    auto* access = new OrrerySettingsRow(
        QStringLiteral("Accessibility"),
        QStringLiteral("Needed to move and resize other applications' windows"),
        new OrreryButton(QStringLiteral("Grant Access"), true));
    access->setNeedsAttention(true);
    general->addWidget(access);
    column->addWidget(general);

    auto* shortcuts = new OrrerySettingsGroup(QStringLiteral("Shortcut"));
    shortcuts->addWidget(new OrrerySettingsRow(QStringLiteral("Open Tessora"), {},
                                               keycapRow(QStringLiteral("⌘esc"))));
    shortcuts->addDivider();
    auto* stackRow = new OrrerySettingsRow(QStringLiteral("Switch windows in a stack"), {},
                                           keycapRow(QStringLiteral("⌃⌥Return")));
    shortcuts->addWidget(stackRow);
    column->addWidget(shortcuts);

    auto* windows = new OrrerySettingsGroup(QStringLiteral("Window layout"));
    windows->addWidget(new OrrerySettingsRow(
        QStringLiteral("Spacing between tiles"),
        QStringLiteral("Leave a 24 px gap around arranged windows"), new OrrerySwitch));
    windows->addDivider();
    windows->addWidget(
        new OrrerySettingsRow(QStringLiteral("Reset layouts"), {},
                              new OrreryButton(QStringLiteral("Reset"), false, true)));
    column->addWidget(windows);
    column->addStretch();

    testing::render(page, QSize(560, page.heightForWidth(560) > 0 ? page.heightForWidth(560)
                                                                  : page.sizeHint().height()));

    EXPECT_EQ(stackRow->sizeHint().height(), stackRow->height());
    // Each row spans the card; the card ends where its last row does.
    const QRect card = general->cardRect();
    EXPECT_EQ(access->width(), card.width());
    EXPECT_EQ(access->geometry().bottom(), card.bottom());
    EXPECT_EQ(general->height(), card.top() + general->contentLayout()->sizeHint().height() -
                                     general->contentLayout()->contentsMargins().top());
    EXPECT_TRUE(testing::saveScreenshot(page, QStringLiteral("settings-gallery"), 0));
}

}  // namespace
}  // namespace tessora
