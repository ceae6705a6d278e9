#include "session/audit_finding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <tuple>

namespace kavrin::host {

namespace {

// A coordinate to a tenth of a point, without a trailing ".0".
std::string number(float value)
{
    char text[64];
    const double rounded = std::round(static_cast<double>(value) * 10) / 10;
    std::snprintf(text, sizeof text, "%.1f", rounded == 0 ? 0.0 : rounded);
    std::string result = text;
    if (result.ends_with(".0"))
        result.resize(result.size() - 2);
    return result;
}

weeapp::ui::Json elementJson(const AuditElement& element)
{
    weeapp::ui::Json json { { "class", element.className }, { "tag", element.tag },
        { "frame", weeapp::ui::Json::array({ element.frame.x(), element.frame.y(), element.frame.width(), element.frame.height() }) } };
    json["label"] = element.label ? weeapp::ui::Json(*element.label) : weeapp::ui::Json(nullptr);
    return json;
}

std::ptrdiff_t ruleRank(const std::string& rule)
{
    return std::distance(std::begin(kAuditRules), std::ranges::find(kAuditRules, rule, [](const char* name) { return std::string(name); }));
}

auto sortKey(const AuditFinding& finding)
{
    const weeapp::ui::Rect& frame = finding.element.frame;
    return std::make_tuple(ruleRank(finding.rule), frame.y(), frame.x(), frame.height(), frame.width(), finding.element.className,
        finding.element.tag, finding.figure, finding.other ? auditElementText(*finding.other) : std::string(), finding.text.value_or(""));
}

}

std::string auditElementText(const AuditElement& element)
{
    const weeapp::ui::Rect& frame = element.frame;
    return element.className + "#" + std::to_string(element.tag) + "@" + number(frame.x()) + "," + number(frame.y()) + ","
        + number(frame.width()) + "," + number(frame.height());
}

std::string auditFindingText(const AuditFinding& finding)
{
    std::string text = finding.rule + " " + auditElementText(finding.element) + " " + finding.figure;
    if (finding.other)
        text += " " + auditElementText(*finding.other);
    if (finding.text)
        text += " " + weeapp::ui::jsonText(weeapp::ui::Json(*finding.text));
    return text;
}

weeapp::ui::Json auditFindingJson(const AuditFinding& finding)
{
    weeapp::ui::Json json { { "rule", finding.rule }, { "element", elementJson(finding.element) }, { "figure", finding.figure } };
    if (finding.other)
        json["other"] = elementJson(*finding.other);
    if (finding.text)
        json["text"] = *finding.text;
    return json;
}

void sortAuditFindings(std::vector<AuditFinding>& findings)
{
    std::ranges::stable_sort(findings, [](const AuditFinding& a, const AuditFinding& b) { return sortKey(a) < sortKey(b); });
}

}
