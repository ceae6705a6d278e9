#include "reader/accessibility_audit.h"

#include "render/alert_drawing.h"
#include "render/drawing_geometry.h"
#include "render/renderer.h"
#include "render/text_drawing.h"
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/accessibility_reader.h>
#include <weeapp/ui/control.h>
#include <weeapp/ui/label.h>
#include <weeapp/ui/scroll_view.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

namespace kavrin::host {

namespace {

// Text is measured on pictures at this many pixels to a point, so that even the thinnest
// strokes of small text cover whole pixels.
constexpr int kAuditScale = Renderer::kLargestScale;
// Text whose ink comes through at less than this share of its strength lies under something
// (a metro tile's name under its photo) and is not taken as shown.
constexpr double kShownInk = 0.5;
// The share of a text's ink that may stand on a clashing part of what is behind it: the figure
// is the contrast that the rest of the ink reaches.
constexpr double kToleratedInk = 0.1;

bool finite(const ui::Rect& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) && std::isfinite(rect.height());
}

std::optional<ui::Rect> intersection(const ui::Rect& a, const ui::Rect& b)
{
    const float left = std::max(a.x(), b.x()), top = std::max(a.y(), b.y());
    const float right = std::min(a.maxX(), b.maxX()), bottom = std::min(a.maxY(), b.maxY());
    if (!(right > left) || !(bottom > top))
        return std::nullopt;
    return ui::Rect { left, top, right - left, bottom - top };
}

// An area in the view's superview's coordinates, in the window's.
ui::Rect inWindow(const ui::View& view, const ui::Rect& area)
{
    if (!view.superview())
        return area;
    const ui::Point origin = view.superview()->convertPointToView(area.origin, nullptr);
    return { origin.x, origin.y, area.width(), area.height() };
}

bool clipsItsContent(const ui::View& view)
{
    return view.layer().masksToBounds || dynamic_cast<const ui::ScrollView*>(&view);
}

// What of an area in the window's coordinates the view's clipping ancestors and the screen
// leave in sight.
std::optional<ui::Rect> visiblePart(const ui::View& view, const ui::Rect& area, const ui::Window& window)
{
    std::optional<ui::Rect> visible = intersection(area, { 0, 0, window.frame().width(), window.frame().height() });
    for (const ui::View* ancestor = view.superview(); visible && ancestor; ancestor = ancestor->superview()) {
        if (clipsItsContent(*ancestor) && ancestor->superview())
            visible = intersection(*visible, inWindow(*ancestor, ancestor->frame()));
    }
    return visible;
}

// Whether the view and all above it are drawn: in the window, not hidden, not transparent.
bool isDrawn(const ui::View& view, const ui::Window& window)
{
    if (view.window() != &window)
        return false;
    for (const ui::View* at = &view; at; at = at->superview()) {
        if (at->isHidden() || at->alpha() < 0.01f || !finite(at->frame()))
            return false;
    }
    return true;
}

bool isEnabledControl(const ui::View& view)
{
    const auto* control = dynamic_cast<const ui::Control*>(&view);
    if (!control || !control->isEnabled())
        return false;
    for (const ui::View* at = &view; at; at = at->superview()) {
        if (!at->isUserInteractionEnabled())
            return false;
    }
    return true;
}

bool isInteractive(const ui::View& view)
{
    constexpr ui::AccessibilityTraits kActing = ui::AccessibilityTraitButton | ui::AccessibilityTraitAdjustable;
    return isEnabledControl(view) || (ui::isReachableAccessibilityElement(view) && (view.accessibilityTraits() & kActing));
}

// The element a screen reader reads for the view: itself, or the outermost element it lies in
// (an element speaks for all it holds); nothing when that one is out of the reader's reach.
const ui::View* speakerFor(const ui::View& view)
{
    const ui::View* outermost = nullptr;
    for (const ui::View* at = &view; at; at = at->superview()) {
        if (at->isAccessibilityElement())
            outermost = at;
    }
    return outermost && ui::isReachableAccessibilityElement(*outermost) ? outermost : nullptr;
}

bool isBlank(const std::optional<std::string>& text)
{
    return !text || std::ranges::all_of(*text, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
}

std::string points(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::round(value * 10) / 10);
    std::string result = text;
    if (result.ends_with(".0"))
        result.resize(result.size() - 2);
    return result;
}

std::string size(double width, double height)
{
    return points(width) + "x" + points(height);
}

class Audit {
public:
    explicit Audit(HostSession& session)
        : m_session(session)
        , m_window(session.window())
        , m_content(*session.contentView())
    {
    }

    std::vector<AuditFinding> run()
    {
        if (std::shared_ptr<ui::AlertView> alert = m_session.visibleAlert()) {
            auditAlert(*alert);
        } else if (m_content.window() == &m_window) {
            collect(m_content);
            auditInteractive();
            auditTexts();
            auditReadingOrder();
        }
        sortAuditFindings(m_findings);
        return std::move(m_findings);
    }

private:
    struct Interactive {
        const ui::View* view;
        ui::Rect visible; // in the window's coordinates
    };

    AuditElement element(const ui::View& view) const
    {
        const ui::Rect frame = inWindow(view, view.frame());
        const ui::Point origin = m_content.convertPointFromView(frame.origin, nullptr);
        const ui::View* speaker = speakerFor(view);
        return { std::string(view.className()), view.tag(), { origin.x, origin.y, frame.width(), frame.height() },
            speaker ? speaker->accessibilityLabel() : std::nullopt };
    }

    void add(std::string rule, const ui::View& view, std::string figure, const ui::View* other = nullptr,
        std::optional<std::string> text = std::nullopt)
    {
        m_findings.push_back({ std::move(rule), element(view), std::move(figure), other ? std::optional(element(*other)) : std::nullopt, std::move(text) });
    }

    void collect(ui::View& view)
    {
        if (!isDrawn(view, m_window))
            return;
        if (isInteractive(view)) {
            if (std::optional<ui::Rect> visible = visiblePart(view, inWindow(view, view.frame()), m_window))
                m_interactive.push_back({ &view, *visible });
        }
        if (auto* label = dynamic_cast<ui::Label*>(&view); label && !label->text().empty())
            m_labels.push_back(label);
        for (const ui::ViewPtr& child : view.subviews())
            collect(*child);
    }

    void auditInteractive()
    {
        for (std::size_t index = 0; index < m_interactive.size(); ++index) {
            const ui::View& view = *m_interactive[index].view;
            const ui::View* speaker = speakerFor(view);
            if (!speaker)
                add("label", view, "unreachable");
            else if (isBlank(speaker->accessibilityLabel()))
                add("label", view, speaker->accessibilityLabel() ? "empty" : "none");
            const ui::Rect& frame = view.frame();
            if (frame.width() < kSmallestTouchTarget || frame.height() < kSmallestTouchTarget)
                add("target", view, size(frame.width(), frame.height()) + "<" + size(kSmallestTouchTarget, kSmallestTouchTarget));
            for (std::size_t later = index + 1; later < m_interactive.size(); ++later) {
                const ui::View& other = *m_interactive[later].view;
                if (isAncestor(view, other) || isAncestor(other, view))
                    continue;
                if (std::optional<ui::Rect> both = intersection(m_interactive[index].visible, m_interactive[later].visible))
                    add("overlap", view, size(both->width(), both->height()), &other);
            }
        }
    }

    static bool isAncestor(const ui::View& ancestor, const ui::View& view)
    {
        for (const ui::View* at = view.superview(); at; at = at->superview()) {
            if (at == &ancestor)
                return true;
        }
        return false;
    }

    // The elements on screen, read in the reader's order, against the order they are seen in:
    // rows from the top, each left to right; an element is in the row of the one above it in
    // the list when its top lies above that one's middle.
    void auditReadingOrder()
    {
        struct OnScreen {
            const ui::View* view;
            ui::Rect area;
            std::size_t read;
        };
        std::vector<OnScreen> elements;
        for (const ui::View* view : ui::accessibilityElementsInReadingOrder(m_content)) {
            if (std::optional<ui::Rect> visible = visiblePart(*view, view->accessibilityFrame(), m_window); visible && finite(*visible))
                elements.push_back({ view, *visible, elements.size() });
        }
        std::vector<OnScreen> seen = elements;
        std::ranges::stable_sort(seen, [](const OnScreen& a, const OnScreen& b) { return std::pair(a.area.y(), a.area.x()) < std::pair(b.area.y(), b.area.x()); });
        for (std::size_t start = 0; start < seen.size();) {
            std::size_t end = start + 1;
            const float middle = seen[start].area.y() + seen[start].area.height() / 2;
            while (end < seen.size() && seen[end].area.y() < middle)
                ++end;
            std::stable_sort(seen.begin() + static_cast<std::ptrdiff_t>(start), seen.begin() + static_cast<std::ptrdiff_t>(end),
                [](const OnScreen& a, const OnScreen& b) { return a.area.x() < b.area.x(); });
            start = end;
        }
        std::vector<std::size_t> seenAt(elements.size());
        for (std::size_t place = 0; place < seen.size(); ++place)
            seenAt[seen[place].read] = place;
        for (std::size_t read = 1; read < elements.size(); ++read) {
            if (seenAt[read] < seenAt[read - 1]) {
                add("order", *elements[read].view, "read" + std::to_string(read + 1) + ",seen" + std::to_string(seenAt[read] + 1),
                    elements[read - 1].view);
            }
        }
    }

    void auditAlert(const ui::AlertView& alert)
    {
        Renderer renderer(m_session.renderCache(), sys::RunLoop::main().now(), 1, m_session.backdrop());
        weeapp::CairoSurface picture = renderer.renderWindow(m_window, &m_content, &alert);
        const std::vector<AlertButtonFrame> buttons = alertButtonFrames(measuringContext().get(), m_session.renderCache().textLayouts(), alert,
            cairo_image_surface_get_width(picture.get()), cairo_image_surface_get_height(picture.get()));
        for (const AlertButtonFrame& button : buttons) {
            const std::string& title = alert.buttonTitles()[static_cast<std::size_t>(button.index)];
            const ui::Point origin = m_content.convertPointFromView(button.frame.origin, nullptr);
            AuditElement named { "AlertButton", button.index, { origin.x, origin.y, button.frame.width(), button.frame.height() }, title };
            if (isBlank(title))
                m_findings.push_back({ "label", named, "empty", std::nullopt, std::nullopt });
            if (button.frame.width() < kSmallestTouchTarget || button.frame.height() < kSmallestTouchTarget) {
                m_findings.push_back({ "target", named,
                    size(button.frame.width(), button.frame.height()) + "<" + size(kSmallestTouchTarget, kSmallestTouchTarget), std::nullopt,
                    std::nullopt });
            }
        }
    }

    // Pictures of the screen as it is, at the audit's scale.
    weeapp::CairoSurface picture()
    {
        Renderer renderer(m_session.renderCache(), sys::RunLoop::main().now(), kAuditScale, m_session.backdrop());
        return renderer.renderWindow(m_window, &m_content, nullptr);
    }

    void auditTexts()
    {
        const weeapp::CairoContext measure = measuringContext();
        for (ui::Label* label : m_labels) {
            if (!label->textColor() || !visiblePart(*label, inWindow(*label, label->frame()), m_window))
                continue;
            if (!auditContrast(*label))
                continue;
            if (std::optional<double> whole = cutLineWidth(measure.get(), m_session.renderCache().textLayouts(), *label)) {
                const ui::Rect area = inWindow(*label, label->frame());
                const ui::View* speaker = speakerFor(*label);
                if (!speaker)
                    speaker = ui::accessibilityElementAtPoint(m_content, { area.x() + area.width() / 2, area.y() + area.height() / 2 });
                const std::optional<std::string> spoken = speaker ? speaker->accessibilityLabel() : std::nullopt;
                if (!spoken || spoken->find(label->text()) == std::string::npos)
                    add("ellipsis", *label, points(*whole) + "pt>" + points(label->frame().width()) + "pt", speaker, label->text());
            }
        }
    }

    // The label's contrast, measured on three pictures, all without its shadow: with its text
    // clear (its own background stays), in black and in white (at its colour's alpha). Where the two differ
    // its ink lands, and by how much tells how strongly it comes through there; the picture
    // without it holds what lies behind each pixel of ink. False when the text is not shown.
    bool auditContrast(ui::Label& label)
    {
        const ui::ColorPtr colour = label.textColor();
        const ui::ColorPtr shadow = label.shadowColor();
        label.setShadowColor(nullptr);
        label.setTextColor(ui::Color::clearColor());
        weeapp::CairoSurface behind = picture();
        label.setTextColor(ui::Color::colorWithRedGreenBlueAlpha(0, 0, 0, colour->alpha()));
        weeapp::CairoSurface black = picture();
        label.setTextColor(ui::Color::colorWithRedGreenBlueAlpha(1, 1, 1, colour->alpha()));
        weeapp::CairoSurface white = picture();
        label.setTextColor(colour);
        label.setShadowColor(shadow);

        const int width = cairo_image_surface_get_width(behind.get()), height = cairo_image_surface_get_height(behind.get());
        if (width != cairo_image_surface_get_width(white.get()) || height != cairo_image_surface_get_height(white.get()))
            return false;
        const int stride = cairo_image_surface_get_stride(behind.get());
        const unsigned char* behindPixels = cairo_image_surface_get_data(behind.get());
        const unsigned char* blackPixels = cairo_image_surface_get_data(black.get());
        const unsigned char* whitePixels = cairo_image_surface_get_data(white.get());
        auto pixelAt = [stride](const unsigned char* pixels, int x, int y) {
            return reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride)[x];
        };
        auto channel = [](std::uint32_t pixel, int shift) { return static_cast<double>((pixel >> shift) & 0xff) / 255; };
        auto inkAt = [&](int x, int y) {
            const std::uint32_t dark = pixelAt(blackPixels, x, y), light = pixelAt(whitePixels, x, y);
            return std::max({ channel(light, 16) - channel(dark, 16), channel(light, 8) - channel(dark, 8), channel(light, 0) - channel(dark, 0) });
        };
        double strongest = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                strongest = std::max(strongest, inkAt(x, y));
        }
        if (strongest < kShownInk)
            return false;

        // Premultiplied pixels read as drawn over black, which is what shows of a clear one.
        const double red = colour->red(), green = colour->green(), blue = colour->blue();
        std::vector<double> ratios;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (inkAt(x, y) < strongest / 2)
                    continue;
                const std::uint32_t ground = pixelAt(behindPixels, x, y);
                const double r = channel(ground, 16), g = channel(ground, 8), b = channel(ground, 0);
                const double groundLuminance = relativeLuminance(r, g, b);
                const double textLuminance = relativeLuminance(strongest * red + (1 - strongest) * r, strongest * green + (1 - strongest) * g,
                    strongest * blue + (1 - strongest) * b);
                ratios.push_back(contrastRatio(textLuminance, groundLuminance));
            }
        }
        std::ranges::sort(ratios);
        const double ratio = ratios[static_cast<std::size_t>(static_cast<double>(ratios.size()) * kToleratedInk)];
        const float size = label.fittedFontSize();
        const bool bold = label.font() && label.font()->fontName().find("Bold") != std::string::npos;
        const bool large = size >= 18 || (bold && size >= 14);
        const double least = large ? kLeastLargeTextContrast : kLeastTextContrast;
        if (ratio < least) {
            char figure[64];
            std::snprintf(figure, sizeof figure, "%.2f:1<%s:1", std::floor(ratio * 100) / 100, points(least).c_str());
            add("contrast", label, figure, nullptr, label.text());
        }
        return true;
    }

    HostSession& m_session;
    const ui::Window& m_window;
    ui::View& m_content;
    std::vector<Interactive> m_interactive;
    std::vector<ui::Label*> m_labels; // with a text, in drawing order
    std::vector<AuditFinding> m_findings;
};

}

double contrastRatio(double luminance, double otherLuminance)
{
    return (std::max(luminance, otherLuminance) + 0.05) / (std::min(luminance, otherLuminance) + 0.05);
}

std::vector<AuditFinding> auditScreen(HostSession& session)
{
    if (!session.contentView())
        return {};
    return Audit(session).run();
}

}
