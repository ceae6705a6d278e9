#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/animation.h>
#include <weeapp/ui/button.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace ui;

struct Flipper final : sys::Object {
    int stops { 0 };
    void didStop() { ++stops; }
};

class AnimationTest : public testing::Test {
protected:
    void SetUp() override { sys::RunLoop::main().setClock(m_clock); }

    // The flip block of the metro tiles, on view.
    static void commitFlip(View& view, Flipper& delegate)
    {
        Animations::beginAnimations("Flip Top Card", nullptr);
        Animations::setAnimationDidStopSelector(&Flipper::didStop);
        Animations::setAnimationDuration(1.0);
        Animations::setAnimationDelegate(&delegate);
        Animations::setAnimationRepeatCount(0);
        Animations::setAnimationRepeatAutoreverses(false);
        Animations::setAnimationCurve(2);
        Animations::setAnimationTransitionForView(1, &view, true);
        view.setAlpha(view.alpha() < 0.5f ? 1.0f : 0.05f);
        Animations::commitAnimations();
    }

    std::shared_ptr<sys::ManualClock> m_clock { std::make_shared<sys::ManualClock>() };
};

// The model takes the new alpha at once; the animation records the change and the flip, and the
// picture moves from the old alpha to the new one over the duration.
TEST_F(AnimationTest, ModelChangesAtOnceAndPictureFollows)
{
    m_clock->setNow(10);
    auto tile = Button::buttonWithType(0);
    Flipper delegate;
    commitFlip(*tile, delegate);
    EXPECT_FLOAT_EQ(tile->alpha(), 0.05f);
    EXPECT_FALSE(Animations::isRecording());

    const auto running = Animations::running();
    ASSERT_EQ(running.size(), 1u);
    const Animation& flip = *running.front();
    EXPECT_EQ(flip.identifier, "Flip Top Card");
    EXPECT_EQ(flip.startTime, 10);
    EXPECT_EQ(flip.curve, AnimationCurve::EaseOut);
    EXPECT_EQ(flip.transition, AnimationTransition::FlipFromLeft);
    EXPECT_EQ(flip.transitionView.lock(), tile);
    ASSERT_EQ(flip.alphaChanges.size(), 1u);
    EXPECT_EQ(flip.alphaChanges.front().from, 1.0f);

    EXPECT_EQ(flip.progressAt(9), 0);
    EXPECT_EQ(flip.progressAt(11), 1);
    const double early = flip.progressAt(10.25);
    const double late = flip.progressAt(10.75);
    EXPECT_GT(early, 0.25); // ease-out: ahead of linear early on
    EXPECT_GT(late, early);
    EXPECT_LT(late, 1);
    EXPECT_FLOAT_EQ(Animations::presentationAt(*tile, 10).alpha, 1.0f);
    const Presentation halfway = Animations::presentationAt(*tile, 10.5);
    EXPECT_LT(halfway.alpha, 1.0f);
    EXPECT_GT(halfway.alpha, 0.05f);
    EXPECT_EQ(halfway.flip, running.front().get());
    EXPECT_DOUBLE_EQ(halfway.flipProgress, flip.progressAt(10.5));

    sys::RunLoop::main().advance(1.0);
    EXPECT_TRUE(Animations::running().empty());
    EXPECT_FLOAT_EQ(Animations::presentationAt(*tile, m_clock->now()).alpha, 0.05f);
    EXPECT_EQ(Animations::presentationAt(*tile, m_clock->now()).flip, nullptr);

    // Outside a block, a change is not animated.
    tile->setAlpha(1.0f);
    EXPECT_TRUE(Animations::running().empty());
}

// Where animations overlap on a view the newest decides both its alpha and its flip; a
// transition other than a flip leaves the view unturned, and a view no animation touches shows
// its model alpha.
TEST_F(AnimationTest, NewestAnimationDecidesWhatIsShown)
{
    auto tile = Button::buttonWithType(0);
    auto other = Button::buttonWithType(0);
    other->setAlpha(0.5f);
    Flipper delegate;
    commitFlip(*tile, delegate); // 1 -> 0.05 over a second, turning
    m_clock->setNow(0.5);
    Animations::beginAnimations("curl", nullptr);
    Animations::setAnimationDuration(2.0);
    Animations::setAnimationCurve(3);
    Animations::setAnimationTransitionForView(3, tile.get(), false);
    tile->setAlpha(0.45f); // 0.05 -> 0.45, linearly
    Animations::commitAnimations();

    const Presentation shown = Animations::presentationAt(*tile, 0.75);
    EXPECT_FLOAT_EQ(shown.alpha, 0.1f);
    ASSERT_NE(shown.flip, nullptr);
    EXPECT_EQ(shown.flip->identifier, "Flip Top Card");
    EXPECT_EQ(Animations::presentationAt(*tile, 1.5).flip, nullptr); // the flip has ended
    EXPECT_FLOAT_EQ(Animations::presentationAt(*tile, 1.5).alpha, 0.25f);
    EXPECT_FLOAT_EQ(Animations::presentationAt(*other, 0.75).alpha, 0.5f);
    EXPECT_EQ(Animations::presentationAt(*other, 0.75).flip, nullptr);
}

// The did-stop call comes exactly once, when the duration has passed, from the run loop.
TEST_F(AnimationTest, DidStopOnceAfterDuration)
{
    auto tile = Button::buttonWithType(0);
    Flipper delegate;
    commitFlip(*tile, delegate);
    EXPECT_EQ(delegate.stops, 0);
    sys::RunLoop::main().advance(0.999);
    EXPECT_EQ(delegate.stops, 0);
    sys::RunLoop::main().advance(0.001);
    EXPECT_EQ(delegate.stops, 1);
    sys::RunLoop::main().advance(10);
    EXPECT_EQ(delegate.stops, 1);

    // A block without a delegate or without a did-stop method schedules nothing.
    Animations::beginAnimations("quiet", nullptr);
    Animations::setAnimationDelegate(&delegate);
    tile->setAlpha(0.3f);
    Animations::commitAnimations();
    EXPECT_EQ(sys::RunLoop::main().pendingCount(), 0u);
}

// A delegate destroyed while its animation runs never hears of the end.
TEST_F(AnimationTest, DestroyedDelegateIsNeverCalled)
{
    auto tile = Button::buttonWithType(0);
    auto delegate = std::make_unique<Flipper>();
    commitFlip(*tile, *delegate);
    delegate.reset();
    sys::RunLoop::main().advance(2); // would touch freed memory under the sanitizer
    EXPECT_EQ(sys::RunLoop::main().pendingCount(), 0u);

    // Nor does a view that goes away while it animates cause harm.
    Flipper survivor;
    {
        auto shortLived = Button::buttonWithType(0);
        commitFlip(*shortLived, survivor);
    }
    EXPECT_EQ(Animations::running().front()->transitionView.lock(), nullptr);
    sys::RunLoop::main().advance(2);
    EXPECT_EQ(survivor.stops, 1);
}

// Repeats and autoreverse stretch the run; a cycle that reverses comes back along the same path.
TEST_F(AnimationTest, RepeatsAndAutoreverses)
{
    Animation animation;
    animation.duration = 1;
    animation.curve = AnimationCurve::Linear;
    animation.repeatCount = 2;
    animation.repeatAutoreverses = true;
    EXPECT_EQ(animation.totalDuration(), 4);
    EXPECT_DOUBLE_EQ(animation.progressAt(0.25), 0.25);
    EXPECT_DOUBLE_EQ(animation.progressAt(1.75), 0.25);
    EXPECT_DOUBLE_EQ(animation.progressAt(2.5), 0.5);
    EXPECT_EQ(animation.progressAt(4), 1);

    animation.duration = 0;
    EXPECT_EQ(animation.totalDuration(), 0);
    EXPECT_EQ(animation.progressAt(0), 0);
    EXPECT_EQ(animation.progressAt(1), 1);
}

}
