// Confirming a selection, end to end on the simulated desktop: what runs, on which display and
// area, with which gap, and that runs never overlap.
#include "core/Sleep.h"
#include "core/Task.h"
#include "platform/DefaultsStore.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "tests/arrange/SimDesktopFixture.h"
#include "workspace/LaunchOperations.h"
#include "workspace/SettingsKeys.h"
#include "workspace/WorkspaceModel.h"

#include <QStringList>
#include <stdexcept>

namespace tessora {
namespace {

using namespace std::chrono_literals;

template <typename Space>
QString text(const Rect<Space>& r) {
    const auto n = [](double v) { return QString::number(v, 'g', 17); };
    return n(r.x) + ',' + n(r.y) + ' ' + n(r.width) + 'x' + n(r.height);
}

// Records what the pipeline asked for, with the area and gap; opening and arranging take one
// virtual second each.
class RecordingOperations final : public LaunchOperations {
public:
    explicit RecordingOperations(Clock& clock) : m_clock(clock) {}

    Task<QStringList> open(InstalledApps apps) override { return record("open " + names(apps)); }
    Task<QStringList> arrange(WindowLayout layout, InstalledApps apps, WindowRect area, double gap,
                              bool indicators) override {
        return record(QStringLiteral("arrange %1 %2 in %3 gap %4%5")
                          .arg(layout.id, names(apps), text(area))
                          .arg(gap)
                          .arg(indicators ? " with indicators" : ""));
    }
    Task<QStringList> chain(WindowLayout, InstalledApps apps, WindowRect area,
                            double gap) override {
        calls << QStringLiteral("chain %1 in %2 gap %3").arg(names(apps), text(area)).arg(gap);
        co_return QStringList();
    }
    Task<void> endChain() override {
        calls << "end chain";
        co_return;
    }
    void hideStackIndicator() override { calls << "hide indicator"; }

    static QString names(const InstalledApps& apps) {
        QStringList ids;
        for (const InstalledApp& app : apps) {
            ids << app.id;
        }
        return ids.join(',');
    }

    QStringList calls;
    QStringList messages;
    // Thrown by the next operation after its second of work, when set.
    std::optional<std::string> failure;

private:
    Task<QStringList> record(QString call) {
        calls << call;
        co_await sleepFor(m_clock, 1s, {});
        if (failure) {
            throw std::runtime_error(*std::exchange(failure, std::nullopt));
        }
        co_return messages;
    }

    Clock& m_clock;
};

class LaunchPipelineTest : public SimDesktopFixture {
protected:
    LaunchPipelineTest() {
        // A primary monitor of 1440 × 900 with a 25-point top panel, and one to its right.
        sim.setScreens({{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                        {2, {1440, 0, 1920, 1080}, {1440, 0, 1920, 1040}}});
        sim.setPointer(QPointF(100, 100));
        model->setSelected({app("a"), app("b")});
        QObject::connect(model.get(), &WorkspaceModel::launchFinished,
                         [this](const QStringList& m) { finished << m; });
    }

    static InstalledApp app(const QString& id) { return {id, id.toUpper(), "/x/" + id, {}}; }

    // Confirms and runs virtual time until the run is over; whether the panel was told to go.
    bool confirm() {
        bool started = false;
        model->launchSelected([&] { started = true; });
        clock.runUntil([&] { return !model->busy(); }, 1min);
        return started;
    }

    ManualBackgroundWork background;
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    RecordingOperations operations{clock};
    std::unique_ptr<WorkspaceModel> model = std::make_unique<WorkspaceModel>(
        *defaults, WorkspaceServices{sim, background, {}, {}, &operations});
    QList<QStringList> finished;
};

TEST_F(LaunchPipelineTest, WithoutALayoutOpensTheApplications) {
    operations.messages = {"B: could not open (no such file)."};
    bool started = false;
    model->launchSelected([&] { started = true; });
    EXPECT_TRUE(started);
    EXPECT_TRUE(model->busy());
    model->launchSelected([] { FAIL() << "a second run while busy"; });
    clock.runUntil([&] { return !model->busy(); }, 1min);
    EXPECT_EQ(operations.calls, QStringList({"hide indicator", "end chain", "open a,b"}));
    EXPECT_EQ(finished, QList<QStringList>({operations.messages}));
}

TEST_F(LaunchPipelineTest, AFailingRunEndsAndTheNextOneRuns) {
    for (const QString& layout : {QString(), QStringLiteral("mirror")}) {
        model->setLayoutID(layout);
        operations.failure = "the window system went away";
        EXPECT_TRUE(confirm()) << layout.toStdString();
        EXPECT_FALSE(model->busy()) << layout.toStdString();
        ASSERT_FALSE(finished.isEmpty());
        EXPECT_EQ(finished.takeLast(),
                  QStringList({"The launch stopped early: the window system went away."}));
    }
    // Not busy for good: the next confirmation runs.
    operations.calls.clear();
    EXPECT_TRUE(confirm());
    EXPECT_EQ(operations.calls.last(), "arrange mirror a,b in 0,25 1440x875 gap 0");
}

TEST_F(LaunchPipelineTest, NothingHappensWithoutSomethingToDo) {
    model->setLayoutID("no-such-layout");
    EXPECT_FALSE(confirm());
    model->setLayoutID("triad");
    sim.setControlUnavailable("no window manager");
    EXPECT_FALSE(confirm());  // the panel stays open
    sim.setControlUnavailable(QString());
    sim.setScreens({});
    EXPECT_FALSE(confirm());
    model->setSelected({});
    EXPECT_FALSE(confirm());
    EXPECT_TRUE(operations.calls.isEmpty());
    EXPECT_FALSE(model->busy());
}

TEST_F(LaunchPipelineTest, ArrangesOnTheDisplayTheLauncherWasShownOn) {
    model->setLayoutID("mirror");
    model->setTargetDisplayID(2u);
    ASSERT_TRUE(confirm());
    EXPECT_EQ(operations.calls.last(), "arrange mirror a,b in 1440,0 1920x1040 gap 0");

    // A display that is gone: the one under the pointer.
    model->setLayoutID("mirror");
    model->setTargetDisplayID(9u);
    sim.setPointer(QPointF(2000, 500));
    ASSERT_TRUE(confirm());
    EXPECT_EQ(operations.calls.last(), "arrange mirror a,b in 1440,0 1920x1040 gap 0");
    // Nothing under the pointer: the primary monitor.
    sim.setPointer(std::nullopt);
    ASSERT_TRUE(confirm());
    EXPECT_EQ(operations.calls.last(), "arrange mirror a,b in 0,25 1440x875 gap 0");
}

TEST_F(LaunchPipelineTest, IndicatorsAlsoSpaceTheWindows) {
    model->setLayoutID("quadra");
    defaults->setBool(keys::stackIndicatorsEnabled, true);
    ASSERT_TRUE(confirm());
    EXPECT_EQ(operations.calls.last(),
              "arrange quadra a,b in 0,25 1440x875 gap 24 with indicators");
    defaults->setBool(keys::stackIndicatorsEnabled, false);
    defaults->setBool(keys::windowSpacingEnabled, true);
    ASSERT_TRUE(confirm());
    EXPECT_EQ(operations.calls.last(), "arrange quadra a,b in 0,25 1440x875 gap 24");
}

TEST_F(LaunchPipelineTest, ChainGetsTheAreaAndTheGap) {
    model->setLayoutID("ribbon");
    ASSERT_TRUE(confirm());
    EXPECT_EQ(operations.calls.last(), "chain a,b in 0,25 1440x875 gap 0");
    EXPECT_EQ(finished, QList<QStringList>({{}}));
}

}  // namespace
}  // namespace tessora
