#include <weeapp/ui/images/image_downscaling.h>

#include <algorithm>

namespace weeapp::ui {

namespace {

int shrunkSide(int side, int longer)
{
    const auto scaled = (static_cast<std::int64_t>(side) * Image::kMaximumDecodedSide + longer / 2) / longer;
    return static_cast<int>(std::max<std::int64_t>(1, scaled));
}

// Which result index each source index falls on, and how many fall on each result index.
void mapSide(int source, int target, std::vector<int>& indexOf, std::vector<std::uint32_t>& boxSize)
{
    indexOf.resize(static_cast<std::size_t>(source));
    boxSize.assign(static_cast<std::size_t>(target), 0);
    for (int i = 0; i < source; ++i) {
        const auto index = static_cast<int>(static_cast<std::int64_t>(i) * target / source);
        indexOf[static_cast<std::size_t>(i)] = index;
        ++boxSize[static_cast<std::size_t>(index)];
    }
}

}

PixelSize decodedSize(int width, int height)
{
    const int longer = std::max(width, height);
    if (longer <= Image::kMaximumDecodedSide)
        return { width, height };
    return { shrunkSide(width, longer), shrunkSide(height, longer) };
}

BoxDownscaler::BoxDownscaler(PixelSize source, PixelSize target)
    : m_target(target)
{
    mapSide(source.width, target.width, m_columnOf, m_boxWidth);
    mapSide(source.height, target.height, m_rowOf, m_boxHeight);
}

void BoxDownscaler::add(int x, int y, std::uint32_t pixel)
{
    const std::size_t index = static_cast<std::size_t>(m_rowOf[static_cast<std::size_t>(y)]) * static_cast<std::size_t>(m_target.width)
        + static_cast<std::size_t>(m_columnOf[static_cast<std::size_t>(x)]);
    // The sums grow with the rows the data has reached, so a picture's claimed size costs nothing
    // before its data holds it.
    if (m_sums.size() < (index + 1) * 4)
        m_sums.resize((index / static_cast<std::size_t>(m_target.width) + 1) * static_cast<std::size_t>(m_target.width) * 4, 0);
    std::uint32_t* sums = &m_sums[index * 4];
    sums[0] += pixel >> 24;
    sums[1] += (pixel >> 16) & 0xFFu;
    sums[2] += (pixel >> 8) & 0xFFu;
    sums[3] += pixel & 0xFFu;
}

std::shared_ptr<Bitmap> BoxDownscaler::finish()
{
    m_sums.resize(static_cast<std::size_t>(m_target.width) * static_cast<std::size_t>(m_target.height) * 4, 0);
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = m_target.width;
    bitmap->height = m_target.height;
    bitmap->pixels.resize(static_cast<std::size_t>(m_target.width) * static_cast<std::size_t>(m_target.height));
    for (int y = 0; y < m_target.height; ++y) {
        for (int x = 0; x < m_target.width; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_target.width) + static_cast<std::size_t>(x);
            const std::uint32_t count = m_boxWidth[static_cast<std::size_t>(x)] * m_boxHeight[static_cast<std::size_t>(y)];
            const std::uint32_t* sums = &m_sums[index * 4];
            std::uint32_t pixel = 0;
            for (int channel = 0; channel < 4; ++channel)
                pixel = pixel << 8 | ((sums[channel] + count / 2) / count);
            bitmap->pixels[index] = pixel;
        }
    }
    return bitmap;
}

}
