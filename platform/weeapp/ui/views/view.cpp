#include <weeapp/ui/views/view.h>

#include <weeapp/ui/views/animation.h>
#include <weeapp/ui/views/child_hit_index.h>
#include <weeapp/ui/views/window.h>

#include <algorithm>

namespace weeapp::ui {

namespace {

Point pointInSuperview(const View& view, Point point)
{
    const Rect bounds = view.bounds();
    return { point.x - bounds.x() + view.frame().x(), point.y - bounds.y() + view.frame().y() };
}

Point pointInSubview(const View& subview, Point point)
{
    const Rect bounds = subview.bounds();
    return { point.x - subview.frame().x() + bounds.x(), point.y - subview.frame().y() + bounds.y() };
}

const View* rootOf(const View* view)
{
    while (view->superview())
        view = view->superview();
    return view;
}

// The point in this view's coordinates, carried up into its root's.
Point pointInRoot(const View* view, Point point)
{
    for (; view->superview(); view = view->superview())
        point = pointInSuperview(*view, point);
    return point;
}

// The point in the root's coordinates, carried down into the view's.
Point pointFromRoot(const View* view, Point point)
{
    std::vector<const View*> chain;
    for (; view->superview(); view = view->superview())
        chain.push_back(view);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        point = pointInSubview(**it, point);
    return point;
}

}

std::shared_ptr<View> View::create(Rect frame)
{
    return make<View>(frame);
}

namespace {

std::uint64_t geometryChanges = 0;

}

std::uint64_t View::geometryRevision()
{
    return geometryChanges;
}

void View::noteGeometryChange()
{
    ++geometryChanges;
}

View::View(Rect frame)
    : m_frame(frame)
{
    noteGeometryChange();
}

View::~View()
{
    noteGeometryChange();
    for (const auto& subview : m_subviews)
        subview->m_superview = nullptr;
}

void View::setFrame(Rect frame)
{
    if (frame == m_frame)
        return;
    noteGeometryChange();
    m_frame = frame;
    if (m_superview)
        m_superview->childrenMoved();
}

void View::childrenMoved()
{
    m_hitIndex.reset();
}

void View::setBoundsOrigin(Point origin)
{
    if (origin == m_boundsOrigin)
        return;
    m_boundsOrigin = origin;
    if (m_superview)
        m_superview->childrenMoved();
}

void View::addSubview(const ViewPtr& view)
{
    if (!view || view.get() == this)
        return;
    // Adding an ancestor would make the tree a cycle.
    for (const View* ancestor = m_superview; ancestor; ancestor = ancestor->m_superview) {
        if (ancestor == view.get())
            return;
    }
    noteGeometryChange();
    ViewPtr keep = view;
    keep->removeFromSuperview();
    keep->m_superview = this;
    m_subviews.push_back(std::move(keep));
    childrenMoved();
}

void View::removeFromSuperview()
{
    View* superview = m_superview;
    if (!superview)
        return;
    noteGeometryChange();
    // The superview may hold the only reference; keep this view alive until we are done.
    ViewPtr keep = weak_from_this().lock();
    m_superview = nullptr;
    superview->childrenMoved();
    auto& siblings = superview->m_subviews;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const ViewPtr& sibling) { return sibling.get() == this; });
    if (it != siblings.end())
        siblings.erase(it);
}

void View::removeSubviewsIf(const std::function<bool(const View&)>& shouldRemove)
{
    // The removed children are released only once the list is whole again, since releasing one
    // may run code that looks at this view.
    noteGeometryChange();
    childrenMoved();
    std::vector<ViewPtr> removed;
    auto kept = m_subviews.begin();
    for (auto& subview : m_subviews) {
        if (shouldRemove(*subview)) {
            subview->m_superview = nullptr;
            removed.push_back(std::move(subview));
        } else {
            *kept++ = std::move(subview);
        }
    }
    m_subviews.erase(kept, m_subviews.end());
}

Window* View::window() const
{
    const View* root = rootOf(this);
    return const_cast<Window*>(dynamic_cast<const Window*>(root));
}

View* View::viewWithTag(int tag)
{
    if (m_tag == tag)
        return this;
    for (const auto& subview : m_subviews) {
        if (View* found = subview->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

void View::setAlpha(float alpha)
{
    if (Animations::isRecording() && alpha != m_alpha)
        Animations::recordAlphaChange(*this, m_alpha, alpha);
    m_alpha = alpha;
}

Point View::convertPointFromView(Point point, const View* view) const
{
    const Point inRoot = view ? pointInRoot(view, point) : point;
    return pointFromRoot(this, inRoot);
}

Point View::convertPointToView(Point point, const View* view) const
{
    const Point inRoot = pointInRoot(this, point);
    return view ? pointFromRoot(view, inRoot) : inRoot;
}

bool View::pointInside(Point point, const Event*) const
{
    return bounds().contains(point);
}

View* View::hitTest(Point point, const Event* event)
{
    return receivesHits() && pointInside(point, event) ? deepestHit(point, event) : nullptr;
}

View* View::deepestHit(Point point, const Event* event)
{
    std::vector<std::size_t> candidates;
    View* hit = this;
    for (;;) {
        View* below = nullptr;
        Point pointBelow;
        const auto takesHit = [&](View& subview) {
            if (!subview.receivesHits())
                return false;
            const Point inSubview = pointInSubview(subview, point);
            if (!subview.pointInside(inSubview, event))
                return false;
            below = &subview;
            pointBelow = inSubview;
            return true;
        };
        const std::vector<ViewPtr>& subviews = hit->m_subviews;
        if (subviews.size() >= ChildHitIndex::kMinimumChildren) {
            if (!hit->m_hitIndex)
                hit->m_hitIndex = std::make_unique<ChildHitIndex>(subviews);
            hit->m_hitIndex->candidatesAt(point, candidates);
            for (const std::size_t index : candidates) {
                if (takesHit(*subviews[index]))
                    break;
            }
        } else {
            for (std::size_t index = subviews.size(); index-- > 0;) {
                if (takesHit(*subviews[index]))
                    break;
            }
        }
        if (!below)
            return hit;
        hit = below;
        point = pointBelow;
    }
}

AccessibilityAttributes& View::accessibility()
{
    if (!m_accessibility)
        m_accessibility = std::make_unique<AccessibilityAttributes>();
    return *m_accessibility;
}

namespace {

// A provider or a set text replaces the class's default, even when it says nothing.
bool overridesText(const AccessibilityTextProvider& provider, const std::optional<std::string>& set)
{
    return provider || set;
}

std::optional<std::string> overridingText(const AccessibilityTextProvider& provider, const std::optional<std::string>& set)
{
    return provider ? provider() : set;
}

}

bool View::isAccessibilityElement() const
{
    if (m_accessibility && m_accessibility->isElement)
        return *m_accessibility->isElement;
    return defaultIsAccessibilityElement();
}

void View::setIsAccessibilityElement(bool isElement)
{
    accessibility().isElement = isElement;
}

std::optional<std::string> View::accessibilityLabel() const
{
    if (m_accessibility && overridesText(m_accessibility->labelProvider, m_accessibility->label))
        return overridingText(m_accessibility->labelProvider, m_accessibility->label);
    return defaultAccessibilityLabel();
}

void View::setAccessibilityLabel(std::optional<std::string> label)
{
    accessibility().label = std::move(label);
}

void View::setAccessibilityLabelProvider(AccessibilityTextProvider provider)
{
    accessibility().labelProvider = std::move(provider);
}

std::optional<std::string> View::accessibilityHint() const
{
    if (m_accessibility)
        return overridingText(m_accessibility->hintProvider, m_accessibility->hint);
    return std::nullopt;
}

void View::setAccessibilityHint(std::optional<std::string> hint)
{
    accessibility().hint = std::move(hint);
}

void View::setAccessibilityHintProvider(AccessibilityTextProvider provider)
{
    accessibility().hintProvider = std::move(provider);
}

std::optional<std::string> View::accessibilityValue() const
{
    if (m_accessibility && overridesText(m_accessibility->valueProvider, m_accessibility->value))
        return overridingText(m_accessibility->valueProvider, m_accessibility->value);
    return defaultAccessibilityValue();
}

void View::setAccessibilityValue(std::optional<std::string> value)
{
    accessibility().value = std::move(value);
}

void View::setAccessibilityValueProvider(AccessibilityTextProvider provider)
{
    accessibility().valueProvider = std::move(provider);
}

AccessibilityTraits View::accessibilityTraits() const
{
    if (m_accessibility && m_accessibility->traits)
        return *m_accessibility->traits;
    return defaultAccessibilityTraits();
}

void View::setAccessibilityTraits(AccessibilityTraits traits)
{
    accessibility().traits = traits;
}

void View::setAccessibilityElementsHidden(bool hidden)
{
    accessibility().elementsHidden = hidden;
}

void View::setAccessibilityFrameInContainerSpace(std::optional<Rect> frame)
{
    accessibility().frameInContainerSpace = frame;
}

Rect View::accessibilityFrame() const
{
    const Rect area = m_accessibility && m_accessibility->frameInContainerSpace ? *m_accessibility->frameInContainerSpace : m_frame;
    if (!m_superview)
        return area;
    const Point origin = pointInRoot(m_superview, area.origin);
    return { origin.x, origin.y, area.width(), area.height() };
}

}
