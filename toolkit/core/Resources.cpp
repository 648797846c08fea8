#include "toolkit/core/Resources.h"

#include <cwctype>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

namespace VellumUI {

// Generated at build time from toolkit/resources (EmbeddedResources.cpp).
void RegisterEmbeddedResources();

namespace {

using Key = std::tuple<bool, unsigned, std::wstring>;

std::mutex& TableLock() {
    static std::mutex lock;
    return lock;
}

std::map<Key, std::unique_ptr<std::vector<std::uint8_t>>>& Table() {
    static std::map<Key, std::unique_ptr<std::vector<std::uint8_t>>> table;
    return table;
}

std::wstring Lower(const std::wstring& s) {
    std::wstring out = s;
    for (auto& c : out) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return out;
}

} // namespace

bool Resources::Register(bool program, unsigned id, const std::wstring& type,
                         std::span<const std::uint8_t> bytes) {
    std::lock_guard guard(TableLock());
    auto [it, added] = Table().try_emplace(Key{program, id, Lower(type)});
    if (added) {
        it->second = std::make_unique<std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    }
    return added;
}

std::span<const std::uint8_t> Resources::Find(bool program, unsigned id, const std::wstring& type) {
    RegisterToolkitResources();
    std::lock_guard guard(TableLock());
    auto it = Table().find(Key{program, id, Lower(type)});
    if (it == Table().end()) {
        return {};
    }
    return {it->second->data(), it->second->size()};
}

void Resources::RegisterToolkitResources() {
    static std::once_flag once;
    std::call_once(once, [] { RegisterEmbeddedResources(); });
}

} // namespace VellumUI
