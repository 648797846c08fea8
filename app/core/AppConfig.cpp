#include "app/core/AppConfig.h"

#include "app/xml/XmlDocument.h"
#include "toolkit/core/Manager.h"

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

} // namespace Quillon
