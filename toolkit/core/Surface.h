// Owning handles of Cairo objects, so that no drawing surface or context
// leaks on an early return. Movable, not copyable. Images shared between
// controls use ImagePtr, a reference-counted surface.
#pragma once

#include <memory>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace VellumUI {

class Surface {
public:
    Surface() = default;
    // Takes over one reference.
    explicit Surface(cairo_surface_t* surface) noexcept : m_surface(surface) {}
    ~Surface();
    Surface(Surface&& other) noexcept : m_surface(other.Release()) {}
    Surface& operator=(Surface&& other) noexcept;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // A fresh ARGB32 image, all pixels 0; null surface for a bad size.
    static Surface CreateARGB32(int width, int height);

    cairo_surface_t* Get() const { return m_surface; }
    cairo_surface_t* Release() noexcept;
    explicit operator bool() const { return m_surface != nullptr; }
    int Width() const;
    int Height() const;

private:
    cairo_surface_t* m_surface = nullptr;
};

class Context {
public:
    Context() = default;
    explicit Context(cairo_surface_t* target);
    ~Context();
    Context(Context&& other) noexcept : m_cr(other.m_cr) { other.m_cr = nullptr; }
    Context& operator=(Context&& other) noexcept;
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    cairo_t* Get() const { return m_cr; }
    explicit operator bool() const { return m_cr != nullptr; }

private:
    cairo_t* m_cr = nullptr;
};

using ImagePtr = std::shared_ptr<cairo_surface_t>;
// Shares `surface`, taking over one reference.
ImagePtr MakeImage(cairo_surface_t* surface);

} // namespace VellumUI
