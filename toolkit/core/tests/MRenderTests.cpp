// Drawing helpers, text measurement and the toolkit's fonts.
#include "toolkit/core/Fonts.h"
#include "toolkit/core/MRender.h"
#include "toolkit/core/Resources.h"
#include "toolkit/core/tests/TestControls.h"
#include "toolkit/platform/Utf.h"
#include "tools/testing/TestEnvironment.h"

#include <cairo.h>
#include <cstring>
#include <filesystem>
#include <fontconfig/fontconfig.h>

namespace VellumUI::Testing {
namespace {

std::uint32_t Pixel(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    std::uint32_t p;
    std::memcpy(&p, cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + x * 4,
                4);
    return p;
}

void Fill(cairo_surface_t* s, const Rect& r, std::uint32_t argb) {
    Context cr(s);
    MRender::DrawColor(cr.Get(), r, argb);
}

TEST(MRender, OriginPointByAlignment) {
    struct Case {
        int h, v;
        Point expected;
    } cases[] = {
        {0, 0, {0, 0}}, {1, 4, {40, 15}}, {2, 8, {80, 30}}, {1, 0, {40, 0}}, {0, 8, {0, 30}}};
    for (const auto& c : cases) {
        EXPECT_EQ(MRender::GetOriginPoint(100, 40, 20, 10, c.h, c.v), c.expected)
            << c.h << "/" << c.v;
    }
    // The rect form adds the rect's corner and 2 more down.
    EXPECT_EQ(MRender::GetOriginPoint(Rect{10, 20, 110, 60}, 20, 10, 1, 4), (Point{50, 37}));
}

TEST(MRender, NineGridKeepsCornersAndStretchesTheRest) {
    // A 12 × 12 source: 4-pixel corners red, green, blue, white; edges grey.
    Surface source = Surface::CreateARGB32(12, 12);
    Fill(source.Get(), {0, 0, 12, 12}, 0xFF808080);
    Fill(source.Get(), {0, 0, 4, 4}, 0xFFFF0000);
    Fill(source.Get(), {8, 0, 12, 4}, 0xFF00FF00);
    Fill(source.Get(), {0, 8, 4, 12}, 0xFF0000FF);
    Fill(source.Get(), {8, 8, 12, 12}, 0xFFFFFFFF);
    Surface target = Surface::CreateARGB32(40, 30);
    Context cr(target.Get());
    MRender::DrawImageFrame(cr.Get(), source.Get(), {0, 0, 40, 30}, 0, 0, 12, 12, 4);
    EXPECT_EQ(Pixel(target.Get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(target.Get(), 3, 3), 0xFFFF0000u);
    EXPECT_EQ(Pixel(target.Get(), 4, 4), 0xFF808080u); // corners stay 4 pixels
    EXPECT_EQ(Pixel(target.Get(), 36, 0), 0xFF00FF00u);
    EXPECT_EQ(Pixel(target.Get(), 0, 26), 0xFF0000FFu);
    EXPECT_EQ(Pixel(target.Get(), 39, 29), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(target.Get(), 20, 15), 0xFF808080u);
}

TEST(MRender, TransitionAlphaRunsLinearlyBetweenTheEnds) {
    EXPECT_EQ(MRender::TransitionAlpha(0, 11, 0, 100), 255);
    EXPECT_EQ(MRender::TransitionAlpha(10, 11, 0, 100), 0);
    EXPECT_EQ(MRender::TransitionAlpha(5, 11, 0, 100), 127);
    EXPECT_EQ(MRender::TransitionAlpha(0, 1, 50, 100), 127); // one row: the start
    // Blending whole rows: the first row takes the source, the last keeps
    // the destination.
    Surface dest = Surface::CreateARGB32(4, 11);
    Surface src = Surface::CreateARGB32(4, 11);
    Fill(src.Get(), {0, 0, 4, 11}, 0xFFFFFFFF);
    MRender::DrawVerticalTransition(dest.Get(), src.Get(), {0, 0, 4, 11}, {0, 0, 4, 11}, 0, 100);
    EXPECT_EQ(Pixel(dest.Get(), 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(dest.Get(), 0, 10), 0u);
}

TEST(MRender, BlackIsNeverTakenForTransparent) {
    EXPECT_EQ(MRender::CheckAlphaColor(0xFF000000), 0xFF000001u);
    EXPECT_EQ(MRender::CheckAlphaColor(0xFF000100), 0xFF000100u);
    Surface target = Surface::CreateARGB32(2, 2);
    Context cr(target.Get());
    MRender::DrawColor(cr.Get(), {0, 0, 2, 2}, 0x00FFFFFF); // alpha 0: nothing
    EXPECT_EQ(Pixel(target.Get(), 0, 0), 0u);
}

TEST(MRender, TextBoundsGrowWithTheText) {
    MFont font{L"DejaVu Sans", 14, 0};
    const Size one = MRender::GetTextBounds(font, DT_SINGLELINE, L"W");
    const Size three = MRender::GetTextBounds(font, DT_SINGLELINE, L"WWW");
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(three.cx, 2 * one.cx);
    EXPECT_EQ(one.cy, three.cy);
    EXPECT_GT(one.cy, 14);
    const Size bold =
        MRender::GetTextBounds({L"DejaVu Sans", 14, FontStyleBold}, DT_SINGLELINE, L"WWW");
    EXPECT_GT(bold.cx, three.cx);
    EXPECT_EQ(MRender::GetTextBounds(font, DT_SINGLELINE, L"").cx, 0);
}

TEST(MRender, TextIsDrawnInsideItsRectInItsColour) {
    Surface target = Surface::CreateARGB32(100, 30);
    Context cr(target.Get());
    MRender::DrawTextW(cr.Get(), {10, 5, 60, 25}, L"MMMMMMMMMMMM", 0xFFFF0000,
                       {L"DejaVu Sans", 14, 0}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    int inside = 0, outside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            const std::uint32_t p = Pixel(target.Get(), x, y);
            if (p == 0) {
                continue;
            }
            EXPECT_EQ(p & 0x0000FFFF, 0u); // red only
            (Rect{10, 5, 60, 25}.Contains({x, y}) ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0); // clipped
}

using FontTest = HeadlessTest;

TEST_F(FontTest, ArialFromTheFontFolderIsUsedAsTheToolkitFace) {
    QuillonTesting::TempDir folder;
    std::filesystem::create_directories(folder.Path() / "font");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
                               folder.Path() / "font/Arial.ttf");
    Manager::SetProgramFolder(Utf8ToWide(folder.Path().string()));
    TestDialog other;
    ASSERT_NE(other.Create(kNoWindow, L"Fonts", 0, 0, {0, 0, 100, 100}), kNoWindow);
    EXPECT_TRUE(Fonts::HasFamily(L"Arial"));
    EXPECT_EQ(other.GetManager().FindTempFont(L"Whatever"), L"Arial");
    // Drawn with the registered face: a monospaced one.
    MFont arial{L"Arial", 14, 0};
    EXPECT_EQ(MRender::GetTextBounds(arial, DT_SINGLELINE, L"iiii").cx,
              MRender::GetTextBounds(arial, DT_SINGLELINE, L"WWWW").cx);
    // Further windows find the face registered already.
    auto applicationFonts = [] {
        FcFontSet* set = FcConfigGetFonts(FcConfigGetCurrent(), FcSetApplication);
        return set ? set->nfont : 0;
    };
    const int fonts = applicationFonts();
    TestDialog third;
    ASSERT_NE(third.Create(kNoWindow, L"Fonts", 0, 0, {0, 0, 100, 100}), kNoWindow);
    EXPECT_EQ(applicationFonts(), fonts);
    Manager::SetProgramFolder(L"");
}

TEST(Fonts, EmbeddedFaceIsCompiledInAndRegisters) {
    const auto bytes = Resources::Find(false, 106, L"ttf");
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(Fonts::AddMemory(bytes), L"Open Sans");
    EXPECT_TRUE(Fonts::AddMemory({}).empty());
    EXPECT_FALSE(Fonts::AddFile(L"Nothing", L"/nonexistent/font.ttf"));
}

} // namespace
} // namespace VellumUI::Testing
