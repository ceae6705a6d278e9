#pragma once

#include "image_encoding.h"
#include <weeapp/c_handles.h>

#include <cairo.h>

#include <filesystem>
#include <vector>

namespace kavrin::host {

// Collects frames taken at a fixed rate and writes them as one looping animated PNG. Each
// frame is encoded by libpng as a still; its image data is then carried over into the
// animation's frame chunks. Runs of identical frames become one longer frame, and frames of
// different sizes are placed top left on a canvas as large as the largest.
class AnimatedPngWriter {
public:
    explicit AnimatedPngWriter(int framesPerSecond)
        : m_framesPerSecond(framesPerSecond) { }
    AnimatedPngWriter(const AnimatedPngWriter&) = delete;
    AnimatedPngWriter& operator=(const AnimatedPngWriter&) = delete;

    void addFrame(cairo_surface_t*);
    std::size_t frameCount() const { return m_frames.size(); }
    bool write(const std::filesystem::path&) const;

private:
    struct Frame {
        weeapp::CairoSurface surface;
        int ticks; // how many frame periods it stays
    };
    std::vector<Frame> m_frames;
    int m_framesPerSecond;
};

}
