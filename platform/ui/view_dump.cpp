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

void writeOptionalText(JsonWriter& json, const std::optional<std::string>& text)
{
    if (text)
        json.string(*text);
    else
        json.null();
}

void writeTraits(JsonWriter& json, AccessibilityTraits traits)
{
    json.beginArray();
    for (const std::string& name : accessibilityTraitNames(traits))
        json.string(name);
    json.endArray();
}

void writeAccessibility(JsonWriter& json, const View& view)
{
    const bool isElement = view.isAccessibilityElement();
    if (!isElement && !view.hasAccessibilityAttributes())
        return;
    json.key("accessibility");
    json.beginObject();
    json.key("element");
    json.boolean(isElement);
    json.key("label");
    writeOptionalText(json, view.accessibilityLabel());
    json.key("hint");
    writeOptionalText(json, view.accessibilityHint());
    json.key("traits");
    writeTraits(json, view.accessibilityTraits());
    json.key("value");
    writeOptionalText(json, view.accessibilityValue());
    json.key("elementsHidden");
    json.boolean(view.accessibilityElementsHidden());
    json.endObject();
}

// The keys a view's own class adds, after those every view has.
class ClassMembersWriter final : public ViewVisitor {
public:
    explicit ClassMembersWriter(JsonWriter& json) : m_json(json) { }

private:
    void visitScrollView(const ScrollView& scrollView) override
    {
        m_json.key("contentSize");
        writePair(m_json, scrollView.contentSize().width, scrollView.contentSize().height);
        m_json.key("contentOffset");
        writePair(m_json, scrollView.contentOffset().x, scrollView.contentOffset().y);
        m_json.key("pagingEnabled");
        m_json.boolean(scrollView.isPagingEnabled());
    }
    void visitPageControl(const PageControl& pageControl) override
    {
        m_json.key("pages");
        m_json.integer(pageControl.numberOfPages());
        m_json.key("currentPage");
        m_json.integer(pageControl.currentPage());
    }
    void visitLabel(const Label& label) override
    {
        m_json.key("text");
        m_json.string(label.text());
        m_json.key("font");
        if (const auto& font = label.font()) {
            m_json.beginArray();
            m_json.string(font->fontName());
            m_json.number(font->pointSize());
            m_json.endArray();
        } else {
            m_json.null();
        }
        m_json.key("textColor");
        writeColor(m_json, label.textColor());
        m_json.key("alignment");
        m_json.integer(label.textAlignment());
        m_json.key("lines");
        m_json.integer(label.numberOfLines());
        m_json.key("minimumFontSize");
        m_json.number(label.minimumFontSize());
        m_json.key("shadowColor");
        writeColor(m_json, label.shadowColor());
        m_json.key("shadowOffset");
        writePair(m_json, label.shadowOffset().width, label.shadowOffset().height);
    }
    void visitButton(const Button& button) override { writeImage(m_json, button.currentImage()); }
    void visitImageView(const ImageView& imageView) override { writeImage(m_json, imageView.image()); }

    JsonWriter& m_json;
};

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
    writeAccessibility(json, view);
    ClassMembersWriter classMembers(json);
    view.accept(classMembers);
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

void writeAccessibilityDescription(JsonWriter& json, const AccessibilityDescription& description)
{
    json.beginObject();
    json.key("label");
    writeOptionalText(json, description.label);
    json.key("hint");
    writeOptionalText(json, description.hint);
    json.key("traits");
    writeTraits(json, description.traits);
    json.key("value");
    writeOptionalText(json, description.value);
    json.endObject();
}

std::string dumpAccessibilityDescription(const AccessibilityDescription& description)
{
    JsonWriter json;
    writeAccessibilityDescription(json, description);
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
