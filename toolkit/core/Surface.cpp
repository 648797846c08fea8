#include "toolkit/core/Surface.h"

#include <cairo.h>

namespace VellumUI {

Surface::~Surface() {
    if (m_surface) {
        cairo_surface_destroy(m_surface);
    }
}

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this != &other) {
        if (m_surface) {
            cairo_surface_destroy(m_surface);
        }
        m_surface = other.Release();
    }
    return *this;
}

Surface Surface::CreateARGB32(int width, int height) {
    if (width <= 0 || height <= 0) {
        return Surface();
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return Surface();
    }
    return Surface(s);
}

cairo_surface_t* Surface::Release() noexcept {
    cairo_surface_t* s = m_surface;
    m_surface = nullptr;
    return s;
}

int Surface::Width() const {
    return m_surface ? cairo_image_surface_get_width(m_surface) : 0;
}

int Surface::Height() const {
    return m_surface ? cairo_image_surface_get_height(m_surface) : 0;
}

Context::Context(cairo_surface_t* target) : m_cr(target ? cairo_create(target) : nullptr) {}

Context::~Context() {
    if (m_cr) {
        cairo_destroy(m_cr);
    }
}

Context& Context::operator=(Context&& other) noexcept {
    if (this != &other) {
        if (m_cr) {
            cairo_destroy(m_cr);
        }
        m_cr = other.m_cr;
        other.m_cr = nullptr;
    }
    return *this;
}

ImagePtr MakeImage(cairo_surface_t* surface) {
    if (!surface) {
        return nullptr;
    }
    return ImagePtr(surface, [](cairo_surface_t* s) { cairo_surface_destroy(s); });
}

} // namespace VellumUI
