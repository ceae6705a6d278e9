#include "reader/spoken_text.h"
#include "support/host_harness.h"

#include <weeapp/ui/inspection/json_text.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kavrin::testing {
namespace {

weeapp::sys::Array sixFavorites()
{
    weeapp::sys::Array favorites {
        favorite("Ada Quell", 1, "_$!<Mobile>!$_", "+49 170 111 2222"),
        favorite("Bo Rinne", 2, "_$!<Home>!$_", "(030) 555-0142"),
        favorite("Cleo", 3, "Boat", "0170 333"),
    };
    for (int i = 4; i <= 6; ++i)
        favorites.push_back(favorite("Person " + std::to_string(i), i, "_$!<Work>!$_", std::to_string(i)));
    return favorites;
}

std::string tile(const std::string& label, const std::string& hint)
{
    return R"({"label": ")" + label + R"(", "hint": ")" + hint + R"(", "traits": ["button"], "value": null})";
}

std::string pages(const std::string& value)
{
    return R"({"label": null, "hint": null, "traits": ["adjustable"], "value": ")" + value + R"("})";
}

// describe answers for the tile under the point, its badge and its name included, and null over
// empty space; elements reads the page in view first, then the page control, then the buttons
// of an alert; the page gesture moves a page and the page control follows.
TEST(ScreenReader, DescribeElementsAndThePageGesture)
{
    PhoneRoot phone;
    phone.writeFavorites(sixFavorites());
    phone.writeSettings({ { "showLabels", weeapp::sys::Value::boolean(true) } });
    RunResult result = phone.host(
        "view\n"
        "describe 44 44\ndescribe 44 71\ndescribe 44 86\ndescribe 82 44\n"
        "elements\n"
        "swipe-next\nswipe-next   # already on the last page\n"
        "elements\n"
        "swipe-previous\nswipe-previous\n"
        "set askForText true\nset askForCall true\n"
        "tap 120 44\nelements\ndescribe 44 44\n");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string ada = tile("Ada Quell, mobile", "Calls");
    const std::string bo = tile("Bo Rinne, home", "Calls");
    const std::string cleo = tile("Cleo, Boat", "Calls");
    const std::string fourth = tile("Person 4, work", "Calls");
    const std::string fifth = tile("Person 5, work", "Calls");
    const std::string sixth = tile("Person 6, work", "Calls");
    auto choices = [](std::string element) {
        element.replace(element.find("Calls"), 5, "Shows the choices");
        return element;
    };
    EXPECT_EQ(result.lines(), (std::vector<std::string> {
                                  "describe " + ada, "describe " + ada, "describe " + ada, "describe null", "elements [" + ada + ", " + bo + ", " + cleo + ", " + fourth + ", " + fifth + ", " + sixth + ", " + pages("page 1 of 2") + "]", "elements [" + fifth + ", " + sixth + ", " + ada + ", " + bo + ", " + cleo + ", " + fourth + ", " + pages("page 2 of 2") + "]", R"(alert {"title": "Bo Rinne", "buttons": ["Cancel", "Call", "Message"], "tag": 1})", "elements [" + choices(ada) + ", " + choices(bo) + ", " + choices(cleo) + ", " + choices(fourth) + ", " + choices(fifth) + ", " + choices(sixth) + ", " + pages("page 1 of 2") + R"(, {"label": "Call", "hint": null, "traits": ["button"], "value": null}, )" + R"({"label": "Message", "hint": null, "traits": ["button"], "value": null}, )" + R"({"label": "Cancel", "hint": null, "traits": ["button"], "value": null}])",
                                  "describe null", // the alert covers the widget
                              }));
}

// The new commands take what they need and nothing more; the page gesture needs the view on
// screen, reading does not.
TEST(ScreenReader, CommandErrors)
{
    PhoneRoot phone;
    phone.writeFavorites(sixFavorites());
    const std::vector<std::pair<std::string, std::string>> bad { { "view\ndescribe 1\n", "stdin:2: 'describe' takes two numbers" },
        { "view\nelements now\n", "stdin:2: 'elements' takes nothing" }, { "swipe-next 2\n", "stdin:1: 'swipe-next' takes nothing" },
        { "swipe-previous\n", "stdin:1: there is no view yet" }, { "view\ndestroy\nswipe-next\n", "stdin:3: the controller has been destroyed" } };
    for (const auto& [script, message] : bad) {
        RunResult result = phone.host(script);
        EXPECT_EQ(result.status, 2) << script;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    EXPECT_EQ(phone.host("elements\ndescribe 10 10\n").lines(), (std::vector<std::string> { "elements []", "describe null" }));
}

// What is spoken for an element: its label, value, what it is in the language asked for (by its
// first part; English where there are no words for it) and its hint, each a sentence; static
// text says nothing of itself.
TEST(ScreenReader, SpokenTextSaysWhatTheElementIsInItsLanguage)
{
    using weeapp::ui::AccessibilityDescription;
    const AccessibilityDescription button { "Ada Quell", "Calls", weeapp::ui::AccessibilityTraitButton, std::nullopt };
    EXPECT_EQ(host::spokenText(button, "en"), "Ada Quell. button. Calls");
    EXPECT_EQ(host::spokenText(button, "de"), "Ada Quell. Taste. Calls");
    EXPECT_EQ(host::spokenText(button, "de-AT"), "Ada Quell. Taste. Calls");
    EXPECT_EQ(host::spokenText(button, "ja"), "Ada Quell. button. Calls");
    EXPECT_EQ(host::spokenText(button, ""), "Ada Quell. button. Calls");
    const AccessibilityDescription pages { std::nullopt, std::nullopt, weeapp::ui::AccessibilityTraitAdjustable, "page 1 of 2" };
    EXPECT_EQ(host::spokenText(pages, "fr"), "page 1 of 2. réglable");
    const AccessibilityDescription photo { "Photo", std::nullopt, weeapp::ui::AccessibilityTraitImage, std::nullopt };
    EXPECT_EQ(host::spokenText(photo, "nl"), "Photo. afbeelding");
    const AccessibilityDescription text { "Bo", std::nullopt, weeapp::ui::AccessibilityTraitStaticText, std::nullopt };
    EXPECT_EQ(host::spokenText(text, "es"), "Bo");
    EXPECT_EQ(host::spokenText({}, "en"), "");
}

// With --speak every describe is spoken into the WAV file at the end: a second or more of
// speech per tile in English or German, silence for empty space; without --speak nothing is
// written, and a folder in the file's place is left alone.
TEST(ScreenReader, SpeakWritesAWavOnlyWhenAsked)
{
    PhoneRoot phone;
    phone.writeFavorites(sixFavorites());
    TemporaryFolder folder;
    const std::string script = "view\ndescribe 44 44\ndescribe 120 44\n";

    ASSERT_EQ(phone.host(script).status, 0);
    EXPECT_TRUE(fs::is_empty(folder.path()));

    for (const char* language : { "en", "de" }) {
        const fs::path file = folder.path() / (std::string(language) + ".wav");
        RunResult spoken = phone.host(script, { "--lang", language, "--speak", file.string() });
        ASSERT_EQ(spoken.status, 0) << spoken.err;
        EXPECT_EQ(spoken.lines().size(), 2u);
        const std::optional<Wav> wav = readWav(file);
        ASSERT_TRUE(wav) << language;
        EXPECT_GT(wav->sampleRate, 8000);
        const double seconds = static_cast<double>(wav->samples.size()) / wav->sampleRate;
        EXPECT_GT(seconds, 2.0) << language;
        EXPECT_LT(seconds, 30.0) << language;
        EXPECT_GT(loudSamples(*wav), static_cast<std::size_t>(wav->sampleRate / 4)) << language;
    }

    // A language the widget does not speak gets its English texts, read in the English voice: the
    // same speech as English, not English spelled out in another language's voice.
    for (const char* language : { "ja", "de-AT" }) {
        const fs::path file = folder.path() / (std::string(language) + ".wav");
        ASSERT_EQ(phone.host(script, { "--lang", language, "--speak", file.string() }).status, 0);
        EXPECT_EQ(readFile(file), readFile(folder.path() / "en.wav")) << language;
    }

    const fs::path silent = folder.path() / "silent.wav";
    ASSERT_EQ(phone.host("view\ndescribe 82 44\n", { "--speak", silent.string() }).status, 0);
    const std::optional<Wav> nothing = readWav(silent);
    ASSERT_TRUE(nothing);
    EXPECT_TRUE(nothing->samples.empty());

    const fs::path blocked = folder.path() / "blocked.wav";
    fs::create_directory(blocked);
    RunResult refused = phone.host(script, { "--speak", blocked.string() });
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("not a regular file"), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::is_directory(blocked));

    EXPECT_EQ(runProgram("kavrin-host", { "--speak", (folder.path() / "x.wav").string() }).status, 2);
    EXPECT_FALSE(fs::exists(folder.path() / "x.wav"));
}

// The JSON protocol answers describe and elements with the same objects, the page gesture with
// nothing more than ok; with --speak the stream's describes go into the WAV file at its end.
// --speak goes with --script, --protocol or --window only.
TEST(ScreenReader, ProtocolAnswersAndSpeaks)
{
    PhoneRoot phone;
    phone.writeFavorites(sixFavorites());
    TemporaryFolder folder;
    const fs::path file = folder.path() / "stream.wav";
    RunResult result = runProgram("kavrin-host", { "--root", phone.root(), "--protocol", "json", "--speak", file.string() },
        "describe 44 44\nview\ndescribe 44 44\ndescribe 82 44\nelements\nswipe-next\nelements\n");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = result.lines();
    ASSERT_EQ(lines.size(), 7u) << result.out;
    std::vector<weeapp::ui::Json> answers;
    for (const std::string& line : lines)
        answers.push_back(weeapp::ui::Json::parse(line, nullptr, false));
    EXPECT_EQ(lines[0], R"({"ok": true, "describe": null})");
    EXPECT_EQ(lines[2], R"({"ok": true, "describe": )" + tile("Ada Quell", "Calls") + "}");
    EXPECT_EQ(lines[3], R"({"ok": true, "describe": null})");
    ASSERT_TRUE(answers[4]["elements"].is_array());
    EXPECT_EQ(answers[4]["elements"].size(), 7u);
    EXPECT_EQ(answers[4]["elements"][0]["label"], "Ada Quell");
    EXPECT_EQ(answers[4]["elements"][6]["value"], "page 1 of 2");
    EXPECT_EQ(lines[5], R"({"ok": true})");
    EXPECT_EQ(answers[6]["elements"][0]["label"], "Person 5");
    EXPECT_EQ(answers[6]["elements"][6]["value"], "page 2 of 2");
    const std::optional<Wav> wav = readWav(file);
    ASSERT_TRUE(wav);
    EXPECT_GT(static_cast<double>(wav->samples.size()) / wav->sampleRate, 1.0);

    for (const std::vector<std::string>& alone : { std::vector<std::string> { "--speak", file.string() },
             { "--speak", file.string(), "--live" }, { "--speak", "", "--script", "-" } }) {
        RunResult refused = runProgram("kavrin-host", alone);
        EXPECT_EQ(refused.status, 2) << alone.back();
        EXPECT_NE(refused.err.find("--speak"), std::string::npos) << refused.err;
    }
}

}
}
