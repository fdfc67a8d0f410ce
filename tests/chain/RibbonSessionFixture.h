#pragma once

#include "chain/RibbonLayoutSession.h"
#include "tests/arrange/SimDesktopFixture.h"
#include "workspace/WindowLayout.h"

namespace tessora {

// What the session asked of its panel, kept beyond the panel's life.
struct PanelRecord {
    int alive = 0;
    WindowRect frame;
    ribbondots::Dots dots;
    RibbonPanelView::Handlers handlers;
};

class RecordingPanel final : public RibbonPanelView {
public:
    explicit RecordingPanel(PanelRecord& record) : m_record(record) { ++m_record.alive; }
    ~RecordingPanel() override {
        --m_record.alive;
        m_record.handlers = {};
    }
    void show(const WindowRect& frame, const ribbondots::Dots& dots) override {
        m_record.frame = frame;
        m_record.dots = dots;
    }
    void setDots(const ribbondots::Dots& dots) override { m_record.dots = dots; }
    void setHandlers(Handlers handlers) override { m_record.handlers = std::move(handlers); }

private:
    PanelRecord& m_record;
};

// A 1440 × 900 area with a 24-point gap: base columns are 708 wide and start 732 apart.
class RibbonSessionTest : public SimDesktopFixture {
protected:
    static constexpr double gap = 24;
    const WindowRect area{0, 0, 1440, 900};

    // One application per window, each window at its own place.
    void addWindows(int count) {
        for (int i = 0; i < count; ++i) {
            SimApp& app = sim.addApp(QStringLiteral("org.example.App%1").arg(i),
                                     QStringLiteral("App %1").arg(i));
            const WindowRect frame{100.0 + 40 * i, 80.0 + 30 * i, 800, 600};
            ids.append(sim.addWindow(app, frame));
            originals.append(frame);
            apps.append(app.installedApp());
        }
    }

    Task<void> startSession() {
        return session.start(layoutWithID(QString::fromLatin1(chainLayoutId))->regions, apps, area,
                             gap);
    }

    // Starts the session on `count` new windows and lets the first render pass finish.
    void startWith(int count) {
        addWindows(count);
        run(startSession());
        settle();
    }

    void expectRestored() {
        for (int i = 0; i < ids.size(); ++i) {
            EXPECT_THAT(win(i).frame, FrameNear(originals[i])) << i;
        }
    }

    void settle() {
        EXPECT_TRUE(clock.runUntil(
            [&] {
                return !session.isRendering() && !session.isAnimating() &&
                       !session.isSettlePending();
            },
            std::chrono::seconds(10)));
    }

    SimWindow& win(int i) { return sim.window(ids[i]); }

    ScrollInput altScroll(double dx, double dy, bool precise, QPointF at = {700, 400}) const {
        return {dx, dy, precise, at, KeyModifier::Alt};
    }

    PanelRecord panel;
    RibbonLayoutSession session{sim, clock,
                                [this] { return std::make_unique<RecordingPanel>(panel); }};
    QList<WindowId> ids;
    QList<WindowRect> originals;
    InstalledApps apps;
};

}  // namespace tessora
