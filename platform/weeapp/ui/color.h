#pragma once

#include <memory>
#include <optional>
#include <string>

namespace weeapp::ui {

class Color;
using ColorPtr = std::shared_ptr<const Color>;

// Colours are compared by identity: each named accessor returns one shared object.
class Color {
public:
    static ColorPtr whiteColor();
    static ColorPtr blackColor();
    static ColorPtr yellowColor();
    static ColorPtr cyanColor();
    static ColorPtr greenColor();
    static ColorPtr magentaColor();
    static ColorPtr redColor();
    static ColorPtr clearColor();
    static ColorPtr darkTextColor();
    // A new colour every call; components are clamped to 0.0 ... 1.0.
    static ColorPtr colorWithRedGreenBlueAlpha(float red, float green, float blue, float alpha);

    float red() const { return m_red; }
    float green() const { return m_green; }
    float blue() const { return m_blue; }
    float alpha() const { return m_alpha; }
    // "green", "darkText", ... for a named colour, nothing for one made from components.
    const std::optional<std::string>& name() const { return m_name; }

    Color(float red, float green, float blue, float alpha, std::optional<std::string> name = std::nullopt);

private:
    float m_red;
    float m_green;
    float m_blue;
    float m_alpha;
    std::optional<std::string> m_name;
};

}
