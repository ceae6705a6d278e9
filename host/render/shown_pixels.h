#pragma once

#include <weeapp/ui/images/image.h>

#include <memory>
#include <vector>

namespace kavrin::host {

// The pixels of the images drawn in this frame and in the one before: they stay decoded until
// the end of the next frame, so that a frame like the one before finds them decoded, while an
// image out of sight that long gives its pixels back.
class ShownPixels {
public:
    std::shared_ptr<const weeapp::ui::Bitmap> pixelsOf(const weeapp::ui::Image& image)
    {
        std::shared_ptr<const weeapp::ui::Bitmap> pixels = image.pixels();
        m_thisFrame.push_back(pixels);
        return pixels;
    }

    // A new frame begins.
    void startFrame()
    {
        m_frameBefore.swap(m_thisFrame);
        m_thisFrame.clear();
    }

private:
    std::vector<std::shared_ptr<const weeapp::ui::Bitmap>> m_thisFrame;
    std::vector<std::shared_ptr<const weeapp::ui::Bitmap>> m_frameBefore;
};

}
