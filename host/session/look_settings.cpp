#include "session/look_settings.h"

#include "base/host_errors.h"
#include "settings_change.h"
#include "settings_keys.h"

#include <ostream>
#include <vector>

namespace kavrin::host {

bool applyLook(HostSession& session, const Look& look, std::ostream& errors)
{
    // Every key the widget reads goes, then the look's keys come, in one change of the file.
    std::vector<phone_files::SettingEdit> edits;
    for (const phone_files::SettingKey& key : phone_files::settingKeys())
        edits.emplace_back(key.name, nullptr);
    for (const auto& [key, value] : look)
        edits.emplace_back(key, value);
    phone_files::SettingsChange result = phone_files::editSettings(edits, {});
    using Outcome = phone_files::SettingsChange::Outcome;
    bool written = result.outcome == Outcome::Written || result.outcome == Outcome::Unchanged;
    if (!written)
        kHostErrors.report(errors, result.message);
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
