#include "workspace/EntryFileReads.h"

#include "tests/support/TemporaryTree.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

// Enough files for several readers, so that their batches interleave.
constexpr int kFiles = 600;

QList<EntryFileToRead> writeEntries(testing::TemporaryTree& tree) {
    QList<EntryFileToRead> files;
    for (int i = 0; i < kFiles; ++i) {
        const QString id = QStringLiteral("app%1").arg(i);
        const QString path = tree.path(id + ".desktop");
        if (i % 50 != 7) {  // some vanished between the walk and the reading
            tree.write(id + ".desktop", "[Desktop Entry]\nName=App " + QByteArray::number(i));
        }
        files.append({path, id});
    }
    return files;
}

TEST(EntryFileReadsTest, KeepsTheOrderGivenAndReportsFilesThatVanished) {
    testing::TemporaryTree tree;
    const QList<EntryFileToRead> files = writeEntries(tree);
    const QList<DesktopEntryFile> read = readEntryFiles(files);
    ASSERT_EQ(read.size(), kFiles);
    for (int i = 0; i < kFiles; ++i) {
        const DesktopEntryFile& file = read[i];
        ASSERT_EQ(file.id, files[i].id);
        ASSERT_EQ(file.path, files[i].path);
        if (i % 50 == 7) {
            ASSERT_FALSE(file.entry) << i;
            ASSERT_TRUE(file.problem.startsWith("cannot open")) << file.problem.toStdString();
        } else {
            ASSERT_TRUE(file.entry) << i;
            ASSERT_EQ(file.entry->name, QStringLiteral("App %1").arg(i));
        }
    }
}

TEST(EntryFileReadsTest, AStopLeavesOutWhatWasNotRead) {
    testing::TemporaryTree tree;
    const QList<EntryFileToRead> files = writeEntries(tree);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_TRUE(readEntryFiles(files, stop.get_token()).isEmpty());
}

}  // namespace
}  // namespace tessora
