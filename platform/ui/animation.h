#pragma once

#include "sys/object.h"
#include "ui/view.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

enum class AnimationCurve { EaseInOut = 0, EaseIn = 1, EaseOut = 2, Linear = 3 };
enum class AnimationTransition { None = 0, FlipFromLeft = 1, FlipFromRight = 2, CurlUp = 3, CurlDown = 4 };

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
    int repeatCount { 0 };
    bool repeatAutoreverses { false };

    struct AlphaChange {
        std::weak_ptr<View> view;
        float from;
        float to;
    };
    std::vector<AlphaChange> alphaChanges;

    // 0 at the start, 1 at the end, with the curve applied.
    double progressAt(double time) const;
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

    // The animations committed and not yet ended, oldest first.
    static std::vector<std::shared_ptr<const Animation>> running();
    // Forgets every open block and running animation (tests).
    static void reset();

private:
    static void setDidStop(std::function<void(sys::Object*)>);
};

}
