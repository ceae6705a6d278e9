#include "controller/kavrin_controller.h"

#include "tiles/tile_geometry.h"
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/animation.h>

namespace kavrin {

namespace {

constexpr double kFlipDuration = 1.0;
constexpr int kEaseOutCurve = 2;
constexpr int kFlipFromLeftTransition = 1;

}

// Turns one random metro tile over: a faded tile comes back, any other fades almost out and
// uncovers its name. aniRuns keeps two flips from overlapping.
void KavrinController::flipStyle()
{
    if (aniRuns)
        return;
    if (checkSetting("animateMetrosOff"))
        return;
    const std::uint32_t random = sys::arc4random();
    const auto tileCount = static_cast<std::uint32_t>(buttons ? buttons->size() : 0);
    if (tileCount == 0)
        return;
    const std::shared_ptr<ui::Button> tile = (*buttons)[random % tileCount];

    ui::Animations::beginAnimations("Flip Top Card", nullptr);
    ui::Animations::setAnimationDidStopSelector(&KavrinController::flipStyleDone);
    ui::Animations::setAnimationDuration(kFlipDuration);
    ui::Animations::setAnimationDelegate(this);
    ui::Animations::setAnimationRepeatCount(0);
    ui::Animations::setAnimationRepeatAutoreverses(false);
    ui::Animations::setAnimationCurve(kEaseOutCurve);
    ui::Animations::setAnimationTransitionForView(kFlipFromLeftTransition, tile.get(), true);
    tile->setAlpha(tile->alpha() < 0.5f ? 1.0f : 0.05f);
    aniRuns = sys::YES;
    ui::Animations::commitAnimations();
}

void KavrinController::flipStyleDone()
{
    aniRuns = sys::NO;
    if (animate && !checkSetting("animateMetrosOff"))
        sys::performSelectorWithObjectAfterDelay(this, &KavrinController::flipStyle, nullptr, kFlipDelay);
}

}
