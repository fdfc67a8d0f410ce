#pragma once

#include <QCollator>
#include <QString>

namespace tessora {

// The order a file browser uses for names: case-insensitive, digit runs compared by value,
// in the user's locale. In the C/POSIX locale Qt compares code points, which sorts "Zoom"
// before "atom" and "App 10" before "App 9"; there we collate as English instead.
QCollator standardNameCollator();

}  // namespace tessora
