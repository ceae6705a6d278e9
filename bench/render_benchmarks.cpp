#include "bench_support.h"

#include "demo_phone.h"
#include "render/renderer.h"
#include "render/surface_copy.h"
#include <weeapp/sys/events/run_loop.h>
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/ui/views/animation.h>
#include <weeapp/ui/views/label.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace kavrin::bench {

namespace {

// The demo phone that scripts/demo shows, written once into a folder of its own.
class DemoPhone {
public:
    DemoPhone()
        : m_root(benchFolder("demo-phone"))
    {
        if (auto written = phone_files::writeDemoPhone(m_root, phone_files::builtBundleFolder()); !written) {
            std::fprintf(stderr, "bench demo phone: %s\n", written.error().c_str());
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

    void makeCurrent() const { weeapp::sys::setPhoneRoot(m_root); }

    static const DemoPhone& shared()
    {
        static const DemoPhone phone;
        return phone;
    }

private:
    std::filesystem::path m_root;
};

// One frame as the host renders it for "render FILE": the window's picture at the run loop's
// time, with every view, image and text of the tree in sight drawn. The frames measured find
// their texts laid out by the one before them, in the cache the session would hold.
Work renderFrame(std::shared_ptr<ShownWidget> widget)
{
    auto cache = std::make_shared<host::RenderCache>();
    (void)host::Renderer(*cache, weeapp::sys::RunLoop::main().now()).renderWindow(*widget->window, widget->controller->_view.get(), nullptr);
    return Work { {}, [widget, cache] {
                     host::Renderer renderer(*cache, weeapp::sys::RunLoop::main().now());
                     weeapp::CairoSurface picture = renderer.renderWindow(*widget->window, widget->controller->_view.get(), nullptr);
                     benchmark::DoNotOptimize(cairo_image_surface_get_data(picture.get()));
                 },
        {} };
}

// The area of the picture, in pixels, of every text.
struct PixelBox {
    double left, top, right, bottom;
};

// Room around a label's frame for the ink of its glyphs and its shadow.
constexpr double kTextMargin = 4;

void collectTexts(const weeapp::ui::View& view, double x, double y, std::vector<PixelBox>& boxes)
{
    const double left = x + view.frame().x(), top = y + view.frame().y();
    if (dynamic_cast<const weeapp::ui::Label*>(&view)) {
        boxes.push_back({ left - kTextMargin, top - kTextMargin, left + view.frame().width() + kTextMargin,
            top + view.frame().height() + kTextMargin });
    }
    for (const weeapp::ui::ViewPtr& child : view.subviews())
        collectTexts(*child, left - view.bounds().x(), top - view.bounds().y(), boxes);
}

// Whether the replayed frame is the rendered one: byte for byte, but for a few pixels of texts.
// A glyph whose origin falls on half a pixel (a centred text of odd spare width: the "l" of a
// badge's "Mobil" stands at x = 54.5) and which is drawn through a clip that is not a rectangle
// on whole pixels (the rounded corners of a photo, the cut of a text before its ellipsis) is
// rounded to one pixel when Cairo draws it on the picture, and to its neighbour when Cairo
// replays the recording, so that glyph's column moves by one pixel. With the clips on whole
// pixels, or none, the two pictures are the same byte for byte.
std::string comparePictures(cairo_surface_t* rendered, cairo_surface_t* replayed, const ShownWidget& widget)
{
    const int width = cairo_image_surface_get_width(rendered);
    const int height = cairo_image_surface_get_height(rendered);
    if (width != cairo_image_surface_get_width(replayed) || height != cairo_image_surface_get_height(replayed))
        return "the replayed frame has another size than the rendered one";
    std::vector<PixelBox> texts;
    for (const weeapp::ui::ViewPtr& child : widget.window->subviews())
        collectTexts(*child, 0, 0, texts);
    std::size_t differing = 0;
    for (int y = 0; y < height; ++y) {
        const auto* a = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(rendered) + y * cairo_image_surface_get_stride(rendered));
        const auto* b = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(replayed) + y * cairo_image_surface_get_stride(replayed));
        for (int x = 0; x < width; ++x) {
            if (a[x] == b[x])
                continue;
            ++differing;
            const bool inText = std::any_of(texts.begin(), texts.end(), [x, y](const PixelBox& box) {
                return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            });
            if (!inText)
                return "the replayed frame differs from the rendered one outside every text, at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    }
    // Columns of a few glyphs, not whole texts.
    if (differing * 200 > static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return "the replayed frame differs from the rendered one in " + std::to_string(differing) + " pixels of texts";
    return {};
}

// The floor of a frame: the Cairo drawing that the renderer does for it, recorded once and
// replayed into a picture of the same size (which gives the same pixels, but as
// comparePictures says; the check fails if not). What the floor leaves out is the renderer's
// own work: walking the tree, finding each text's layout (laid out once and kept from frame to
// frame), wrapping every image in a surface.
Work replayFrame(std::shared_ptr<ShownWidget> widget)
{
    const weeapp::ui::View* content = widget->controller->_view.get();
    // The first frame lays the texts out, as the frames measured find them.
    host::RenderCache cache;
    (void)host::Renderer(cache, weeapp::sys::RunLoop::main().now()).renderWindow(*widget->window, content, nullptr);
    weeapp::CairoSurface rendered = host::Renderer(cache, weeapp::sys::RunLoop::main().now()).renderWindow(*widget->window, content, nullptr);
    const int width = cairo_image_surface_get_width(rendered.get());
    const int height = cairo_image_surface_get_height(rendered.get());

    const cairo_rectangle_t extents { 0, 0, static_cast<double>(width), static_cast<double>(height) };
    const auto recording = std::make_shared<weeapp::CairoSurface>(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
    {
        const weeapp::CairoContext recorder(cairo_create(recording->get()));
        cairo_set_source_rgb(recorder.get(), host::Backdrop::kDarkRed, host::Backdrop::kDarkGreen, host::Backdrop::kDarkBlue);
        cairo_paint(recorder.get());
        host::Renderer renderer(cache, weeapp::sys::RunLoop::main().now());
        for (const weeapp::ui::ViewPtr& child : widget->window->subviews())
            renderer.drawView(recorder.get(), *child);
    }

    const std::string difference = comparePictures(rendered.get(), host::copyOnCanvas(recording->get(), width, height).get(), *widget);

    return Work { {}, [recording, width, height] {
        weeapp::CairoSurface picture = host::copyOnCanvas(recording->get(), width, height);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(picture.get())); }, [difference] { return difference; } };
}

// The demo widget as the host first shows it.
std::shared_ptr<ShownWidget> demoWidget()
{
    BenchEnvironment::shared();
    DemoPhone::shared().makeCurrent();
    return std::make_shared<ShownWidget>();
}

// The widget of the bench phone of that size in that look, on screen. Mid-flip: the first flip
// a quarter of the way through, scrolled to the page of the flipping tile.
std::shared_ptr<ShownWidget> benchWidget(int favorites, Look look, bool midFlip)
{
    preparePhone(favorites, settingsFor(look));
    auto widget = std::make_shared<ShownWidget>();
    if (!midFlip)
        return widget;
    // The same tile flips for the case and its floor, in every run.
    weeapp::sys::seedRandom(16);
    widget->controller->viewDidAppear();
    for (int step = 0; step < 100; ++step) {
        weeapp::sys::RunLoop::main().advance(0.05);
        for (const auto& animation : weeapp::ui::Animations::running()) {
            const weeapp::ui::ViewPtr tile = animation->transitionView.lock();
            if (animation->transition == weeapp::ui::AnimationTransition::None || !tile)
                continue;
            weeapp::sys::RunLoop::main().advance(animation->startTime + animation->duration / 4 - weeapp::sys::RunLoop::main().now());
            const float page = std::floor(tile->frame().x() / widget->controller->scrollView->frame().width());
            widget->controller->scrollView->setContentOffset({ page * widget->controller->scrollView->frame().width(), 0 });
            return widget;
        }
    }
    std::fprintf(stderr, "bench: no flip started\n");
    std::abort();
}

}

void registerRenderBenchmarks()
{
    registerPair(
        "render/demo", [] { return renderFrame(demoWidget()); }, [] { return replayFrame(demoWidget()); });
    const struct {
        const char* name;
        Look look;
        bool midFlip;
    } frames[] = { { "standard+badges", Look::StandardWithBadges, false }, { "metro1", Look::Metro1, false }, { "metro1-mid-flip", Look::Metro1, true } };
    for (const auto& frame : frames) {
        for (int favorites : { 14, 1000, 5000 }) {
            registerPair(
                std::string("render/") + frame.name + "/" + std::to_string(favorites),
                [frame, favorites] { return renderFrame(benchWidget(favorites, frame.look, frame.midFlip)); },
                [frame, favorites] { return replayFrame(benchWidget(favorites, frame.look, frame.midFlip)); });
        }
    }
}

}
