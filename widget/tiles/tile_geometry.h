#pragma once

namespace kavrin {

// Page widths of the two looks, in points.
inline constexpr int kStandardPageWidth = 316;
inline constexpr int kMetroPageWidth = 320;

// A scroll-view child with this tag survives a rebuild; the page control carries it too.
inline constexpr int kKeptViewTag = 9999;

inline constexpr double kFlipDelay = 2.5;

}
