#include "app/TerminalText.h"

namespace tessora {

namespace {

bool isBidiControl(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

QString terminalSafe(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            c = QLatin1Char(' ');
        } else if (isBidiControl(c.unicode())) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

}  // namespace tessora
