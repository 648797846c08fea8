// The GTK back end's hosted text entry and tooltip popup, made by
// GtkPlatform. Widgets are passed as opaque pointers so that this header
// stays free of GTK declarations.
#pragma once

#include "toolkit/platform/Platform.h"

#include <memory>

namespace VellumUI {

// `fixed` is the GtkFixed that holds the window's native children.
std::unique_ptr<TextEntry> MakeGtkTextEntry(void* fixed);
// `owner` is the owner's GtkWindow.
std::unique_ptr<TooltipWindow> MakeGtkTooltip(void* owner, Platform& platform);

} // namespace VellumUI
