#pragma once

#include <weeapp/ui/label.h>
#include <weeapp/ui/page_control.h>
#include <weeapp/ui/scroll_view.h>
#include <weeapp/ui/view.h>
#include <weeapp/ui/view_visitor.h>

namespace kavrin::host {

// What a view's class adds to the drawing every view shares: a scroll view always clips its
// content, and a label's text and page dots may reach past the frame.
class DrawingTraits final : public ui::ViewVisitor {
public:
    explicit DrawingTraits(const ui::View& view) { view.accept(*this); }
    bool alwaysClips() const { return m_alwaysClips; }
    bool contentMayLeaveFrame() const { return m_contentMayLeaveFrame; }
    const ui::Label* label() const { return m_label; }

private:
    void visitScrollView(const ui::ScrollView&) override { m_alwaysClips = true; }
    void visitLabel(const ui::Label& label) override
    {
        m_contentMayLeaveFrame = true;
        m_label = &label;
    }
    void visitPageControl(const ui::PageControl&) override { m_contentMayLeaveFrame = true; }

    bool m_alwaysClips { false };
    bool m_contentMayLeaveFrame { false };
    const ui::Label* m_label { nullptr };
};

inline bool clipsContent(const ui::View& view)
{
    return view.layer().masksToBounds || DrawingTraits(view).alwaysClips();
}

}
