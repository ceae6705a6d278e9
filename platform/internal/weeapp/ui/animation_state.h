#pragma once

#include <weeapp/sys/weak_ref.h>
#include <weeapp/ui/animation.h>

#include <functional>
#include <memory>
#include <vector>

namespace ui {

// The animation blocks being recorded and the committed animations still running.
struct AnimationState {
    struct OpenBlock {
        std::shared_ptr<Animation> animation;
        sys::WeakRef<sys::Object> delegate;
        std::function<void(sys::Object*)> didStop;
    };
    std::vector<OpenBlock> open; // innermost last
    std::vector<std::shared_ptr<const Animation>> running;
};

}
