#include "bench_support.h"

#include "demo_phone.h"
#include "renderer.h"
#include "surface_copy.h"
#include "sys/phone_root.h"
#include "sys/run_loop.h"

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace kavrin::bench {

namespace {

// The demo phone that scripts/demo shows, written once into a folder of its own.
class DemoPhone {
public:
    DemoPhone()
        : m_root(std::filesystem::temp_directory_path() / ("kavrin-bench-" + std::to_string(::getpid()) + "-demo"))
    {
        std::string error;
        if (!tooling::writeDemoPhone(m_root, tooling::builtBundleFolder(), error)) {
            std::fprintf(stderr, "bench demo phone: %s\n", error.c_str());
            std::abort();
        }
    }
    ~DemoPhone()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    DemoPhone(const DemoPhone&) = delete;
    DemoPhone& operator=(const DemoPhone&) = delete;

    void makeCurrent() const { sys::setPhoneRoot(m_root); }

    static const DemoPhone& shared()
    {
        static const DemoPhone phone;
        return phone;
    }

private:
    std::filesystem::path m_root;
};

// Makes the demo phone current; a ShownWidget made next is the demo widget as the host first
// shows it.
void makeDemoCurrent()
{
    BenchEnvironment::shared();
    DemoPhone::shared().makeCurrent();
}

// One frame as the host renders it for "render FILE": the window's picture at the run loop's
// time, with every view, image and text of the tree drawn. The frames after the first find
// their texts laid out.
Work renderFrame()
{
    makeDemoCurrent();
    auto widget = std::make_shared<ShownWidget>();
    return Work { {}, [widget] {
        host::Renderer renderer(sys::RunLoop::main().now());
        cairo_surface_t* picture = renderer.renderWindow(*widget->window, widget->controller->_view.get(), nullptr);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(picture));
        cairo_surface_destroy(picture);
    }, {} };
}

// Pixel for pixel, but for a level of rounding in a channel and a few glyphs' edges: a text
// replayed from a recording surface is rasterised again, and its antialiased edges may differ
// by a level or two. Up to 1 % of the bytes may differ by more than one level.
bool samePicture(cairo_surface_t* first, cairo_surface_t* second)
{
    const int width = cairo_image_surface_get_width(first);
    const int height = cairo_image_surface_get_height(first);
    if (width != cairo_image_surface_get_width(second) || height != cairo_image_surface_get_height(second))
        return false;
    std::size_t differing = 0;
    for (int y = 0; y < height; ++y) {
        const unsigned char* a = cairo_image_surface_get_data(first) + y * cairo_image_surface_get_stride(first);
        const unsigned char* b = cairo_image_surface_get_data(second) + y * cairo_image_surface_get_stride(second);
        for (int x = 0; x < width * 4; ++x)
            differing += std::abs(a[x] - b[x]) > 1 ? 1 : 0;
    }
    return differing * 100 <= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

// The floor of a frame: the Cairo drawing that the renderer does for it, recorded once and
// replayed into a picture of the same size (which gives the same pixels; the check fails if not).
// What the floor leaves out is the renderer's own work: walking the tree, finding each text's
// layout (laid out once and kept from frame to frame), wrapping every image in a surface.
Work replayFrame()
{
    makeDemoCurrent();
    const ShownWidget widget;
    const ui::View* content = widget.controller->_view.get();
    cairo_surface_t* first = host::Renderer(sys::RunLoop::main().now()).renderWindow(*widget.window, content, nullptr);
    cairo_surface_t* rendered = host::Renderer(sys::RunLoop::main().now()).renderWindow(*widget.window, content, nullptr);
    cairo_surface_destroy(first);
    const int width = cairo_image_surface_get_width(rendered);
    const int height = cairo_image_surface_get_height(rendered);

    const cairo_rectangle_t extents { 0, 0, static_cast<double>(width), static_cast<double>(height) };
    std::shared_ptr<cairo_surface_t> recording(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents), cairo_surface_destroy);
    cairo_t* recorder = cairo_create(recording.get());
    cairo_set_source_rgb(recorder, host::Backdrop::kDarkRed, host::Backdrop::kDarkGreen, host::Backdrop::kDarkBlue);
    cairo_paint(recorder);
    host::Renderer renderer(sys::RunLoop::main().now());
    for (const ui::ViewPtr& child : widget.window->subviews())
        renderer.drawView(recorder, *child);
    cairo_destroy(recorder);

    cairo_surface_t* replayed = host::copyOnCanvas(recording.get(), width, height);
    const bool same = samePicture(rendered, replayed);
    cairo_surface_destroy(replayed);
    cairo_surface_destroy(rendered);

    return Work { {}, [recording, width, height] {
        cairo_surface_t* picture = host::copyOnCanvas(recording.get(), width, height);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(picture));
        cairo_surface_destroy(picture);
    }, [same] { return same ? std::string() : "the replayed frame is not the rendered one"; } };
}

}

void registerRenderBenchmarks()
{
    registerPair("render/demo", renderFrame, replayFrame);
}

}
