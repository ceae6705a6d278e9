#pragma once

#include "modes/gallery_states.h"

#include <string>
#include <vector>

namespace kavrin::host {

// The line of index.html by which a later run knows the folder as a gallery's.
extern const char* const kGalleryMarker;

// A picture's size in points; 0 by 0 for one not drawn yet.
struct PointSize {
    int width { 0 };
    int height { 0 };
};

// index.html: the contact sheet, then every picture, shown at its size in points, with its
// caption and its settings. sizes go with states, one for one.
std::string galleryIndex(const std::vector<GalleryState>& states, const std::vector<PointSize>& sizes, const std::string& sheetFile, int scale);

// Text as it may stand in HTML.
std::string escapedHtml(const std::string&);

}
