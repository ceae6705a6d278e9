#pragma once

#include <weeapp/ui/geometry.h>
#include <weeapp/ui/inspection/json_text.h>

#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// What an audit names: a view of the widget (or a button of the alert on top) by its class,
// tag and frame in the content view's coordinates, with what a screen reader calls it.
struct AuditElement {
    std::string className;
    int tag { 0 };
    weeapp::ui::Rect frame;
    std::optional<std::string> label;
};

// One thing a user of a screen reader, or one who sees poorly, would stumble on: the rule it
// breaks ("label", "target", "contrast", "ellipsis", "overlap", "order"), the element, the
// measured figure against the rule's limit ("40x40<44x44", "2.31:1<4.5:1"), the other element
// where the rule takes two, and the text concerned.
struct AuditFinding {
    std::string rule;
    AuditElement element;
    std::string figure;
    std::optional<AuditElement> other;
    std::optional<std::string> text;
};

// The rules in the order findings are listed, each rule's findings top to bottom and left to
// right by their element.
inline constexpr const char* kAuditRules[] = { "label", "target", "contrast", "ellipsis", "overlap", "order" };
void sortAuditFindings(std::vector<AuditFinding>&);

// "Button#3@12,12,64,64": the class, the tag and the frame, one token.
std::string auditElementText(const AuditElement&);
// "RULE ELEMENT FIGURE[ OTHER][ "TEXT"]", the text as a JSON string.
std::string auditFindingText(const AuditFinding&);
// {"rule", "element": {"class", "tag", "frame", "label"}, "figure"[, "other"][, "text"]}
weeapp::ui::Json auditFindingJson(const AuditFinding&);

}
