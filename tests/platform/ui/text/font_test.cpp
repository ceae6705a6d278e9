#include <weeapp/ui/text/font.h>
#include <weeapp/ui/views/label.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace weeapp::ui;

constexpr Size kUnbounded { 1.0e7f, 1.0e7f };

// Measurement behaves like text: longer and larger text is wider, wrapping adds lines, the box
// caps the height at whole lines, and empty text takes no room.
TEST(Font, MeasuresTextWithPango)
{
    const auto font = Font::fontWithNameSize("Helvetica", 12);
    const Size word = sizeWithFont("Anna", *font, kUnbounded, LineBreakMode::WordWrap);
    const Size name = sizeWithFont("Anna Bergström", *font, kUnbounded, LineBreakMode::WordWrap);
    EXPECT_GT(word.width, 0);
    EXPECT_GT(name.width, word.width);
    EXPECT_EQ(name.height, word.height);
    EXPECT_GE(word.height, 12);
    EXPECT_LT(word.height, 24);

    const Size bigger = sizeWithFont("Anna", *Font::fontWithNameSize("Helvetica", 24), kUnbounded, LineBreakMode::WordWrap);
    EXPECT_GT(bigger.width, word.width * 1.8f);
    EXPECT_GT(bigger.height, word.height * 1.8f);

    const Size wrapped = sizeWithFont("Anna Bergström", *font, { 40, 1000 }, LineBreakMode::WordWrap);
    EXPECT_LE(wrapped.width, 40);
    EXPECT_GE(wrapped.height, 2 * word.height - 1);
    // One unbroken word wider than the box breaks between characters rather than overflow.
    const Size longWord = sizeWithFont("Wolfeschlegelsteinhausen", *font, { 53, 1000 }, LineBreakMode::WordWrap);
    EXPECT_LE(longWord.width, 53);
    EXPECT_GT(longWord.height, word.height);
    // A box one and a half lines high holds one line; a box too low still shows the first.
    EXPECT_EQ(sizeWithFont("Anna Bergström", *font, { 40, word.height * 1.5f }, LineBreakMode::WordWrap).height, word.height);
    EXPECT_EQ(sizeWithFont("Anna Bergström", *font, { 40, 2 }, LineBreakMode::WordWrap).height, word.height);

    EXPECT_EQ(sizeWithFont("", *font, { 53, 53 }, LineBreakMode::WordWrap), (Size { 0, 0 }));
    EXPECT_EQ(widthOfText("", *font), 0);
    // Invalid UTF-8 and odd sizes measure without complaint.
    EXPECT_GT(sizeWithFont(std::string("Bad\xff\xfe bytes\0here", 16), *font, kUnbounded, LineBreakMode::WordWrap).width, 0);
    EXPECT_EQ(sizeWithFont("Anna", Font("Helvetica", 0), kUnbounded, LineBreakMode::WordWrap), (Size { 0, 0 }));
    EXPECT_GT(sizeWithFont("Anna", Font("Helvetica", 1.0e30f), kUnbounded, LineBreakMode::WordWrap).width, 0);
}

// "Helvetica" and its faces resolve to a real font: bold is wider than regular, and the system
// font is Helvetica.
TEST(Font, NamesResolveToFaces)
{
    EXPECT_EQ(Font::systemFontOfSize(17)->fontName(), "Helvetica");
    EXPECT_EQ(Font::systemFontOfSize(17)->pointSize(), 17);
    const float regular = widthOfText("Favorites", Font("Helvetica", 20));
    const float bold = widthOfText("Favorites", Font("Helvetica-Bold", 20));
    EXPECT_GT(bold, regular);
}

// A label that adjusts to fit keeps its size when the text fits, shrinks a long text until one
// line fits, and never goes below its minimum.
TEST(Label, FittedFontSizeShrinksToFit)
{
    auto label = Label::create({ 0, 0, 64, 20 });
    label->setFont(Font::fontWithNameSize("Helvetica", 12));
    label->setMinimumFontSize(9);
    label->setText("Anna");
    EXPECT_EQ(label->fittedFontSize(), 12); // not adjusting yet
    label->setAdjustsFontSizeToFitWidth(true);
    EXPECT_EQ(label->fittedFontSize(), 12);

    label->setText("Annabel Lee");
    const float fitted = label->fittedFontSize();
    EXPECT_LT(fitted, 12);
    EXPECT_GE(fitted, 9);
    if (fitted > 9) {
        EXPECT_LE(widthOfText(label->text(), Font("Helvetica", fitted)), 64);
    }

    label->setText("Maximiliane Theodora von Hohenzollern-Sigmaringen");
    EXPECT_EQ(label->fittedFontSize(), 9);

    label->setNumberOfLines(2); // shrinking applies to one-line labels only
    EXPECT_EQ(label->fittedFontSize(), 12);
}

}
