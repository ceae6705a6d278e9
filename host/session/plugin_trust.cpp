#include "session/plugin_trust.h"

#include "demo_phone.h"
#include "demo_phone_location.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace kavrin::host {

namespace fs = std::filesystem;

namespace {

// Whether path is place itself or lies under it, both real paths.
bool within(const fs::path& path, const fs::path& place)
{
    return std::mismatch(place.begin(), place.end(), path.begin(), path.end()).first == place.end();
}

}

fs::path PluginTrust::configurationFile()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return fs::path(config) / "kavrin" / "trusted-plugins";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / ".config" / "kavrin" / "trusted-plugins";
}

PluginTrust PluginTrust::standard(const std::vector<fs::path>& named)
{
    PluginTrust trust;
    trust.trust(phone_files::builtBundleFolder());
    if (fs::path program = phone_files::programFolder(); !program.empty())
        trust.trust(program.parent_path() / "share" / "kavrin");
    std::ifstream configured(configurationFile());
    for (std::string line; std::getline(configured, line);) {
        if (line.starts_with('/'))
            trust.trust(line);
    }
    for (const fs::path& folder : named)
        trust.trust(folder);
    return trust;
}

void PluginTrust::trust(const fs::path& folder)
{
    std::error_code error;
    fs::path real = fs::canonical(folder, error);
    if (!error && std::ranges::find(m_places, real) == m_places.end())
        m_places.push_back(std::move(real));
}

Result<fs::path> PluginTrust::check(const fs::path& bundleFolder, const fs::path& executable) const
{
    std::error_code error;
    fs::path real = fs::canonical(executable, error);
    if (error)
        return Error { "no widget plug-in at " + executable.string() };
    if (std::ranges::any_of(m_places, [&](const fs::path& place) { return within(real, place); }))
        return real;
    // Named by its real place: the phone root's link to it may be one of a scratch copy.
    fs::path realBundle = fs::canonical(bundleFolder, error);
    if (error)
        realBundle = real.parent_path();
    return Error { "refused the plug-in " + realBundle.string() + ": it is not in a trusted place, so none of its code was loaded; --plugins "
        + realBundle.string() + " trusts it" };
}

}
