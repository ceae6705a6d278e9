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

sys::ValuePtr patternDictionary(const MetroPatternRow& row)
{
    return sys::Value::dictionary({
        { "1width", sys::Value::string(row.bigWidth) },
        { "1height", sys::Value::string(row.bigHeight) },
        { "tilewidth", sys::Value::string(row.tileWidth) },
        { "tileheight", sys::Value::string(row.tileHeight) },
        { "righttiles", sys::Value::string(row.rightTiles) },
        { "viewHeight", sys::Value::string(row.viewHeight) },
        { "fontSize", sys::Value::string(row.fontSize) },
    });
}

}

sys::ValuePtr KavrinController::getMetroPattern()
{
    const std::int32_t tilesAlign = sys::intValue(lookUpSetting("tilesAlign"));
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

ui::ColorPtr KavrinController::getMetroBackgroundColor()
{
    switch (sys::intValue(lookUpSetting("metroBackground"))) {
    case 2:
        return ui::Color::yellowColor();
    case 3:
        return ui::Color::cyanColor();
    case 4:
        return ui::Color::magentaColor();
    case 5:
        return ui::Color::redColor();
    case 6:
        return ui::Color::whiteColor();
    case 7:
        return ui::Color::clearColor();
    default:
        return ui::Color::greenColor();
    }
}

}
