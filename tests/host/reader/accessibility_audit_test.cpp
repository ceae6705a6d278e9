#include "reader/accessibility_audit.h"
#include "support/host_harness.h"

#include <weeapp/ui/inspection/json_text.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace kavrin::testing {
namespace {

// A phone whose only plug-in is the audit's test widget.
class AuditPhone {
public:
    AuditPhone()
    {
        fs::create_directories(m_bundle);
        fs::create_directories(m_root.path() / "private/var/mobile");
        fs::copy_file(KAVRIN_TEST_AUDIT_BUNDLE, m_bundle / "Audit");
    }
    RunResult host(const std::vector<std::string>& mode, const std::string& input) const
    {
        std::vector<std::string> arguments { "--root", m_root.path().string(), "--plugins", m_bundle.string() };
        arguments.insert(arguments.end(), mode.begin(), mode.end());
        return runProgram("kavrin-host", arguments, input);
    }

private:
    TemporaryFolder m_root;
    fs::path m_bundle { m_root.path() / "System/Library/WeeAppPlugins/Audit.bundle" };
};

// The contrast ratio follows WCAG 2.1: black on white is 21:1, a colour on itself 1:1, and the
// grey #767676 is the lightest that reaches 4.5:1 on white.
TEST(AccessibilityAudit, ContrastRatio)
{
    const auto grey = [](int level) {
        const double channel = level / 255.0;
        return host::relativeLuminance(channel, channel, channel);
    };
    EXPECT_DOUBLE_EQ(host::contrastRatio(host::relativeLuminance(0, 0, 0), host::relativeLuminance(1, 1, 1)), 21);
    EXPECT_DOUBLE_EQ(host::contrastRatio(grey(0x80), grey(0x80)), 1);
    EXPECT_GE(host::contrastRatio(grey(0x76), grey(0xff)), 4.5);
    EXPECT_LT(host::contrastRatio(grey(0x77), grey(0xff)), 4.5);
    // White on the metro look's red and magenta grounds falls short; black on its green does not.
    EXPECT_LT(host::contrastRatio(host::relativeLuminance(1, 1, 1), host::relativeLuminance(1, 0, 0)), 4.5);
    EXPECT_LT(host::contrastRatio(host::relativeLuminance(1, 1, 1), host::relativeLuminance(1, 0, 1)), 4.5);
    EXPECT_GT(host::contrastRatio(host::relativeLuminance(0, 0, 0), host::relativeLuminance(0, 1, 0)), 4.5);
}

// Each fault of the test widget gives its one finding, sorted by rule, and nothing else does:
// the text in black, the buttons large enough and apart, the names read where they are seen.
// The protocol answers the same findings as objects.
TEST(AccessibilityAudit, FindsEachFaultOnce)
{
    AuditPhone phone;
    RunResult plain = phone.host({ "--script", "-" }, "view\naudit\n");
    ASSERT_EQ(plain.status, 0) << plain.err;
    std::vector<std::string> lines = plain.lines();
    ASSERT_EQ(lines.size(), 7u) << plain.out;
    EXPECT_EQ(lines[0], "audit label Button#2@60,10,44,44 none");
    EXPECT_EQ(lines[1], "audit target Button#1@10,10,30,30 30x30<44x44");
    EXPECT_EQ(lines[2], "audit contrast Label#3@120,10,80,20 2.84:1<4.5:1 \"Faint\"");
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(audit ellipsis Label#5@210,10,44,20 [0-9.]+pt>44pt Button#6@210,10,50,50 "Bartholomew Longname")")))
        << lines[3];
    EXPECT_EQ(lines[4], "audit overlap Button#7@262,10,50,44 50x8 Button#8@262,46,50,44");
    EXPECT_EQ(lines[5], "audit order Label#11@4,60,100,16 read9,seen8 Label#10@4,80,100,16");
    EXPECT_EQ(lines[6], "audited 6");

    RunResult json = phone.host({ "--protocol", "json" }, "view\naudit\n");
    ASSERT_EQ(json.status, 0) << json.err;
    ASSERT_EQ(json.lines().size(), 2u) << json.out;
    const weeapp::ui::Json answer = weeapp::ui::Json::parse(json.lines()[1]);
    ASSERT_EQ(answer["audit"].size(), 6u) << json.out;
    const weeapp::ui::Json& contrast = answer["audit"][2];
    EXPECT_EQ(contrast["rule"], "contrast");
    EXPECT_EQ(contrast["figure"], "2.84:1<4.5:1");
    EXPECT_EQ(contrast["text"], "Faint");
    EXPECT_EQ(weeapp::ui::jsonText(contrast["element"]), R"({"class": "Label", "tag": 3, "frame": [120, 10, 80, 20], "label": "Faint"})");
    EXPECT_EQ(weeapp::ui::jsonText(answer["audit"][3]["other"]), R"({"class": "Button", "tag": 6, "frame": [210, 10, 50, 50], "label": "Bart"})");
    EXPECT_TRUE(answer["audit"][0]["element"]["label"].is_null());
}

// On the widget itself: the standard look on the dark ground finds only the page control (a
// strip 15 points high that says its page but has no name); the light ground makes the white
// names too faint; the chooser's buttons are large enough; metro tiles of 40 points are too
// small; a name too long for its tile is cut but its tile reads it whole. The picture's scale
// changes nothing.
TEST(AccessibilityAudit, TheWidgetsLooks)
{
    PhoneRoot phone;
    phone.writeFavorites({ favorite("Ada Quell", 1, "_$!<Mobile>!$_", "+49 170 111 2222"),
        favorite("Bartholomew Featherstonehaugh", 2, "_$!<Home>!$_", "(030) 555-0142") });
    const std::vector<std::string> pageControl { "audit label PageControl#9999@0,95,316,15 none",
        "audit target PageControl#9999@0,95,316,15 316x15<44x44" };
    for (const char* scale : { "1", "3" }) {
        RunResult standard = phone.host("view\naudit\n", { "--scale", scale });
        ASSERT_EQ(standard.status, 0) << standard.err;
        std::vector<std::string> expected = pageControl;
        expected.push_back("audited 2");
        EXPECT_EQ(standard.lines(), expected) << "at scale " << scale;
    }

    RunResult light = phone.host("view\naudit\n", { "--backdrop", "light" });
    ASSERT_EQ(light.status, 0) << light.err;
    std::vector<std::string> lines = light.lines();
    EXPECT_EQ(std::ranges::count_if(lines, [](const std::string& line) { return line.starts_with("audit contrast Label#0@"); }), 2) << light.out;

    // The chooser covers the widget: only its buttons count, and they are large enough.
    RunResult chooser = phone.host("set askForText true\nset askForCall true\nview\ntap 44 44\naudit\n");
    ASSERT_EQ(chooser.status, 0) << chooser.err;
    ASSERT_EQ(chooser.lines().size(), 2u) << chooser.out;
    EXPECT_EQ(chooser.lines()[1], "audited 0");

    RunResult metro = phone.host("set metroStyle true\nset tilesAlign 4\nview\naudit\n");
    ASSERT_EQ(metro.status, 0) << metro.err;
    EXPECT_EQ(metro.lines(), (std::vector<std::string> { "audit target Button#1@80,0,40,40 40x40<44x44", "audited 1" }));
}

// --gallery --audit prints each state's findings with its picture's name and gives status 1;
// the pictures are written as without it.
TEST(AccessibilityAudit, Gallery)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder folder;
    RunResult result = runProgram("kavrin-host", { "--root", phone.root(), "--scale", "1", "--gallery", folder.path().string(), "--audit" });
    EXPECT_EQ(result.status, 1) << result.err;
    const std::vector<std::string> lines = result.lines();
    EXPECT_TRUE(std::ranges::any_of(lines, [](const std::string& line) {
        return line.starts_with("audit ") && line.find(".png target PageControl#9999@") != std::string::npos;
    })) << result.out;
    EXPECT_TRUE(fs::exists(folder.path() / "index.html"));
}

}
}
