#pragma once

#include "desktop/interface/desktop_interface.h"
#include "result.h"

#include <filesystem>
#include <memory>

namespace kavrin::host {

// The desktop module (desktop_interface.h), loaded on demand: only the window and the speech
// need SDL and espeak-ng, so a host that does neither never maps them. Once loaded, the module
// stays for the life of the process.
class DesktopModule {
public:
    // Where the host's module is: KAVRIN_DESKTOP_MODULE_FOLDER from the program's folder, the
    // same in the build tree and in an install.
    static std::filesystem::path defaultFile();

    // The module in the file with every entry point, or why it cannot be used (with the
    // loader's own reason).
    static Result<DesktopModule> load(const std::filesystem::path& file);

    // Each nothing when it cannot start (see desktop_interface.h).
    std::unique_ptr<SpeechSynthesizer> startSynthesizer() const { return std::unique_ptr<SpeechSynthesizer>(m_startSynthesizer()); }
    std::unique_ptr<SpeechPlayer> openSpeechPlayer(int sampleRate) const { return std::unique_ptr<SpeechPlayer>(m_openSpeechPlayer(sampleRate)); }
    std::unique_ptr<DesktopDisplay> startDisplay() const { return std::unique_ptr<DesktopDisplay>(m_startDisplay()); }

private:
    DesktopModule() = default;

    decltype(&kavrinDesktopStartSynthesizer) m_startSynthesizer { nullptr };
    decltype(&kavrinDesktopOpenSpeechPlayer) m_openSpeechPlayer { nullptr };
    decltype(&kavrinDesktopStartDisplay) m_startDisplay { nullptr };
};

}
