#pragma once

#include <weeapp/ui/geometry.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace weeapp::ui {

class Image;
using ImagePtr = std::shared_ptr<const Image>;

// Decoded pixels, premultiplied 32-bit ARGB in native byte order, rows without padding
// (Cairo's ARGB32 layout).
struct Bitmap {
    int width { 0 };
    int height { 0 };
    std::vector<std::uint32_t> pixels;
};

class Image {
public:
    // Images larger than this on either side are refused rather than decoded.
    static constexpr int kMaximumSide = 4096;
    // Images larger than this on either side are decoded shrunk to fit it, keeping their aspect,
    // so that a photo costs at most this many pixels squared however large it is stored.
    static constexpr int kMaximumDecodedSide = 512;

    // imageWithContentsOfFile: the phone path is resolved under the phone root; nil for a
    // missing file or bytes that do not decode.
    static ImagePtr imageWithContentsOfFile(const std::string& phonePath);
    // imageWithData: PNG or JPEG; nil for bad, truncated or empty bytes, never a partial image.
    static ImagePtr imageWithData(std::span<const std::uint8_t> bytes);

    // resizableImageWithCapInsets: the same pixels, drawn with the border kept and the middle
    // stretched.
    ImagePtr resizableImageWithCapInsets(EdgeInsets) const;

    Size size() const;
    // The decoded pixels. An image whose stored bytes are smaller than its pixels keeps only the
    // bytes, as the phone keeps an image compressed until it is drawn: the pixels are decoded
    // again whenever nobody holds them any more (the same pixels every time).
    std::shared_ptr<const Bitmap> pixels() const;
    const EdgeInsets& capInsets() const { return m_capInsets; }
    bool isResizable() const { return m_resizable; }
    // "file:" and the phone path for an image read from a file, "data" for one made from bytes.
    const std::string& source() const { return m_source; }

    Image(std::shared_ptr<const Bitmap>, std::string source, EdgeInsets capInsets = {}, bool resizable = false);

private:
    // What the image holds: its pixels, or its bytes and the pixels while they are in use. An
    // image and its resizable copies share one.
    struct Pixels;

    Image(std::shared_ptr<Pixels>, std::string source, EdgeInsets capInsets, bool resizable);
    static ImagePtr fromBytes(std::span<const std::uint8_t> bytes, std::string source);

    std::shared_ptr<Pixels> m_pixels;
    std::string m_source;
    EdgeInsets m_capInsets;
    bool m_resizable;
};

// The decoder behind imageWithData; exposed for tests and the host.
std::shared_ptr<Bitmap> decodeImage(std::span<const std::uint8_t> bytes);

}
