#pragma once

#include <weeapp/sys/object.h>
#include <weeapp/ui/color.h>
#include <weeapp/ui/geometry.h>
#include <weeapp/ui/views/accessibility.h>
#include <weeapp/ui/views/view_visitor.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace weeapp::ui {

class ChildHitIndex;
class View;
class Window;
using ViewPtr = std::shared_ptr<View>;

struct Layer {
    float cornerRadius { 0 };
    bool masksToBounds { false };
    float borderWidth { 0 };
    ColorPtr borderColor { Color::blackColor() };
};

struct Event { };

// A view owns its children; its superview is a plain pointer that removal clears.
class View : public virtual sys::Object, public std::enable_shared_from_this<View> {
public:
    static std::shared_ptr<View> create(Rect frame = {});
    ~View() override;

    // The class name a dump shows: "View", "ScrollView", "Label", ...
    virtual std::string_view className() const { return "View"; }
    // Calls the visitor's member for this view's class.
    virtual void accept(ViewVisitor& visitor) const { visitor.visitView(*this); }

    const Rect& frame() const { return m_frame; }
    virtual void setFrame(Rect);
    // Origin 0, 0 and the frame's size, moved by the content offset in a scroll view.
    Rect bounds() const { return { m_boundsOrigin.x, m_boundsOrigin.y, m_frame.width(), m_frame.height() }; }

    void addSubview(const ViewPtr&); // on top of the existing children; moves it from its old parent
    void removeFromSuperview();
    // Removes, in one pass, every child for which shouldRemove holds; the others keep their order.
    void removeSubviewsIf(const std::function<bool(const View&)>& shouldRemove);
    const std::vector<ViewPtr>& subviews() const { return m_subviews; }
    View* superview() const { return m_superview; }
    // The window this view is in, or nullptr.
    virtual Window* window() const;

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // The first view in this subtree, this one included, with the tag.
    View* viewWithTag(int tag);

    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    float alpha() const { return m_alpha; }
    void setAlpha(float); // inside an animation block the change is recorded as animated
    const ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(ColorPtr color) { m_backgroundColor = std::move(color); }
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
    bool isExclusiveTouch() const { return m_exclusiveTouch; }
    void setExclusiveTouch(bool exclusive) { m_exclusiveTouch = exclusive; }

    // The layer to change (counted as a change of geometry), or to read.
    Layer& layer()
    {
        noteGeometryChange();
        return m_layer;
    }
    const Layer& layer() const { return m_layer; }

    // Counts every change, in any view, of what decides where a view and its subtree can draw:
    // a view made or destroyed, a frame, the tree, the layer, a label's text, font, lines and
    // shadow. While it stays the same, a renderer may keep what it worked out of those.
    static std::uint64_t geometryRevision();

    // convertPoint:fromView: a point in view's coordinates (the window's when view is nullptr)
    // into this view's. Both views must be in one tree.
    Point convertPointFromView(Point, const View* view) const;
    Point convertPointToView(Point, const View* view) const;

    // hitTest:withEvent: the deepest visible, interaction-enabled descendant (or this view)
    // whose bounds hold the point, in this view's coordinates; later children first. Views
    // with alpha below 0.01 are passed over, as hidden ones are. A subclass shapes the area it
    // takes hits in through pointInside.
    View* hitTest(Point, const Event*);
    virtual bool pointInside(Point, const Event*) const;
    // Whether pointInside takes points outside the bounds: a subclass whose override does says
    // so here, and a hit test then asks it wherever the point is.
    virtual bool takesHitsOutsideBounds() const { return false; }

    // UIAccessibility. A class says what it is by default (a plain view is no element; buttons,
    // labels and page controls are, with their own traits and texts); a set value, or a provider
    // asked each time, takes its place. Whether a screen reader reaches the element at all is
    // for the reader to decide (weeapp/ui/accessibility/accessibility_reader.h).
    bool isAccessibilityElement() const;
    void setIsAccessibilityElement(bool);
    std::optional<std::string> accessibilityLabel() const;
    void setAccessibilityLabel(std::optional<std::string>);
    void setAccessibilityLabelProvider(AccessibilityTextProvider);
    std::optional<std::string> accessibilityHint() const;
    void setAccessibilityHint(std::optional<std::string>);
    void setAccessibilityHintProvider(AccessibilityTextProvider);
    std::optional<std::string> accessibilityValue() const;
    void setAccessibilityValue(std::optional<std::string>);
    void setAccessibilityValueProvider(AccessibilityTextProvider);
    AccessibilityTraits accessibilityTraits() const;
    void setAccessibilityTraits(AccessibilityTraits);
    // Hides this view and everything inside it from a screen reader.
    bool accessibilityElementsHidden() const { return m_accessibility && m_accessibility->elementsHidden; }
    void setAccessibilityElementsHidden(bool);
    // The area the element covers, in its superview's coordinates; by default its frame.
    void setAccessibilityFrameInContainerSpace(std::optional<Rect>);
    // That area in the window's coordinates (the root's, outside a window).
    Rect accessibilityFrame() const;
    // Whether the view carries any accessibility setting of its own.
    bool hasAccessibilityAttributes() const { return m_accessibility != nullptr; }

protected:
    // The class's defaults.
    virtual bool defaultIsAccessibilityElement() const { return false; }
    virtual std::optional<std::string> defaultAccessibilityLabel() const { return std::nullopt; }
    virtual std::optional<std::string> defaultAccessibilityValue() const { return std::nullopt; }
    virtual AccessibilityTraits defaultAccessibilityTraits() const { return AccessibilityTraitNone; }

    explicit View(Rect frame);
    static void noteGeometryChange();
    void setBoundsOrigin(Point);
    template<typename T, typename... Arguments>
    static std::shared_ptr<T> make(Arguments&&... arguments)
    {
        return std::shared_ptr<T>(new T(std::forward<Arguments>(arguments)...));
    }

private:
    // Hit testing passes over views this transparent, as it does hidden ones.
    static constexpr float kMinimumHitAlpha = 0.01f;
    // Whether the view takes part in hit testing at all: visible, interaction-enabled, opaque enough.
    bool receivesHits() const { return !m_hidden && m_userInteractionEnabled && m_alpha >= kMinimumHitAlpha; }
    // The deepest hit below a view that receives hits and holds the point, or the view itself.
    View* deepestHit(Point, const Event*);

    Rect m_frame;
    Point m_boundsOrigin;
    bool m_hidden { false };
    bool m_userInteractionEnabled { true };
    bool m_exclusiveTouch { false };
    float m_alpha { 1.0f };
    std::vector<ViewPtr> m_subviews;
    View* m_superview { nullptr };
    int m_tag { 0 };
    ColorPtr m_backgroundColor;
    Layer m_layer;
    // Made on the first accessibility setting: most views never carry one.
    std::unique_ptr<AccessibilityAttributes> m_accessibility;
    AccessibilityAttributes& accessibility();
    // Made at the first hit test among many children, and dropped when they or their frames change.
    std::unique_ptr<ChildHitIndex> m_hitIndex;
    void childrenMoved();
};

}
