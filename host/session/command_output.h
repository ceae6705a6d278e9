#pragma once

#include "session/audit_finding.h"
#include <weeapp/sys/url.h>
#include <weeapp/ui/accessibility/accessibility_reader.h>
#include <weeapp/ui/inspection/json_text.h>
#include <weeapp/ui/views/alert_view.h>
#include <weeapp/ui/views/view.h>

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// Where the session and the commands report what they produced: the plain mode prints lines,
// the JSON protocol gathers them into one answer a command.
class CommandOutput {
public:
    virtual ~CommandOutput() = default;

    // The widget handed a URL to the system, or presented an alert (at any command).
    virtual void opened(const weeapp::sys::URL&) = 0;
    virtual void alerted(const weeapp::ui::AlertView&) = 0;

    virtual void height(float) = 0;
    virtual void launch(const weeapp::sys::URL*) = 0; // nullptr: none
    virtual void dump(const weeapp::ui::View*) = 0;   // nullptr: the controller gave no view
    virtual void wrote(const std::filesystem::path&) = 0;
    // The control a tap reached (nullptr for none), and the content view the tap was given in.
    virtual void hit(const weeapp::ui::View* control, const weeapp::ui::View* content) = 0;
    // What a screen reader found under a point (nothing over empty space), and all it steps
    // through in order.
    virtual void described(const std::optional<weeapp::ui::AccessibilityDescription>&) = 0;
    virtual void elements(const std::vector<weeapp::ui::AccessibilityDescription>&) = 0;
    // What an audit of the screen found, sorted; none when all is well.
    virtual void audited(const std::vector<AuditFinding>&) = 0;
};

// Today's lines: "open URL", "alert JSON", "height N", "launch URL|none", "dump JSON|null",
// "describe JSON|null", "elements [JSON, ...]", "audit RULE ELEMENT FIGURE ..." a finding and
// then "audited N", each flushed at once for a program at the other
// end of a pipe; a written file and a tap's hit print nothing.
class PlainOutput : public CommandOutput {
public:
    explicit PlainOutput(std::ostream& out)
        : m_out(out) { }

    void opened(const weeapp::sys::URL&) override;
    void alerted(const weeapp::ui::AlertView&) override;
    void height(float) override;
    void launch(const weeapp::sys::URL*) override;
    void dump(const weeapp::ui::View*) override;
    void wrote(const std::filesystem::path&) override { }
    void hit(const weeapp::ui::View*, const weeapp::ui::View*) override { }
    void described(const std::optional<weeapp::ui::AccessibilityDescription>&) override;
    void elements(const std::vector<weeapp::ui::AccessibilityDescription>&) override;
    void audited(const std::vector<AuditFinding>&) override;

private:
    std::ostream& m_out;
};

// One JSON object a command: {"ok": true, ...} with what it produced, or {"ok": false, "line":
// N, "error": "..."}. It gathers what is produced from one answer to the next.
class JsonAnswer : public CommandOutput {
public:
    explicit JsonAnswer(std::ostream& out)
        : m_out(out) { }

    void succeed();
    void fail(int line, const std::string& error);

    void opened(const weeapp::sys::URL&) override;
    void alerted(const weeapp::ui::AlertView&) override;
    void height(float) override;
    void launch(const weeapp::sys::URL*) override;
    void dump(const weeapp::ui::View*) override;
    void wrote(const std::filesystem::path&) override;
    void hit(const weeapp::ui::View* control, const weeapp::ui::View* content) override;
    void described(const std::optional<weeapp::ui::AccessibilityDescription>&) override;
    void elements(const std::vector<weeapp::ui::AccessibilityDescription>&) override;
    void audited(const std::vector<AuditFinding>&) override;

private:
    void print(const weeapp::ui::Json&);

    std::ostream& m_out;
    weeapp::ui::Json m_produced = weeapp::ui::Json::object();
};

}
