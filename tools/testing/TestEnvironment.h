// Helpers for tests: a private temporary folder that is removed afterwards,
// and a private HOME with its XDG folders so that no test touches the files
// of the user who runs it.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace QuillonTesting {

// A fresh folder under the system's temporary folder; removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Writes `content` to `relative` below the folder, creating parents.
    std::filesystem::path WriteFile(const std::string& relative, const std::string& content) const;

private:
    std::filesystem::path m_path;
};

// Sets environment variables for its lifetime and restores them afterwards.
class ScopedEnv {
public:
    ScopedEnv() = default;
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const std::string& name, const std::string& value);
    void Unset(const std::string& name);

private:
    void Remember(const std::string& name);
    std::map<std::string, std::optional<std::string>> m_saved;
};

// A temporary HOME with XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and
// XDG_RUNTIME_DIR inside it, set for the object's lifetime.
class TempHome {
public:
    TempHome();

    const std::filesystem::path& Home() const { return m_dir.Path(); }
    std::filesystem::path ConfigHome() const { return m_dir.Path() / ".config"; }
    std::filesystem::path DataHome() const { return m_dir.Path() / ".local/share"; }
    std::filesystem::path RuntimeDir() const { return m_dir.Path() / "run"; }

private:
    TempDir m_dir;
    ScopedEnv m_env;
};

// The folder of the source tree and the runtime folder the build fills with
// the program's data files (the test executable's own folder). The variables
// QUILLON_SOURCE_DIR and QUILLON_RUNTIME_DIR override them.
std::filesystem::path SourceDir();
std::filesystem::path RuntimeDir();

} // namespace QuillonTesting
