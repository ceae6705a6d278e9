#include "modes/gallery_index.h"

namespace kavrin::host {

const char* const kGalleryMarker = "<meta name=\"generator\" content=\"kavrin-host --gallery\">";

std::string escapedHtml(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

namespace {

std::string settingsOf(const GalleryState& state)
{
    std::string text = lookText(state.look);
    switch (state.scene) {
    case GalleryScene::Plain:
        break;
    case GalleryScene::MidFlip:
        text += "; a tile of the page 0.15 s into its flip";
        break;
    case GalleryScene::Chooser:
        text += "; language " + state.language + ", the first tile tapped";
        break;
    case GalleryScene::MissingPhotos:
        text += "; the address book's images removed";
        break;
    case GalleryScene::NoFavorites:
        text += "; an empty favorites list";
        break;
    case GalleryScene::ScriptNames:
        text += "; six favorites named in six scripts";
        break;
    }
    if (state.page > 0)
        text += "; page " + std::to_string(state.page + 1);
    return text;
}

}

std::string galleryIndex(const std::vector<GalleryState>& states, const std::vector<PointSize>& sizes, const std::string& sheetFile, int scale)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += kGalleryMarker;
    html +=
        "\n<title>Kavrin gallery</title>\n<style>\n"
        "body { background: #202124; color: #e8eaed; font-family: sans-serif; margin: 2em; }\n"
        "figure { display: inline-block; margin: 0 1.5em 2em 0; vertical-align: top; }\n"
        "figcaption { margin-top: 0.4em; max-width: 320px; }\n"
        "code { color: #9aa0a6; font-size: 0.85em; }\n"
        "</style>\n</head>\n<body>\n<h1>Kavrin gallery</h1>\n";
    html += "<p>Every state at " + std::to_string(scale) + "&times;, each picture shown at its size in points.</p>\n";
    html += "<p><a href=\"" + escapedHtml(sheetFile) + "\"><img src=\"" + escapedHtml(sheetFile) + "\" alt=\"the contact sheet\" style=\"max-width: 100%\"></a></p>\n";
    for (std::size_t i = 0; i < states.size(); ++i) {
        const GalleryState& state = states[i];
        std::string size;
        if (i < sizes.size() && sizes[i].width > 0)
            size = " width=\"" + std::to_string(sizes[i].width) + "\" height=\"" + std::to_string(sizes[i].height) + "\"";
        html += "<figure id=\"" + escapedHtml(state.file) + "\"><img src=\"" + escapedHtml(state.file) + "\"" + size + " alt=\"" + escapedHtml(state.caption)
            + "\"><figcaption>" + escapedHtml(state.caption) + "<br><code>" + escapedHtml(settingsOf(state)) + "</code></figcaption></figure>\n";
    }
    html += "</body>\n</html>\n";
    return html;
}

}
