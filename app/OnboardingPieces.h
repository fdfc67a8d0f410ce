#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

namespace tessora {

// The small pieces the first-run window is made of.

// A wrapping text in one font and colour.
QLabel* onboardingText(const QFont& font, const QColor& colour, QWidget* parent);

// A 1 px hairline across its parent's width.
QWidget* onboardingHairline(QWidget* parent);

// Orange for what went wrong but does not stop the user (a login item that could not be
// changed, a shortcut another program holds): the system orange of dark appearances.
inline QColor onboardingOrange() {
    return QColor(255, 159, 10);
}

}  // namespace tessora
