#include "controller/kavrin_controller.h"

#include "sys/translations.h"
#include "sys/user_defaults.h"

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

const TapHints& hintsForPreferredLanguage()
{
    return sys::translationFor(kTranslatedHints, kEnglishHints, sys::preferredLanguage());
}

enum StandardAction : std::int32_t { kStandardActionMessage = 2, kStandardActionMail = 3 };

}

// Read from the settings as a tap would read them at this moment: any ask-flag shows the
// chooser, otherwise the standard action runs.
std::optional<std::string> KavrinController::tileAccessibilityHint()
{
    const TapHints& hints = hintsForPreferredLanguage();
    const bool askForCall = checkSetting("askForCall");
    const bool askForText = checkSetting("askForText");
    const bool askForMail = checkSetting("askForMail");
    if (askForCall || askForText || askForMail)
        return hints.choices;
    switch (getStandardAction()) {
    case kStandardActionMessage:
        return hints.message;
    case kStandardActionMail:
        return hints.mail;
    default:
        return hints.call;
    }
}

}
