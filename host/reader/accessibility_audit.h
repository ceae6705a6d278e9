#pragma once

#include "render/colour_luminance.h"

#include "session/audit_finding.h"
#include "session/host_session.h"

#include <vector>

namespace kavrin::host {

// The smallest touch target, in points, either way.
inline constexpr float kSmallestTouchTarget = 44;
// The least contrast ratio of text against what lies behind it, and of large text (18 points,
// or 14 points bold).
inline constexpr double kLeastTextContrast = 4.5;
inline constexpr double kLeastLargeTextContrast = 3;

// Checks what is on the host's screen now for what a user relies on, and gives what fails,
// sorted (see kAuditRules):
//   label     an interactive element (an enabled control, or an element read as a button or
//             adjustable) that no element with a label speaks for
//   target    an interactive element narrower or lower than kSmallestTouchTarget
//   contrast  shown text whose contrast ratio against the pixels drawn behind its glyphs is
//             below kLeastTextContrast (kLeastLargeTextContrast for large text)
//   ellipsis  shown text cut with an ellipsis whose element's label does not hold it whole
//   overlap   two interactive elements whose visible frames intersect
//   order     an element on screen that the reader reaches after one that is seen after it
//             (top to bottom, left to right)
// While an alert is up only its buttons count (labels and targets): it covers the widget.
// Text is measured on pictures drawn for the purpose, at the largest scale, with the session's
// backdrop; the views are left as they were.
std::vector<AuditFinding> auditScreen(HostSession&);

// The contrast ratio of two relative luminances, 1 to 21 (WCAG 2.1).
double contrastRatio(double luminance, double otherLuminance);

}
