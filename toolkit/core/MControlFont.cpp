#include "toolkit/core/MControlFont.h"

#include "toolkit/core/Manager.h"
#include "toolkit/core/PaintManager.h"

namespace VellumUI {

MControlFont::MControlFont()
    : m_fontName(Manager::GetFontName()), m_fontPixels(Manager::GetFontWidth()) {}

void MControlFont::TakeImage(const ImgResInfo& info) {
    m_image = info.image;
    m_frameWidth = info.frameWidth;
    m_frameHeight = info.frameHeight;
    m_imageFrames = info.frames;
    m_imagePath = info.name;
}

bool MControlFont::SetImage(unsigned resourceId, const std::wstring& type, int frames) {
    if (!m_manager) {
        return false;
    }
    const ImgResInfo* info = m_manager->AddImgResInfo(resourceId, type, frames, false);
    if (!info) {
        info = m_manager->AddImgResInfo(resourceId, type, frames, true);
    }
    if (!info) {
        return false;
    }
    TakeImage(*info);
    UpdateControl(true);
    return true;
}

bool MControlFont::SetImage(const std::wstring& file, int frames) {
    if (!m_manager) {
        return false;
    }
    const ImgResInfo* info = m_manager->AddImgResInfo(file, frames);
    if (!info) {
        return false;
    }
    TakeImage(*info);
    UpdateControl(true);
    return true;
}

void MControlFont::SetTitle(const std::wstring& text) {
    if (text == m_title) {
        return;
    }
    SetControlTitle(text);
    UpdateControl(true);
}

void MControlFont::SetAlignment(int h) {
    if (h == m_hAlign) {
        return;
    }
    m_hAlign = h;
    UpdateControl(true);
}

void MControlFont::SetAlignment(int h, int v) {
    if (h == m_hAlign && v == m_vAlign) {
        return;
    }
    m_hAlign = h;
    m_vAlign = v;
    UpdateControl(true);
}

void MControlFont::SetVAlignment(int v) {
    if (v == m_vAlign) {
        return;
    }
    m_vAlign = v;
    UpdateControl(true);
}

void MControlFont::SetFont(const std::wstring& face, int pixels, int style) {
    m_fontName = face;
    m_fontPixels = pixels;
    m_fontStyle = style;
}

MFont MControlFont::GetDrawFont() const {
    MFont font;
    font.face = m_manager ? m_manager->FindTempFont(m_fontName) : Manager::GetFontName();
    font.pixels = m_fontPixels;
    font.style = m_fontStyle;
    return font;
}

} // namespace VellumUI
