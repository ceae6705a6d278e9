#include "widget/support/phone_fixture.h"

#include <weeapp/sys/events/run_loop.h>
#include <weeapp/ui/views/animation.h>
#include <weeapp/ui/views/button.h>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

class MetroFlipTest : public PhoneFixture {
protected:
    void SetUp() override
    {
        PhoneFixture::SetUp();
        writeSettings({ { "metroStyle", Value::boolean(true) } });
        writeFavorites(numberedFavorites(3));
        showWidget();
    }

    std::size_t fadedTiles() const
    {
        std::size_t faded = 0;
        for (const auto& button : *controller->buttons)
            faded += button->alpha() < 0.5f;
        return faded;
    }

    weeapp::sys::RunLoop& runLoop() { return weeapp::sys::RunLoop::main(); }
};

// On screen a flip starts every 3.5 s: 2.5 s wait, 1 s turn with the flip transition and fade.
TEST_F(MetroFlipTest, FlipsEveryThreeAndAHalfSeconds)
{
    controller->viewDidAppear();
    runLoop().advance(2.5); // the build's call and the appear call fall due together
    EXPECT_EQ(controller->aniRuns, weeapp::sys::YES);
    const auto running = weeapp::ui::Animations::running();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0]->identifier, "Flip Top Card");
    EXPECT_EQ(running[0]->duration, 1.0);
    EXPECT_EQ(running[0]->curve, weeapp::ui::AnimationCurve::EaseOut);
    EXPECT_EQ(running[0]->transition, weeapp::ui::AnimationTransition::FlipFromLeft);
    EXPECT_TRUE(running[0]->transitionCache);
    EXPECT_EQ(fadedTiles(), 1u);
    EXPECT_FLOAT_EQ(running[0]->transitionView.lock()->alpha(), 0.05f);

    runLoop().advance(1.0);
    EXPECT_EQ(controller->aniRuns, weeapp::sys::NO);
    EXPECT_TRUE(weeapp::ui::Animations::running().empty());
    EXPECT_EQ(runLoop().pendingCount(), 1u);
    EXPECT_DOUBLE_EQ(runLoop().nextDeadline(), 6.0);
    runLoop().advance(2.5);
    EXPECT_EQ(controller->aniRuns, weeapp::sys::YES);
}

// Off screen the pending flip still runs once, then the chain stops; the next appear restarts it.
TEST_F(MetroFlipTest, DisappearStopsTheChainAfterThePendingFlip)
{
    controller->viewDidDisappear();
    runLoop().advance(2.5);
    EXPECT_EQ(controller->aniRuns, weeapp::sys::YES);
    runLoop().advance(1.0);
    EXPECT_EQ(runLoop().pendingCount(), 0u);
    runLoop().advance(20);
    EXPECT_EQ(fadedTiles(), 1u);

    controller->viewDidAppear();
    runLoop().advance(2.5);
    EXPECT_EQ(controller->aniRuns, weeapp::sys::YES);
}

// A tile toggles between 0.05 and 1.0; exactly 0.5 counts as shown.
TEST_F(MetroFlipTest, AlphaToggles)
{
    writeFavorites(numberedFavorites(1));
    controller->buildGroundView();
    controller->buildView();
    controller->animate = weeapp::sys::YES;
    weeapp::ui::Button& tile = *controller->buttons->front();
    tile.setAlpha(0.5f);
    const std::vector<float> expected { 0.05f, 1.0f, 0.05f };
    for (float alpha : expected) {
        runLoop().advance(2.5);
        EXPECT_FLOAT_EQ(tile.alpha(), alpha);
        runLoop().advance(1.0);
    }
}

// Calls that find a flip running, the flips switched off or no tiles do nothing and schedule
// nothing.
TEST_F(MetroFlipTest, GuardsEndTheChainSilently)
{
    controller->aniRuns = weeapp::sys::YES;
    runLoop().advance(2.5);
    EXPECT_TRUE(weeapp::ui::Animations::running().empty());
    EXPECT_EQ(runLoop().pendingCount(), 0u);
    controller->aniRuns = weeapp::sys::NO;

    setSetting("animateMetrosOff", Value::boolean(true));
    controller->flipStyle();
    EXPECT_EQ(controller->aniRuns, weeapp::sys::NO);
    setSetting("animateMetrosOff", nullptr);

    controller->buttons->clear();
    controller->flipStyle();
    EXPECT_EQ(controller->aniRuns, weeapp::sys::NO);
    EXPECT_EQ(runLoop().pendingCount(), 0u);

    // A host that says the view appeared before asking for it: no tiles yet, nothing flips.
    {
        KavrinController early;
        early.viewDidAppear();
        runLoop().advance(2.5);
        EXPECT_EQ(early.aniRuns, weeapp::sys::NO);
    }

    // The standard look has no metro buttons, so nothing ever flips there.
    writeSettings({});
    controller->buildGroundView();
    controller->buildView();
    controller->viewDidAppear();
    runLoop().advance(10);
    EXPECT_EQ(controller->aniRuns, weeapp::sys::NO);
}

// A flip's did-stop with the flips switched off meanwhile schedules nothing further.
TEST_F(MetroFlipTest, SwitchedOffDuringAFlip)
{
    controller->viewDidAppear();
    runLoop().advance(2.5);
    setSetting("animateMetrosOff", Value::boolean(true));
    runLoop().advance(1.0);
    EXPECT_EQ(controller->aniRuns, weeapp::sys::NO);
    EXPECT_EQ(runLoop().pendingCount(), 0u);
}

}
}
