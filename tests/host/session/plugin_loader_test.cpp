#include "session/plugin_loader.h"
#include "session/plugin_trust.h"
#include "support/host_harness.h"
#include "support/scoped_environment.h"
#include "support/small_file_limit.h"
#include <weeapp/sys/files/phone_root.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace kavrin::testing {
namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A phone root whose plug-ins folder holds, besides the built Kavrin.bundle, a copy of it under
// another name, a bundle whose executable is not a shared object, one without an executable and
// a plain file named like a bundle. host() trusts the folder, so that each is really tried.
class PluginsFolder : public PhoneRoot {
public:
    PluginsFolder()
    {
        fs::path plugins = path() / "System/Library/WeeAppPlugins";
        fs::create_directory_symlink(buildDirectory() / "Kavrin.bundle", plugins / "Copy.bundle");
        writeRaw("System/Library/WeeAppPlugins/Broken.bundle/Broken", "not a shared object");
        fs::create_directories(plugins / "Empty.bundle");
        writeRaw("System/Library/WeeAppPlugins/Aaa.bundle", "a file, not a bundle");
    }
    RunResult host(const std::string& script, std::vector<std::string> options = {}) const
    {
        options.insert(options.begin(), { "--plugins", (path() / "System/Library/WeeAppPlugins").string() });
        return PhoneRoot::host(script, options);
    }
};

// Without --plugin the host tries the bundles by name and takes the first that loads, naming
// each that fails on its way; a plain file named like a bundle is no bundle.
TEST(PluginLoader, TakesTheFirstBundleByNameThatLoads)
{
    PluginsFolder phone;
    // Broken sorts first and fails; Copy, the built widget under another name, loads.
    RunResult result = phone.host("height\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.lines(), std::vector<std::string> { "height 110.0" });
    EXPECT_TRUE(contains(result.err, "plug-in Broken: cannot load")) << result.err;
    EXPECT_FALSE(contains(result.err, "Aaa")) << result.err;
    EXPECT_FALSE(contains(result.err, "Copy")) << result.err;
    EXPECT_FALSE(contains(result.err, "Empty")) << result.err;
}

// --plugin loads only the named bundle: the others are never tried, and when the named one
// fails or is not there the host gives up with status 1 instead of taking another.
TEST(PluginLoader, PluginOptionPicksOneBundle)
{
    PluginsFolder phone;
    RunResult kavrin = phone.host("height\n", { "--plugin", "Kavrin" });
    EXPECT_EQ(kavrin.status, 0) << kavrin.err;
    EXPECT_EQ(kavrin.lines(), std::vector<std::string> { "height 110.0" });
    EXPECT_TRUE(kavrin.err.empty()) << kavrin.err;

    RunResult broken = phone.host("height\n", { "--plugin", "Broken" });
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.out.empty()) << broken.out;
    EXPECT_TRUE(contains(broken.err, "cannot load")) << broken.err;

    RunResult empty = phone.host("height\n", { "--plugin", "Empty" });
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(contains(empty.err, "no widget plug-in at " + (phone.path() / "System/Library/WeeAppPlugins/Empty.bundle/Empty").string()))
        << empty.err;

    for (const char* missing : { "Missing", "Aaa" }) {
        RunResult result = phone.host("height\n", { "--plugin", missing });
        EXPECT_EQ(result.status, 1) << missing;
        EXPECT_TRUE(contains(result.err, std::string("no plug-in ") + missing)) << result.err;
    }
    for (const char* bad : { "", "../Kavrin", "a/b" }) {
        RunResult result = phone.host("height\n", { "--plugin", bad });
        EXPECT_EQ(result.status, 2) << bad;
        EXPECT_TRUE(contains(result.err, "--plugin")) << result.err;
    }
}

// A bundle's Info.plist may name its executable; a name that is empty, holds a slash or is no
// text is passed over for the bundle's own name.
TEST(PluginLoader, TheExecutableIsTheOneTheBundleNames)
{
    PluginsFolder phone;
    const fs::path named = phone.path() / "System/Library/WeeAppPlugins/Named.bundle";
    fs::copy(buildDirectory() / "Kavrin.bundle", named, fs::copy_options::recursive);
    fs::rename(named / "Kavrin", named / "Widget");
    fs::create_directories(named / "sub");
    fs::copy_file(named / "Widget", named / "sub/Widget");
    const auto declare = [&](const std::string& value) {
        std::ofstream(named / "Info.plist") << "<plist version=\"1.0\"><dict><key>CFBundleExecutable</key>" << value << "</dict></plist>";
    };
    declare("<string>Widget</string>");
    RunResult declared = phone.host("height\n", { "--plugin", "Named" });
    EXPECT_EQ(declared.status, 0) << declared.err;
    EXPECT_EQ(declared.lines(), std::vector<std::string> { "height 110.0" });

    for (const char* value : { "<string></string>", "<string>sub/Widget</string>", "<integer>1</integer>" }) {
        declare(value);
        RunResult result = phone.host("height\n", { "--plugin", "Named" });
        EXPECT_EQ(result.status, 1) << value;
        EXPECT_TRUE(contains(result.err, "no widget plug-in at " + (named / "Named").string())) << value << ": " << result.err;
    }
}

// When no bundle loads, every one is named and the host exits with 1.
TEST(PluginLoader, NoLoadableBundleIsStatusOne)
{
    TemporaryFolder root;
    fs::path plugins = root.path() / "System/Library/WeeAppPlugins";
    fs::create_directories(plugins / "Empty.bundle");
    fs::create_directories(plugins / "Broken.bundle");
    std::ofstream(plugins / "Broken.bundle/Broken") << "not a shared object";
    RunResult result = runProgram("kavrin-host", { "--root", root.path().string(), "--plugins", plugins.string(), "--script", "-" }, "height\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_TRUE(contains(result.err, "plug-in Broken: ")) << result.err;
    EXPECT_TRUE(contains(result.err, "plug-in Empty: ")) << result.err;
    EXPECT_TRUE(contains(result.err, "no widget plug-in could be loaded")) << result.err;
}

// The links that lead nowhere are those named like a bundle, listed by name with where they lead:
// not a link to a bundle that is there, not a file named like a bundle, not other files.
TEST(PluginLoader, ListsOnlyBundleLinksThatLeadNowhere)
{
    TemporaryFolder root;
    const fs::path plugins = root.path() / fs::path(weeapp::sys::kPluginsFolder).relative_path();
    fs::create_directories(plugins / "Real.bundle");
    fs::create_directory_symlink(plugins / "Real.bundle", plugins / "Linked.bundle");
    root.write(fs::path(weeapp::sys::kPluginsFolder) / "Aaa.bundle", "a file, not a bundle");
    root.write(fs::path(weeapp::sys::kPluginsFolder) / "0notes", "a file");
    fs::create_symlink("nowhere", plugins / "0nowhere");
    std::vector<std::string> expected;
    for (const char* name : { "Bcd", "Cde", "Def", "Efg", "Fgh", "Ghi" }) {
        fs::create_directory_symlink(std::string("../nowhere/") + name, plugins / (std::string(name) + ".bundle"));
        expected.push_back(std::string(name) + ".bundle -> ../nowhere/" + name);
    }
    weeapp::sys::setPhoneRoot(root.path());
    EXPECT_EQ(host::PluginLoader::danglingBundleLinks(), expected);
    weeapp::sys::setPhoneRoot("/");
}

// A bundle loaded afresh is loaded from a copy in the temporary folder, /tmp when TMPDIR names
// none, and the copy is gone once it is loaded; a copy that cannot be made is not loaded.
TEST(PluginLoader, LoadsAfreshFromACopyInTheTemporaryFolder)
{
    TemporaryFolder root, copies;
    const fs::path bundle = root.path() / fs::path(weeapp::sys::bundlePath("Tiny")).relative_path();
    fs::create_directories(bundle);
    fs::copy_file(KAVRIN_TEST_TINY_RED_BUNDLE, bundle / "Tiny");
    host::PluginTrust trust;
    trust.trust(bundle);
    weeapp::sys::setPhoneRoot(root.path());
    const ScopedEnvironment temporary("TMPDIR", std::nullopt);
    for (const std::optional<std::string>& none : std::vector<std::optional<std::string>> { std::nullopt, "" }) {
        temporary.set(none);
        auto controller = host::PluginLoader::createController("Tiny", trust, host::PluginLoader::Loading::Afresh);
        ASSERT_TRUE(controller.ok()) << controller.error();
        EXPECT_EQ((*controller)->viewHeight(), 60);
    }

    // A copy that cannot be made whole is not loaded, and says so.
    temporary.set(copies.path().string());
    {
        SmallFileLimit limit;
        auto uncopied = host::PluginLoader::createController("Tiny", trust, host::PluginLoader::Loading::Afresh);
        ASSERT_FALSE(uncopied.ok());
        EXPECT_EQ(uncopied.error(), "cannot copy " + fs::canonical(bundle / "Tiny").string() + " into the temporary folder to load it afresh");
    }
    EXPECT_TRUE(fs::is_empty(copies.path()));
    weeapp::sys::setPhoneRoot("/");
}

// A copied phone whose relative bundle link now leads nowhere: the message names the link and
// the command that points it at the bundle again, and that command does.
TEST(PluginLoader, ADanglingBundleLinkIsNamedWithItsFix)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    const fs::path link = phone.path() / "System/Library/WeeAppPlugins/Kavrin.bundle";
    fs::remove(link);
    fs::create_directory_symlink("../../../../elsewhere/Kavrin.bundle", link);
    RunResult result = runProgram("kavrin-host", { "--root", phone.root(), "--script", "-" }, "height\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err, "Kavrin.bundle -> ../../../../elsewhere/Kavrin.bundle leads nowhere")) << result.err;
    EXPECT_TRUE(contains(result.err, "kavrin-demo-phone " + phone.root())) << result.err;

    EXPECT_EQ(runProgram("kavrin-demo-phone", { phone.root() }).status, 0);
    EXPECT_EQ(runProgram("kavrin-host", { "--root", phone.root(), "--script", "-" }, "view\ntap 44 44\n").out, "open tel:+491701234567\n");
}
// A bundle in a phone root runs nothing unless its place is trusted: a shared object whose
// constructor writes a file is refused before it is loaded, in every mode, with status 1 and one
// line naming the bundle and the option; --plugins (or the configuration file) trusts it.
TEST(PluginTrust, AnUntrustedBundleRunsNoCode)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    const fs::path bundle = phone.path() / "System/Library/WeeAppPlugins/Kavrin.bundle";
    fs::remove(bundle);
    fs::create_directories(bundle);
    fs::copy_file(KAVRIN_TEST_CONSTRUCTOR_BUNDLE, bundle / "Kavrin");
    TemporaryFolder work;
    const fs::path written = work.path() / "constructor-ran";
    const ScopedEnvironment constructorFile("KAVRIN_TEST_CONSTRUCTOR_FILE", written.string());
    const ScopedEnvironment noDisplay("DISPLAY", std::nullopt), noWayland("WAYLAND_DISPLAY", std::nullopt);
    const std::string out = (work.path() / "out").string();
    const std::vector<std::vector<std::string>> modes { { "--script", "-" }, { "--protocol", "json" }, { "--out", out },
        { "--gallery", (work.path() / "gallery").string() }, { "--live", "--out", out }, { "--window", "--out", out } };
    for (std::vector<std::string> mode : modes) {
        mode.insert(mode.begin(), { "--root", phone.root() });
        RunResult result = runProgram("kavrin-host", mode, "height\n");
        EXPECT_EQ(result.status, 1) << mode[2] << ": " << result.err;
        EXPECT_FALSE(fs::exists(written)) << mode[2];
        EXPECT_TRUE(contains(result.err, "refused the plug-in " + fs::canonical(bundle).string() + ": ")) << result.err;
        EXPECT_TRUE(contains(result.err, "--plugins " + fs::canonical(bundle).string() + " trusts it")) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }

    RunResult trusted = phone.host("height\n", { "--plugins", bundle.string() });
    EXPECT_EQ(trusted.status, 1);
    EXPECT_TRUE(contains(trusted.err, "has no WeeAppCreateController")) << trusted.err;
    EXPECT_TRUE(fs::exists(written));
    fs::remove(written);

    // The same folder listed in the user's configuration.
    fs::create_directories(work.path() / "config/kavrin");
    std::ofstream(work.path() / "config/kavrin/trusted-plugins") << "# trusted plug-ins\nrelative/is/skipped\n"
                                                                 << phone.root() << '\n';
    const ScopedEnvironment configuration("XDG_CONFIG_HOME", (work.path() / "config").string());
    RunResult configured = phone.host("height\n");
    EXPECT_TRUE(contains(configured.err, "has no WeeAppCreateController")) << configured.err;
    EXPECT_TRUE(fs::exists(written));
}

// The list of trusted folders is found where the desktop keeps configuration: under
// XDG_CONFIG_HOME only when that is an absolute path, else under HOME, else under the file
// system's root, never in the folder the host was started in.
TEST(PluginTrust, FindsItsListWhereTheDesktopKeepsConfiguration)
{
    using host::PluginTrust;
    const ScopedEnvironment config("XDG_CONFIG_HOME", "/configured");
    const ScopedEnvironment home("HOME", "/home/someone");
    EXPECT_EQ(PluginTrust::configurationFile(), "/configured/kavrin/trusted-plugins");
    for (const std::optional<std::string>& ignored : std::vector<std::optional<std::string>> { "relative/config", "", std::nullopt }) {
        config.set(ignored);
        EXPECT_EQ(PluginTrust::configurationFile(), "/home/someone/.config/kavrin/trusted-plugins") << ignored.value_or("(unset)");
    }
    for (const std::optional<std::string>& none : std::vector<std::optional<std::string>> { "", std::nullopt }) {
        home.set(none);
        EXPECT_EQ(PluginTrust::configurationFile(), "/.config/kavrin/trusted-plugins") << none.value_or("(unset)");
    }
}

// A folder trusts only when it exists, once however it is named; the refusal of an executable
// whose bundle folder has gone names the folder the executable really is in.
TEST(PluginTrust, TrustsOnlyFoldersThatExist)
{
    using host::PluginTrust;
    TemporaryFolder work;
    const fs::path executable = work.path() / "elsewhere/Kavrin";
    fs::create_directories(executable.parent_path());
    std::ofstream(executable) << "not loaded";
    fs::create_directory_symlink(work.path() / "elsewhere", work.path() / "link");

    PluginTrust trust;
    trust.trust(work.path() / "missing");
    trust.trust(work.path() / "link");
    trust.trust(work.path() / "elsewhere");
    EXPECT_EQ(trust.places(), std::vector<fs::path> { fs::canonical(work.path() / "elsewhere") });

    PluginTrust nothing;
    nothing.trust(work.path() / "missing");
    EXPECT_TRUE(nothing.places().empty());
    const Result<fs::path> refused = nothing.check(work.path() / "Gone.bundle", executable);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), "refused the plug-in " + fs::canonical(work.path() / "elsewhere").string() + ": it is not in a trusted place, so none of its code was loaded; --plugins " + fs::canonical(work.path() / "elsewhere").string() + " trusts it");
    EXPECT_EQ(trust.check(work.path() / "Gone.bundle", executable).value(), fs::canonical(executable));
}

// The libraries an ELF file names (NEEDED) and the folders it searches for them (RUNPATH), as
// readelf, which is not ours, reads them.
struct DynamicSection {
    std::vector<std::string> needed;
    std::string runpath;
};

DynamicSection dynamicSectionOf(const fs::path& file)
{
    RunResult read = runProgram("/usr/bin/readelf", { "-d", file.string() });
    EXPECT_EQ(read.status, 0) << read.err;
    DynamicSection section;
    for (const std::string& line : read.lines()) {
        const std::size_t open = line.find('['), close = line.rfind(']');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        const std::string value = line.substr(open + 1, close - open - 1);
        if (contains(line, "(NEEDED)"))
            section.needed.push_back(value);
        else if (contains(line, "(RUNPATH)") || contains(line, "(RPATH)"))
            section.runpath = value;
    }
    return section;
}

// No program or bundle of ours loads a library from the folder it is started in: each names its
// folders with no empty entry (which the loader takes for the current folder; the bundle names
// none, as the host it is loaded into has the platform library already), and each, started
// in a folder holding a library under every name it and the bundle need, runs as it should while
// none of those libraries is loaded (their constructor would write a file).
TEST(PluginTrust, NoProgramLoadsALibraryFromTheFolderItStartsIn)
{
    const std::vector<fs::path> binaries { buildDirectory() / "bin/kavrin-host", buildDirectory() / "bin/kavrin-prefs",
        buildDirectory() / "bin/kavrin-demo-phone", buildDirectory() / "Kavrin.bundle/Kavrin" };
    TemporaryFolder planted;
    for (const fs::path& binary : binaries) {
        const DynamicSection section = dynamicSectionOf(binary);
        EXPECT_FALSE(section.needed.empty()) << binary;
        EXPECT_EQ(section.runpath.empty(), binary.filename() == "Kavrin") << binary << ": " << section.runpath;
        EXPECT_FALSE(section.runpath.starts_with(':') || section.runpath.ends_with(':') || contains(section.runpath, "::")) << binary << ": " << section.runpath;
        for (const std::string& name : section.needed)
            fs::copy_file(KAVRIN_TEST_CONSTRUCTOR_BUNDLE, planted.path() / name, fs::copy_options::skip_existing);
    }
    ASSERT_TRUE(fs::exists(planted.path() / "libweeapp.so"));
    ASSERT_TRUE(fs::exists(planted.path() / "libz.so.1"));

    const fs::path written = planted.path() / "constructor-ran";
    const ScopedEnvironment constructorFile("KAVRIN_TEST_CONSTRUCTOR_FILE", written.string());
    for (const char* name : { "kavrin-host", "kavrin-prefs", "kavrin-demo-phone" }) {
        RunResult version = StartedProgram(name, { "--version" }, "", planted.path()).finish();
        EXPECT_EQ(version.status, 0) << name << ": " << version.err;
        EXPECT_FALSE(fs::exists(written)) << name;
    }
    PhoneRoot phone;
    phone.writeDemoPhone();
    RunResult tapped = StartedProgram("kavrin-host", { "--root", phone.root(), "--script", "-" }, "view\ntap 44 44\n", planted.path()).finish();
    EXPECT_EQ(tapped.out, "open tel:+491701234567\n") << tapped.err;
    RunResult set = StartedProgram("kavrin-prefs", { "--root", phone.root(), "set", "showLabels", "yes" }, "", planted.path()).finish();
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_FALSE(fs::exists(written));
}

// A bundle whose executable leads out of it is refused with the folder the executable really is in
// as the advice, so that following the advice loads it (naming the bundle would give the same
// refusal again).
TEST(PluginTrust, TheRefusalsAdviceTrustsWhatItRefused)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder elsewhere;
    fs::copy_file(KAVRIN_TEST_CONSTRUCTOR_BUNDLE, elsewhere.path() / "code.so");
    const fs::path bundle = phone.path() / "System/Library/WeeAppPlugins/Kavrin.bundle";
    fs::remove(bundle);
    fs::create_directories(bundle);
    fs::create_symlink(elsewhere.path() / "code.so", bundle / "Kavrin");
    const fs::path written = elsewhere.path() / "constructor-ran";
    const ScopedEnvironment constructorFile("KAVRIN_TEST_CONSTRUCTOR_FILE", written.string());

    RunResult refused = phone.host("height\n", { "--plugins", bundle.string() });
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(fs::exists(written));
    EXPECT_TRUE(contains(refused.err, "refused the plug-in " + fs::canonical(bundle).string() + ": its executable leads to " + fs::canonical(elsewhere.path() / "code.so").string())) << refused.err;
    const std::string advice = "--plugins ";
    const std::size_t start = refused.err.rfind(advice), end = refused.err.rfind(" trusts it");
    ASSERT_TRUE(start != std::string::npos && end != std::string::npos && end > start) << refused.err;
    const std::string advised = refused.err.substr(start + advice.size(), end - start - advice.size());
    EXPECT_EQ(advised, fs::canonical(elsewhere.path()).string());

    RunResult followed = phone.host("height\n", { "--plugins", bundle.string(), "--plugins", advised });
    EXPECT_TRUE(contains(followed.err, "has no WeeAppCreateController")) << followed.err;
    EXPECT_TRUE(fs::exists(written));
}

// An installed host trusts its bundle folder, not the share/kavrin/ folder around it: with the
// prefix ~/.local that folder is also the host's data folder ($XDG_DATA_HOME/kavrin/), where a
// phone root copied there with a bundle of its own is data like any other and is refused.
TEST(PluginTrust, ARootInTheDataFolderIsRefused)
{
    TemporaryFolder prefix;
    fs::create_directories(prefix.path() / "bin");
    fs::create_directories(prefix.path() / "lib");
    fs::create_directories(prefix.path() / "share/kavrin");
    fs::copy_file(buildDirectory() / "bin/kavrin-host", prefix.path() / "bin/kavrin-host");
    fs::copy_file(buildDirectory() / "lib/libweeapp.so", prefix.path() / "lib/libweeapp.so");
    fs::copy(buildDirectory() / "Kavrin.bundle", prefix.path() / "share/kavrin/Kavrin.bundle", fs::copy_options::recursive);
    const std::string host = (prefix.path() / "bin/kavrin-host").string();

    // The root the host writes for itself there links to the installed bundle, which loads.
    const ScopedEnvironment dataFolder("XDG_DATA_HOME", (prefix.path() / "share").string());
    const ScopedEnvironment noDemoPhone("KAVRIN_DEMO_PHONE", std::nullopt);
    RunResult own = runProgram(host, { "--script", "-" }, "view\ntap 44 44\n");
    EXPECT_EQ(own.out, "open tel:+491701234567\n") << own.err;
    ASSERT_TRUE(fs::is_directory(prefix.path() / "share/kavrin/demo-phone/System/Library/WeeAppPlugins"));

    // A root copied into the data folder, with code of its own in place of the link.
    const fs::path copy = prefix.path() / "share/kavrin/copied-root";
    fs::copy(prefix.path() / "share/kavrin/demo-phone", copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    const fs::path bundle = copy / "System/Library/WeeAppPlugins/Kavrin.bundle";
    fs::remove(bundle);
    fs::create_directories(bundle);
    fs::copy_file(KAVRIN_TEST_CONSTRUCTOR_BUNDLE, bundle / "Kavrin");
    const fs::path written = prefix.path() / "constructor-ran";
    const ScopedEnvironment constructorFile("KAVRIN_TEST_CONSTRUCTOR_FILE", written.string());
    RunResult copied = runProgram(host, { "--root", copy.string(), "--script", "-" }, "height\n");
    EXPECT_EQ(copied.status, 1);
    EXPECT_TRUE(contains(copied.err, "refused the plug-in " + fs::canonical(bundle).string() + ": it is not in a trusted place")) << copied.err;
    EXPECT_FALSE(fs::exists(written));
}

// The demo phone's link into the build is trusted, and so is a build moved elsewhere: the host
// trusts the bundle beside it, wherever it now is.
TEST(PluginTrust, TheBuildsOwnBundleLoadsWhereverTheBuildIs)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    EXPECT_EQ(phone.host("view\ntap 44 44\n").out, "open tel:+491701234567\n");

    TemporaryFolder moved;
    fs::create_directories(moved.path() / "bin");
    fs::create_directories(moved.path() / "lib");
    fs::copy_file(buildDirectory() / "bin/kavrin-host", moved.path() / "bin/kavrin-host");
    fs::copy_file(buildDirectory() / "lib/libweeapp.so", moved.path() / "lib/libweeapp.so");
    fs::copy(buildDirectory() / "Kavrin.bundle", moved.path() / "Kavrin.bundle", fs::copy_options::recursive);
    const fs::path link = phone.path() / "System/Library/WeeAppPlugins/Kavrin.bundle";
    fs::remove(link);
    fs::create_directory_symlink(moved.path() / "Kavrin.bundle", link);
    RunResult fromTheMovedBuild = runProgram((moved.path() / "bin/kavrin-host").string(), { "--root", phone.root(), "--script", "-" }, "view\ntap 44 44\n");
    EXPECT_EQ(fromTheMovedBuild.out, "open tel:+491701234567\n") << fromTheMovedBuild.err;
    // The build's own host does not trust the moved copy.
    RunResult fromTheBuild = phone.host("view\n");
    EXPECT_EQ(fromTheBuild.status, 1);
    EXPECT_TRUE(contains(fromTheBuild.err, "refused")) << fromTheBuild.err;
}

}
}
