#include "render/key_help_drawing.h"
#include "render/text_drawing.h"
#include "render/text_layouts.h"
#include "support/host_harness.h"
#include <weeapp/c_handles.h>
#include <weeapp/ui/text_layout.h>

#include <gtest/gtest.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace kavrin::testing {
namespace {

using host::drawLabel;
using host::drawText;
using host::TextStyle;

// Names as people write them: every script the widget meets, line breaks, tabs, words longer
// than any tile, and both directions in one name.
const std::vector<std::string> kNames = {
    "Anna\nZweite Zeile",
    "Karl\tHeinz Müller",
    "Wolfeschlegelsteinhausenbergerdorff",
    "Bartholomew Featherstonehaugh",
    "Ἀλέξανδρος Παπαδόπουλος",
    "Дмитрий Соколов",
    "山田 花子",
    "نور الحسن",
    "محمد English",
    "English עברית",
    "עברית English",
    "김민준",
    "สมชาย ใจดี",
    "देवनागरी नाम",
    "Émile 👨‍👩‍👧",
    "Anna\x01\x07 Bell",
};

// A layout on a font map and context of its own, set up as the platform measures.
struct MeasuringLayout {
    MeasuringLayout()
    {
        ui::configurePangoContext(context.get());
    }
    const weeapp::GObjectRef<PangoFontMap> fontMap { pango_cairo_font_map_new() };
    const weeapp::GObjectRef<PangoContext> context { pango_font_map_create_context(fontMap.get()) };
    const weeapp::GObjectRef<PangoLayout> layout { pango_layout_new(context.get()) };
};

// An image surface to draw on, of one plain colour.
class Canvas {
public:
    Canvas(int width, int height)
        : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height))
        , m_cr(cairo_create(m_surface.get()))
    {
        cairo_set_source_rgb(m_cr.get(), 0, 0, 0);
        cairo_paint(m_cr.get());
    }

    cairo_t* cr() const { return m_cr.get(); }
    int width() const { return cairo_image_surface_get_width(m_surface.get()); }
    int height() const { return cairo_image_surface_get_height(m_surface.get()); }

    Picture::Rgb at(int x, int y) const
    {
        cairo_surface_flush(m_surface.get());
        const unsigned char* row = cairo_image_surface_get_data(m_surface.get()) + y * cairo_image_surface_get_stride(m_surface.get());
        std::uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, sizeof pixel);
        return { static_cast<int>((pixel >> 16) & 0xff), static_cast<int>((pixel >> 8) & 0xff), static_cast<int>(pixel & 0xff) };
    }
    bool inked(int x, int y) const
    {
        const Picture::Rgb pixel = at(x, y);
        return pixel.red + pixel.green + pixel.blue > 0;
    }

    struct Box {
        int left { INT_MAX }, top { INT_MAX }, right { INT_MIN }, bottom { INT_MIN }; // inclusive
        bool empty() const { return right < left; }
    };
    // The box of every pixel the drawing touched, within the columns given.
    Box ink(int fromX = 0, int toX = INT_MAX) const
    {
        Box box;
        for (int y = 0; y < height(); ++y) {
            for (int x = std::max(0, fromX); x < std::min(width(), toX); ++x) {
                if (inked(x, y)) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
            }
        }
        return box;
    }
    bool samePixels(const Canvas& other) const
    {
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                const Picture::Rgb a = at(x, y), b = other.at(x, y);
                if (a.red != b.red || a.green != b.green || a.blue != b.blue)
                    return false;
            }
        }
        return true;
    }

private:
    weeapp::CairoSurface m_surface;
    weeapp::CairoContext m_cr;
};

TextStyle whiteText(float size, int lines, int alignment = ui::TextAlignmentLeft)
{
    TextStyle style;
    style.font = ui::Font("Helvetica", size);
    style.color = ui::Color::whiteColor();
    style.lines = lines;
    style.alignment = alignment;
    return style;
}

// Ink may reach this far past the measured frame, where antialiasing touches a pixel.
constexpr int kInkSlack = 1;

// What measurement gives is what drawing fills: wrapped at a tile's width, every name's ink lies
// inside the measured frame and reaches its last line; on one line, a frame as wide as the
// measured width holds the whole line, and a line break ends the line.
TEST(TextDrawing, MeasurementEqualsDrawing)
{
    host::TextLayouts layouts;
    const ui::Font font("Helvetica", 14);
    const float width = 60;
    for (const std::string& name : kNames) {
        const ui::Size size = ui::sizeWithFont(name, font, { width, 1000 }, ui::LineBreakMode::WordWrap);
        const float line = ui::sizeWithFont("A", font, { width, 1000 }, ui::LineBreakMode::WordWrap).height;
        Canvas wrapped(100, 200);
        drawText(wrapped.cr(), layouts, name, whiteText(14, 0), { 10, 10, width, size.height });
        const Canvas::Box ink = wrapped.ink();
        ASSERT_FALSE(ink.empty()) << name;
        EXPECT_GE(ink.left, 10 - kInkSlack) << name;
        EXPECT_LE(ink.right, 10 + static_cast<int>(width) + kInkSlack) << name;
        EXPECT_GE(ink.top, 10 - kInkSlack) << name;
        EXPECT_LE(ink.bottom, 10 + static_cast<int>(size.height) + kInkSlack) << name;
        EXPECT_GT(ink.bottom, 10 + static_cast<int>(size.height - line)) << name;

        const float lineWidth = ui::widthOfText(name, font);
        Canvas oneLine(400, 40);
        drawText(oneLine.cr(), layouts, name, whiteText(14, 1), { 10, 0, std::ceil(lineWidth), 40 });
        const Canvas::Box lineInk = oneLine.ink();
        ASSERT_FALSE(lineInk.empty()) << name;
        EXPECT_GE(lineInk.left, 10 - kInkSlack) << name;
        EXPECT_LE(lineInk.right, 10 + static_cast<int>(std::ceil(lineWidth)) + kInkSlack) << name;
    }
    EXPECT_EQ(ui::widthOfText("Anna\nZweite Zeile", font), ui::widthOfText("Anna", font));
    // A label whose first line fits is not shrunk for the lines after it.
    const auto label = ui::Label::create({ 0, 0, 64, 20 });
    label->setFont(ui::Font::fontWithNameSize("Helvetica", 12));
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(9);
    label->setText("Anna\nZweite Zeile die lang ist");
    EXPECT_EQ(label->fittedFontSize(), 12);
}

// A line break ends a one-line text and control characters draw nothing: both draw exactly
// the text without them.
TEST(TextDrawing, LineBreaksAndControlCharactersDrawNoGlyph)
{
    host::TextLayouts layouts;
    const std::pair<std::string, std::string> cases[] = {
        { "Anna\nZweite Zeile", "Anna" },
        { "Anna\r\nZweite", "Anna" },
        { "Anna\u2028Zweite", "Anna" },
        { "An\x01na\x7f\x1b", "Anna" },
        { "An\u0085na", "An" },
    };
    for (const auto& [text, shown] : cases) {
        Canvas drawn(120, 30), expected(120, 30);
        drawText(drawn.cr(), layouts, text, whiteText(14, 1), { 0, 0, 120, 30 });
        drawText(expected.cr(), layouts, shown, whiteText(14, 1), { 0, 0, 120, 30 });
        EXPECT_TRUE(drawn.samePixels(expected)) << text;
    }
    EXPECT_EQ(ui::shownText("A\tb\x02\nc", 0), "A\tb\nc");
    EXPECT_EQ(ui::shownText("A\tb\x02\nc", 1), "A\tb");
    EXPECT_EQ(ui::shownText(std::string("ok\xff", 3), 1), "ok\uFFFD");
}

// Words that break between characters get no hyphen: the first line of a broken word draws
// exactly as wide as its letters drawn alone.
TEST(TextDrawing, BrokenWordsGetNoHyphen)
{
    host::TextLayouts layouts;
    const MeasuringLayout measuring;
    PangoLayout* layout = measuring.layout.get();
    for (const std::string word : { "Bartholomew", "Ἀλέξανδρος", "Featherstonehaugh" }) {
        const float width = 50;
        ui::setLayoutText(layout, word, ui::Font("Helvetica", 14), width, ui::LineBreakMode::WordWrap);
        ASSERT_GT(pango_layout_get_line_count(layout), 1) << word;
        const PangoLayoutLine* second = pango_layout_get_line_readonly(layout, 1);
        const std::string firstLine = word.substr(0, static_cast<std::size_t>(second->start_index));

        Canvas wrapped(100, 60), alone(100, 60);
        drawText(wrapped.cr(), layouts, word, whiteText(14, 2), { 0, 0, width, 60 });
        drawText(alone.cr(), layouts, firstLine, whiteText(14, 1), { 0, 0, 100, 60 });
        const Canvas::Box lineInk = alone.ink();
        Canvas::Box wrappedFirst;
        for (int y = lineInk.top; y <= lineInk.bottom; ++y) {
            for (int x = 0; x < 100; ++x) {
                if (wrapped.inked(x, y))
                    wrappedFirst.right = std::max(wrappedFirst.right, x);
            }
        }
        EXPECT_LE(wrappedFirst.right, lineInk.right + 1) << word << ": " << firstLine;
    }
}

// Left alignment is absolute: a right-to-left name starts at the left edge, and a one-line
// name too long for its box ends in an ellipsis at the right, whichever way its last run goes.
TEST(TextDrawing, RightToLeftTextKeepsLeftAlignmentAndTruncatesAtTheVisualEnd)
{
    host::TextLayouts layouts;
    for (const std::string name : { "محمد", "נועה", "نور الحسن" }) {
        for (int lines : { 1, 2, 0 }) {
            Canvas canvas(200, 40);
            drawText(canvas.cr(), layouts, name, whiteText(14, lines), { 0, 0, 200, 40 });
            EXPECT_LE(canvas.ink().left, 2) << name << " in " << lines << " lines";
            EXPECT_LT(canvas.ink().right, 100) << name << " in " << lines << " lines";
        }
    }
    // The ellipsis is three dots on the baseline: the rightmost inked columns hold ink only low.
    const float size = 14;
    for (const std::string name : { "English עברית ארוכה מאוד", "עברית English longer", "Bartholomew Featherstonehaugh" }) {
        Canvas canvas(120, 30), letters(120, 30);
        drawText(canvas.cr(), layouts, name, whiteText(size, 1), { 0, 0, 90, 30 });
        drawText(letters.cr(), layouts, "x", whiteText(size, 1), { 0, 0, 90, 30 });
        const Canvas::Box ink = canvas.ink(), xInk = letters.ink();
        ASSERT_FALSE(ink.empty()) << name;
        EXPECT_LE(ink.right, 90 + kInkSlack) << name;
        EXPECT_GE(ink.right, 80) << name;
        // The last eight columns: the ellipsis, no taller than the dots, resting on the baseline.
        const Canvas::Box end = canvas.ink(ink.right - 7, ink.right + 1);
        EXPECT_GE(end.top, xInk.bottom - 4) << name;
        EXPECT_LE(end.bottom, xInk.bottom + 1) << name;
    }
}

// A name shrunk to fit stands on the baseline of its unshrunk neighbours.
TEST(TextDrawing, ShrunkAndUnshrunkNamesShareABaseline)
{
    host::TextLayouts layouts;
    const auto bottomOfInk = [&layouts](const std::string& name) {
        const auto label = ui::Label::create({ 0, 0, 64, 20 });
        label->setFont(ui::Font::fontWithNameSize("Helvetica", 12));
        label->setTextColor(ui::Color::whiteColor());
        label->setTextAlignment(ui::TextAlignmentCenter);
        label->setAdjustsFontSizeToFitWidth(true);
        label->setMinimumFontSize(9);
        label->setText(name);
        Canvas canvas(64, 20);
        drawLabel(canvas.cr(), layouts, *label);
        return std::pair { canvas.ink().bottom, label->fittedFontSize() };
    };
    // Names without descenders: their ink ends on the baseline.
    const auto [unshrunk, fullSize] = bottomOfInk("Anna");
    const auto [shrunk, smallerSize] = bottomOfInk("Annemarie Oberhammer");
    EXPECT_EQ(fullSize, 12);
    EXPECT_LT(smallerSize, 12);
    EXPECT_EQ(shrunk, unshrunk);
}

// Colour emoji draw in colour, not as a tinted shape.
TEST(TextDrawing, EmojiDrawInColour)
{
    host::TextLayouts layouts;
    Canvas canvas(60, 40);
    drawText(canvas.cr(), layouts, "😀", whiteText(30, 1), { 0, 0, 60, 40 });
    int coloured = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Picture::Rgb pixel = canvas.at(x, y);
            coloured += std::max({ pixel.red, pixel.green, pixel.blue }) - std::min({ pixel.red, pixel.green, pixel.blue }) > 80;
        }
    }
    EXPECT_GT(coloured, 50);
}

// Every demo name, and every script above, finds a font: no glyph is Pango's unknown glyph, and
// "Helvetica" stays the face of Latin letters.
TEST(TextDrawing, EveryNameFindsAFont)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    std::vector<std::string> names = kNames;
    const sys::ValuePtr favorites = sys::readPropertyListFile((phone.path() / PhoneRoot::kFavorites).string());
    ASSERT_EQ(sys::count(favorites), 14u);
    for (std::size_t i = 0; i < sys::count(favorites); ++i)
        names.push_back(sys::description(sys::objectForKey(sys::objectAtIndex(favorites, i), "Name")));
    EXPECT_NE(std::find(names.begin(), names.end(), "김민준"), names.end());

    const MeasuringLayout measuring;
    PangoLayout* layout = measuring.layout.get();
    for (const std::string& name : names) {
        ui::setLayoutText(layout, name, ui::Font("Helvetica", 12), 0, ui::LineBreakMode::WordWrap);
        int unknown = 0;
        for (GSList* run = pango_layout_get_line_readonly(layout, 0)->runs; run; run = run->next) {
            const PangoGlyphString* glyphs = static_cast<PangoLayoutRun*>(run->data)->glyphs;
            for (int g = 0; g < glyphs->num_glyphs; ++g)
                unknown += (glyphs->glyphs[g].glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0;
        }
        EXPECT_EQ(unknown, 0) << name;
    }
    ui::setLayoutText(layout, "Anna", ui::Font("Helvetica", 12), 0, ui::LineBreakMode::WordWrap);
    const auto* first = static_cast<PangoLayoutRun*>(pango_layout_get_line_readonly(layout, 0)->runs->data);
    const weeapp::PangoFontDescriptionOwner face(pango_font_describe(first->item->analysis.font));
    EXPECT_STREQ(pango_font_description_get_family(face.get()), "Nimbus Sans");
}

// The keys' help gives each line room of its own: over a frame too low for them all (five tiles a
// page at scale 1) the picture grows under the lines; a frame high enough keeps its size. No
// row of pixels holds ink of two lines (a blank row parts each line from the next).
TEST(KeyHelp, EveryLineHasRoomOfItsOwn)
{
    host::TextLayouts layouts;
    std::vector<host::KeyHelp> keys;
    for (int i = 0; i < 24; ++i)
        keys.push_back({ "Esc", "cancel chooser, else quit" });
    for (const int scale : { 1, 2 }) {
        const weeapp::CairoSurface low(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 320 * scale, 88 * scale));
        const weeapp::CairoSurface help = host::withKeyHelp(low.get(), keys, scale, layouts);
        const int height = cairo_image_surface_get_height(help.get());
        EXPECT_GE(height, (2 * 6 + 12 * 9) * scale) << scale;
        EXPECT_EQ(cairo_image_surface_get_width(help.get()), 320 * scale);
        // Rows with bright ink (the text) come in twelve runs in the first column, one a line.
        cairo_surface_flush(help.get());
        const unsigned char* data = cairo_image_surface_get_data(help.get());
        const int stride = cairo_image_surface_get_stride(help.get());
        int runs = 0;
        bool inked = false;
        for (int y = 0; y < height; ++y) {
            bool bright = false;
            for (int x = 0; x < 150 * scale && !bright; ++x) {
                const auto* pixel = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride) + x;
                bright = ((*pixel >> 8) & 0xff) > 128;
            }
            runs += bright && !inked;
            inked = bright;
        }
        EXPECT_EQ(runs, 12) << scale;
    }
    const weeapp::CairoSurface high(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 320, 400));
    EXPECT_EQ(cairo_image_surface_get_height(host::withKeyHelp(high.get(), keys, 1, layouts).get()), 400);
}

}
}
