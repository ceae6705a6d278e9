#include "controller/kavrin_controller.h"
#include "settings/settings_reader.h"

namespace kavrin {

namespace {

// The four tile geometries of the metro look, chosen by "tilesAlign". In each of them the big
// tile plus a row of little tiles spans the 320-point page.
struct MetroPatternRow {
    const char* bigWidth;
    const char* bigHeight;
    const char* tileWidth;
    const char* tileHeight;
    const char* rightTiles;
    const char* viewHeight;
    const char* fontSize;
};

constexpr MetroPatternRow kFirstPattern { "108", "108", "53", "53", "4", "106", "11" };
constexpr MetroPatternRow kPattern2 { "128", "128", "64", "64", "3", "128", "12" };
constexpr MetroPatternRow kPattern3 { "90", "90", "46", "46", "5", "90", "11" };
constexpr MetroPatternRow kPattern4 { "80", "80", "40", "40", "6", "80", "10" };

weeapp::sys::ValuePtr patternDictionary(const MetroPatternRow& row)
{
    return weeapp::sys::Value::dictionary({
        { "1width", weeapp::sys::Value::string(row.bigWidth) },
        { "1height", weeapp::sys::Value::string(row.bigHeight) },
        { "tilewidth", weeapp::sys::Value::string(row.tileWidth) },
        { "tileheight", weeapp::sys::Value::string(row.tileHeight) },
        { "righttiles", weeapp::sys::Value::string(row.rightTiles) },
        { "viewHeight", weeapp::sys::Value::string(row.viewHeight) },
        { "fontSize", weeapp::sys::Value::string(row.fontSize) },
    });
}

}

weeapp::sys::ValuePtr KavrinController::getMetroPattern()
{
    const std::int32_t tilesAlign = weeapp::sys::intValue(lookUpSetting("tilesAlign"));
    switch (tilesAlign) {
    case 2:
        return patternDictionary(kPattern2);
    case 3:
        return patternDictionary(kPattern3);
    case 4:
        return patternDictionary(kPattern4);
    default:
        return patternDictionary(kFirstPattern);
    }
}

weeapp::ui::ColorPtr KavrinController::getMetroBackgroundColor()
{
    switch (weeapp::sys::intValue(lookUpSetting("metroBackground"))) {
    case 2:
        return weeapp::ui::Color::yellowColor();
    case 3:
        return weeapp::ui::Color::cyanColor();
    case 4:
        return weeapp::ui::Color::magentaColor();
    case 5:
        return weeapp::ui::Color::redColor();
    case 6:
        return weeapp::ui::Color::whiteColor();
    case 7:
        return weeapp::ui::Color::clearColor();
    default:
        return weeapp::ui::Color::greenColor();
    }
}

}
