#include "session/command_output.h"

#include <weeapp/ui/view_dump.h>

#include <cstdio>
#include <ostream>

namespace kavrin::host {

namespace {

ui::Json descriptionsJson(const std::vector<ui::AccessibilityDescription>& descriptions)
{
    ui::Json list = ui::Json::array();
    for (const ui::AccessibilityDescription& description : descriptions)
        list.push_back(ui::accessibilityDescriptionJson(description));
    return list;
}

}

void PlainOutput::opened(const sys::URL& url)
{
    m_out << "open " << url.absoluteString() << '\n';
    m_out.flush();
}

void PlainOutput::alerted(const ui::AlertView& alert)
{
    m_out << "alert " << ui::dumpAlert(alert) << '\n';
    m_out.flush();
}

void PlainOutput::height(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "height %.1f", static_cast<double>(value));
    m_out << text << '\n';
    m_out.flush();
}

void PlainOutput::launch(const sys::URL* url)
{
    m_out << "launch " << (url ? url->absoluteString() : std::string("none")) << '\n';
    m_out.flush();
}

void PlainOutput::dump(const ui::View* view)
{
    m_out << "dump " << (view ? ui::dumpViewTree(*view) : std::string("null")) << '\n';
    m_out.flush();
}

void PlainOutput::described(const std::optional<ui::AccessibilityDescription>& description)
{
    m_out << "describe " << (description ? ui::dumpAccessibilityDescription(*description) : std::string("null")) << '\n';
    m_out.flush();
}

void PlainOutput::elements(const std::vector<ui::AccessibilityDescription>& descriptions)
{
    m_out << "elements " << ui::jsonText(descriptionsJson(descriptions)) << '\n';
    m_out.flush();
}

void PlainOutput::audited(const std::vector<AuditFinding>& findings)
{
    for (const AuditFinding& finding : findings)
        m_out << "audit " << auditFindingText(finding) << '\n';
    m_out << "audited " << findings.size() << '\n';
    m_out.flush();
}

void JsonAnswer::begin()
{
    m_produced = ui::Json::object();
}

void JsonAnswer::succeed()
{
    ui::Json answer { { "ok", true } };
    answer.update(m_produced);
    print(answer);
}

void JsonAnswer::fail(int line, const std::string& error)
{
    print(ui::Json { { "ok", false }, { "line", line }, { "error", error } });
}

void JsonAnswer::print(const ui::Json& answer)
{
    m_out << ui::jsonText(answer) << '\n';
    m_out.flush();
    m_produced = ui::Json::object();
}

void JsonAnswer::opened(const sys::URL& url)
{
    m_produced["open"].push_back(url.absoluteString());
}

void JsonAnswer::alerted(const ui::AlertView& alert)
{
    m_produced["alert"].push_back(ui::alertJson(alert));
}

void JsonAnswer::height(float value)
{
    m_produced["height"] = value;
}

void JsonAnswer::launch(const sys::URL* url)
{
    m_produced["launch"] = url ? ui::Json(url->absoluteString()) : ui::Json(nullptr);
}

void JsonAnswer::dump(const ui::View* view)
{
    m_produced["dump"] = view ? ui::viewTreeJson(*view) : ui::Json(nullptr);
}

void JsonAnswer::wrote(const std::filesystem::path& file)
{
    m_produced["file"] = file.string();
}

void JsonAnswer::hit(const ui::View* control, const ui::View* content)
{
    if (!control || !content) {
        m_produced["hit"] = nullptr;
        return;
    }
    const ui::Rect bounds = control->bounds();
    const ui::Point origin = control->convertPointToView(bounds.origin, content);
    m_produced["hit"] = ui::Json { { "class", control->className() }, { "tag", control->tag() },
        { "frame", ui::Json::array({ origin.x, origin.y, bounds.width(), bounds.height() }) } };
}

void JsonAnswer::described(const std::optional<ui::AccessibilityDescription>& description)
{
    m_produced["describe"] = description ? ui::accessibilityDescriptionJson(*description) : ui::Json(nullptr);
}

void JsonAnswer::elements(const std::vector<ui::AccessibilityDescription>& descriptions)
{
    m_produced["elements"] = descriptionsJson(descriptions);
}

void JsonAnswer::audited(const std::vector<AuditFinding>& findings)
{
    ui::Json list = ui::Json::array();
    for (const AuditFinding& finding : findings)
        list.push_back(auditFindingJson(finding));
    m_produced["audit"] = std::move(list);
}

}
