#include "core/BackgroundWork.h"
#include "core/TaskHandle.h"
#include "platform/sim/ManualBackgroundWork.h"

#include <gtest/gtest.h>
#include <QString>

#include <memory>
#include <stdexcept>

using namespace tessora;

namespace {

int lengthOf(QString text) {
    return static_cast<int>(text.size());
}

Task<int> measure(BackgroundWork& work, QString text) {
    co_return co_await runInBackground(work, &lengthOf, text);
}

Task<int> severalJobs(BackgroundWork& work) {
    const QString suffix = QStringLiteral("xyz");
    const auto withSuffix = [suffix](const QString& text) { return text + suffix; };
    const QString joined = co_await runInBackground(work, withSuffix, QStringLiteral("ab"));
    auto boxed = std::make_unique<int>(static_cast<int>(joined.size()));
    const int size = co_await runInBackground(
        work, [](std::unique_ptr<int> value) { return *value; }, std::move(boxed));
    EXPECT_EQ(size, 5);
    co_await runInBackground(work, [] { throw std::runtime_error("unreadable folder"); });
    co_return size;
}

}  // namespace

TEST(BackgroundWorkTest, ResultArrivesWhenTheJobCompletes) {
    ManualBackgroundWork work;
    auto measuring = start(measure(work, QStringLiteral("tessora")));
    EXPECT_EQ(work.pending(), 1u);
    EXPECT_FALSE(measuring.done());
    EXPECT_TRUE(work.runOne());
    ASSERT_TRUE(measuring.done());
    EXPECT_EQ(measuring.result(), 7);

    auto several = start(severalJobs(work));
    auto abandoned = start(measure(work, QStringLiteral("gone")));
    abandoned.reset();  // its frame goes while its job is queued: the job resumes nothing
    EXPECT_EQ(work.runAll(), 4u);
    ASSERT_TRUE(several.done());
    EXPECT_THROW(several.result(), std::runtime_error);
}
