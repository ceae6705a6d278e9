#pragma once

namespace weeapp::ui {

// Points, as the frameworks' 32-bit floats.
struct Point {
    float x { 0 };
    float y { 0 };
    bool operator==(const Point&) const = default;
};

struct Size {
    float width { 0 };
    float height { 0 };
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(float x, float y, float width, float height)
        : origin { x, y }
        , size { width, height } { }

    float x() const { return origin.x; }
    float y() const { return origin.y; }
    float width() const { return size.width; }
    float height() const { return size.height; }
    float maxX() const { return origin.x + size.width; }
    float maxY() const { return origin.y + size.height; }
    // Half-open: the left and top edges belong to the rectangle, the right and bottom do not.
    bool contains(Point point) const { return point.x >= origin.x && point.y >= origin.y && point.x < maxX() && point.y < maxY(); }
    bool operator==(const Rect&) const = default;
};

struct EdgeInsets {
    float top { 0 };
    float left { 0 };
    float bottom { 0 };
    float right { 0 };
    bool operator==(const EdgeInsets&) const = default;
};

}
