#include "reader/spoken_text.h"

#include <weeapp/sys/translations.h>

#include <array>

namespace kavrin::host {

namespace {

struct TraitWords {
    const char* language;
    const char* button;
    const char* image;
    const char* adjustable;
};

constexpr TraitWords kEnglishWords { "", "button", "image", "adjustable" };
constexpr std::array<TraitWords, 4> kTranslatedWords { {
    { "de", "Taste", "Bild", "anpassbar" },
    { "fr", "bouton", "image", "réglable" },
    { "nl", "knop", "afbeelding", "aanpasbaar" },
    { "es", "botón", "imagen", "ajustable" },
} };

const TraitWords& wordsFor(const std::string& language)
{
    return weeapp::sys::translationFor(kTranslatedWords, kEnglishWords, language.substr(0, language.find('-')));
}

void addSentence(std::string& text, const std::string& sentence)
{
    if (sentence.empty())
        return;
    if (!text.empty())
        text += ". ";
    text += sentence;
}

}

std::string spokenText(const weeapp::ui::AccessibilityDescription& description, const std::string& language)
{
    const TraitWords& words = wordsFor(language);
    std::string text;
    addSentence(text, description.label.value_or(""));
    addSentence(text, description.value.value_or(""));
    if (description.traits & weeapp::ui::AccessibilityTraitButton)
        addSentence(text, words.button);
    if (description.traits & weeapp::ui::AccessibilityTraitImage)
        addSentence(text, words.image);
    if (description.traits & weeapp::ui::AccessibilityTraitAdjustable)
        addSentence(text, words.adjustable);
    addSentence(text, description.hint.value_or(""));
    return text;
}

}
