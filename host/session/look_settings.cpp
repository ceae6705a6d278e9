#include "session/look_settings.h"

#include "settings_change.h"
#include "settings_keys.h"

#include <ostream>

namespace kavrin::host {

bool applyLook(HostSession& session, const Look& look, std::ostream& errors)
{
    auto change = [&](tooling::SettingsEditor& settings) {
        for (const tooling::SettingKey& key : tooling::settingKeys())
            settings.unset(key.name);
        for (const auto& [key, value] : look)
            settings.set(key, value);
        return true;
    };
    tooling::SettingsChange result = tooling::changeSettingsFile(change, false);
    bool written = result.outcome == tooling::SettingsChange::Outcome::Written;
    if (!written)
        errors << result.message << '\n';
    session.notifySettingsChanged();
    session.idle();
    session.scrollTo(0);
    return written;
}

std::string lookText(const Look& look)
{
    std::string text;
    for (const auto& [key, value] : look) {
        if (!text.empty())
            text += ", ";
        text += key + ' ';
        if (value->isBoolean())
            text += value->boolValue() ? "true" : "false";
        else
            text += std::to_string(value->intValue());
    }
    return text.empty() ? "the defaults" : text;
}

}
