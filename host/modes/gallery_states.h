#pragma once

#include "session/look_settings.h"

#include <string>
#include <vector>

namespace kavrin::host {

// What the gallery does to the phone before a picture, beyond the look.
enum class GalleryScene {
    Plain,         // the look as it comes up, on a page
    MidFlip,       // the metro look while its first tile turns over
    Chooser,       // the first tile tapped with every ask-flag set, in a language
    MissingPhotos, // the favorites without the address book's images
    NoFavorites,   // an empty favorites list
    ScriptNames,   // favorites named in six scripts
};

// One picture of the gallery: its file, the caption under it, the look and what makes the
// moment.
struct GalleryState {
    std::string file;
    std::string caption;
    Look look;
    GalleryScene scene { GalleryScene::Plain };
    int page { 0 };          // counted from 0
    std::string language {}; // the chooser's; empty: the host's languages
};

// Every state in the order they are taken: the looks first, then the changes to the favorites,
// each of which stays for the states after it.
std::vector<GalleryState> galleryStates();

}
