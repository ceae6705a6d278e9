#include "modes/flip_search.h"

#include <weeapp/sys/events/run_loop.h>
#include <weeapp/ui/views/animation.h>

namespace kavrin::host {

namespace {

constexpr double kStep = 0.02;

bool isInside(const weeapp::ui::View* view, const weeapp::ui::View* ancestor)
{
    for (; view; view = view->superview())
        if (view == ancestor)
            return true;
    return false;
}

// Whether a flip has turned a tile of the page in view for at least `into` seconds.
bool visibleTileTurning(const HostSession& session, double now, double into)
{
    const weeapp::ui::View* content = session.contentView();
    if (!content)
        return false;
    for (const std::shared_ptr<const weeapp::ui::Animation>& animation : weeapp::ui::Animations::running()) {
        std::shared_ptr<weeapp::ui::View> tile = animation->transitionView.lock();
        if (animation->transition == weeapp::ui::AnimationTransition::None || !tile || !isInside(tile.get(), content) || now - animation->startTime < into)
            continue;
        weeapp::ui::Point origin = tile->convertPointToView({ 0, 0 }, content);
        if (origin.x >= 0 && origin.x + tile->frame().width() <= content->frame().width() + 0.5f)
            return true;
    }
    return false;
}

}

bool advanceToVisibleFlip(HostSession& session, double into, double limit)
{
    const double start = weeapp::sys::RunLoop::main().now();
    while (!visibleTileTurning(session, weeapp::sys::RunLoop::main().now(), into)) {
        if (weeapp::sys::RunLoop::main().now() - start >= limit)
            return false;
        session.advance(kStep);
    }
    return true;
}

}
