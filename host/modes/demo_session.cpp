#include "modes/demo_session.h"
#include "base/host_errors.h"

#include "base/interruption.h"
#include "modes/flip_search.h"
#include <weeapp/sys/user_defaults.h>

#include <functional>
#include <ostream>
#include <vector>

namespace kavrin::host {

namespace {

// The centre of the first standard tile, in the widget's coordinates.
constexpr weeapp::ui::Point kFirstStandardTile { 44, 44 };
// A flip of 1 s and a moment of rest after it; the moment of a flip a third of the way in.
constexpr double kRecordedFlip = 1.4;
constexpr double kFlipMoment = 0.35;

weeapp::sys::ValuePtr yes() { return weeapp::sys::Value::boolean(true); }
weeapp::sys::ValuePtr number(int value) { return weeapp::sys::Value::integer(value); }

}

DemoSession::DemoSession(HostSession& session, std::filesystem::path outputFolder, std::ostream& out, std::ostream& errors)
    : m_session(session)
    , m_folder(std::move(outputFolder))
    , m_out(out)
    , m_errors(errors)
{
}

void DemoSession::applySettings(const Look& look)
{
    // Every key the widget reads is set at every step, so that each picture shows one look.
    if (!applyLook(m_session, look, m_errors))
        m_failed = true;
}

bool DemoSession::picture(const char* name)
{
    std::filesystem::path file = m_folder / name;
    if (auto written = m_session.renderToFile(file); !written) {
        kHostErrors.report(m_errors, written.error());
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
        kHostErrors.report(m_errors, written.error());
        m_failed = true;
        return false;
    }
    m_out << "animation " << file.string() << '\n';
    return true;
}

ExitStatus DemoSession::run()
{
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    weeapp::sys::UserDefaults& defaults = weeapp::sys::UserDefaults::standardUserDefaults();
    weeapp::sys::ValuePtr languages = defaults.objectForKey(weeapp::sys::kAppleLanguagesKey);

    // One look a step; an interruption ends the demo between two of them.
    std::vector<std::function<void()>> steps {
        [&] {
            applySettings({ { "showLabels", yes() }, { "showBg", yes() } });
            m_session.showView();
            m_session.viewDidAppear();
            picture("standard.png");
        },
        [&] {
            m_session.scrollTo(316);
            picture("standard-page-2.png");
        },
        [&] {
            applySettings({ { "showLabels", yes() }, { "showBg", yes() }, { "fiveIcons", yes() } });
            picture("five-per-page.png");
        },
    };
    const int backgrounds[] = { 1, 3, 4, 5 };
    for (int pattern = 1; pattern <= 4; ++pattern) {
        steps.push_back([&, pattern] {
            applySettings({ { "metroStyle", yes() }, { "tilesAlign", number(pattern) }, { "metroBackground", number(backgrounds[pattern - 1]) } });
            std::string name = "metro-pattern-" + std::to_string(pattern) + ".png";
            picture(name.c_str());
        });
    }
    steps.push_back([&] {
        // A flip takes 1 s and the next follows 2.5 s after it, on a random tile, while the
        // widget is on screen; the recording is of one that turns a tile of the page, from its
        // start, and the moment is a third into the next such flip.
        applySettings({ { "metroStyle", yes() }, { "metroBackground", number(6) } });
        m_session.viewDidAppear();
        advanceToVisibleFlip(m_session, 0);
        animation("metro-flip.png", kRecordedFlip);
        advanceToVisibleFlip(m_session, kFlipMoment);
        picture("metro-flip-moment.png");
        m_session.viewDidDisappear();
    });
    steps.push_back([&] {
        applySettings({ { "showLabels", yes() }, { "showBg", yes() }, { "askForCall", yes() }, { "askForText", yes() }, { "askForMail", yes() } });
        defaults.setObjectForKey(weeapp::sys::Value::array({ weeapp::sys::Value::string("de") }), weeapp::sys::kAppleLanguagesKey);
        m_session.tap(kFirstStandardTile);
        picture("chooser-de.png");
        if (m_session.visibleAlert())
            (void)m_session.press(0);
        defaults.setObjectForKey(languages, weeapp::sys::kAppleLanguagesKey);
    });
    steps.push_back([&] {
        applySettings({ { "showLabels", yes() }, { "showBg", yes() } });
        m_out << "a tap on the first tile:\n";
        m_session.tap(kFirstStandardTile);
        m_session.idle();
    });

    for (const std::function<void()>& step : steps) {
        if (interrupted())
            return interruptedStatus();
        step();
        m_out.flush();
    }
    if (interrupted())
        return interruptedStatus();
    return m_failed ? ExitStatus::Failure : ExitStatus::Success;
}

}
