#include <weeapp/ui/inspection/view_dump.h>

#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/image_view.h>
#include <weeapp/ui/views/label.h>
#include <weeapp/ui/views/page_control.h>
#include <weeapp/ui/views/scroll_view.h>

namespace weeapp::ui {

namespace {

Json pair(float first, float second)
{
    return Json::array({ first, second });
}

Json color(const ColorPtr& color)
{
    if (!color)
        return nullptr;
    if (color->name())
        return *color->name();
    return Json::array({ color->red(), color->green(), color->blue(), color->alpha() });
}

Json image(const ImagePtr& image)
{
    if (!image)
        return nullptr;
    return Json { { "source", image->source() }, { "width", image->size().width }, { "height", image->size().height } };
}

Json optionalText(const std::optional<std::string>& text)
{
    return text ? Json(*text) : Json(nullptr);
}

Json traits(AccessibilityTraits traits)
{
    Json names = Json::array();
    for (const std::string& name : accessibilityTraitNames(traits))
        names.push_back(name);
    return names;
}

// The accessibility of an element, or of a view with settings of its own; nothing for others.
void addAccessibility(Json& json, const View& view)
{
    const bool isElement = view.isAccessibilityElement();
    if (!isElement && !view.hasAccessibilityAttributes())
        return;
    json["accessibility"] = Json {
        { "element", isElement },
        { "label", optionalText(view.accessibilityLabel()) },
        { "hint", optionalText(view.accessibilityHint()) },
        { "traits", traits(view.accessibilityTraits()) },
        { "value", optionalText(view.accessibilityValue()) },
        { "elementsHidden", view.accessibilityElementsHidden() },
    };
}

// The members a view's own class adds, after those every view has.
class ClassMembersWriter final : public ViewVisitor {
public:
    explicit ClassMembersWriter(Json& json)
        : m_json(json) { }

private:
    void visitScrollView(const ScrollView& scrollView) override
    {
        m_json["contentSize"] = pair(scrollView.contentSize().width, scrollView.contentSize().height);
        m_json["contentOffset"] = pair(scrollView.contentOffset().x, scrollView.contentOffset().y);
        m_json["pagingEnabled"] = scrollView.isPagingEnabled();
    }
    void visitPageControl(const PageControl& pageControl) override
    {
        m_json["pages"] = pageControl.numberOfPages();
        m_json["currentPage"] = pageControl.currentPage();
    }
    void visitLabel(const Label& label) override
    {
        m_json["text"] = label.text();
        if (const auto& font = label.font())
            m_json["font"] = Json::array({ font->fontName(), font->pointSize() });
        else
            m_json["font"] = nullptr;
        m_json["textColor"] = color(label.textColor());
        m_json["alignment"] = label.textAlignment();
        m_json["lines"] = label.numberOfLines();
        m_json["minimumFontSize"] = label.minimumFontSize();
        m_json["shadowColor"] = color(label.shadowColor());
        m_json["shadowOffset"] = pair(label.shadowOffset().width, label.shadowOffset().height);
    }
    void visitButton(const Button& button) override { m_json["image"] = image(button.currentImage()); }
    void visitImageView(const ImageView& imageView) override { m_json["image"] = image(imageView.image()); }

    Json& m_json;
};

// The members every view has, first in its dump.
Json viewJson(const View& view)
{
    return Json {
        { "class", view.className() },
        { "frame", Json::array({ view.frame().x(), view.frame().y(), view.frame().width(), view.frame().height() }) },
        { "tag", view.tag() },
        { "hidden", view.isHidden() },
        { "alpha", view.alpha() },
        { "background", color(view.backgroundColor()) },
        { "cornerRadius", view.layer().cornerRadius },
        { "masksToBounds", view.layer().masksToBounds },
        { "borderWidth", view.layer().borderWidth },
    };
}

}

Json viewTreeJson(const View& view)
{
    Json json = viewJson(view);
    addAccessibility(json, view);
    ClassMembersWriter classMembers(json);
    view.accept(classMembers);
    Json children = Json::array();
    for (const auto& subview : view.subviews())
        children.push_back(viewTreeJson(*subview));
    json["children"] = std::move(children);
    return json;
}

Json alertJson(const AlertView& alert)
{
    Json buttons = Json::array();
    for (const auto& title : alert.buttonTitles())
        buttons.push_back(title);
    return Json { { "title", alert.title() ? Json(*alert.title()) : Json(nullptr) }, { "buttons", std::move(buttons) }, { "tag", alert.tag() } };
}

std::string dumpViewTree(const View& view)
{
    return jsonText(viewTreeJson(view));
}

Json accessibilityDescriptionJson(const AccessibilityDescription& description)
{
    return Json {
        { "label", optionalText(description.label) },
        { "hint", optionalText(description.hint) },
        { "traits", traits(description.traits) },
        { "value", optionalText(description.value) },
    };
}

std::string dumpAccessibilityDescription(const AccessibilityDescription& description)
{
    return jsonText(accessibilityDescriptionJson(description));
}

std::string dumpAlert(const AlertView& alert)
{
    return jsonText(alertJson(alert));
}

}
