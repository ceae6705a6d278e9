#pragma once

#include "base/exit_status.h"
#include "modes/gallery_index.h"
#include "modes/gallery_states.h"
#include "session/host_session.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace kavrin::host {

// The gallery: one picture of each state of galleryStates(), a contact sheet of them all with
// their captions (gallery.png) and index.html, which shows the sheet and every picture with its
// caption and the settings that made it. Like the demo it changes the phone's files freely, so
// it runs on a scratch copy of the phone.
//
// A folder is only written into when it is new, empty or an earlier gallery (its index.html says
// so); index.html is written first, so that a gallery cut short is still known as one.
class GallerySession {
public:
    GallerySession(HostSession&, std::filesystem::path folder, std::ostream& out, std::ostream& errors);

    // Success when every file was written, Failure when one was not; interruptedStatus() when
    // interrupted between two states. The error says why the folder is not the gallery's to write.
    Result<ExitStatus> run();

    // Whether the folder may take a gallery: missing, empty, or holding an earlier one.
    static bool mayWriteInto(const std::filesystem::path& folder);
    // Whether the folder holds a gallery's index, as --gallery writes it.
    static bool isGallery(const std::filesystem::path& folder);

    // Audits each state as it is drawn, printing "audit FILE RULE ELEMENT FIGURE ..." for each
    // finding; foundFindings() then says whether anything was found.
    void setAudits(bool audits) { m_audits = audits; }
    bool foundFindings() const { return m_found; }

private:
    bool prepare(const GalleryState&);
    bool writeIndex(const std::vector<GalleryState>&);

    HostSession& m_session;
    std::filesystem::path m_folder;
    std::ostream& m_out;
    std::ostream& m_errors;
    std::vector<PointSize> m_sizes; // of the pictures drawn so far
    bool m_audits { false };
    bool m_found { false };
};

}
