#pragma once

#include "ui/view.h"

#include <string>

namespace ui {

// A readable dump of a view tree as one line of JSON: per view
// {"class", "frame": [x, y, w, h], "tag", "hidden", "alpha", "background", "cornerRadius",
//  "masksToBounds", "borderWidth", "children": [...]}, plus per class:
// ScrollView "contentSize", "contentOffset", "pagingEnabled"; PageControl "pages",
// "currentPage"; Label "text", "font": [name, size], "textColor", "alignment", "lines",
// "minimumFontSize", "shadowColor", "shadowOffset"; Button and ImageView "image": null or
// {"source", "width", "height"}. A colour is its name for a named colour, null for none, or
// [r, g, b, a].
std::string dumpViewTree(const View&);

}
