#pragma once

#include <weeapp/ui/views/label.h>
#include <weeapp/ui/views/page_control.h>
#include <weeapp/ui/views/scroll_view.h>
#include <weeapp/ui/views/view.h>
#include <weeapp/ui/views/view_visitor.h>

namespace kavrin::host {

// What a view's class adds to the drawing every view shares: a scroll view always clips its
// content, and a label's text and page dots may reach past the frame.
class DrawingTraits final : public weeapp::ui::ViewVisitor {
public:
    explicit DrawingTraits(const weeapp::ui::View& view) { view.accept(*this); }
    bool alwaysClips() const { return m_alwaysClips; }
    bool contentMayLeaveFrame() const { return m_contentMayLeaveFrame; }
    const weeapp::ui::Label* label() const { return m_label; }

private:
    void visitScrollView(const weeapp::ui::ScrollView&) override { m_alwaysClips = true; }
    void visitLabel(const weeapp::ui::Label& label) override
    {
        m_contentMayLeaveFrame = true;
        m_label = &label;
    }
    void visitPageControl(const weeapp::ui::PageControl&) override { m_contentMayLeaveFrame = true; }

    bool m_alwaysClips { false };
    bool m_contentMayLeaveFrame { false };
    const weeapp::ui::Label* m_label { nullptr };
};

inline bool clipsContent(const weeapp::ui::View& view)
{
    return view.layer().masksToBounds || DrawingTraits(view).alwaysClips();
}

}
