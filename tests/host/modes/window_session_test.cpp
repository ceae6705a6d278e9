#include "support/host_harness.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string_view>

#include <sys/stat.h>

#include <cstdlib>

namespace kavrin::testing {
namespace {

// A program found on PATH, or nothing.
std::optional<fs::path> onPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        fs::path candidate = fs::path(folder) / name;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

// Waits for a child with a deadline; a child still running then is killed.
int waitFor(pid_t pid, int milliseconds)
{
    bool ended = false;
    {
        const weeapp::FileDescriptor pidfd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
        pollfd descriptor { pidfd.get(), POLLIN, 0 };
        ended = !pidfd || poll(&descriptor, 1, milliseconds) > 0;
    }
    if (!ended)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return !ended ? -1 : WIFEXITED(status) ? WEXITSTATUS(status)
                                           : 128 + WTERMSIG(status);
}

// A virtual X display on a free number, for as long as the object lives.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        PipeEnds numbers = makePipe(O_CLOEXEC);
        if (!numbers.read)
            return;
        std::vector<std::string> words { "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp" };
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, numbers.write.get(), 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        numbers.write.reset();
        // Xvfb writes its display number once it accepts clients.
        std::string number;
        while (m_pid > 0) {
            pollfd descriptor { numbers.read.get(), POLLIN, 0 };
            char chunk[32];
            ssize_t got = poll(&descriptor, 1, 30000) > 0 ? read(numbers.read.get(), chunk, sizeof chunk) : -1;
            if (got <= 0)
                break;
            number.append(chunk, static_cast<std::size_t>(got));
            if (number.find('\n') != std::string::npos) {
                m_name = ":" + number.substr(0, number.find('\n'));
                break;
            }
        }
    }
    ~VirtualDisplay()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitFor(m_pid, 30000);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", or empty when the server did not come up.
    const std::string& name() const { return m_name; }

private:
    pid_t m_pid { -1 };
    std::string m_name;
};

// SDL's X11, EGL and D-Bus libraries keep allocations until the process ends, some in modules
// already unloaded by then, which the leak checker can neither free nor name to suppress: under
// the sanitizers a process that starts SDL's video is checked for memory errors, not for leaks.
void keepTheLeakCheckerOffSdlVideo()
{
    if (const char* sanitizer = std::getenv("ASAN_OPTIONS"); sanitizer && !std::string_view(sanitizer).ends_with(":detect_leaks=0"))
        setenv("ASAN_OPTIONS", (std::string(sanitizer) + ":detect_leaks=0").c_str(), 1);
}

// Points the windows that this process starts at the display.
void showWindowsOn(const VirtualDisplay& display)
{
    setenv("DISPLAY", display.name().c_str(), 1);
    keepTheLeakCheckerOffSdlVideo();
}

// Runs xdotool on the display named by DISPLAY and gives its standard output.
std::optional<std::string> xdotool(const std::vector<std::string>& arguments)
{
    TemporaryFolder io;
    std::vector<std::string> words { "xdotool" };
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (io.path() / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    bool started = posix_spawnp(&pid, "xdotool", &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started || waitFor(pid, 30000) != 0)
        return std::nullopt;
    return readFile(io.path() / "out");
}

// Sends the key that closes the window. The window may be gone before the key's release reaches
// it, which xdotool reports as a failure; the host's status tells whether the key did its work.
void quitWith(const std::string& window, const std::string& key)
{
    (void)xdotool({ "key", "--window", window, key });
}

// Presses s in the window and waits for the host to name the picture it saved.
std::optional<fs::path> saveFrame(InteractiveHost& host, const std::string& window)
{
    if (!xdotool({ "key", "--window", window, "s" }))
        return std::nullopt;
    std::optional<std::string> line = host.readLine();
    if (!line || !line->starts_with("saved "))
        return std::nullopt;
    return fs::path(line->substr(6));
}

// The window on a virtual display: a click on the first tile opens its number, s saves the
// frame shown, which equals what render draws at the same scale for the same state (the
// standard look, still, then its second page after the right arrow), and q ends with status 0.
// Skipped only where Xvfb or xdotool is missing; the CI machine installs both.
TEST(WindowSession, ClicksKeysAndSavedFramesUnderXvfb)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    PhoneRoot phone;
    phone.writeDemoPhone();
    phone.writeSettings({ { "showLabels", weeapp::sys::Value::boolean(true) } });
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    showWindowsOn(display);
    TemporaryFolder out;

    ::umask(022);
    InteractiveHost host({ "--root", phone.root(), "--seed", "1", "--window", "--out", out.path().string() });
    ASSERT_TRUE(host.running());
    std::optional<std::string> ready = host.readLine();
    ASSERT_EQ(ready.value_or("(nothing)"), "window ready 640x228");
    std::optional<std::string> found = xdotool({ "search", "--sync", "--onlyvisible", "--pid", std::to_string(host.pid()) });
    ASSERT_TRUE(found && !found->empty());
    std::string window = found->substr(0, found->find('\n'));

    // The first tile's middle, (46, 46) in points, is (92, 92) at scale 2. The pointer is moved
    // there and waited for before the click, so that a window still settling on the display
    // does not lose the press.
    ASSERT_TRUE(xdotool({ "mousemove", "--window", window, "92", "92", "sleep", "0.2", "click", "1" }));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), "open tel:+491701234567");

    const auto savedFrame = [&] { return saveFrame(host, window); };
    std::optional<fs::path> first = savedFrame();
    ASSERT_TRUE(first);
    // A saved frame is a picture like any other: readable by all, as the umask (022 here) allows.
    EXPECT_EQ(fs::status(*first).permissions(), fs::perms(0644));
    ASSERT_TRUE(xdotool({ "key", "--window", window, "Right" }));
    std::optional<fs::path> second = savedFrame();
    ASSERT_TRUE(second);

    RunResult rendered = phone.host("view\nappear\nrender " + (out.path() / "render-1.png").string() + "\npage 2\nrender "
            + (out.path() / "render-2.png").string() + "\n",
        { "--scale", "2" });
    ASSERT_EQ(rendered.status, 0) << rendered.err;
    Picture shownFirst(*first), shownSecond(*second);
    ASSERT_TRUE(shownFirst.valid() && shownSecond.valid());
    EXPECT_EQ(shownFirst.width(), 640);
    EXPECT_TRUE(shownFirst == Picture(out.path() / "render-1.png"));
    EXPECT_TRUE(shownSecond == Picture(out.path() / "render-2.png"));
    EXPECT_FALSE(shownFirst == shownSecond);

    quitWith(window, "q");
    EXPECT_EQ(host.finish(), 0);
}

// SIGINT, SIGTERM and SIGHUP end the window between two frames with 130, 143 and 129, the speech
// written and nothing left in the temporary folder; where there is no sound device, standard
// error holds the host's one line about it and nothing of the sound library.
TEST(WindowSession, SignalsEndItCleanly)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    PhoneRoot phone;
    phone.writeDemoPhone();
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    showWindowsOn(display);
    TemporaryFolder scratch, errors;
    const ScopedEnvironment temporary("TMPDIR", scratch.path().string());
    for (const auto& [signal, status] : { std::pair { SIGINT, 130 }, std::pair { SIGTERM, 143 }, std::pair { SIGHUP, 129 } }) {
        const fs::path speech = scratch.path() / "speech.wav";
        InteractiveHost host({ "--root", phone.root(), "--window", "--speak", speech.string(), "--out", scratch.path().string() }, errors.path() / "err");
        ASSERT_TRUE(host.running());
        ASSERT_TRUE(host.readLine().value_or("").starts_with("window ready"));
        ::kill(host.pid(), signal);
        EXPECT_EQ(host.finish(), status) << signal;
        // Without a sound device the host says so once; the sound library itself says nothing.
        const std::string said = readFile(errors.path() / "err");
        EXPECT_EQ(said.find("ALSA"), std::string::npos) << said;
        EXPECT_TRUE(fs::is_regular_file(speech)) << signal;
        fs::remove(speech);
        EXPECT_TRUE(fs::is_empty(scratch.path())) << signal;
    }
}

// The screen reader of the window, on from the start with --speak: the pointer coming onto a
// tile prints it once (not again while it stays there, again after empty space), the caption
// strip under the widget shows it and the frame saved holds the strip; v turns the reader off
// (the window is the plain picture again, the pointer silent) and on; an alert's buttons are
// read where they are drawn; at the end the WAV file holds the speech. Played on SDL's silent
// sound device, so that the speech goes the way it goes on a desktop.
TEST(WindowSession, TheReaderDescribesWhatThePointerComesOnto)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    PhoneRoot phone;
    phone.writeDemoPhone();
    phone.writeSettings({ { "showLabels", weeapp::sys::Value::boolean(true) }, { "askForCall", weeapp::sys::Value::boolean(true) } });
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    showWindowsOn(display);
    const ScopedEnvironment silentAudio("SDL_AUDIODRIVER", "dummy");
    TemporaryFolder out;
    const fs::path speech = out.path() / "speech.wav";

    InteractiveHost host({ "--root", phone.root(), "--seed", "1", "--window", "--speak", speech.string(), "--out", out.path().string() });
    ASSERT_TRUE(host.running());
    // The widget's 640x228 and the caption strip, 22 points high.
    ASSERT_EQ(host.readLine().value_or("(nothing)"), "window ready 640x272");
    std::optional<std::string> found = xdotool({ "search", "--sync", "--onlyvisible", "--pid", std::to_string(host.pid()) });
    ASSERT_TRUE(found && !found->empty());
    std::string window = found->substr(0, found->find('\n'));
    const auto moveTo = [&](int x, int y) { return xdotool({ "mousemove", "--window", window, std::to_string(x), std::to_string(y) }).has_value(); };
    const auto tile = [](const std::string& label) {
        return "describe {\"label\": \"" + label + "\", \"hint\": \"Shows the choices\", \"traits\": [\"button\"], \"value\": null}";
    };

    ASSERT_TRUE(moveTo(92, 92));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), tile("Anna Lindqvist, mobile"));
    ASSERT_TRUE(moveTo(100, 120)); // the same tile, over its badge
    ASSERT_TRUE(moveTo(250, 92));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), tile("Maria José de la Vega, home"));
    ASSERT_TRUE(moveTo(168, 92)); // between two tiles
    ASSERT_TRUE(moveTo(92, 92));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), tile("Anna Lindqvist, mobile"));

    const auto savedFrame = [&] { return saveFrame(host, window); };
    std::optional<fs::path> captioned = savedFrame();
    ASSERT_TRUE(captioned);
    Picture withCaption(*captioned);
    ASSERT_EQ(withCaption.height(), 272);
    int lettering = 0;
    for (int y = 228; y < 272; ++y) {
        for (int x = 0; x < 640; ++x)
            lettering += withCaption.at(x, y).red > 200 ? 1 : 0;
    }
    EXPECT_GT(lettering, 200) << "the caption strip holds no text";

    ASSERT_TRUE(xdotool({ "key", "--window", window, "v" }));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), "reader off");
    ASSERT_TRUE(moveTo(250, 92));
    std::optional<fs::path> plain = savedFrame(); // the next line: nothing was described
    ASSERT_TRUE(plain);
    RunResult rendered = phone.host("view\nappear\nrender " + (out.path() / "render.png").string() + "\n", { "--scale", "2" });
    ASSERT_EQ(rendered.status, 0) << rendered.err;
    EXPECT_TRUE(Picture(*plain) == Picture(out.path() / "render.png"));

    ASSERT_TRUE(xdotool({ "key", "--window", window, "v" }));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), "reader on");
    ASSERT_TRUE(xdotool({ "mousemove", "--window", window, "92", "92", "click", "1" }));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), tile("Anna Lindqvist, mobile"));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), R"(alert {"title": "Anna Lindqvist", "buttons": ["Cancel", "Call"], "tag": 0})");
    ASSERT_TRUE(moveTo(190, 180));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), R"(describe {"label": "Cancel", "hint": null, "traits": ["button"], "value": null})");
    ASSERT_TRUE(moveTo(450, 180));
    EXPECT_EQ(host.readLine().value_or("(nothing)"), R"(describe {"label": "Call", "hint": null, "traits": ["button"], "value": null})");

    quitWith(window, "q");
    EXPECT_EQ(host.finish(), 0);
    const std::optional<Wav> wav = readWav(speech);
    ASSERT_TRUE(wav);
    // Three tiles and two buttons, each a second or more.
    EXPECT_GT(static_cast<double>(wav->samples.size()) / wav->sampleRate, 5.0);
    EXPECT_GT(loudSamples(*wav), static_cast<std::size_t>(wav->sampleRate));
}

// A window open on a phone root, its X window found; skipped where Xvfb or xdotool is missing.
class OpenWindow {
public:
    OpenWindow(const VirtualDisplay& display, std::vector<std::string> arguments, const fs::path& errors = {})
    {
        showWindowsOn(display);
        m_host = std::make_unique<InteractiveHost>(arguments, errors);
        m_ready = m_host->readLine().value_or("(nothing)");
        std::optional<std::string> found = xdotool({ "search", "--sync", "--onlyvisible", "--pid", std::to_string(m_host->pid()) });
        if (found && !found->empty())
            m_window = found->substr(0, found->find('\n'));
    }
    // A window still open when a test stops early is ended, not waited for.
    ~OpenWindow()
    {
        if (m_host)
            m_host->sendSignal(SIGTERM);
    }
    OpenWindow(const OpenWindow&) = delete;
    OpenWindow& operator=(const OpenWindow&) = delete;

    InteractiveHost& host() { return *m_host; }
    const std::string& ready() const { return m_ready; }
    const std::string& window() const { return m_window; }
    bool key(const std::string& key) { return xdotool({ "key", "--window", m_window, key }).has_value(); }
    bool clickAt(int x, int y) { return xdotool({ "mousemove", "--window", m_window, std::to_string(x), std::to_string(y), "sleep", "0.2", "click", "1" }).has_value(); }
    std::optional<Picture> frame()
    {
        std::optional<fs::path> saved = saveFrame(*m_host, m_window);
        if (!saved)
            return std::nullopt;
        return Picture(*saved);
    }
    int quit()
    {
        quitWith(m_window, "q");
        return m_host->finish();
    }

private:
    std::unique_ptr<InteractiveHost> m_host;
    std::string m_ready;
    std::string m_window;
};

std::string fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The window shows the phone itself: kavrin-prefs from elsewhere rebuilds it within a second, and
// with --watch fewer favorites show at once. Its own keys change the settings file as a user
// would, said on standard output, and u puts the file back byte for byte.
TEST(WindowSession, FollowsThePhoneAndChangesItsSettingsByKey)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    PhoneRoot phone;
    phone.writeDemoPhone();
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    TemporaryFolder out;
    OpenWindow shown(display, { "--root", phone.root(), "--window", "--watch", "--out", out.path().string() });
    ASSERT_EQ(shown.ready(), "window ready 640x228");
    ASSERT_FALSE(shown.window().empty());
    std::optional<Picture> standard = shown.frame();
    ASSERT_TRUE(standard);

    ASSERT_EQ(runProgram("kavrin-prefs", { "--root", phone.root(), "set", "metroStyle", "true" }).status, 0);
    ::usleep(1000000);
    std::optional<Picture> metro = shown.frame();
    ASSERT_TRUE(metro);
    EXPECT_FALSE(*metro == *standard) << "kavrin-prefs did not reach the window";
    const std::string setByPrefs = fileBytes(phone.path() / PhoneRoot::kSettings);

    ASSERT_TRUE(shown.key("m"));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "set metroStyle false");
    EXPECT_FALSE(weeapp::sys::boolValue(weeapp::sys::objectForKey(phone.settings(), "metroStyle")));
    ASSERT_TRUE(shown.key("p"));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "set tilesAlign 2");
    ASSERT_TRUE(shown.key("u"));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "unset tilesAlign");
    ASSERT_TRUE(shown.key("u"));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "set metroStyle true");
    EXPECT_EQ(fileBytes(phone.path() / PhoneRoot::kSettings), setByPrefs);

    phone.writeFavorites({ favorite("Anna Lindqvist", 1, "mobile", "+491701234567") });
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "reloaded");
    std::optional<Picture> oneTile = shown.frame();
    ASSERT_TRUE(oneTile);
    EXPECT_FALSE(*oneTile == *metro);
    EXPECT_EQ(shown.quit(), 0);
}

// A rebuilt bundle's code is what r (and --watch, on its own) shows: the smallest widget, built
// red and then blue, is replaced as a linker replaces its output.
TEST(WindowSession, ReloadRunsTheRebuiltBundle)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    TemporaryFolder root;
    const fs::path bundle = root.path() / "System/Library/WeeAppPlugins/Tiny.bundle";
    fs::create_directories(bundle);
    fs::create_directories(root.path() / "private/var/mobile");
    const auto build = [&](const char* built) {
        fs::copy_file(built, bundle / "Tiny.new", fs::copy_options::overwrite_existing);
        fs::rename(bundle / "Tiny.new", bundle / "Tiny");
    };
    build(KAVRIN_TEST_TINY_RED_BUNDLE);
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    TemporaryFolder out;
    const auto redAt = [](const Picture& picture) { return picture.at(320, 60).red > 200 && picture.at(320, 60).blue < 50; };
    const auto blueAt = [](const Picture& picture) { return picture.at(320, 60).blue > 200 && picture.at(320, 60).red < 50; };
    // The rebuilt code is loaded from a copy in the temporary folder, which is gone once loaded.
    TemporaryFolder temporary;
    const ScopedEnvironment copies("TMPDIR", temporary.path().string());
    for (bool watch : { false, true }) {
        build(KAVRIN_TEST_TINY_RED_BUNDLE);
        std::vector<std::string> arguments { "--root", root.path().string(), "--plugins", bundle.string(), "--window", "--out", out.path().string() };
        if (watch)
            arguments.push_back("--watch");
        OpenWindow shown(display, arguments);
        ASSERT_FALSE(shown.window().empty());
        std::optional<Picture> before = shown.frame();
        ASSERT_TRUE(before && redAt(*before));
        build(KAVRIN_TEST_TINY_BLUE_BUNDLE);
        if (!watch) {
            ASSERT_TRUE(shown.key("r"));
        }
        EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "reloaded") << watch;
        std::optional<Picture> after = shown.frame();
        ASSERT_TRUE(after);
        EXPECT_TRUE(blueAt(*after)) << watch;
        EXPECT_EQ(shown.quit(), 0);
        EXPECT_TRUE(fs::is_empty(temporary.path())) << watch;
    }
}

// A linker writes its output in pieces: --watch reloads once the executable is whole,
// never from a part of it, and the reloaded widget shows the page that was shown.
TEST(WindowSession, WatchReloadsAWholeExecutableOnTheSamePage)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    PhoneRoot phone;
    phone.writeDemoPhone();
    const fs::path bundle = phone.path() / "System/Library/WeeAppPlugins/Kavrin.bundle";
    fs::remove(bundle);
    fs::copy(buildDirectory() / "Kavrin.bundle", bundle, fs::copy_options::recursive);
    const std::string code = fileBytes(bundle / "Kavrin");
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    TemporaryFolder out;
    const fs::path errors = out.path() / "errors";
    OpenWindow shown(display, { "--root", phone.root(), "--plugins", bundle.string(), "--window", "--watch", "--out", out.path().string() }, errors);
    ASSERT_FALSE(shown.window().empty());
    ASSERT_TRUE(shown.key("Right"));
    std::optional<Picture> secondPage = shown.frame();
    ASSERT_TRUE(secondPage);

    {
        // As a linker does: the old file goes, the new one is written in pieces; here half of it,
        // then a round trip through the window while it stands half-written.
        fs::remove(bundle / "Kavrin");
        std::ofstream rebuilt(bundle / "Kavrin", std::ios::binary | std::ios::trunc);
        rebuilt.write(code.data(), static_cast<std::streamsize>(code.size() / 2));
        rebuilt.flush();
        std::optional<Picture> meanwhile = shown.frame();
        ASSERT_TRUE(meanwhile);
        rebuilt.write(code.data() + code.size() / 2, static_cast<std::streamsize>(code.size() - code.size() / 2));
    }
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "reloaded");
    std::optional<Picture> after = shown.frame();
    ASSERT_TRUE(after);
    EXPECT_TRUE(*after == *secondPage);
    EXPECT_EQ(shown.quit(), 0);
    EXPECT_EQ(fileBytes(errors), "");
}

// At 3x a chooser of four buttons is taller than an 800-pixel screen: the window is shrunk to fit
// it, its buttons are clicked where they are shown, and Escape cancels the chooser instead of
// closing the window, which the next Escape does.
TEST(WindowSession, TheChooserFitsTheScreenAndEscapeCancelsIt)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    PhoneRoot phone;
    phone.writeDemoPhone();
    phone.writeSettings({ { "askForCall", weeapp::sys::Value::boolean(true) }, { "askForText", weeapp::sys::Value::boolean(true) }, { "askForMail", weeapp::sys::Value::boolean(true) } });
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    TemporaryFolder out;
    OpenWindow shown(display, { "--root", phone.root(), "--window", "--scale", "3", "--out", out.path().string() });
    ASSERT_EQ(shown.ready(), "window ready 960x342");
    const std::string chooser = R"(alert {"title": "Anna Lindqvist", "buttons": ["Cancel", "Call", "Message", "E-Mail"], "tag": 0})";
    ASSERT_TRUE(shown.clickAt(138, 138));
    ASSERT_EQ(shown.host().readLine().value_or("(nothing)"), chooser);
    std::optional<std::string> geometry = xdotool({ "getwindowgeometry", "--shell", shown.window() });
    ASSERT_TRUE(geometry);
    const auto field = [&](const std::string& name) {
        std::size_t at = geometry->find(name + "=");
        return at == std::string::npos ? -1 : std::stoi(geometry->substr(at + name.size() + 1));
    };
    EXPECT_LE(field("Y") + field("HEIGHT"), 800) << *geometry;
    EXPECT_GE(field("Y"), 0) << *geometry;
    // The E-Mail button's middle, (480, 575) of the 960x903 picture, where the shrunk window shows it.
    const double fit = field("HEIGHT") / 903.0;
    ASSERT_TRUE(shown.clickAt(static_cast<int>(480 * fit), static_cast<int>(575 * fit)));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "open mailto:anna.lindqvist@example.org");

    ASSERT_TRUE(shown.clickAt(138, 138));
    ASSERT_EQ(shown.host().readLine().value_or("(nothing)"), chooser);
    ASSERT_TRUE(shown.key("Escape"));
    std::optional<Picture> cancelled = shown.frame();
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->height(), 342);
    quitWith(shown.window(), "Escape");
    EXPECT_EQ(shown.host().finish(), 0);
}

// The window's clock under the keys: opened paused at 0, ] moves on to the first flip and . one
// frame of 1/60 s into it. Frames taken at one paused moment are equal, and each is the
// picture a script draws after waiting to the same time; the step moved the flip.
TEST(WindowSession, PauseAndStepHoldTheClockWhereTheScriptsWaitWould)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps installs them)";
    PhoneRoot phone;
    phone.writeDemoPhone();
    phone.writeSettings({ { "metroStyle", weeapp::sys::Value::boolean(true) } });
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    TemporaryFolder out;
    // With seed 2 the first flip turns a tile of the first page.
    OpenWindow shown(display, { "--root", phone.root(), "--seed", "2", "--window", "--paused", "--out", out.path().string() });
    ASSERT_FALSE(shown.window().empty());
    ASSERT_TRUE(shown.key("bracketright"));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "time 2.500000");
    std::optional<Picture> atFlip = shown.frame();
    ASSERT_TRUE(atFlip);
    // The size it said when it opened is the size of its frames, the paused clock's strip included.
    EXPECT_EQ(shown.ready(), "window ready " + std::to_string(atFlip->width()) + "x" + std::to_string(atFlip->height()));
    ASSERT_TRUE(shown.key("period"));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "time 2.516667");
    std::optional<Picture> stepped = shown.frame(), again = shown.frame();
    ASSERT_TRUE(atFlip && stepped && again);
    EXPECT_TRUE(*stepped == *again);
    EXPECT_FALSE(*stepped == *atFlip);

    RunResult script = runProgram("kavrin-host", { "--root", phone.root(), "--seed", "2", "--scale", "2", "--script", "-" },
        "view\nappear\nwait 2.5\nrender " + (out.path() / "at-flip.png").string() + "\nwait 0.016666666666666666\nrender "
            + (out.path() / "stepped.png").string() + "\n");
    ASSERT_EQ(script.status, 0) << script.err;
    // The window's frames carry the paused clock's strip under the widget.
    const auto widgetPart = [](const Picture& picture, const Picture& rendered) {
        for (int y = 0; y < rendered.height(); ++y)
            for (int x = 0; x < rendered.width(); ++x)
                if (!picture.near(x, y, rendered.at(x, y), 0))
                    return false;
        return true;
    };
    Picture renderedAtFlip(out.path() / "at-flip.png"), renderedStepped(out.path() / "stepped.png");
    EXPECT_TRUE(widgetPart(*atFlip, renderedAtFlip));
    EXPECT_TRUE(widgetPart(*stepped, renderedStepped));
    EXPECT_GT(stepped->height(), renderedStepped.height());

    ASSERT_TRUE(shown.key("plus"));
    EXPECT_EQ(shown.host().readLine().value_or("(nothing)"), "speed 2");
    ASSERT_TRUE(shown.key("space"));
    EXPECT_TRUE(shown.host().readLine().value_or("(nothing)").starts_with("running 2.51"));
    EXPECT_EQ(shown.quit(), 0);
}

// Without a display the window is refused with status 2 and a pointer to the other ways.
TEST(WindowSession, NoDisplayGivesStatus2)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    const ScopedEnvironment noDisplay("DISPLAY", std::nullopt), noWayland("WAYLAND_DISPLAY", std::nullopt);
    RunResult result = runProgram("kavrin-host", { "--root", phone.root(), "--window" });
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("use --script or --live"), std::string::npos) << result.err;

    // A display that does not answer: SDL would fall back to a driver that shows nothing, and the
    // window would never be seen nor end. Only a user who names that driver gets it.
    noDisplay.set(":99");
    keepTheLeakCheckerOffSdlVideo();
    RunResult wrong = runProgram("kavrin-host", { "--root", phone.root(), "--window" });
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("use --script or --live"), std::string::npos) << wrong.err;
}

}
}
