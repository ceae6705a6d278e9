#include "render/renderer.h"
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/animation.h>
#include <weeapp/ui/button.h>
#include <weeapp/ui/color.h>
#include <weeapp/ui/font.h>
#include <weeapp/ui/image.h>
#include <weeapp/ui/label.h>
#include <weeapp/ui/scroll_view.h>
#include <weeapp/ui/window.h>

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kavrin::testing {
namespace {

// Names of every kind a tile meets: long ones, other scripts, both directions, a family of
// emoji joined into one character, and a chain of joined emoji that no font draws as one.
const std::vector<std::string> kNames = {
    "Wolfeschlegelsteinhausenbergerdorff",
    "Ἀλέξανδρος Παπαδόπουλος",
    "山田 花子",
    "محمد English",
    "English עברית",
    "สมชาย ใจดี",
    "Émile 👨‍👩‍👧",
    "👩‍🚀‍👨‍🍳‍👩‍🔬‍👨‍🎤‍👩‍🏫‍👨‍🌾‍👩‍💻‍👨‍🔧‍👩‍🚒",
    "Anna Berger",
    "W",
};

ui::ImagePtr photo()
{
    auto bitmap = std::make_shared<ui::Bitmap>();
    bitmap->width = bitmap->height = 64;
    for (std::uint32_t y = 0; y < 64; ++y) {
        for (std::uint32_t x = 0; x < 64; ++x)
            bitmap->pixels.push_back(0xff000000u | (x * 4) << 16 | (y * 4) << 8 | 0x80u);
    }
    return std::make_shared<ui::Image>(bitmap, "data");
}

std::shared_ptr<ui::Label> nameLabel(const std::string& name, ui::Rect frame, int lines, float size)
{
    auto label = ui::Label::create(frame);
    label->setTextColor(ui::Color::whiteColor());
    label->setTextAlignment(ui::TextAlignmentCenter);
    label->setFont(ui::Font::fontWithNameSize("Helvetica", size));
    label->setNumberOfLines(lines);
    label->setAdjustsFontSizeToFitWidth(lines == 1);
    label->setMinimumFontSize(9.0f);
    label->setShadowColor(ui::Color::darkTextColor());
    label->setShadowOffset({ 1.0f, 1.0f });
    label->setText(name);
    return label;
}

// A strip of many tiles beside each other, as both looks make them: rounded photo buttons with
// a half-clear badge, names on one line under them and on two lines over them, and names in
// frames far too narrow between the tiles.
struct Strip {
    explicit Strip(int tiles)
    {
        auto container = ui::View::create({ 2, 2, 316, 150 });
        window->addSubview(container);
        container->addSubview(scroll);
        scroll->setContentSize({ static_cast<float>(tiles * 80), 150 });
        const ui::ImagePtr image = photo();
        for (int i = 0; i < tiles; ++i) {
            const std::string name = kNames[static_cast<std::size_t>(i) % kNames.size()] + " " + std::to_string(i);
            const auto x = static_cast<float>(12 + 76 * i);
            auto button = ui::Button::buttonWithType(0);
            button->setFrame({ x, 12, 64, 64 });
            button->setImage(image, ui::ControlStateNormal);
            button->layer().cornerRadius = 5.0f;
            button->layer().masksToBounds = true;
            auto badge = nameLabel(name, { 0, 54, 64, 10 }, 1, 9.0f);
            badge->setBackgroundColor(ui::Color::blackColor());
            badge->setAlpha(0.9f);
            button->addSubview(badge);
            button->addSubview(nameLabel(name, { 2, 20, 60, 40 }, 2, 12.0f));
            scroll->addSubview(button);
            scroll->addSubview(nameLabel(name, { x, 76, 64, 20 }, 1, 12.0f));
            scroll->addSubview(nameLabel(name, { x, 100, 64, 40 }, i % 3 == 0 ? 0 : 2, 12.0f));
            // A name in a frame too narrow for it, whose ellipsis or unbroken line reaches out.
            scroll->addSubview(nameLabel(name, { x + 70, 124, 4, 12 }, i % 2 == 0 ? 1 : 2, 12.0f));
            tiles_.push_back(button);
        }
    }

    std::shared_ptr<ui::Window> window { ui::Window::create({ 0, 0, 320, 480 }) };
    std::shared_ptr<ui::ScrollView> scroll { ui::ScrollView::create({ 0, 0, 316, 150 }) };
    std::vector<std::shared_ptr<ui::Button>> tiles_;
};

bool samePixels(cairo_surface_t* first, cairo_surface_t* second)
{
    const int height = cairo_image_surface_get_height(first);
    if (cairo_image_surface_get_width(first) != cairo_image_surface_get_width(second) || height != cairo_image_surface_get_height(second)
        || cairo_image_surface_get_stride(first) != cairo_image_surface_get_stride(second))
        return false;
    return std::memcmp(cairo_image_surface_get_data(first), cairo_image_surface_get_data(second),
               static_cast<std::size_t>(height) * static_cast<std::size_t>(cairo_image_surface_get_stride(first)))
        == 0;
}

// Leaving out what lies out of sight changes no byte of a picture: a strip of 400 tiles drawn
// with only the views in sight equals the one drawn with all of them, at the start, scrolled to
// the middle by a part of a tile, with texts just out of sight whose ink reaches in, at scale 2,
// and while tiles in sight and beside it flip.
TEST(RendererSight, PicturesAreTheSameWithoutTheViewsOutOfSight)
{
    auto clock = std::make_shared<sys::ManualClock>();
    sys::RunLoop::main().setClock(clock);
    Strip strip(400);
    int compared = 0;
    host::RenderCache cache;
    const auto expectSame = [&](const std::string& what, int scale) {
        host::Renderer inSight(cache, sys::RunLoop::main().now(), scale);
        host::Renderer everything(cache, sys::RunLoop::main().now(), scale);
        everything.setDrawsEverything(true);
        weeapp::CairoSurface fast = inSight.renderWindow(*strip.window, strip.window->subviews().front().get(), nullptr);
        weeapp::CairoSurface full = everything.renderWindow(*strip.window, strip.window->subviews().front().get(), nullptr);
        EXPECT_TRUE(samePixels(fast.get(), full.get())) << what << " at scale " << scale;
        ++compared;
    };
    // The narrow frame of tile 207 (two lines, the first the chain of emoji) begins 40 points
    // right of the view; that of tile 200 (one line, cut) ends 4 points left of it.
    for (float offset : { 0.0f, 76.0f * 200 - 31.5f, 76.0f * 207 + 82 - 356, 76.0f * 200 + 82 + 4 + 4, 76.0f * 397 }) {
        strip.scroll->setContentOffset({ offset, 0 });
        expectSame("scrolled to " + std::to_string(offset), 1);
        expectSame("scrolled to " + std::to_string(offset), 2);
    }

    strip.scroll->setContentOffset({ 76.0f * 200, 0 });
    for (int tile : { 199, 200, 202, 204 }) {
        ui::Animations::beginAnimations("flip", nullptr);
        ui::Animations::setAnimationDuration(1.0);
        ui::Animations::setAnimationTransitionForView(tile % 2 == 0 ? 1 : 2, strip.tiles_[static_cast<std::size_t>(tile)].get(), true);
        strip.tiles_[static_cast<std::size_t>(tile)]->setAlpha(0.5f);
        ui::Animations::commitAnimations();
    }
    for (double step : { 0.1, 0.2, 0.15 }) {
        sys::RunLoop::main().advance(step);
        expectSame("mid-flip", 1);
    }
    EXPECT_EQ(compared, 13);
}

}
}
