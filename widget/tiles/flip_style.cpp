#include "controller/kavrin_controller.h"

#include "tiles/tile_geometry.h"
#include <weeapp/sys/events/run_loop.h>
#include <weeapp/sys/random.h>
#include <weeapp/ui/views/animation.h>

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
    const std::uint32_t random = weeapp::sys::arc4random();
    const auto tileCount = static_cast<std::uint32_t>(buttons ? buttons->size() : 0);
    if (tileCount == 0)
        return;
    const std::shared_ptr<weeapp::ui::Button> tile = (*buttons)[random % tileCount];

    weeapp::ui::Animations::beginAnimations("Flip Top Card", nullptr);
    weeapp::ui::Animations::setAnimationDidStopSelector(&KavrinController::flipStyleDone);
    weeapp::ui::Animations::setAnimationDuration(kFlipDuration);
    weeapp::ui::Animations::setAnimationDelegate(this);
    weeapp::ui::Animations::setAnimationRepeatCount(0);
    weeapp::ui::Animations::setAnimationRepeatAutoreverses(false);
    weeapp::ui::Animations::setAnimationCurve(kEaseOutCurve);
    weeapp::ui::Animations::setAnimationTransitionForView(kFlipFromLeftTransition, tile.get(), true);
    tile->setAlpha(tile->alpha() < 0.5f ? 1.0f : 0.05f);
    aniRuns = weeapp::sys::YES;
    weeapp::ui::Animations::commitAnimations();
}

void KavrinController::flipStyleDone()
{
    aniRuns = weeapp::sys::NO;
    if (animate && !checkSetting("animateMetrosOff"))
        weeapp::sys::performSelectorWithObjectAfterDelay(this, &KavrinController::flipStyle, nullptr, kFlipDelay);
}

}
