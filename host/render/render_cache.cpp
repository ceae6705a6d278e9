#include "render/render_cache.h"

#include "render/text_layouts.h"

namespace kavrin::host {

RenderCache::RenderCache() = default;

RenderCache::~RenderCache() = default;

void RenderCache::startFrame()
{
    if (m_textLayouts)
        m_textLayouts->startFrame();
    m_shownPixels.startFrame();
}

TextLayouts& RenderCache::textLayouts()
{
    if (!m_textLayouts)
        m_textLayouts = std::make_unique<TextLayouts>();
    return *m_textLayouts;
}

}
