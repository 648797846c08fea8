#include "app/core/AppConfig.h"

#include "app/xml/XmlDocument.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

bool LoadDeviceName(const std::filesystem::path& configFile) {
    XmlDocument document;
    if (!document.Load(configFile)) {
        return false;
    }
    if (!document.FindElement(L"config") || !document.EnterElement() ||
        !document.FindElement(L"software")) {
        return false;
    }
    VellumUI::Manager::SetDeviceName(document.GetAttribute(L"name"));
    return true;
}

bool LoadDeviceName(const std::wstring& configFile) {
    return LoadDeviceName(std::filesystem::path(VellumUI::WideToUtf8(configFile)));
}

} // namespace Quillon
