// The software's identity in config.xml: the "name" attribute of the
// "software" element under the root "config" names the installation (its
// settings, data folder, single-instance lock and window title). Read once
// at start-up on the UI thread, before anything uses the name.
#pragma once

#include <filesystem>
#include <string>

namespace Quillon {

// Reads the device name from `configFile` and hands it to the toolkit
// (Manager::SetDeviceName), also when it is empty. A missing or malformed
// file, or one without "config" or "software", sets nothing and returns
// false, leaving the toolkit's default name.
bool LoadDeviceName(const std::filesystem::path& configFile);
// The same for a wide path such as GetConfigFilePath(), converted as UTF-8
// (a wide text turned into a path on its own follows the C++ locale and
// fails for any character outside ASCII).
bool LoadDeviceName(const std::wstring& configFile);

} // namespace Quillon
