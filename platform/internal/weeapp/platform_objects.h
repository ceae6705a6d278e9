#pragma once

#include <weeapp/platform_state.h>
#include <weeapp/ui/alert_view.h>

#include <filesystem>
#include <memory>
#include <random>

namespace ui {
struct AnimationState;
class TextMeasurer;
}

namespace weeapp {

// The state's objects that have no accessor of their own in the frameworks' API.
struct PlatformState::Objects {
    Objects();
    ~Objects();

    std::filesystem::path phoneRoot { "/" };
    std::mt19937 random;
    std::unique_ptr<ui::AnimationState> animations;
    ui::AlertView::Presenter alertPresenter;
    // Made at the first measurement: most programs never measure text.
    std::unique_ptr<ui::TextMeasurer> textMeasurer;
};

inline PlatformState::Objects& currentObjects()
{
    return PlatformState::current().objects();
}

}
