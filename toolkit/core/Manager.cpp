#include "toolkit/core/Manager.h"

#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Utf.h"
#include "toolkit/platform/gtk/GtkPlatform.h"
#include "toolkit/platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>

namespace VellumUI {

namespace {

struct State {
    std::mutex lock;
    std::wstring deviceName = L"Quillon";
    std::wstring fontName = L"Arial";
    int fontWidth = 14;
    void* instance = nullptr;
    std::wstring programFolder;
    std::set<MWindow*> windows;
};

State& GetState() {
    static State state;
    return state;
}

std::wstring ExecutableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return L"./";
    }
    return Utf8ToWide(exe.parent_path().string()) + L"/";
}

} // namespace

void Manager::SetDeviceName(const std::wstring& name) {
    std::lock_guard guard(GetState().lock);
    GetState().deviceName = name;
}

std::wstring Manager::GetDeviceName() {
    std::lock_guard guard(GetState().lock);
    return GetState().deviceName;
}

void Manager::SetInstance(void* instance) {
    std::lock_guard guard(GetState().lock);
    GetState().instance = instance;
}

void* Manager::GetInstance() {
    std::lock_guard guard(GetState().lock);
    return GetState().instance;
}

void Manager::SetFontName(const std::wstring& face) {
    std::lock_guard guard(GetState().lock);
    GetState().fontName = face;
}

std::wstring Manager::GetFontName() {
    std::lock_guard guard(GetState().lock);
    return GetState().fontName;
}

void Manager::SetFont(const std::wstring& face, int width) {
    std::lock_guard guard(GetState().lock);
    GetState().fontName = face;
    GetState().fontWidth = width;
}

int Manager::GetFontWidth() {
    std::lock_guard guard(GetState().lock);
    return GetState().fontWidth;
}

std::wstring Manager::GetProgramFolder() {
    std::lock_guard guard(GetState().lock);
    if (GetState().programFolder.empty()) {
        GetState().programFolder = ExecutableFolder();
    }
    return GetState().programFolder;
}

void Manager::SetProgramFolder(const std::wstring& folder) {
    std::lock_guard guard(GetState().lock);
    GetState().programFolder = folder.empty() || folder.back() == L'/' ? folder : folder + L"/";
}

std::wstring Manager::NormalizePath(const std::wstring& path) {
    std::wstring out;
    out.reserve(path.size());
    for (wchar_t c : path) {
        if (c == L'\\') {
            c = L'/';
        }
        if (c == L'/' && !out.empty() && out.back() == L'/') {
            continue;
        }
        out.push_back(c);
    }
    return out;
}

namespace {

// Skin and font names come from layout files and the program; a name that
// steps up with ".." could reach any file, so it names nothing.
bool StepsOutOfItsFolder(const std::wstring& name) {
    const std::wstring path = Manager::NormalizePath(name);
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(L'/', start), path.size());
        if (path.compare(start, end - start, L"..") == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

} // namespace

std::wstring Manager::GetSkinPath(const std::wstring& name) {
    if (StepsOutOfItsFolder(name)) {
        return {};
    }
    return NormalizePath(GetProgramFolder() + L"skins/" + GetTheme() + name);
}

std::wstring Manager::GetFontPath(const std::wstring& file) {
    if (StepsOutOfItsFolder(file)) {
        return {};
    }
    return NormalizePath(GetProgramFolder() + L"font/" + file);
}

std::unique_ptr<Platform> Manager::CreatePlatform(const std::string& name) {
    if (name == "headless") {
        return std::make_unique<HeadlessPlatform>();
    }
    if (name == "gtk" || name.empty()) {
        std::unique_ptr<Platform> gtk = GtkPlatform::Create();
        if (gtk || name == "gtk") {
            return gtk;
        }
        return std::make_unique<HeadlessPlatform>();
    }
    return nullptr;
}

Platform* Manager::GetPlatform() {
    if (Platform* current = Platform::Current()) {
        return current;
    }
    const char* chosen = std::getenv("VELLUMUI_PLATFORM");
    std::unique_ptr<Platform> platform = CreatePlatform(chosen ? chosen : "");
    if (!platform) {
        platform = std::make_unique<HeadlessPlatform>();
    }
    Platform::Install(std::move(platform));
    return Platform::Current();
}

bool Manager::PreTranslateMessage(const Msg&) {
    Platform* platform = GetPlatform();
    return platform->GetKeyState(VK_MENU) && platform->GetKeyState(VK_F4);
}

int Manager::MessageLoop() {
    Platform* platform = GetPlatform();
    Msg msg;
    while (platform->GetMessage(msg)) {
        if (!PreTranslateMessage(msg)) {
            platform->DispatchMessage(msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

void Manager::AddWnd(MWindow* window) {
    std::lock_guard guard(GetState().lock);
    GetState().windows.insert(window);
}

void Manager::DeleteWnd(MWindow* window) {
    std::lock_guard guard(GetState().lock);
    GetState().windows.erase(window);
}

} // namespace VellumUI
