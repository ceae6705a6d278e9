#include "pictures/animated_png_writer.h"

#include "render/surface_copy.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace kavrin::host {

namespace {

using phone_files::Bytes;

bool sameSurface(cairo_surface_t* a, cairo_surface_t* b)
{
    int height = cairo_image_surface_get_height(a);
    if (cairo_image_surface_get_width(a) != cairo_image_surface_get_width(b) || height != cairo_image_surface_get_height(b)
        || cairo_image_surface_get_stride(a) != cairo_image_surface_get_stride(b))
        return false;
    return std::memcmp(cairo_image_surface_get_data(a), cairo_image_surface_get_data(b),
               static_cast<std::size_t>(cairo_image_surface_get_stride(a)) * static_cast<std::size_t>(height))
        == 0;
}

void putUint32(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putUint16(Bytes& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

std::uint32_t readUint32(const std::uint8_t* bytes)
{
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) | bytes[3];
}

void putChunk(Bytes& out, std::string_view type, const Bytes& data)
{
    putUint32(out, static_cast<std::uint32_t>(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    putUint32(out, static_cast<std::uint32_t>(crc));
}

struct Chunk {
    std::string type;
    Bytes data;
};

std::optional<std::vector<Chunk>> chunksOf(const Bytes& png)
{
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        std::uint32_t length = readUint32(&png[at]);
        if (at + 12 + length > png.size())
            return std::nullopt;
        Chunk chunk { std::string(reinterpret_cast<const char*>(&png[at + 4]), 4), Bytes(png.begin() + static_cast<std::ptrdiff_t>(at + 8), png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length)) };
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return chunks;
}

}

void AnimatedPngWriter::addFrame(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    if (!m_frames.empty() && sameSurface(m_frames.back().surface.get(), surface)) {
        ++m_frames.back().ticks;
        return;
    }
    m_frames.push_back({ copyOnCanvas(surface, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)), 1 });
}

bool AnimatedPngWriter::write(const std::filesystem::path& file) const
{
    if (m_frames.empty())
        return false;
    int width = 0, height = 0;
    for (const Frame& frame : m_frames) {
        width = std::max(width, cairo_image_surface_get_width(frame.surface.get()));
        height = std::max(height, cairo_image_surface_get_height(frame.surface.get()));
    }

    static constexpr std::uint8_t kSignature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    Bytes out(std::begin(kSignature), std::end(kSignature));
    std::uint32_t sequence = 0;
    for (std::size_t index = 0; index < m_frames.size(); ++index) {
        weeapp::CairoSurface canvas = copyOnCanvas(m_frames[index].surface.get(), width, height);
        std::optional<Bytes> png = phone_files::encodePng(canvas.get());
        std::optional<std::vector<Chunk>> chunks = png ? chunksOf(*png) : std::nullopt;
        if (!chunks)
            return false;
        if (index == 0) {
            for (const Chunk& chunk : *chunks)
                if (chunk.type == "IHDR")
                    putChunk(out, "IHDR", chunk.data);
            Bytes control;
            putUint32(control, static_cast<std::uint32_t>(m_frames.size()));
            putUint32(control, 0); // loop forever
            putChunk(out, "acTL", control);
        }
        Bytes frameControl;
        putUint32(frameControl, sequence++);
        putUint32(frameControl, static_cast<std::uint32_t>(width));
        putUint32(frameControl, static_cast<std::uint32_t>(height));
        putUint32(frameControl, 0);
        putUint32(frameControl, 0);
        putUint16(frameControl, static_cast<std::uint16_t>(std::min(m_frames[index].ticks, 65535)));
        putUint16(frameControl, static_cast<std::uint16_t>(m_framesPerSecond));
        frameControl.push_back(0); // dispose: none
        frameControl.push_back(0); // blend: source
        putChunk(out, "fcTL", frameControl);
        for (const Chunk& chunk : *chunks) {
            if (chunk.type != "IDAT")
                continue;
            if (index == 0) {
                putChunk(out, "IDAT", chunk.data);
            } else {
                Bytes data;
                putUint32(data, sequence++);
                data.insert(data.end(), chunk.data.begin(), chunk.data.end());
                putChunk(out, "fdAT", data);
            }
        }
    }
    putChunk(out, "IEND", {});
    return phone_files::writeBytes(file.string(), out);
}

}
