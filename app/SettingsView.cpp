#include "app/SettingsView.h"

#include "app/LaunchAtLogin.h"
#include "app/ShortcutButton.h"
#include "app/ShortcutService.h"
#include "app/ShownRefresh.h"
#include "app/WindowLayoutOptions.h"
#include "preferences/BrandMarks.h"
#include "preferences/Fonts.h"
#include "preferences/OrrerySettingsGroup.h"
#include "preferences/OrrerySettingsRow.h"
#include "preferences/OrrerySwitch.h"
#include "preferences/Palette.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tessora {

namespace {

const QString kWindowControl = QStringLiteral("Window control");
const QString kWindowControlDetail =
    QStringLiteral("Required to move and resize your app windows.");

// Failures shown under a row: the orange the rest of the desktop uses for warnings.
QColor warningText() {
    return QColor(255, 159, 10);
}

QString versionText() {
    const QString version = QStringLiteral(TESSORA_VERSION);
    return QStringLiteral("Version ") + (version.isEmpty() ? QStringLiteral("1.0") : version);
}

QLabel* textLabel(const QString& text, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

// Short notes under a row, inside its card, aligned with the row's texts. The box takes no
// room while none of its notes is shown.
QWidget* noteBox() {
    auto* box = new QWidget;
    auto* notes = new QVBoxLayout(box);
    notes->setContentsMargins(OrrerySettingsRow::kPadding, 0, OrrerySettingsRow::kPadding,
                              OrrerySettingsRow::kPadding);
    notes->setSpacing(6);
    box->hide();
    return box;
}

QLabel* addNote(QWidget& box, const QColor& colour) {
    QLabel* label = textLabel(QString(), manrope(10, QFont::Normal), colour);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->hide();
    box.layout()->addWidget(label);
    return label;
}

void setNoteShown(QLabel& label, bool shown) {
    label.setVisible(shown);
    QWidget& box = *label.parentWidget();
    bool any = false;
    for (const QLabel* note : box.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        any = any || !note->isHidden();
    }
    box.setVisible(any);
}

void showNote(QLabel& label, const QString& text) {
    label.setText(text);
    setNoteShown(label, !text.isEmpty());
}

}  // namespace

SettingsView::SettingsView(ShortcutService& shortcut, DefaultsStore& defaults,
                           WindowSystem& windows, LoginItem& login, WindowControl windowControl,
                           Clock& clock, std::function<void()> hideStackIndicator, QWidget* parent)
    : QWidget(parent),
      m_shortcut(shortcut),
      m_windows(windows),
      m_windowControl(std::move(windowControl)),
      m_login(new LaunchAtLogin(login, this)),
      m_layoutOptions(new WindowLayoutOptions(defaults, std::move(hideStackIndicator), this)) {
    setFixedWidth(kWidth);
    setFont(manrope(11, QFont::Normal));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    colours.setColor(QPalette::Base, palette::windowBackground());
    colours.setColor(QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Text, Qt::white);
    colours.setColor(QPalette::Highlight, palette::accent());
    setPalette(colours);
    setAutoFillBackground(true);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kGroupSpacing);
    column->addWidget(buildGeneral());
    column->addWidget(buildPermissions());
    column->addWidget(buildShortcut());
    column->addWidget(buildWindowLayout());
    column->addWidget(buildAbout());
    column->addStretch(1);

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scrollArea);

    connect(m_login, &LaunchAtLogin::enabledChanged, this, &SettingsView::followLogin);
    connect(m_login, &LaunchAtLogin::errorChanged, this, &SettingsView::followLogin);
    connect(&m_shortcut, &ShortcutService::errorChanged, this, &SettingsView::followShortcut);
    connect(m_shortcutButton, &ShortcutButton::recordingChanged, this,
            &SettingsView::followShortcut);
    connect(m_layoutOptions, &WindowLayoutOptions::spacingChanged, this,
            &SettingsView::followWindowLayout);
    connect(m_layoutOptions, &WindowLayoutOptions::stackIndicatorsChanged, this,
            &SettingsView::followWindowLayout);
    followLogin();
    followShortcut();
    followWindowLayout();
    readWindowControl();

    // Window control while shown; the login item when shown and when the program comes back
    // to the front (the user may have changed it elsewhere meanwhile).
    new ShownRefresh(*this, clock, [this] { readWindowControl(); });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && isVisible()) {
                    m_login->refresh();
                }
            });
}

SettingsView::~SettingsView() = default;

QWidget* SettingsView::buildGeneral() {
    auto* group = new OrrerySettingsGroup(QStringLiteral("General"));
    m_loginSwitch = new OrrerySwitch(QStringLiteral("Launch at login"));
    group->addWidget(new OrrerySettingsRow(
        QStringLiteral("Launch at login"),
        QStringLiteral("Start Tessora in the tray when you log in"), m_loginSwitch));
    QWidget* notes = noteBox();
    m_loginError = addNote(*notes, warningText());
    group->addWidget(notes);
    connect(m_loginSwitch, &QAbstractButton::clicked, this, [this](bool on) {
        m_login->request(on);
        // A refused change puts the switch back where the login item really is.
        followLogin();
    });
    return group;
}

QWidget* SettingsView::buildPermissions() {
    auto* group = new OrrerySettingsGroup(QStringLiteral("Permissions"));
    m_windowControlSwitch = new OrrerySwitch(kWindowControl);
    m_windowControlRow =
        new OrrerySettingsRow(kWindowControl, kWindowControlDetail, m_windowControlSwitch);
    group->addWidget(m_windowControlRow);
    // The switch shows whether windows can be controlled: switching it on asks the user to make
    // it possible; the next read shows whether that worked.
    connect(m_windowControlSwitch, &QAbstractButton::clicked, this, [this](bool on) {
        QString why;
        const bool available = m_windowControl.isAvailable(&why);
        if (on && !available && m_windowControl.request) {
            m_windowControl.request();
        }
        readWindowControl();
    });
    return group;
}

QWidget* SettingsView::buildShortcut() {
    auto* group = new OrrerySettingsGroup(QStringLiteral("Shortcut"));
    m_shortcutButton = new ShortcutButton(m_shortcut, m_windows);
    group->addWidget(new OrrerySettingsRow(
        QStringLiteral("Open Tessora"),
        QStringLiteral("Press this from any app to open the search bar"), m_shortcutButton));
    QWidget* notes = noteBox();
    m_recordingHint = addNote(*notes, Qt::white);
    m_recordingHint->setText(QStringLiteral("Press esc to cancel. Include Ctrl, Alt or Super."));
    m_shortcutError = addNote(*notes, warningText());
    group->addWidget(notes);
    return group;
}

QWidget* SettingsView::buildWindowLayout() {
    auto* group = new OrrerySettingsGroup(QStringLiteral("Window layout"));
    m_spacingSwitch = new OrrerySwitch(QStringLiteral("Space between windows"));
    group->addWidget(new OrrerySettingsRow(
        QStringLiteral("Space between windows"),
        QStringLiteral("Add a small gap between arranged windows"), m_spacingSwitch));
    group->addDivider();
    m_stackIndicatorSwitch = new OrrerySwitch(QStringLiteral("Stack indicator"));
    group->addWidget(new OrrerySettingsRow(QStringLiteral("Stack indicator"),
                                           QStringLiteral("Mark the tile holding extra windows"),
                                           m_stackIndicatorSwitch));
    connect(m_spacingSwitch, &QAbstractButton::clicked, m_layoutOptions,
            &WindowLayoutOptions::setSpacing);
    connect(m_stackIndicatorSwitch, &QAbstractButton::clicked, m_layoutOptions,
            &WindowLayoutOptions::setStackIndicators);
    return group;
}

QWidget* SettingsView::buildAbout() {
    auto* group = new OrrerySettingsGroup(QStringLiteral("About Tessora"));
    auto* about = new QWidget;
    auto* line = new QHBoxLayout(about);
    line->setContentsMargins(OrrerySettingsRow::kPadding, OrrerySettingsRow::kPadding,
                             OrrerySettingsRow::kPadding, OrrerySettingsRow::kPadding);
    line->setSpacing(12);
    auto* logo = new CasementLogo;
    logo->setFixedSize(40, 40);
    line->addWidget(logo, 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(textLabel(QStringLiteral("Tessora"), manrope(14, QFont::DemiBold), Qt::white));
    m_version = textLabel(versionText(), manrope(10, QFont::Normal), palette::secondaryText());
    texts->addWidget(m_version);
    line->addLayout(texts);
    line->addStretch(1);
    group->addWidget(about);
    return group;
}

void SettingsView::showEvent(QShowEvent* event) {
    m_login->refresh();
    QWidget::showEvent(event);
}

void SettingsView::readWindowControl() {
    QString why;
    const bool available = m_windowControl.isAvailable(&why);
    m_windowControlSwitch->setChecked(available);
    m_windowControlRow->setNeedsAttention(!available);
    // Why it is missing, for whoever asks (the pointer or a screen reader).
    const QString reason = available ? QString() : why;
    m_windowControlSwitch->setToolTip(reason);
    m_windowControlSwitch->setAccessibleDescription(reason);
}

void SettingsView::followLogin() {
    m_loginSwitch->setChecked(m_login->enabled());
    showNote(*m_loginError, m_login->error());
}

void SettingsView::followShortcut() {
    setNoteShown(*m_recordingHint, m_shortcutButton->recording());
    showNote(*m_shortcutError, m_shortcut.error());
}

void SettingsView::followWindowLayout() {
    m_spacingSwitch->setChecked(m_layoutOptions->spacing());
    m_stackIndicatorSwitch->setChecked(m_layoutOptions->stackIndicators());
}

}  // namespace tessora
