#pragma once

class QWidget;

namespace tessora {

// Gives the painted components their roles for assistive technology: key caps read as text,
// settings rows and groups as groupings named by their titles, brand marks stay out of the way.
// Buttons and switches are QAbstractButtons and get Qt's own button and check-box roles.
// Safe to call any number of times; the components call it themselves.
void installComponentAccessibility();

// True when `widget` has the focus and the window's focus last moved by keyboard, the moment a
// painted control shows its focus ring (clicks do not).
bool showsKeyboardFocus(const QWidget& widget);

}  // namespace tessora
