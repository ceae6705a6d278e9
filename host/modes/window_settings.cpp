#include "modes/window_settings.h"

#include "base/host_errors.h"
#include "setting_value.h"
#include "settings_change.h"
#include "settings_editor.h"

#include <ostream>

namespace kavrin::host {

WindowSettings::WindowSettings(HostSession& session, std::ostream& out, std::ostream& errors)
    : m_session(session)
    , m_out(out)
    , m_errors(errors)
{
}

bool WindowSettings::handle(char typed)
{
    switch (typed) {
    case 'm':
        toggle("metroStyle");
        return true;
    case 'p':
        cycle("tilesAlign", 1, 4);
        return true;
    case 'c':
        cycle("metroBackground", 1, 7);
        return true;
    case 'l':
        toggle("showLabels");
        return true;
    case 'g':
        toggle("showBg");
        return true;
    case 'f':
        toggle("fiveIcons");
        return true;
    case 'a':
        cycle("standardAction", 1, 3);
        return true;
    case 'o':
        toggle("askForCall");
        return true;
    case 't':
        toggle("askForText");
        return true;
    case 'e':
        toggle("askForMail");
        return true;
    case 'u':
        undo();
        return true;
    default:
        return false;
    }
}

namespace {

weeapp::sys::ValuePtr currentValue(const std::string& key)
{
    return phone_files::SettingsEditor::load(phone_files::settingsFilePath()).value(key);
}

}

void WindowSettings::toggle(const std::string& key)
{
    change(key, weeapp::sys::Value::boolean(!weeapp::sys::boolValue(currentValue(key))));
}

// The value after the one the widget takes now; a value outside the range counts as the first,
// as the widget reads it.
void WindowSettings::cycle(const std::string& key, int first, int last)
{
    int now = weeapp::sys::intValue(currentValue(key));
    if (now < first || now > last)
        now = first;
    change(key, weeapp::sys::Value::integer(now == last ? first : now + 1));
}

void WindowSettings::change(const std::string& key, weeapp::sys::ValuePtr value)
{
    weeapp::sys::ValuePtr previous = currentValue(key);
    phone_files::SettingsChange made = phone_files::setSetting(key, value, m_session.settingsRules());
    if (!notify(made))
        return;
    if (made.outcome == phone_files::SettingsChange::Outcome::Written)
        m_done.push_back({ key, std::move(previous), made.before, made.after, made.keptCopy.empty() });
    say(key, value);
}

void WindowSettings::undo()
{
    if (m_done.empty()) {
        kHostErrors.report(m_errors, "nothing to undo");
        return;
    }
    Change last = std::move(m_done.back());
    m_done.pop_back();
    if (last.byBytes) {
        phone_files::SettingsChange putBack = phone_files::putBackSettings(last.bytesAfter, last.bytesBefore, m_session.settingsRules());
        if (putBack.outcome == phone_files::SettingsChange::Outcome::Written) {
            notify(putBack);
            say(last.key, last.previous);
            return;
        }
    }
    // Someone changed the file since: only the key goes back.
    phone_files::SettingsChange restored = last.previous ? phone_files::setSetting(last.key, last.previous, m_session.settingsRules())
                                                         : phone_files::unsetSetting(last.key, m_session.settingsRules());
    if (notify(restored))
        say(last.key, last.previous);
}

// Posts a change that was made, as kavrin-prefs does; false, said on errors, for one that was not.
bool WindowSettings::notify(const phone_files::SettingsChange& made)
{
    if (!made.note().empty())
        kHostErrors.begin(m_errors) << made.note() << '\n';
    switch (made.outcome) {
    case phone_files::SettingsChange::Outcome::Written:
        m_session.notifySettingsChanged();
        return true;
    case phone_files::SettingsChange::Outcome::Unchanged:
        return true;
    case phone_files::SettingsChange::Outcome::Refused:
    case phone_files::SettingsChange::Outcome::Failed:
        kHostErrors.report(m_errors, made.message);
        return false;
    }
    return false;
}

void WindowSettings::say(const std::string& key, const weeapp::sys::ValuePtr& value)
{
    if (value)
        m_out << "set " << key << ' ' << phone_files::settingValueText(*value) << '\n';
    else
        m_out << "unset " << key << '\n';
}

}
