#pragma once

#include <QString>

namespace tessora {

// Text from files anyone can write (names, paths, messages that quote them), made safe to
// print as one record on a terminal: control characters and line or paragraph separators
// become spaces, so that a record stays on its line with its fields apart, and the
// bidirectional controls (embeddings, overrides, isolates and marks) become U+FFFD, so that a
// hostile name cannot reorder what is printed after it.
QString terminalSafe(QString text);

}  // namespace tessora
