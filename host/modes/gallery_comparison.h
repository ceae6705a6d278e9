#pragma once

#include "base/exit_status.h"
#include "modes/gallery_states.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

class TextLayouts;

// A gallery compared with an earlier one, state by state: the share of each picture's pixels
// that changed, a diff picture for each changed state in diff/ (the new picture faded, the
// changed pixels in magenta over it) and diff.html, which shows old, new and diff side by side.
// A state whose share is within the tolerance counts as the same, everywhere. What an earlier
// comparison wrote into the old gallery (its diff sheet and diff/) is no state of it.
// When any state changed, diff.png puts old, new and diff of each side by side on one sheet.
// Prints "changed FILE SHARE" for each changed state, "only-new FILE" and "only-old FILE" for
// states only one gallery has, "diff sheet PATH" and "diff PATH" for the sheet and the page.
class GalleryComparison {
public:
    // tolerance: the share of a state's pixels that may change before it counts as changed;
    // scale: the galleries' pixels to a point.
    GalleryComparison(std::filesystem::path newFolder, std::filesystem::path oldFolder, double tolerance, int scale, TextLayouts&, std::ostream& out,
        std::ostream& errors);

    // Why the new gallery cannot be compared with the old folder, before either is written: the old
    // one is no gallery, or it is the new one's own folder (which the new pictures would replace).
    static std::optional<std::string> refusal(const std::filesystem::path& newFolder, const std::filesystem::path& oldFolder);

    // Success when every state is as it was (within the tolerance) and both galleries have the
    // same states; Failure when any changed, is missing on one side, or the page could not be
    // written.
    ExitStatus run(const std::vector<GalleryState>& states);

private:
    std::filesystem::path m_new;
    std::filesystem::path m_old;
    double m_tolerance;
    int m_scale;
    TextLayouts& m_layouts;
    std::ostream& m_out;
    std::ostream& m_errors;
};

}
