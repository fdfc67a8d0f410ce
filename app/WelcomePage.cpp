#include "app/WelcomePage.h"

#include "app/ShortcutKeycaps.h"
#include "app/ShortcutService.h"
#include "preferences/BrandMarks.h"
#include "preferences/Fonts.h"
#include "preferences/OrreryButton.h"
#include "preferences/Palette.h"
#include "workspace/SettingsKeys.h"
#include "workspace/WorkspaceModel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tessora {

namespace {

QLabel* text(const QString& content, const QFont& font, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(content, parent);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

}  // namespace

WelcomePage::WelcomePage(WorkspaceModel& model, ShortcutService& shortcut, QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(48, 48, 48, 48);
    column->setSpacing(0);
    column->addStretch(1);

    auto* logo = new CasementLogo(this);
    logo->setFixedSize(96, 96);
    column->addWidget(logo, 0, Qt::AlignHCenter);
    column->addSpacing(28);

    QLabel* title =
        text(QStringLiteral("Welcome to Tessora"), manrope(30, QFont::Bold), Qt::white, this);
    column->addWidget(title, 0, Qt::AlignHCenter);
    column->addSpacing(14);
    column->addWidget(text(QStringLiteral("Open several applications at once and arrange their "
                                          "windows in one go."),
                           manrope(14, QFont::Medium), palette::secondaryText(), this),
                      0, Qt::AlignHCenter);
    column->addSpacing(36);

    // "Press [Ctrl] [esc] in any application to open the launcher."
    auto* shortcutLine = new QHBoxLayout;
    shortcutLine->setSpacing(10);
    shortcutLine->addStretch(1);
    shortcutLine->addWidget(
        text(QStringLiteral("Press"), manrope(14, QFont::Medium), Qt::white, this));
    auto* caps = new ShortcutKeycaps(shortcut.label(), this);
    shortcutLine->addWidget(caps);
    shortcutLine->addWidget(text(QStringLiteral("in any application to open the launcher."),
                                 manrope(14, QFont::Medium), Qt::white, this));
    shortcutLine->addStretch(1);
    column->addLayout(shortcutLine);
    column->addSpacing(12);

    // Said here because nothing else would tell a new user why the keys do nothing.
    QLabel* problem = text(shortcut.error(), manrope(12, QFont::Medium), palette::alertRed(), this);
    problem->setWordWrap(true);
    problem->setAlignment(Qt::AlignHCenter);
    problem->setVisible(!shortcut.error().isEmpty());
    column->addWidget(problem);
    connect(&shortcut, &ShortcutService::errorChanged, problem, [problem, &shortcut] {
        problem->setText(shortcut.error());
        problem->setVisible(!shortcut.error().isEmpty());
    });
    column->addStretch(1);

    m_continue = new OrreryButton(QStringLiteral("Continue"), true, false, this);
    m_continue->setMinimumWidth(160);
    column->addWidget(m_continue, 0, Qt::AlignHCenter);
    connect(m_continue, &QAbstractButton::clicked, this, [&model] { finishFirstRun(model); });
    m_continue->setFocus();
}

void WelcomePage::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        m_continue->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WelcomePage::finishFirstRun(WorkspaceModel& model) {
    model.defaults().setBool(QString::fromLatin1(keys::onboardingComplete), true);
    model.defaults().setInteger(QString::fromLatin1(keys::onboardingVersion), 1);
    model.setShowOnboarding(false);
}

}  // namespace tessora
