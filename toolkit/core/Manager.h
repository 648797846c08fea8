// Process-wide toolkit state, static members only: the installation's
// device name, the theme, the toolkit font, the selection colour, the
// program folder the skins and fonts are found in, the platform back end and
// the plain message loop. The values are set at start-up on the UI thread;
// each accessor takes a short lock, so readers on other threads never see a
// torn value.
#pragma once

#include "toolkit/platform/Platform.h"

#include <memory>
#include <string>

namespace VellumUI {

class MWindow;

class Manager {
public:
    Manager() = delete;

    // The installation's identity ("name" of config.xml's software element);
    // default "Quillon".
    static void SetDeviceName(const std::wstring& name);
    static std::wstring GetDeviceName();

    static void SetInstance(void* instance);
    static void* GetInstance();
    // Always "theme1\" (names are normalised to "/" on lookup).
    static std::wstring GetTheme() { return L"theme1\\"; }
    // The face every control's text is drawn with; default "Arial", 14 px.
    static void SetFontName(const std::wstring& face);
    static std::wstring GetFontName();
    static void SetFont(const std::wstring& face, int width);
    static int GetFontWidth();
    static std::uint32_t GetSelectColor() { return 0xFF285055; }

    // The folder of the running program (with a trailing "/"): skins/,
    // font/ and the data files live there. Tests may point it elsewhere.
    static std::wstring GetProgramFolder();
    static void SetProgramFolder(const std::wstring& folder);
    // program folder + "skins/" + theme + name, with "\" and "//" as "/";
    // empty for a name with a ".." step, which could leave the folder.
    static std::wstring GetSkinPath(const std::wstring& name);
    static std::wstring GetFontPath(const std::wstring& file);
    // "\" becomes "/" and runs of "/" collapse to one.
    static std::wstring NormalizePath(const std::wstring& path);

    // The platform: the installed one, else made on first use by
    // CreatePlatform(VELLUMUI_PLATFORM from the environment).
    static Platform* GetPlatform();
    // "gtk", "headless" or empty (GTK when a display can be opened, else
    // headless). Null for an unknown name or a GTK without a display.
    static std::unique_ptr<Platform> CreatePlatform(const std::string& name);

    // Nothing to start on this system; kept for the program's start-up.
    static bool InitGdiplus() { return true; }
    static void UnInitGdiplus() {}

    // Runs the loop until the quit message; returns its exit code. Messages
    // taken while Alt and F4 are both held are dropped.
    static int MessageLoop();
    static bool PreTranslateMessage(const Msg& msg);

    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
};

} // namespace VellumUI
