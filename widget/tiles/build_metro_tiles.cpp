#include "controller/kavrin_controller.h"

#include "sources/favorites_list.h"
#include "tiles/tile_geometry.h"
#include <weeapp/sys/format.h>
#include <weeapp/ui/text/font.h>

namespace kavrin {

namespace {

struct MetroGeometry {
    std::int32_t bigWidth;
    std::int32_t bigHeight;
    std::int32_t tileWidth;
    std::int32_t tileHeight;
    std::int32_t rightTiles;
    std::int32_t fontSize;
};

MetroGeometry readPattern(const weeapp::sys::ValuePtr& pattern)
{
    return {
        weeapp::sys::intValue(weeapp::sys::objectForKey(pattern, "1width")),
        weeapp::sys::intValue(weeapp::sys::objectForKey(pattern, "1height")),
        weeapp::sys::intValue(weeapp::sys::objectForKey(pattern, "tilewidth")),
        weeapp::sys::intValue(weeapp::sys::objectForKey(pattern, "tileheight")),
        weeapp::sys::intValue(weeapp::sys::objectForKey(pattern, "righttiles")),
        weeapp::sys::intValue(weeapp::sys::objectForKey(pattern, "fontSize")),
    };
}

// Black text on the light backgrounds, white on the others; by identity with the shared colours.
weeapp::ui::ColorPtr tileTextColor(const weeapp::ui::ColorPtr& background)
{
    if (background == weeapp::ui::Color::whiteColor() || background == weeapp::ui::Color::yellowColor() || background == weeapp::ui::Color::cyanColor()
        || background == weeapp::ui::Color::greenColor())
        return weeapp::ui::Color::blackColor();
    return weeapp::ui::Color::whiteColor();
}

struct TileRect {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

// The placement cursor: a big tile first, then little tiles in rows of equal size, two rows a
// page; the first page's rows hold "righttiles" beside the big tile, later pages two more.
class MetroCursor {
public:
    explicit MetroCursor(const MetroGeometry& geometry)
        : m_geometry(geometry)
        , m_pageOrigin(geometry.bigWidth) { }

    TileRect tileFor(std::size_t index)
    {
        if (m_page >= 1)
            m_pageOrigin = kMetroPageWidth * m_page;
        if (index == 0)
            return { 0, 0, m_geometry.bigWidth, m_geometry.bigHeight };
        return { m_pageOrigin + m_column * m_geometry.tileWidth, m_row * m_geometry.tileHeight, m_geometry.tileWidth,
            m_geometry.tileHeight };
    }

    // After a little tile; a full last page opens no empty one.
    void advance(bool isLast)
    {
        ++m_column;
        const std::int32_t rowLength = m_page == 0 ? m_geometry.rightTiles : m_geometry.rightTiles + 2;
        if (m_column == rowLength) {
            m_column = 0;
            ++m_row;
        }
        if (m_row == 2 && !isLast) {
            m_row = 0;
            ++m_page;
        }
    }

    std::int32_t page() const { return m_page; }

private:
    MetroGeometry m_geometry;
    std::int32_t m_column { 0 };
    std::int32_t m_row { 0 };
    std::int32_t m_page { 0 };
    std::int32_t m_pageOrigin;
};

}

// Square photo tiles edge to edge on the metro colour, each covering a label with the first
// word of the name, which the flip animation uncovers. Returns the index of the last page.
std::int32_t KavrinController::buildMetroTiles()
{
    const MetroGeometry geometry = readPattern(getMetroPattern());
    littleTiles = geometry.rightTiles;
    const weeapp::ui::FontPtr font = weeapp::ui::Font::fontWithNameSize("Helvetica", static_cast<float>(geometry.fontSize));
    const weeapp::ui::ColorPtr textColor = tileTextColor(metroBGColor);
    MetroCursor cursor(geometry);

    const std::size_t count = weeapp::sys::count(rawElementsArray);
    for (std::size_t index = 0; index < count; ++index) {
        const FavoriteEntry entry { weeapp::sys::objectAtIndex(rawElementsArray, index) };
        const TileRect tile = cursor.tileFor(index);
        const std::vector<std::string> words = weeapp::sys::componentsSeparatedByString(entry.formattedName(), " ");
        const std::string firstWord = words.empty() ? std::string() : words.front();

        const weeapp::ui::Size measured = weeapp::ui::sizeWithFont(firstWord, *font,
            { static_cast<float>(tile.width), static_cast<float>(tile.height) }, weeapp::ui::LineBreakMode::WordWrap);
        const auto textHeight = static_cast<std::int32_t>(measured.height);
        auto label = weeapp::ui::Label::create({ static_cast<float>(tile.x + 2), static_cast<float>(tile.y + tile.height - textHeight),
            static_cast<float>(tile.width - 4), static_cast<float>(textHeight) });
        label->setBackgroundColor(weeapp::ui::Color::clearColor());
        label->setTextColor(textColor);
        label->setTextAlignment(weeapp::ui::TextAlignmentLeft);
        label->setFont(font);
        label->setNumberOfLines(2);
        label->setText(firstWord);
        scrollView->addSubview(label);

        auto button = weeapp::ui::Button::buttonWithType(0);
        button->setFrame({ static_cast<float>(tile.x), static_cast<float>(tile.y), static_cast<float>(tile.width),
            static_cast<float>(tile.height) });
        button->setTag(static_cast<int>(index));
        button->setImage(getImageFromDB(entry.recordId()), weeapp::ui::ControlStateNormal);
        button->addTarget(this, &KavrinController::doStart, weeapp::ui::ControlEventTouchUpInside);
        scrollView->addSubview(button);
        buttons->push_back(button);
        // Flipped or not, the tile says the whole name; the first word under it stays silent.
        describeTile(*button, entry.formattedName(), { label.get() }, std::nullopt);

        if (index > 0)
            cursor.advance(index + 1 == count);
    }
    return cursor.page();
}

}
