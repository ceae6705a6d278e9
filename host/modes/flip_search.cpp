#include "modes/flip_search.h"

#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/animation.h>

namespace kavrin::host {

namespace {

constexpr double kStep = 0.02;

bool isInside(const ui::View* view, const ui::View* ancestor)
{
    for (; view; view = view->superview())
        if (view == ancestor)
            return true;
    return false;
}

// Whether a flip has turned a tile of the page in view for at least `into` seconds.
bool visibleTileTurning(const HostSession& session, double now, double into)
{
    const ui::View* content = session.contentView();
    if (!content)
        return false;
    for (const std::shared_ptr<const ui::Animation>& animation : ui::Animations::running()) {
        std::shared_ptr<ui::View> tile = animation->transitionView.lock();
        if (animation->transition == ui::AnimationTransition::None || !tile || !isInside(tile.get(), content) || now - animation->startTime < into)
            continue;
        ui::Point origin = tile->convertPointToView({ 0, 0 }, content);
        if (origin.x >= 0 && origin.x + tile->frame().width() <= content->frame().width() + 0.5f)
            return true;
    }
    return false;
}

}

bool advanceToVisibleFlip(HostSession& session, double into, double limit)
{
    const double start = sys::RunLoop::main().now();
    while (!visibleTileTurning(session, sys::RunLoop::main().now(), into)) {
        if (sys::RunLoop::main().now() - start >= limit)
            return false;
        session.advance(kStep);
    }
    return true;
}

}
