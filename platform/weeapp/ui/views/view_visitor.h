#pragma once

namespace weeapp::ui {

class Button;
class ImageView;
class Label;
class PageControl;
class ScrollView;
class View;

// Per-class behaviour outside the view classes (the host's drawing, the dump) without testing
// types: View::accept calls the member for the view's own class. A class without a member of
// its own here (a plain view, a window) comes as a View. Every member does nothing unless a
// visitor overrides it.
class ViewVisitor {
public:
    virtual void visitView(const View&) { }
    virtual void visitScrollView(const ScrollView&) { }
    virtual void visitLabel(const Label&) { }
    virtual void visitImageView(const ImageView&) { }
    virtual void visitButton(const Button&) { }
    virtual void visitPageControl(const PageControl&) { }

protected:
    ~ViewVisitor() = default;
};

}
