// Plain value types shared by the toolkit and its platform layer: window
// handles, message parameters, points and rectangles. Rectangles are
// half-open (right and bottom are outside), as on the system the toolkit was
// first written for, so the width is right - left.
#pragma once

#include <algorithm>
#include <cstdint>

namespace VellumUI {

// A window is named by a small number the platform hands out; 0 is no window.
// A handle is never reused while the process runs, so a stale one is simply
// invalid.
using HWND = std::uint32_t;
constexpr HWND kNoWindow = 0;

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool Intersects(const Rect& o) const {
        return !IsEmpty() && !o.IsEmpty() && left < o.right && o.left < right && top < o.bottom &&
               o.top < bottom;
    }
    Rect Intersect(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.IsEmpty() ? Rect{} : r;
    }
    // The smallest rect holding both; an empty operand adds nothing.
    Rect Union(const Rect& o) const {
        if (IsEmpty()) {
            return o;
        }
        if (o.IsEmpty()) {
            return *this;
        }
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    bool ContainsRect(const Rect& o) const {
        return o.left >= left && o.top >= top && o.right <= right && o.bottom <= bottom;
    }
    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect Inflate(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Mouse messages carry the client point in lparam: x in the low and y in the
// high 16 bits, both signed.
constexpr LPARAM MakePointParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                               static_cast<std::uint16_t>(x));
}
constexpr Point PointFromParam(LPARAM lparam) {
    return {static_cast<std::int16_t>(lparam & 0xFFFF),
            static_cast<std::int16_t>((lparam >> 16) & 0xFFFF)};
}

} // namespace VellumUI
