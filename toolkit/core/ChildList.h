// Walks over a list of owned child controls under the list's own lock, shared
// by controls and the paint manager, which both keep an areas list and a
// controls list.
#pragma once

#include "toolkit/core/MControl.h"

#include <memory>
#include <mutex>
#include <vector>

namespace VellumUI {

using OwnedControls = std::vector<std::unique_ptr<MControl>>;

// Plain pointers to the children, taken under the lock.
inline std::vector<MControl*> SnapshotChildren(const OwnedControls& list,
                                               std::recursive_mutex& lock) {
    std::lock_guard guard(lock);
    std::vector<MControl*> out;
    out.reserve(list.size());
    for (const auto& child : list) {
        out.push_back(child.get());
    }
    return out;
}

// The first child with `id`, or the first control with it inside a child,
// depth first in list order; null when none.
inline MControl* FindChildById(const OwnedControls& list, std::recursive_mutex& lock, unsigned id) {
    std::lock_guard guard(lock);
    for (const auto& child : list) {
        if (child->GetID() == id) {
            return child.get();
        }
        if (MControl* found = child->GetControl(id)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace VellumUI
