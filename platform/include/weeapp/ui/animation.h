#pragma once

#include <weeapp/sys/object.h>
#include <weeapp/ui/view.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

enum class AnimationCurve { EaseInOut = 0,
    EaseIn = 1,
    EaseOut = 2,
    Linear = 3 };
enum class AnimationTransition { None = 0,
    FlipFromLeft = 1,
    FlipFromRight = 2,
    CurlUp = 3,
    CurlDown = 4 };

// One committed block animation. The model already holds the new values; this describes how
// the picture gets there, so a renderer can draw any moment of it.
struct Animation {
    std::string identifier;
    double startTime { 0 };
    double duration { 0.2 };
    AnimationCurve curve { AnimationCurve::EaseInOut };
    AnimationTransition transition { AnimationTransition::None };
    std::weak_ptr<View> transitionView;
    bool transitionCache { false };
    float repeatCount { 0 };           // cycles; 0 (or less) plays once
    bool repeatAutoreverses { false }; // each cycle runs forward, then back

    struct AlphaChange {
        std::weak_ptr<View> view;
        float from;
        float to;
    };
    std::vector<AlphaChange> alphaChanges;

    // 0 at the start, 1 at the end, with the curve applied; 0 before the start and 1 from the
    // end on. With autoreverses a cycle goes 0 to 1 and back; the end is still 1, the model.
    double progressAt(double time) const;
    // The whole run: duration times the cycles (twice the duration per cycle with autoreverses).
    double totalDuration() const;
    double endTime() const { return startTime + totalDuration(); }
    bool isRunningAt(double time) const { return time >= startTime && time < endTime(); }
};

// What a view looks like at one moment of the running animations: the alpha it shows, and the
// flip turning it then, if any (a flip from the left or the right; other transitions show the
// view as it is), with how far it has turned: 0 ... 1 along the curve, never 1 itself.
struct Presentation {
    float alpha { 1 };
    const Animation* flip { nullptr };
    double flipProgress { 0 };
};

// The class-level animation calls of the view toolkit: beginAnimations:context: ... commit.
class Animations {
public:
    static void beginAnimations(std::string identifier, const void* context);
    static void setAnimationDuration(double seconds);
    static void setAnimationCurve(int curve);
    static void setAnimationRepeatCount(float count);
    static void setAnimationRepeatAutoreverses(bool autoreverses);
    static void setAnimationTransitionForView(int transition, View* view, bool cache);
    static void setAnimationDelegate(sys::Object* delegate);
    // setAnimationDidStopSelector: the delegate's method, called once after the duration
    // through the main run loop, unless the delegate is gone by then.
    template<typename Delegate>
    static void setAnimationDidStopSelector(void (Delegate::*selector)())
    {
        setDidStop([selector](sys::Object* delegate) {
            if (auto* receiver = dynamic_cast<Delegate*>(delegate))
                (receiver->*selector)();
        });
    }
    static void commitAnimations();

    // Whether a block is open, and recording into it (View::setAlpha uses this).
    static bool isRecording();
    static void recordAlphaChange(View&, float from, float to);

    // The animations committed and not yet ended at the run loop's time, oldest first.
    static std::vector<std::shared_ptr<const Animation>> running();

    // What the view looks like at time, which is what the host draws. Its alpha is its model
    // alpha, unless an animation not yet ended then changes it, in which case it goes from the
    // old value to the new along that animation's progress; the newest such animation decides,
    // as it does which flip turns the view.
    static Presentation presentationAt(const View&, double time);

private:
    static void setDidStop(std::function<void(sys::Object*)>);
};

}
