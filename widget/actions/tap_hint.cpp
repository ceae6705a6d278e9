#include "controller/kavrin_controller.h"

#include "controller/widget_languages.h"

#include <array>

namespace kavrin {

namespace {

// What a tap on a tile does, said in the languages the chooser speaks.
struct TapHints {
    const char* language;
    const char* call;
    const char* message;
    const char* mail;
    const char* choices;
};

constexpr TapHints kEnglishHints { "", "Calls", "Sends a message", "Writes an e-mail", "Shows the choices" };
constexpr std::array<TapHints, 4> kTranslatedHints { {
    { "de", "Ruft an", "Sendet eine Nachricht", "Schreibt eine E-Mail", "Zeigt die Auswahl" },
    { "fr", "Appelle", "Envoie un message", "Écrit un e-mail", "Affiche les choix" },
    { "nl", "Belt", "Stuurt een bericht", "Schrijft een e-mail", "Toont de keuzes" },
    { "es", "Llama", "Envía un mensaje", "Escribe un correo electrónico", "Muestra las opciones" },
} };
static_assert(followsTheWidgetLanguages(kTranslatedHints), "a hint for each language the widget speaks, in its order");

}

// Read from the settings as a tap would read them at this moment: any ask-flag shows the
// chooser, otherwise the standard action runs.
std::optional<std::string> KavrinController::tileAccessibilityHint()
{
    const TapHints& hints = translationForPreferredLanguage(kTranslatedHints, kEnglishHints);
    const TapDecision decision = decideTap();
    if (decision.showsChooser())
        return hints.choices;
    switch (decision.standardAction) {
    case TapDecision::Action::Message:
        return hints.message;
    case TapDecision::Action::Mail:
        return hints.mail;
    case TapDecision::Action::Call:
        break;
    }
    return hints.call;
}

}
