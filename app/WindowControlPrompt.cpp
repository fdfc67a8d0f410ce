#include "app/WindowControlPrompt.h"

#include "preferences/Fonts.h"
#include "preferences/OrreryButton.h"
#include "preferences/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tessora {

WindowControlPrompt::WindowControlPrompt(QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      m_title(new QLabel(this)),
      m_text(new QLabel(this)),
      m_close(new OrreryButton(QStringLiteral("OK"), true, false, this)) {
    setWindowTitle(QStringLiteral("Window control"));
    setObjectName(QStringLiteral("WindowControlPrompt"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    setFixedWidth(420);

    m_title->setFont(manrope(15, QFont::Bold));
    m_text->setFont(manrope(12, QFont::Normal));
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette secondary = m_text->palette();
    secondary.setColor(QPalette::WindowText, palette::secondaryText());
    m_text->setPalette(secondary);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 22, 24, 20);
    column->setSpacing(12);
    column->addWidget(m_title);
    column->addWidget(m_text);
    column->addLayout(buttons);
    connect(m_close, &QAbstractButton::clicked, this, &QWidget::close);
}

void WindowControlPrompt::present(const QString& why) {
    if (why.isEmpty()) {
        m_title->setText(QStringLiteral("Window control is available"));
        m_text->setText(QStringLiteral("Tessora can move and resize the windows of this desktop."));
    } else {
        m_title->setText(QStringLiteral("Window control is not available"));
        m_text->setText(why +
                        QStringLiteral("\n\nTessora moves and resizes windows through the window "
                                       "manager of an X11 session. Log in to an X11 session with a "
                                       "window manager (openbox, Xfce, KDE Plasma on X11, GNOME on "
                                       "Xorg), then start Tessora there."));
    }
    setAccessibleName(m_title->text());
    adjustSize();
    show();
    raise();
    activateWindow();
    m_close->setFocus();
}

QString WindowControlPrompt::message() const {
    return m_text->text();
}

}  // namespace tessora
