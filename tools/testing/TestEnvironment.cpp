#include "tools/testing/TestEnvironment.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace QuillonTesting {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::WriteFile(const std::string& relative,
                                         const std::string& content) const {
    const auto path = m_path / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return path;
}

ScopedEnv::~ScopedEnv() {
    for (const auto& [name, value] : m_saved) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
}

void ScopedEnv::Remember(const std::string& name) {
    if (m_saved.count(name) == 0) {
        const char* old = std::getenv(name.c_str());
        m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
}

void ScopedEnv::Set(const std::string& name, const std::string& value) {
    Remember(name);
    setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnv::Unset(const std::string& name) {
    Remember(name);
    unsetenv(name.c_str());
}

TempHome::TempHome() {
    std::filesystem::create_directories(ConfigHome());
    std::filesystem::create_directories(DataHome());
    std::filesystem::create_directories(RuntimeDir());
    std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    m_env.Set("HOME", Home().string());
    m_env.Set("XDG_CONFIG_HOME", ConfigHome().string());
    m_env.Set("XDG_DATA_HOME", DataHome().string());
    m_env.Set("XDG_CACHE_HOME", (Home() / ".cache").string());
    m_env.Set("XDG_RUNTIME_DIR", RuntimeDir().string());
}

namespace {
std::filesystem::path FromEnv(const char* name, const std::filesystem::path& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::filesystem::path(value) : fallback;
}
} // namespace

std::filesystem::path SourceDir() {
    return FromEnv("QUILLON_SOURCE_DIR", QUILLON_SOURCE_TREE);
}

std::filesystem::path RuntimeDir() {
    // Test executables are built into the runtime folder, like the program.
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return FromEnv("QUILLON_RUNTIME_DIR",
                   error ? std::filesystem::current_path() : exe.parent_path());
}

} // namespace QuillonTesting
