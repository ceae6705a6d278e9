#include "session/command_output.h"

#include <weeapp/ui/inspection/view_dump.h>

#include <cstdio>
#include <ostream>

namespace kavrin::host {

namespace {

weeapp::ui::Json descriptionsJson(const std::vector<weeapp::ui::AccessibilityDescription>& descriptions)
{
    weeapp::ui::Json list = weeapp::ui::Json::array();
    for (const weeapp::ui::AccessibilityDescription& description : descriptions)
        list.push_back(weeapp::ui::accessibilityDescriptionJson(description));
    return list;
}

}

void PlainOutput::opened(const weeapp::sys::URL& url)
{
    m_out << "open " << url.absoluteString() << '\n';
    m_out.flush();
}

void PlainOutput::alerted(const weeapp::ui::AlertView& alert)
{
    m_out << "alert " << weeapp::ui::dumpAlert(alert) << '\n';
    m_out.flush();
}

void PlainOutput::height(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "height %.1f", static_cast<double>(value));
    m_out << text << '\n';
    m_out.flush();
}

void PlainOutput::launch(const weeapp::sys::URL* url)
{
    m_out << "launch " << (url ? url->absoluteString() : std::string("none")) << '\n';
    m_out.flush();
}

void PlainOutput::dump(const weeapp::ui::View* view)
{
    m_out << "dump " << (view ? weeapp::ui::dumpViewTree(*view) : std::string("null")) << '\n';
    m_out.flush();
}

void PlainOutput::described(const std::optional<weeapp::ui::AccessibilityDescription>& description)
{
    m_out << "describe " << (description ? weeapp::ui::dumpAccessibilityDescription(*description) : std::string("null")) << '\n';
    m_out.flush();
}

void PlainOutput::elements(const std::vector<weeapp::ui::AccessibilityDescription>& descriptions)
{
    m_out << "elements " << weeapp::ui::jsonText(descriptionsJson(descriptions)) << '\n';
    m_out.flush();
}

void PlainOutput::audited(const std::vector<AuditFinding>& findings)
{
    for (const AuditFinding& finding : findings)
        m_out << "audit " << auditFindingText(finding) << '\n';
    m_out << "audited " << findings.size() << '\n';
    m_out.flush();
}

void JsonAnswer::succeed()
{
    weeapp::ui::Json answer { { "ok", true } };
    answer.update(m_produced);
    print(answer);
}

void JsonAnswer::fail(int line, const std::string& error)
{
    print(weeapp::ui::Json { { "ok", false }, { "line", line }, { "error", error } });
}

void JsonAnswer::print(const weeapp::ui::Json& answer)
{
    m_out << weeapp::ui::jsonText(answer) << '\n';
    m_out.flush();
    m_produced = weeapp::ui::Json::object();
}

void JsonAnswer::opened(const weeapp::sys::URL& url)
{
    m_produced["open"].push_back(url.absoluteString());
}

void JsonAnswer::alerted(const weeapp::ui::AlertView& alert)
{
    m_produced["alert"].push_back(weeapp::ui::alertJson(alert));
}

void JsonAnswer::height(float value)
{
    m_produced["height"] = value;
}

void JsonAnswer::launch(const weeapp::sys::URL* url)
{
    m_produced["launch"] = url ? weeapp::ui::Json(url->absoluteString()) : weeapp::ui::Json(nullptr);
}

void JsonAnswer::dump(const weeapp::ui::View* view)
{
    m_produced["dump"] = view ? weeapp::ui::viewTreeJson(*view) : weeapp::ui::Json(nullptr);
}

void JsonAnswer::wrote(const std::filesystem::path& file)
{
    m_produced["file"] = file.string();
}

void JsonAnswer::hit(const weeapp::ui::View* control, const weeapp::ui::View* content)
{
    if (!control || !content) {
        m_produced["hit"] = nullptr;
        return;
    }
    const weeapp::ui::Rect bounds = control->bounds();
    const weeapp::ui::Point origin = control->convertPointToView(bounds.origin, content);
    m_produced["hit"] = weeapp::ui::Json { { "class", control->className() }, { "tag", control->tag() },
        { "frame", weeapp::ui::Json::array({ origin.x, origin.y, bounds.width(), bounds.height() }) } };
}

void JsonAnswer::described(const std::optional<weeapp::ui::AccessibilityDescription>& description)
{
    m_produced["describe"] = description ? weeapp::ui::accessibilityDescriptionJson(*description) : weeapp::ui::Json(nullptr);
}

void JsonAnswer::elements(const std::vector<weeapp::ui::AccessibilityDescription>& descriptions)
{
    m_produced["elements"] = descriptionsJson(descriptions);
}

void JsonAnswer::audited(const std::vector<AuditFinding>& findings)
{
    weeapp::ui::Json list = weeapp::ui::Json::array();
    for (const AuditFinding& finding : findings)
        list.push_back(auditFindingJson(finding));
    m_produced["audit"] = std::move(list);
}

}
