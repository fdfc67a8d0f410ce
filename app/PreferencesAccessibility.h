#pragma once

namespace tessora {

// Gives the settings window's own widgets their roles for assistive technology: sidebar entries
// are buttons marked selected while their page is shown, the attention badge is an image named
// by its message, and a shortcut row is one element that reads its title and keys (its caps are
// not met one by one). Safe to call any number of times; the widgets call it themselves.
void installPreferencesAccessibility();

}  // namespace tessora
