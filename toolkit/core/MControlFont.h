// A control with a title, a font, a text colour, alignment and a skin image
// strip: the base of almost every visible control. Owned like any MControl;
// UI thread only.
#pragma once

#include "toolkit/core/MControl.h"
#include "toolkit/core/MRender.h"
#include "toolkit/core/Manager.h"

namespace VellumUI {

class MControlFont : public MControl {
public:
    MControlFont();

    virtual void SetTextFont(const std::wstring& face) { m_fontName = face; }
    // ARGB.
    virtual void SetTextColor(std::uint32_t argb) { m_textColour = argb; }
    // Loads an image resource (the toolkit's, or the program's when the
    // toolkit has none of that id) through the window's cache.
    virtual bool SetImage(unsigned resourceId, const std::wstring& type, int frames);
    // Loads a skin file through the window's cache and repaints; false when
    // there is no manager yet or the image cannot be loaded (the previous
    // image stays).
    virtual bool SetImage(const std::wstring& file, int frames);
    virtual void SetControlTitle(const std::wstring& text) { m_title = text; }
    virtual std::wstring GetControlTitle() const { return m_title; }

    void SetTitle(const std::wstring& text);
    const std::wstring& GetTitle() const { return m_title; }
    void SetAlignment(int h);
    void SetAlignment(int h, int v);
    void SetVAlignment(int v);
    int GetAlignment() const { return m_hAlign; }
    int GetVAlignment() const { return m_vAlign; }
    // Sets all three without repainting.
    void SetFont(const std::wstring& face, int pixels, int style);
    void SetFontWidth(int pixels) { m_fontPixels = pixels; }
    void SetFontStyle(int style) { m_fontStyle = style; }
    const std::wstring& GetFontName() const { return m_fontName; }
    int GetFontWidth() const { return m_fontPixels; }
    int GetFontStyle() const { return m_fontStyle; }
    std::uint32_t GetTextColor() const { return m_textColour; }
    // The font text is drawn with: the toolkit's face (whatever face the
    // control stores) at the control's size and style.
    MFont GetDrawFont() const;
    // The font for the platform's own text (hosted entries): the toolkit's
    // face at the control's size and style.
    MFont GetGDIFont() const { return {Manager::GetFontName(), m_fontPixels, m_fontStyle}; }
    void SetImageCount(int frames) { m_imageFrames = frames; }

    // The skin strip.
    cairo_surface_t* GetImage() const { return m_image.get(); }
    int GetFrameWidth() const { return m_frameWidth; }
    int GetFrameHeight() const { return m_frameHeight; }
    int GetImageCount() const { return m_imageFrames; }
    const std::wstring& GetImagePath() const { return m_imagePath; }

protected:
    void TakeImage(const struct ImgResInfo& info);

    std::wstring m_title;
    std::wstring m_fontName;
    int m_fontPixels;
    int m_fontStyle = 0;
    std::uint32_t m_textColour = 0xFFFFFFFF;
    int m_hAlign = 0;
    int m_vAlign = 4;
    int m_renderingHint = 5;
    ImagePtr m_image;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_imageFrames = 4;
    std::wstring m_imagePath;
};

} // namespace VellumUI
