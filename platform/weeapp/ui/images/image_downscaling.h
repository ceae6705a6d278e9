#pragma once

#include <weeapp/ui/images/image.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace weeapp::ui {

struct PixelSize {
    int width;
    int height;
};

// The size a decoded picture is given: its own when both sides are at most
// Image::kMaximumDecodedSide, else shrunk with its aspect kept until the longer side is that.
PixelSize decodedSize(int width, int height);

// Shrinks a picture by averaging each box of source pixels that falls on one pixel of the
// result, premultiplied, so that a decoder can hand over its pixels in any order (row by row, or
// pass by pass for an interlaced picture) without the whole source ever being held.
class BoxDownscaler {
public:
    BoxDownscaler(PixelSize source, PixelSize target);

    void add(int x, int y, std::uint32_t premultipliedPixel);
    // The result once every source pixel has been added once.
    std::shared_ptr<Bitmap> finish();

private:
    PixelSize m_target;
    // The result's column and row of each source column and row.
    std::vector<int> m_columnOf;
    std::vector<int> m_rowOf;
    std::vector<std::uint32_t> m_boxWidth;
    std::vector<std::uint32_t> m_boxHeight;
    // Four sums per result pixel, alpha, red, green and blue, for the rows reached so far.
    std::vector<std::uint32_t> m_sums;
};

}
