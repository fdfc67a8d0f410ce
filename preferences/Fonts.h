#pragma once

#include <QFont>
#include <QString>

namespace tessora {

// Makes the Manrope typeface available to this process. Only the first call does anything;
// when the font files are missing, text quietly falls back to the system font.
void registerFonts();

// Adds every Manrope-*.ttf in `directory` to the application's fonts; returns how many were added.
int registerFontsFrom(const QString& directory);

// Sizes are in logical pixels, the unit every painted shape is measured in, so that text keeps
// its proportion to the shapes around it whatever DPI the desktop's fonts are set to.
QFont manrope(qreal size, QFont::Weight weight);
QFont systemFont(qreal size, QFont::Weight weight);

}  // namespace tessora
