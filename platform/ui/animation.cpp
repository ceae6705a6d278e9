#include <weeapp/ui/animation.h>

#include <weeapp/platform_objects.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/animation_state.h>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

using OpenBlock = AnimationState::OpenBlock;

AnimationState& state()
{
    return *weeapp::currentObjects().animations;
}

OpenBlock* innermost()
{
    auto& open = state().open;
    return open.empty() ? nullptr : &open.back();
}

double now()
{
    return sys::RunLoop::main().now();
}

void pruneFinished(double time)
{
    std::erase_if(state().running, [time](const auto& animation) { return time >= animation->endTime(); });
}

// A cubic Bezier timing curve from (0, 0) to (1, 1) with control points (x1, y1) and (x2, y2).
double bezier(double x1, double y1, double x2, double y2, double x)
{
    auto coordinate = [](double p1, double p2, double t) {
        const double u = 1 - t;
        return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
    };
    double low = 0;
    double high = 1;
    for (int i = 0; i < 40; ++i) {
        const double middle = (low + high) / 2;
        if (coordinate(x1, x2, middle) < x)
            low = middle;
        else
            high = middle;
    }
    return coordinate(y1, y2, (low + high) / 2);
}

double applyCurve(AnimationCurve curve, double x)
{
    switch (curve) {
    case AnimationCurve::EaseInOut:
        return bezier(0.42, 0, 0.58, 1, x);
    case AnimationCurve::EaseIn:
        return bezier(0.42, 0, 1, 1, x);
    case AnimationCurve::EaseOut:
        return bezier(0, 0, 0.58, 1, x);
    case AnimationCurve::Linear:
        break;
    }
    return x;
}

}

double Animation::totalDuration() const
{
    if (!(duration > 0))
        return 0;
    const double cycles = repeatCount > 0 && std::isfinite(repeatCount) ? static_cast<double>(repeatCount) : 1.0;
    return duration * cycles * (repeatAutoreverses ? 2 : 1);
}

double Animation::progressAt(double time) const
{
    const double elapsed = time - startTime;
    if (!(elapsed > 0))
        return 0;
    if (elapsed >= totalDuration())
        return 1;
    double phase = std::fmod(elapsed, repeatAutoreverses ? 2 * duration : duration) / duration;
    if (phase > 1)
        phase = 2 - phase;
    return applyCurve(curve, phase);
}

void Animations::beginAnimations(std::string identifier, const void*)
{
    OpenBlock block;
    block.animation = std::make_shared<Animation>();
    block.animation->identifier = std::move(identifier);
    state().open.push_back(std::move(block));
}

void Animations::setAnimationDuration(double seconds)
{
    if (OpenBlock* block = innermost())
        block->animation->duration = std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
}

void Animations::setAnimationCurve(int curve)
{
    if (OpenBlock* block = innermost())
        block->animation->curve = curve >= 0 && curve <= 3 ? static_cast<AnimationCurve>(curve) : AnimationCurve::EaseInOut;
}

void Animations::setAnimationRepeatCount(float count)
{
    if (OpenBlock* block = innermost())
        block->animation->repeatCount = std::isfinite(count) ? std::max(count, 0.0f) : 0.0f;
}

void Animations::setAnimationRepeatAutoreverses(bool autoreverses)
{
    if (OpenBlock* block = innermost())
        block->animation->repeatAutoreverses = autoreverses;
}

void Animations::setAnimationTransitionForView(int transition, View* view, bool cache)
{
    OpenBlock* block = innermost();
    if (!block)
        return;
    const bool known = transition >= 0 && transition <= 4;
    block->animation->transition = known && view ? static_cast<AnimationTransition>(transition) : AnimationTransition::None;
    block->animation->transitionView = view ? view->weak_from_this() : std::weak_ptr<View>();
    block->animation->transitionCache = cache;
}

void Animations::setAnimationDelegate(sys::Object* delegate)
{
    if (OpenBlock* block = innermost())
        block->delegate = delegate;
}

void Animations::setDidStop(std::function<void(sys::Object*)> didStop)
{
    if (OpenBlock* block = innermost())
        block->didStop = std::move(didStop);
}

void Animations::commitAnimations()
{
    auto& current = state();
    if (current.open.empty())
        return;
    OpenBlock block = std::move(current.open.back());
    current.open.pop_back();

    const double time = now();
    block.animation->startTime = time;
    pruneFinished(time);
    if (block.animation->totalDuration() > 0)
        current.running.push_back(block.animation);

    if (!block.didStop || !block.delegate)
        return;
    sys::RunLoop::main().performAfterDelay(block.animation->totalDuration(), block.delegate.lifetime(),
        [delegate = block.delegate, didStop = std::move(block.didStop)] {
            if (sys::Object* receiver = delegate.get())
                didStop(receiver);
        });
}

bool Animations::isRecording()
{
    return !state().open.empty();
}

void Animations::recordAlphaChange(View& view, float from, float to)
{
    OpenBlock* block = innermost();
    if (!block)
        return;
    auto& changes = block->animation->alphaChanges;
    auto it = std::find_if(changes.begin(), changes.end(), [&view](const Animation::AlphaChange& change) { return change.view.lock().get() == &view; });
    if (it != changes.end())
        it->to = to; // changed twice in one block: from the first value to the last
    else
        changes.push_back({ view.weak_from_this(), from, to });
}

std::vector<std::shared_ptr<const Animation>> Animations::running()
{
    pruneFinished(now());
    return state().running;
}

Presentation Animations::presentationAt(const View& view, double time)
{
    Presentation presentation { view.alpha() };
    bool alphaFound = false;
    const auto& animations = state().running;
    for (auto it = animations.rbegin(); it != animations.rend() && !(alphaFound && presentation.flip); ++it) {
        const Animation& animation = **it;
        if (time >= animation.endTime())
            continue;
        const double progress = std::clamp(animation.progressAt(time), 0.0, 1.0);
        if (!alphaFound) {
            for (const auto& change : animation.alphaChanges) {
                if (change.view.lock().get() == &view) {
                    presentation.alpha = static_cast<float>(change.from + (change.to - change.from) * progress);
                    alphaFound = true;
                    break;
                }
            }
        }
        const bool turning = animation.transition == AnimationTransition::FlipFromLeft || animation.transition == AnimationTransition::FlipFromRight;
        if (!presentation.flip && turning && progress < 1 && animation.transitionView.lock().get() == &view) {
            presentation.flip = &animation;
            presentation.flipProgress = progress;
        }
    }
    return presentation;
}

}
