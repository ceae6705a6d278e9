#include "demo_session.h"

#include "settings_editor.h"
#include "settings_lock.h"
#include "sys/file_reading.h"
#include "sys/user_defaults.h"

#include <fstream>
#include <optional>
#include <ostream>

namespace kavrin::host {

namespace {

// The settings that shape the view, all set at every step so that each picture shows one look.
constexpr const char* kShapingKeys[] = { "metroStyle", "fiveIcons", "showLabels", "showBg", "tilesAlign", "metroBackground",
    "askForCall", "askForText", "askForMail", "standardAction", "animateMetrosOff" };

// The centre of the first standard tile, in the widget's coordinates.
constexpr ui::Point kFirstStandardTile { 44, 44 };

// The settings file as the demo found it, put back afterwards. Something other than a regular
// file in its place is neither read nor touched (the demo's own writes leave it alone too).
struct SavedFile {
    std::filesystem::path path;
    bool existed { false };
    std::optional<std::string> bytes;

    explicit SavedFile(std::filesystem::path file) : path(std::move(file))
    {
        std::error_code ignored;
        existed = std::filesystem::exists(path, ignored);
        bytes = sys::readWholeFile(path.string());
    }
    void restore() const
    {
        tooling::SettingsLock lock;
        std::error_code ignored;
        if (!existed) {
            if (!tooling::isSomethingElse(path.string()))
                std::filesystem::remove(path, ignored);
            return;
        }
        if (!bytes)
            return;
        std::filesystem::path temporary = path;
        temporary += ".demo-restore";
        std::ofstream(temporary, std::ios::binary | std::ios::trunc) << *bytes;
        std::filesystem::rename(temporary, path, ignored);
    }
};

sys::ValuePtr yes() { return sys::Value::boolean(true); }
sys::ValuePtr number(int value) { return sys::Value::integer(value); }

}

DemoSession::DemoSession(HostSession& session, std::filesystem::path outputFolder, std::ostream& out)
    : m_session(session)
    , m_folder(std::move(outputFolder))
    , m_out(out)
{
}

void DemoSession::applySettings(std::initializer_list<std::pair<const char*, sys::ValuePtr>> values)
{
    std::string path = tooling::settingsFilePath();
    {
        tooling::SettingsLock lock;
        tooling::SettingsEditor settings = tooling::SettingsEditor::load(path);
        for (const char* key : kShapingKeys)
            settings.unset(key);
        for (const auto& [key, value] : values)
            settings.set(key, value);
        if (!settings.save(path)) {
            m_out << tooling::settingsWriteFailure(path) << '\n';
            m_failed = true;
        }
    }
    m_session.notifySettingsChanged();
    m_session.idle();
    m_session.scrollTo(0);
}

bool DemoSession::picture(const char* name)
{
    std::filesystem::path file = m_folder / name;
    if (auto written = m_session.renderToFile(file); !written) {
        m_out << written.error() << '\n';
        m_failed = true;
        return false;
    }
    m_out << "picture " << file.string() << '\n';
    return true;
}

bool DemoSession::animation(const char* name, double seconds)
{
    std::filesystem::path file = m_folder / name;
    if (auto written = m_session.recordToFile(file, seconds); !written) {
        m_out << written.error() << '\n';
        m_failed = true;
        return false;
    }
    m_out << "animation " << file.string() << '\n';
    return true;
}

int DemoSession::run()
{
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    SavedFile settings(tooling::settingsFilePath());
    sys::ValuePtr languages = sys::UserDefaults::standardUserDefaults().objectForKey(sys::kAppleLanguagesKey);

    applySettings({ { "showLabels", yes() }, { "showBg", yes() } });
    m_session.showView();
    m_session.viewDidAppear();
    picture("standard.png");
    m_session.scrollTo(316);
    picture("standard-page-2.png");

    applySettings({ { "showLabels", yes() }, { "showBg", yes() }, { "fiveIcons", yes() } });
    picture("five-per-page.png");

    const int backgrounds[] = { 1, 3, 4, 5 };
    for (int pattern = 1; pattern <= 4; ++pattern) {
        applySettings({ { "metroStyle", yes() }, { "tilesAlign", number(pattern) }, { "metroBackground", number(backgrounds[pattern - 1]) } });
        std::string name = "metro-pattern-" + std::to_string(pattern) + ".png";
        picture(name.c_str());
    }

    // A metro rebuild schedules the first flip 2.5 s later; each flip takes 1 s and the next
    // follows 2.5 s after it, while the widget is on screen.
    applySettings({ { "metroStyle", yes() }, { "metroBackground", number(6) } });
    m_session.viewDidAppear();
    m_session.advance(2.3);
    animation("metro-flip.png", 5.0);
    m_session.advance(9.85 - 7.3);
    picture("metro-flip-moment.png");
    m_session.viewDidDisappear();

    applySettings({ { "showLabels", yes() }, { "showBg", yes() }, { "askForCall", yes() }, { "askForText", yes() }, { "askForMail", yes() } });
    sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::array({ sys::Value::string("de") }), sys::kAppleLanguagesKey);
    m_session.tap(kFirstStandardTile);
    picture("chooser-de.png");
    if (m_session.visibleAlert())
        (void)m_session.press(0);
    sys::UserDefaults::standardUserDefaults().setObjectForKey(languages, sys::kAppleLanguagesKey);

    applySettings({ { "showLabels", yes() }, { "showBg", yes() } });
    m_out << "a tap on the first tile:\n";
    m_session.tap(kFirstStandardTile);
    m_session.idle();

    settings.restore();
    return m_failed ? 1 : 0;
}

}
