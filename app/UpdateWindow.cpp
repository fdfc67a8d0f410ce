#include "app/UpdateWindow.h"

#include "preferences/Fonts.h"
#include "preferences/OrreryButton.h"
#include "preferences/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace tessora {

namespace {

void paintText(QWidget* widget, const QColor& colour) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, colour);
    widget->setPalette(colours);
}

}  // namespace

UpdateWindow::UpdateWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      m_heading(new QLabel(this)),
      m_text(new QLabel(this)),
      m_notesArea(new QScrollArea(this)),
      m_notes(new QLabel),
      m_progress(new QProgressBar(this)),
      m_install(new OrreryButton(QStringLiteral("Install Update"), true, false, this)),
      m_later(new OrreryButton(QStringLiteral("Remind Me Later"), this)),
      m_skip(new OrreryButton(QStringLiteral("Skip This Version"), this)),
      m_close(new OrreryButton(QStringLiteral("OK"), true, false, this)),
      m_automatic(new OrreryButton(QStringLiteral("Check Daily"), true, false, this)),
      m_manual(new OrreryButton(QStringLiteral("Don't Check"), this)) {
    setWindowTitle(QStringLiteral("Software Update"));
    setObjectName(QStringLiteral("UpdateWindow"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    setFixedWidth(460);

    m_heading->setFont(manrope(15, QFont::Bold));
    m_heading->setWordWrap(true);
    m_text->setFont(manrope(12, QFont::Normal));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    paintText(m_text, palette::secondaryText());

    m_notes->setFont(manrope(12, QFont::Normal));
    m_notes->setWordWrap(true);
    m_notes->setTextFormat(Qt::PlainText);
    m_notes->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notes->setContentsMargins(12, 10, 12, 10);
    paintText(m_notes, Qt::white);
    m_notesArea->setWidget(m_notes);
    m_notesArea->setWidgetResizable(true);
    m_notesArea->setFixedHeight(180);
    m_notesArea->setFrameShape(QFrame::NoFrame);
    m_notesArea->setStyleSheet(
        QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: %1; "
                       "border-radius: 8px; }")
            .arg(palette::over(palette::surface(), palette::windowBackground()).name()));

    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(6);
    m_progress->setStyleSheet(
        QStringLiteral("QProgressBar { background: %1; border: none; border-radius: 3px; } "
                       "QProgressBar::chunk { background: %2; border-radius: 3px; }")
            .arg(palette::over(palette::hairline(), palette::windowBackground()).name(),
                 palette::accent().name()));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(m_skip);
    buttons->addStretch();
    for (OrreryButton* button : {m_manual, m_later, m_automatic, m_install, m_close}) {
        buttons->addWidget(button);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 22, 24, 20);
    column->setSpacing(12);
    column->addWidget(m_heading);
    column->addWidget(m_text);
    column->addWidget(m_notesArea);
    column->addWidget(m_progress);
    column->addLayout(buttons);

    connect(m_install, &QAbstractButton::clicked, this, &UpdateWindow::installChosen);
    connect(m_later, &QAbstractButton::clicked, this, &UpdateWindow::remindLaterChosen);
    connect(m_skip, &QAbstractButton::clicked, this, &UpdateWindow::skipChosen);
    connect(m_close, &QAbstractButton::clicked, this, &QWidget::hide);
    connect(m_automatic, &QAbstractButton::clicked, this,
            [this] { emit automaticChecksAnswered(true); });
    connect(m_manual, &QAbstractButton::clicked, this,
            [this] { emit automaticChecksAnswered(false); });
    present({}, {}, {});
}

void UpdateWindow::present(const QString& heading, const QString& text,
                           std::initializer_list<OrreryButton*> buttons) {
    m_heading->setText(heading);
    m_text->setText(text);
    m_text->setVisible(!text.isEmpty());
    m_notesArea->hide();
    m_progress->hide();
    for (OrreryButton* button : {m_install, m_later, m_skip, m_close, m_automatic, m_manual}) {
        button->setVisible(std::find(buttons.begin(), buttons.end(), button) != buttons.end());
    }
    setAccessibleName(heading);
    if (buttons.size() > 0) {
        (*std::prev(buttons.end()))->setFocus();
    }
    adjustSize();
}

void UpdateWindow::showChecking() {
    present(QStringLiteral("Checking for updates…"), {}, {});
    m_progress->setRange(0, 0);
    m_progress->show();
}

void UpdateWindow::showOffer(const QString& version, const QString& current,
                             const QString& notes) {
    m_notes->setText(QTextDocumentFragment::fromHtml(notes).toPlainText().trimmed());
    present(QStringLiteral("Tessora %1 is available").arg(version),
            QStringLiteral("You have version %1. Would you like to install the new version now?")
                .arg(current),
            {m_skip, m_later, m_install});
    m_notesArea->setVisible(!m_notes->text().isEmpty());
    adjustSize();
}

void UpdateWindow::showUpToDate(const QString& current) {
    present(QStringLiteral("You're up to date"),
            QStringLiteral("Tessora %1 is the newest version available.").arg(current), {m_close});
}

void UpdateWindow::showProgress(qint64 received, qint64 total) {
    const QString downloading = QStringLiteral("Downloading the update…");
    if (m_heading->text() != downloading) {
        present(downloading, {}, {});
        m_progress->show();
    }
    // The bar counts in kibibytes, which an int holds for any package.
    m_progress->setRange(0, static_cast<int>(std::max<qint64>(total / 1024, 1)));
    m_progress->setValue(static_cast<int>(std::min(received, total) / 1024));
}

void UpdateWindow::showMessage(const QString& heading, const QString& text) {
    present(heading, text, {m_close});
}

void UpdateWindow::askAboutAutomaticChecks() {
    present(QStringLiteral("Check for updates automatically?"),
            QStringLiteral("Tessora can look for a newer version once a day. You can always check "
                           "yourself from the tray menu."),
            {m_manual, m_automatic});
}

QString UpdateWindow::heading() const {
    return m_heading->text();
}

QString UpdateWindow::text() const {
    return m_text->text();
}

QString UpdateWindow::notes() const {
    return m_notes->text();
}

}  // namespace tessora
