#pragma once

#include <weeapp/ui/views/control.h>

namespace weeapp::ui {

// The page dots. The current page is always pinned into 0 ... pages - 1 (0 without pages),
// when it is set and when the number of pages changes.
class PageControl final : public Control {
public:
    static std::shared_ptr<PageControl> create(Rect frame = {});
    std::string_view className() const override { return "PageControl"; }
    void accept(ViewVisitor& visitor) const override { visitor.visitPageControl(*this); }

    int numberOfPages() const { return m_numberOfPages; }
    void setNumberOfPages(int pages);
    int currentPage() const { return m_currentPage; }
    void setCurrentPage(int page);

protected:
    // Without pages there is nothing to read.
    bool defaultIsAccessibilityElement() const override { return m_numberOfPages > 0; }
    // "page 2 of 3"; nothing without pages.
    std::optional<std::string> defaultAccessibilityValue() const override;
    AccessibilityTraits defaultAccessibilityTraits() const override { return AccessibilityTraitAdjustable; }

private:
    explicit PageControl(Rect frame)
        : Control(frame) { }
    friend class View;
    int m_numberOfPages { 0 };
    int m_currentPage { 0 };
};

}
