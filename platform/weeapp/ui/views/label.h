#pragma once

#include <weeapp/ui/text/font.h>
#include <weeapp/ui/views/view.h>

#include <string>

namespace weeapp::ui {

enum TextAlignment : int { TextAlignmentLeft = 0,
    TextAlignmentCenter = 1,
    TextAlignmentRight = 2 };

class Label final : public View {
public:
    static std::shared_ptr<Label> create(Rect frame = {});
    std::string_view className() const override { return "Label"; }
    void accept(ViewVisitor& visitor) const override { visitor.visitLabel(*this); }

    const std::string& text() const { return m_text; }
    void setText(std::string text)
    {
        noteGeometryChange();
        m_text = std::move(text);
    }
    const ColorPtr& textColor() const { return m_textColor; }
    void setTextColor(ColorPtr color) { m_textColor = std::move(color); }
    int textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int alignment) { m_textAlignment = alignment; }
    const FontPtr& font() const { return m_font; }
    void setFont(FontPtr font)
    {
        noteGeometryChange();
        m_font = std::move(font);
    }
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines)
    {
        noteGeometryChange();
        m_numberOfLines = lines;
    }
    bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSizeToFitWidth; }
    void setAdjustsFontSizeToFitWidth(bool adjusts) { m_adjustsFontSizeToFitWidth = adjusts; }
    float minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(float size) { m_minimumFontSize = size; }
    const ColorPtr& shadowColor() const { return m_shadowColor; }
    void setShadowColor(ColorPtr color) { m_shadowColor = std::move(color); }
    Size shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(Size offset)
    {
        noteGeometryChange();
        m_shadowOffset = offset;
    }

    // The font size the label draws with: its font's, or, when it adjusts to fit, the largest
    // size down to the minimum at which one line of the text fits the width.
    float fittedFontSize() const;

protected:
    bool defaultIsAccessibilityElement() const override { return true; }
    // Its text; an empty label says nothing.
    std::optional<std::string> defaultAccessibilityLabel() const override;
    AccessibilityTraits defaultAccessibilityTraits() const override { return AccessibilityTraitStaticText; }

private:
    explicit Label(Rect frame);
    friend class View;

    std::string m_text;
    ColorPtr m_textColor { Color::blackColor() };
    int m_textAlignment { TextAlignmentLeft };
    FontPtr m_font { Font::systemFontOfSize(17) };
    int m_numberOfLines { 1 };
    bool m_adjustsFontSizeToFitWidth { false };
    float m_minimumFontSize { 0 };
    ColorPtr m_shadowColor;
    Size m_shadowOffset { 0, -1 };
};

}
