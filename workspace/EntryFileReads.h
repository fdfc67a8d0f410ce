#pragma once

#include "platform/DesktopEntry.h"

#include <QList>
#include <stop_token>

namespace tessora {

// A desktop entry file to read, under the id the walk gave it.
struct EntryFileToRead {
    QString path;
    QString id;
};

// Reads the files, in the order given. Thousands of small files are read by a few threads at
// once: opening and reading each costs more than parsing it, and the calls do not wait for one
// another. A stop request ends the reading early; the files not read then are left out.
QList<DesktopEntryFile> readEntryFiles(const QList<EntryFileToRead>& files,
                                       std::stop_token stop = {});

}  // namespace tessora
