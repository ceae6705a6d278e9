#pragma once

#include <weeapp/sys/weak_ref.h>
#include <weeapp/ui/views/view.h>

namespace weeapp::ui {

class ScrollView;

// UIScrollViewDelegate. The scroll view keeps its delegate without owning it and stops calling
// it once the delegate is destroyed.
class ScrollViewDelegate : public virtual sys::Object {
public:
    virtual void scrollViewDidScroll(ScrollView*) { }
    virtual void scrollViewDidEndDecelerating(ScrollView*) { }
};

// UIAccessibilityScrollDirection: the screen reader's page gesture, towards the next page or back.
enum class AccessibilityScrollDirection { Next,
    Previous };

class ScrollView final : public View {
public:
    static std::shared_ptr<ScrollView> create(Rect frame = {});
    std::string_view className() const override { return "ScrollView"; }
    void accept(ViewVisitor& visitor) const override { visitor.visitScrollView(*this); }

    Size contentSize() const { return m_contentSize; }
    void setContentSize(Size size) { m_contentSize = size; }
    Point contentOffset() const { return bounds().origin; }
    // Moves the content and tells the delegate scrollViewDidScroll, as every change of the
    // offset does (dragging, deceleration, paging).
    void setContentOffset(Point);
    // The end of a drag: tells the delegate scrollViewDidEndDecelerating.
    void endDecelerating();
    // accessibilityScroll: moves the content one page (the view's width) that way, as paging does:
    // the offset lands on the page and the delegate hears scrollViewDidScroll, then
    // scrollViewDidEndDecelerating. False, and nothing moves, when there is no page that way.
    bool accessibilityScroll(AccessibilityScrollDirection);

    ScrollViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ScrollViewDelegate* delegate) { m_delegate = delegate; }

    bool isPagingEnabled() const { return m_pagingEnabled; }
    void setPagingEnabled(bool enabled) { m_pagingEnabled = enabled; }
    bool showsHorizontalScrollIndicator() const { return m_showsHorizontalScrollIndicator; }
    void setShowsHorizontalScrollIndicator(bool shows) { m_showsHorizontalScrollIndicator = shows; }
    bool showsVerticalScrollIndicator() const { return m_showsVerticalScrollIndicator; }
    void setShowsVerticalScrollIndicator(bool shows) { m_showsVerticalScrollIndicator = shows; }
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool scrolls) { m_scrollsToTop = scrolls; }
    bool delaysContentTouches() const { return m_delaysContentTouches; }
    void setDelaysContentTouches(bool delays) { m_delaysContentTouches = delays; }
    bool canCancelContentTouches() const { return m_canCancelContentTouches; }
    void setCanCancelContentTouches(bool cancels) { m_canCancelContentTouches = cancels; }

private:
    explicit ScrollView(Rect frame)
        : View(frame) { }
    friend class View;

    Size m_contentSize;
    sys::WeakRef<ScrollViewDelegate> m_delegate;
    bool m_pagingEnabled { false };
    bool m_showsHorizontalScrollIndicator { true };
    bool m_showsVerticalScrollIndicator { true };
    bool m_scrollsToTop { true };
    bool m_delaysContentTouches { true };
    bool m_canCancelContentTouches { true };
};

}
