#include "modes/gallery_states.h"

namespace kavrin::host {

namespace {

weeapp::sys::ValuePtr flag(bool on) { return weeapp::sys::Value::boolean(on); }
weeapp::sys::ValuePtr number(int value) { return weeapp::sys::Value::integer(value); }

const char* const kColourNames[] = { "green", "yellow", "cyan", "magenta", "red", "white", "clear" };

void addStandardLooks(std::vector<GalleryState>& states)
{
    for (bool labels : { true, false })
        for (bool background : { true, false })
            for (bool five : { false, true })
                for (int page : { 0, 1 }) {
                    std::string file = std::string("standard") + (labels ? "-labels" : "-no-labels") + (background ? "-bg" : "-no-bg")
                        + (five ? "-5" : "-4") + "-page-" + std::to_string(page + 1) + ".png";
                    std::string caption = std::string("standard, ") + (labels ? "labels" : "no labels") + ", " + (background ? "background" : "no background")
                        + ", " + (five ? "5" : "4") + " a page, page " + std::to_string(page + 1);
                    states.push_back({ file, caption, { { "showLabels", flag(labels) }, { "showBg", flag(background) }, { "fiveIcons", flag(five) } }, GalleryScene::Plain, page });
                }
}

// Each pattern in each colour on the second page, which the demo's fourteen favorites do not
// fill, so that the colour shows beside the tiles.
void addMetroLooks(std::vector<GalleryState>& states)
{
    for (int pattern = 1; pattern <= 4; ++pattern)
        for (int colour = 1; colour <= 7; ++colour) {
            std::string name = kColourNames[colour - 1];
            states.push_back({ "metro-pattern-" + std::to_string(pattern) + "-" + name + ".png", "metro, pattern " + std::to_string(pattern) + ", " + name + ", page 2",
                { { "metroStyle", flag(true) }, { "tilesAlign", number(pattern) }, { "metroBackground", number(colour) } }, GalleryScene::Plain, 1 });
        }
    states.push_back({ "metro-mid-flip.png", "metro, a tile mid-flip", { { "metroStyle", flag(true) }, { "metroBackground", number(3) } }, GalleryScene::MidFlip });
}

void addChoosers(std::vector<GalleryState>& states)
{
    const std::pair<const char*, const char*> languages[] = { { "en", "English" }, { "de", "German" }, { "fr", "French" }, { "nl", "Dutch" }, { "es", "Spanish" } };
    for (const auto& [code, name] : languages)
        states.push_back({ std::string("chooser-") + code + ".png", std::string("the chooser in ") + name,
            { { "showLabels", flag(true) }, { "showBg", flag(true) }, { "askForCall", flag(true) }, { "askForText", flag(true) }, { "askForMail", flag(true) } },
            GalleryScene::Chooser, 0, code });
}

void addFavoritesChanges(std::vector<GalleryState>& states)
{
    const Look labelled { { "showLabels", flag(true) }, { "showBg", flag(true) } };
    states.push_back({ "missing-photos.png", "no photos in the address book", labelled, GalleryScene::MissingPhotos });
    states.push_back({ "metro-missing-photos.png", "metro, no photos in the address book", { { "metroStyle", flag(true) } }, GalleryScene::Plain });
    states.push_back({ "no-favorites.png", "no favorites", labelled, GalleryScene::NoFavorites });
    states.push_back({ "metro-no-favorites.png", "metro, no favorites", { { "metroStyle", flag(true) } }, GalleryScene::Plain });
    states.push_back({ "scripts-page-1.png", "names in Greek, Cyrillic, Japanese and Arabic", labelled, GalleryScene::ScriptNames });
    states.push_back({ "scripts-page-2.png", "names in Hebrew and Korean", labelled, GalleryScene::Plain, 1 });
    states.push_back({ "scripts-five.png", "names in six scripts, 5 a page", { { "showLabels", flag(true) }, { "showBg", flag(true) }, { "fiveIcons", flag(true) } }, GalleryScene::Plain });
}

}

std::vector<GalleryState> galleryStates()
{
    std::vector<GalleryState> states;
    addStandardLooks(states);
    addMetroLooks(states);
    addChoosers(states);
    addFavoritesChanges(states);
    return states;
}

}
