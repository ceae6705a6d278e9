#pragma once

#include "render/shown_pixels.h"
#include "render/sight_index.h"

#include <memory>

namespace kavrin::host {

class TextLayouts;

// What drawing keeps from one frame to the next: the texts laid out lately, the pixels of the
// images shown in this frame and the one before, and where the children of the views with many
// lie. Whoever draws a run of frames (the session, a benchmark, a test) holds one and hands it
// to the renderer of every frame; two of them share nothing.
class RenderCache {
public:
    RenderCache();
    ~RenderCache();
    RenderCache(const RenderCache&) = delete;
    RenderCache& operator=(const RenderCache&) = delete;

    // A new frame begins.
    void startFrame();

    // Made at the first text: a session that draws none never starts Pango and fontconfig.
    TextLayouts& textLayouts();
    ShownPixels& shownPixels() { return m_shownPixels; }
    SightIndex& sightIndex() { return m_sightIndex; }

private:
    std::unique_ptr<TextLayouts> m_textLayouts;
    ShownPixels m_shownPixels;
    SightIndex m_sightIndex;
};

}
