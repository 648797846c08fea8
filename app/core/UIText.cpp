#include "app/core/UIText.h"

#include <sys/stat.h>

#include <memory>
#include <mutex>
#include <optional>

#include "app/core/AppPaths.h"
#include "app/core/IniFile.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

// What identifies one version of a file on disk.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modified_ns = 0;

    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{info.st_dev, info.st_ino, info.st_size,
                     static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL +
                         info.st_mtim.tv_nsec};
}

// The last language file read, kept while its path and stamp stay the same.
struct CachedFile {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const IniFile> file;
};

std::mutex g_cacheLock;
CachedFile g_cache;

std::shared_ptr<const IniFile> LanguageFile(const std::string& path) {
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp) {
        return nullptr;
    }
    std::lock_guard guard(g_cacheLock);
    if (g_cache.file && g_cache.path == path && g_cache.stamp == *stamp) {
        return g_cache.file;
    }
    std::optional<IniFile> loaded = IniFile::Load(path);
    if (!loaded) {
        return nullptr;
    }
    g_cache = CachedFile{path, *stamp, std::make_shared<const IniFile>(std::move(*loaded))};
    return g_cache.file;
}

} // namespace

std::wstring LoadUIText(std::wstring_view section, int id) {
    return LoadUITextFrom(VellumUI::WideToUtf8(GetLanguageFilePath()), section, id);
}

std::wstring LoadUITextFrom(const std::filesystem::path& path, std::wstring_view section, int id) {
    const std::shared_ptr<const IniFile> file = LanguageFile(path.string());
    if (!file) {
        return {};
    }
    std::optional<std::wstring> text = file->GetValue(section, std::to_wstring(id));
    if (!text) {
        return {};
    }
    if (text->size() > kUITextMaxLength) {
        text->resize(kUITextMaxLength);
    }
    return *text;
}

} // namespace Quillon
