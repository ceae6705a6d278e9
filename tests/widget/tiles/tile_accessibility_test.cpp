#include "widget/support/phone_fixture.h"

#include <weeapp/sys/events/run_loop.h>
#include <weeapp/ui/accessibility/accessibility_reader.h>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

class TileAccessibilityTest : public PhoneFixture {
protected:
    std::vector<std::string> readingOrder()
    {
        std::vector<std::string> spoken;
        for (const weeapp::ui::View* element : weeapp::ui::accessibilityElementsInReadingOrder(*controller->view())) {
            const weeapp::ui::AccessibilityDescription description = weeapp::ui::describeAccessibilityElement(*element);
            spoken.push_back(description.label.value_or("") + "|" + description.value.value_or(""));
        }
        return spoken;
    }

    weeapp::ui::View* elementAt(float x, float y)
    {
        const weeapp::ui::Point inWindow = controller->view()->convertPointToView({ x, y }, nullptr);
        return weeapp::ui::accessibilityElementAtPoint(*controller->view(), inWindow);
    }

    std::optional<std::string> firstTileHint() { return tileButtons(*controller->scrollView).at(0)->accessibilityHint(); }
};

// The hint says what a tap does now: any ask-flag shows the choices, otherwise the standard
// action (2 a message, 3 an e-mail, anything else a call); it is read from the settings each
// time, with no rebuild between.
TEST_F(TileAccessibilityTest, HintFollowsTheAskFlagsAndTheStandardAction)
{
    writeFavorites(numberedFavorites(2));
    showWidget();
    const char* const flags[] = { "askForCall", "askForText", "askForMail" };
    for (int mask = 0; mask < 8; ++mask) {
        for (int action : { 0, 1, 2, 3, 4, -1 }) {
            weeapp::sys::Dictionary settings { { "standardAction", Value::integer(action) } };
            for (int flag = 0; flag < 3; ++flag) {
                if (mask & (1 << flag))
                    settings[flags[flag]] = Value::boolean(true);
            }
            writeSettings(settings);
            const char* expected = mask != 0 ? "Shows the choices" : action == 2 ? "Sends a message"
                : action == 3                                                    ? "Writes an e-mail"
                                                                                 : "Calls";
            EXPECT_EQ(firstTileHint(), expected) << "flags " << mask << ", action " << action;
        }
    }
    writeSettings({ { "standardAction", Value::string("3") } });
    EXPECT_EQ(firstTileHint(), "Writes an e-mail");
    std::filesystem::remove(realPath("/private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist"));
    EXPECT_EQ(firstTileHint(), "Calls");
}

// Hints and the page control's value come in the chooser's languages, matched whole; any other
// code, or none, is English.
TEST_F(TileAccessibilityTest, HintsAndPagesInEachLanguage)
{
    writeFavorites(numberedFavorites(6));
    showWidget();
    controller->scrollView->setContentOffset({ 316, 0 });
    struct Expected {
        std::vector<std::string> languages;
        const char* call;
        const char* message;
        const char* mail;
        const char* choices;
        const char* page;
    };
    const std::vector<Expected> table {
        { { "de" }, "Ruft an", "Sendet eine Nachricht", "Schreibt eine E-Mail", "Zeigt die Auswahl", "Seite 2 von 2" },
        { { "fr" }, "Appelle", "Envoie un message", "Écrit un e-mail", "Affiche les choix", "page 2 sur 2" },
        { { "nl" }, "Belt", "Stuurt een bericht", "Schrijft een e-mail", "Toont de keuzes", "pagina 2 van 2" },
        { { "es" }, "Llama", "Envía un mensaje", "Escribe un correo electrónico", "Muestra las opciones", "página 2 de 2" },
        { { "en" }, "Calls", "Sends a message", "Writes an e-mail", "Shows the choices", "page 2 of 2" },
        { { "it", "de" }, "Calls", "Sends a message", "Writes an e-mail", "Shows the choices", "page 2 of 2" },
        { { "de-AT" }, "Calls", "Sends a message", "Writes an e-mail", "Shows the choices", "page 2 of 2" },
        { {}, "Calls", "Sends a message", "Writes an e-mail", "Shows the choices", "page 2 of 2" },
    };
    for (const Expected& expected : table) {
        setLanguages(expected.languages);
        const std::string language = expected.languages.empty() ? "none" : expected.languages.front();
        writeSettings({});
        EXPECT_EQ(firstTileHint(), expected.call) << language;
        writeSettings({ { "standardAction", Value::integer(2) } });
        EXPECT_EQ(firstTileHint(), expected.message) << language;
        writeSettings({ { "standardAction", Value::integer(3) } });
        EXPECT_EQ(firstTileHint(), expected.mail) << language;
        writeSettings({ { "askForText", Value::boolean(true) } });
        EXPECT_EQ(firstTileHint(), expected.choices) << language;
        EXPECT_EQ(controller->pageControl->accessibilityValue(), expected.page) << language;
    }
}

// A standard tile is one element: the name, then the badge's label when badges are shown; the
// name label and the badge are silent. The page control is adjustable, and silent without pages.
TEST_F(TileAccessibilityTest, StandardTileLabels)
{
    writeFavorites({ { "Ada Quell", 1, "_$!<Mobile>!$_", "1" }, { "Bo", 2, "Boat", "2" }, { "Cleo", 3, "", "3" } });
    writeSettings({ { "showLabels", Value::boolean(true) } });
    showWidget();
    EXPECT_EQ(readingOrder(), (std::vector<std::string> { "Ada Quell, mobile|", "Bo, Boat|", "Cleo|", "|page 1 of 1" }));
    const auto buttons = tileButtons(*controller->scrollView);
    EXPECT_EQ(buttons[0]->accessibilityTraits(), weeapp::ui::AccessibilityTraitButton);
    EXPECT_EQ(controller->pageControl->accessibilityTraits(), weeapp::ui::AccessibilityTraitAdjustable);
    for (const weeapp::ui::Label* label : tileLabels(*controller->scrollView))
        EXPECT_FALSE(label->isAccessibilityElement()) << label->text();
    EXPECT_FALSE(buttons[0]->subviews().at(0)->isAccessibilityElement());

    writeSettings({});
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(readingOrder(), (std::vector<std::string> { "Ada Quell|", "Bo|", "Cleo|", "|page 1 of 1" }));

    // Without favorites the standard look has no page to tell of.
    writeFavorites({});
    controller->buildGroundView();
    controller->buildView();
    ASSERT_EQ(controller->pageControl->numberOfPages(), 0);
    EXPECT_EQ(controller->pageControl->accessibilityValue(), std::nullopt);
    EXPECT_EQ(KavrinController().pageControlAccessibilityValue(), std::nullopt) << "before there is a view";
}

// describe's answers: the badge and the name under a photo belong to its tile; the gap between
// tiles, and below the names, is empty space.
TEST_F(TileAccessibilityTest, ElementUnderThePoint)
{
    writeFavorites(numberedFavorites(3));
    writeSettings({ { "showLabels", Value::boolean(true) } });
    showWidget();
    const auto buttons = tileButtons(*controller->scrollView);
    EXPECT_EQ(elementAt(44, 44), buttons[0]); // the photo
    EXPECT_EQ(elementAt(44, 71), buttons[0]); // its badge (y 66 to 76)
    EXPECT_EQ(elementAt(44, 86), buttons[0]); // its name label (y 76 to 96)
    EXPECT_EQ(elementAt(120, 86), buttons[1]);
    EXPECT_EQ(elementAt(82, 44), nullptr);  // between two tiles
    EXPECT_EQ(elementAt(270, 44), nullptr); // beside the last tile
    EXPECT_EQ(elementAt(44, 100), controller->pageControl.get());
    EXPECT_EQ(elementAt(44, 200), nullptr);
}

// A tile that has flipped to show the name beneath it reads as before, in the middle of the
// flip and after it; the name beneath stays silent.
TEST_F(TileAccessibilityTest, FlippedMetroTileReadsLikeItsFront)
{
    writeSettings({ { "metroStyle", Value::boolean(true) } });
    writeFavorites({ { "Ada Quell Senior", 1, "_$!<Mobile>!$_", "1" } });
    showWidget();
    controller->viewDidAppear();
    const std::vector<std::string> front { "Ada Quell Senior|" };
    EXPECT_EQ(readingOrder(), front);
    EXPECT_EQ(elementAt(54, 100), controller->buttons->at(0).get());
    weeapp::sys::RunLoop::main().advance(3.0); // half way through the first flip
    ASSERT_EQ(controller->aniRuns, weeapp::sys::YES);
    EXPECT_EQ(readingOrder(), front);
    weeapp::sys::RunLoop::main().advance(1.0);
    ASSERT_LT(controller->buttons->at(0)->alpha(), 0.5f);
    EXPECT_EQ(readingOrder(), front);
    EXPECT_EQ(elementAt(54, 100), controller->buttons->at(0).get()); // over the uncovered name
}

// The reading order, for 0, 1, 5 and 13 favorites in both looks and on every page: the page in
// view first, then the pages after it, then those before; in the standard look the page control
// last. The page gesture gets there through the widget's own scroll handling, so the page
// control follows.
TEST_F(TileAccessibilityTest, ReadingOrderOnEveryPage)
{
    for (bool metro : { false, true }) {
        for (int count : { 0, 1, 5, 13 }) {
            writeSettings({ { "metroStyle", Value::boolean(metro) } });
            writeFavorites(numberedFavorites(count));
            controller = std::make_unique<KavrinController>();
            showWidget();
            // The default metro pattern: 9 on the first page, 12 on each later one.
            auto pageOf = [metro](int index) { return metro ? (index < 9 ? 0 : 1 + (index - 9) / 12) : index / 4; };
            const int pages = count == 0 ? 1 : pageOf(count - 1) + 1;
            for (int page = 0; page < pages; ++page) {
                const std::string context = (metro ? "metro, " : "standard, ") + std::to_string(count) + " favorites, page " + std::to_string(page);
                EXPECT_EQ(controller->pageControl->currentPage(), page) << context;
                std::vector<std::string> expected;
                for (int step = 0; step < pages; ++step) {
                    for (int index = 0; index < count; ++index) {
                        if (pageOf(index) == (page + step) % pages)
                            expected.push_back("Person " + std::to_string(index) + "|");
                    }
                }
                if (!metro && count > 0)
                    expected.push_back("|page " + std::to_string(page + 1) + " of " + std::to_string(pages));
                EXPECT_EQ(readingOrder(), expected) << context;
                EXPECT_EQ(controller->scrollView->accessibilityScroll(weeapp::ui::AccessibilityScrollDirection::Next), page + 1 < pages) << context;
            }
            for (int page = pages - 1; page > 0; --page)
                EXPECT_TRUE(controller->scrollView->accessibilityScroll(weeapp::ui::AccessibilityScrollDirection::Previous));
            EXPECT_EQ(controller->pageControl->currentPage(), 0);
            EXPECT_EQ(controller->scrollView->contentOffset().x, 0.0f);
        }
    }
}

// The texts a tile hands out never reach a controller that is gone; the views may outlive it.
TEST_F(TileAccessibilityTest, ProvidersOutlivingTheControllerSayNothing)
{
    writeFavorites(numberedFavorites(1));
    showWidget();
    const std::shared_ptr<weeapp::ui::PageControl> pageControl = controller->pageControl;
    const weeapp::ui::ViewPtr tile = tileButtons(*controller->scrollView).at(0)->shared_from_this();
    controller.reset();
    EXPECT_EQ(tile->accessibilityHint(), std::nullopt);
    EXPECT_EQ(tile->accessibilityLabel(), "Person 0");
    EXPECT_EQ(pageControl->accessibilityValue(), std::nullopt);
}

}
}
