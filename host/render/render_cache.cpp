#include "render/render_cache.h"

#include "render/text_layouts.h"

namespace kavrin::host {

RenderCache::RenderCache()
    : m_textLayouts(std::make_unique<TextLayouts>())
{
}

RenderCache::~RenderCache() = default;

void RenderCache::startFrame()
{
    m_textLayouts->startFrame();
    m_shownPixels.startFrame();
}

}
