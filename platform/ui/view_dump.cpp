#include "ui/view_dump.h"

#include "ui/button.h"
#include "ui/image_view.h"
#include "ui/json_writer.h"
#include "ui/label.h"
#include "ui/page_control.h"
#include "ui/scroll_view.h"

namespace ui {

namespace {

void writePair(JsonWriter& json, float first, float second)
{
    json.beginArray();
    json.number(first);
    json.number(second);
    json.endArray();
}

void writeColor(JsonWriter& json, const ColorPtr& color)
{
    if (!color) {
        json.null();
        return;
    }
    if (color->name()) {
        json.string(*color->name());
        return;
    }
    json.beginArray();
    json.number(color->red());
    json.number(color->green());
    json.number(color->blue());
    json.number(color->alpha());
    json.endArray();
}

void writeImage(JsonWriter& json, const ImagePtr& image)
{
    json.key("image");
    if (!image) {
        json.null();
        return;
    }
    json.beginObject();
    json.key("source");
    json.string(image->source());
    json.key("width");
    json.number(image->size().width);
    json.key("height");
    json.number(image->size().height);
    json.endObject();
}

void writeClassMembers(JsonWriter& json, const View& view)
{
    if (const auto* scrollView = dynamic_cast<const ScrollView*>(&view)) {
        json.key("contentSize");
        writePair(json, scrollView->contentSize().width, scrollView->contentSize().height);
        json.key("contentOffset");
        writePair(json, scrollView->contentOffset().x, scrollView->contentOffset().y);
        json.key("pagingEnabled");
        json.boolean(scrollView->isPagingEnabled());
    } else if (const auto* pageControl = dynamic_cast<const PageControl*>(&view)) {
        json.key("pages");
        json.integer(pageControl->numberOfPages());
        json.key("currentPage");
        json.integer(pageControl->currentPage());
    } else if (const auto* label = dynamic_cast<const Label*>(&view)) {
        json.key("text");
        json.string(label->text());
        json.key("font");
        if (const auto& font = label->font()) {
            json.beginArray();
            json.string(font->fontName());
            json.number(font->pointSize());
            json.endArray();
        } else {
            json.null();
        }
        json.key("textColor");
        writeColor(json, label->textColor());
        json.key("alignment");
        json.integer(label->textAlignment());
        json.key("lines");
        json.integer(label->numberOfLines());
        json.key("minimumFontSize");
        json.number(label->minimumFontSize());
        json.key("shadowColor");
        writeColor(json, label->shadowColor());
        json.key("shadowOffset");
        writePair(json, label->shadowOffset().width, label->shadowOffset().height);
    } else if (const auto* button = dynamic_cast<const Button*>(&view)) {
        writeImage(json, button->currentImage());
    } else if (const auto* imageView = dynamic_cast<const ImageView*>(&view)) {
        writeImage(json, imageView->image());
    }
}

void writeView(JsonWriter& json, const View& view)
{
    json.beginObject();
    json.key("class");
    json.string(view.className());
    json.key("frame");
    json.beginArray();
    json.number(view.frame().x());
    json.number(view.frame().y());
    json.number(view.frame().width());
    json.number(view.frame().height());
    json.endArray();
    json.key("tag");
    json.integer(view.tag());
    json.key("hidden");
    json.boolean(view.isHidden());
    json.key("alpha");
    json.number(view.alpha());
    json.key("background");
    writeColor(json, view.backgroundColor());
    json.key("cornerRadius");
    json.number(view.layer().cornerRadius);
    json.key("masksToBounds");
    json.boolean(view.layer().masksToBounds);
    json.key("borderWidth");
    json.number(view.layer().borderWidth);
    writeClassMembers(json, view);
    json.key("children");
    json.beginArray();
    for (const auto& subview : view.subviews())
        writeView(json, *subview);
    json.endArray();
    json.endObject();
}

}

std::string dumpViewTree(const View& view)
{
    JsonWriter json;
    writeView(json, view);
    return json.text();
}

std::string dumpAlert(const AlertView& alert)
{
    JsonWriter json;
    json.beginObject();
    json.key("title");
    if (alert.title())
        json.string(*alert.title());
    else
        json.null();
    json.key("buttons");
    json.beginArray();
    for (const auto& title : alert.buttonTitles())
        json.string(title);
    json.endArray();
    json.key("tag");
    json.integer(alert.tag());
    json.endObject();
    return json.text();
}

}
