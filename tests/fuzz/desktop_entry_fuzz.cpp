// Feeds arbitrary bytes to the desktop entry parser and the Exec line's splitting: whatever a
// file in an application folder contains, reading it must neither crash nor read out of bounds.
#include "platform/DesktopEntry.h"
#include "platform/DesktopExec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    QString problem;
    if (const auto entry = tessora::parseDesktopEntry(bytes, &problem)) {
        // Touch the values so that conversions of every key run.
        volatile qsizetype total = entry->type.size() + entry->name.value_or(QString()).size() +
                                   entry->exec.size() + entry->onlyShowIn.size();
        (void)total;
        volatile qsizetype words =
            tessora::execCommandLine(*entry, QStringLiteral("/a.desktop")).size();
        (void)words;
    }
    return 0;
}
