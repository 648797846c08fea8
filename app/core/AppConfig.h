// The software's identity in config.xml: the "name" attribute of the
// "software" element under the root "config" names the installation (its
// settings, data folder, single-instance lock and window title). Read once
// at start-up on the UI thread, before anything uses the name.
#pragma once

#include <filesystem>

namespace Quillon {

// Reads the device name from `configFile` and hands it to the toolkit
// (Manager::SetDeviceName), also when it is empty. A missing or malformed
// file, or one without "config" or "software", sets nothing and returns
// false, leaving the toolkit's default name.
bool LoadDeviceName(const std::filesystem::path& configFile);

} // namespace Quillon
