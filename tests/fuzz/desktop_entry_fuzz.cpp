// Feeds arbitrary bytes to the desktop entry parser: whatever a file in an application folder
// contains, parsing must neither crash nor read out of bounds.
#include "platform/DesktopEntry.h"

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
    }
    return 0;
}
