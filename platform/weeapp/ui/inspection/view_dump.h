#pragma once

#include <weeapp/ui/accessibility/accessibility_reader.h>
#include <weeapp/ui/inspection/json_text.h>
#include <weeapp/ui/views/alert_view.h>
#include <weeapp/ui/views/view.h>

#include <string>

namespace weeapp::ui {

// A readable dump of a view tree as one line of JSON: per view
// {"class", "frame": [x, y, w, h], "tag", "hidden", "alpha", "background", "cornerRadius",
//  "masksToBounds", "borderWidth", then, for a view that is an accessibility element or carries
//  accessibility settings of its own, "accessibility": {"element", "label", "hint", "traits",
//  "value", "elementsHidden"}, then per class:
// ScrollView "contentSize", "contentOffset", "pagingEnabled"; PageControl "pages",
// "currentPage"; Label "text", "font": [name, size], "textColor", "alignment", "lines",
// "minimumFontSize", "shadowColor", "shadowOffset"; Button and ImageView "image": null or
// {"source", "width", "height"}; and last "children": [...]}. A colour is its name for a named
// colour, null for none, or [r, g, b, a]. Numbers print as the shortest text that reads back as
// the same 32-bit float (2, 0.05, 0.1254902).
std::string dumpViewTree(const View&);
Json viewTreeJson(const View&);

// An alert as the host reports it: {"title": text or null, "buttons": [titles in index order],
// "tag": n}.
std::string dumpAlert(const AlertView&);
Json alertJson(const AlertView&);

// What an element says: {"label": text or null, "hint": text or null, "traits": [names],
// "value": text or null}.
std::string dumpAccessibilityDescription(const AccessibilityDescription&);
Json accessibilityDescriptionJson(const AccessibilityDescription&);

}
