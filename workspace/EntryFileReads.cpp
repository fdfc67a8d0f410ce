#include "workspace/EntryFileReads.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace tessora {

namespace {

// Fewer files are read on the calling thread alone: starting threads would cost more.
constexpr qsizetype kFilesPerThread = 256;
// Files taken at a time by a reader, so that the readers rarely meet at the shared counter.
constexpr qsizetype kBatch = 32;
constexpr unsigned kMaxReaders = 4;

}  // namespace

QList<DesktopEntryFile> readEntryFiles(const QList<EntryFileToRead>& files,
                                       std::stop_token stop) {
    std::vector<DesktopEntryFile> read(size_t(files.size()));
    std::atomic<qsizetype> next{0};
    std::atomic<bool> stopped{false};
    const auto readBatches = [&] {
        for (;;) {
            if (stop.stop_requested()) {
                stopped = true;
                return;
            }
            const qsizetype first = next.fetch_add(kBatch);
            if (first >= files.size()) {
                return;
            }
            for (qsizetype i = first; i < std::min(first + kBatch, files.size()); ++i) {
                DesktopEntryFile& file = read[size_t(i)];
                file.id = files[i].id;
                file.path = files[i].path;
                file.entry = readDesktopEntry(file.path, &file.problem);
            }
        }
    };

    const unsigned helpers =
        std::min({std::max(std::thread::hardware_concurrency(), 1u), kMaxReaders,
                  unsigned(files.size() / kFilesPerThread + 1)}) -
        1;
    {
        std::vector<std::jthread> readers;
        readers.reserve(helpers);
        for (unsigned i = 0; i < helpers; ++i) {
            readers.emplace_back(readBatches);
        }
        readBatches();
    }

    QList<DesktopEntryFile> result;
    result.reserve(files.size());
    for (DesktopEntryFile& file : read) {
        // A stop leaves holes wherever a batch was not taken: only the files read are kept.
        if (!stopped || !file.path.isEmpty()) {
            result.append(std::move(file));
        }
    }
    return result;
}

}  // namespace tessora
