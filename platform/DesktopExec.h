#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tessora {

struct DesktopEntry;

// The words of an Exec value, the way a launcher splits it: quoting and escapes undone, field
// codes kept. Absent when the value cannot be split (an unbalanced quote, nothing but spaces);
// `problem` then says why.
std::optional<QStringList> execWords(const QString& exec, QString* problem = nullptr);

// The command line that starts `entry` (read from `entryPath`) with no files to open: its Exec
// words with the field codes expanded (%i to "--icon" and the icon, %c to the name, %k to the
// entry's path, %% to '%'; the file and URL codes, and the deprecated ones, to nothing). Empty
// when the Exec value cannot be split.
QStringList execCommandLine(const DesktopEntry& entry, const QString& entryPath);

}  // namespace tessora
