#include "render/render_cache.h"
#include "render/renderer.h"
#include <weeapp/sys/clock.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/color.h>
#include <weeapp/ui/font.h>
#include <weeapp/ui/image.h>
#include <weeapp/ui/image_view.h>
#include <weeapp/ui/label.h>
#include <weeapp/ui/window.h>

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace kavrin::testing {
namespace {

// A window with a column of labels, more than the text layouts keep between frames, and an
// image.
std::shared_ptr<ui::Window> textsAndAnImage(int labels)
{
    auto window = ui::Window::create({ 0, 0, 320, 480 });
    auto content = ui::View::create({ 0, 0, 320, 480 });
    window->addSubview(content);
    for (int i = 0; i < labels; ++i) {
        auto label = ui::Label::create({ 4, static_cast<float>(i) * 1.5f, 300, 14 });
        label->setFont(ui::Font::fontWithNameSize("Helvetica", 12));
        label->setTextColor(ui::Color::whiteColor());
        label->setText("Friend number " + std::to_string(i));
        content->addSubview(label);
    }
    auto bitmap = std::make_shared<ui::Bitmap>();
    bitmap->width = bitmap->height = 16;
    bitmap->pixels.assign(256, 0xff3080c0u);
    content->addSubview(ui::ImageView::create(std::make_shared<ui::Image>(bitmap, "data")));
    return window;
}

std::string pixelsOf(const weeapp::CairoSurface& picture)
{
    cairo_surface_flush(picture.get());
    const auto* data = reinterpret_cast<const char*>(cairo_image_surface_get_data(picture.get()));
    return std::string(data, static_cast<std::size_t>(cairo_image_surface_get_stride(picture.get())) * cairo_image_surface_get_height(picture.get()));
}

// A frame is the same whichever cache draws it and whatever that cache drew before: a fresh
// cache, one that kept the texts of earlier frames, and one whose sibling cache was destroyed in
// between (nothing of a cache outlives it in another) all give the same picture.
TEST(RenderCache, PicturesDoNotDependOnTheCacheThatDrawsThem)
{
    sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());
    auto window = textsAndAnImage(300);
    const ui::View* content = window->subviews().front().get();
    const auto draw = [&](host::RenderCache& cache) {
        return pixelsOf(host::Renderer(cache, sys::RunLoop::main().now()).renderWindow(*window, content, nullptr));
    };

    host::RenderCache kept;
    const std::string first = draw(kept);
    std::optional<host::RenderCache> other;
    other.emplace();
    EXPECT_EQ(draw(*other), first);
    other.reset();
    EXPECT_EQ(draw(kept), first);
    EXPECT_EQ(draw(kept), first);
    other.emplace();
    EXPECT_EQ(draw(*other), first);
}

}
}
