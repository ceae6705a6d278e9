#pragma once

// The widget's images inside its bundle (drawn at build time by make_resources.cpp).
namespace kavrin {

inline constexpr const char* kBackgroundImagePath = "/System/Library/WeeAppPlugins/Kavrin.bundle/WeeAppBackground.png";
inline constexpr const char* kPlaceholderPhotoPath = "/System/Library/WeeAppPlugins/Kavrin.bundle/cImageCom.png";

}
