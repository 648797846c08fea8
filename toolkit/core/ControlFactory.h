// Creation of controls by class name. The table starts empty; each folder
// that builds controls registers its classes (once, at start-up, before
// windows are built), saying which owners accept the name and how the
// creator uses the text and the two trailing integers. An empty or unknown
// name creates nothing.
//
// Threads: any; the table is under a lock. Creators run on the caller's
// thread (the UI thread).
#pragma once

#include "toolkit/core/MControl.h"

#include <functional>
#include <memory>
#include <string>

namespace VellumUI {

struct ControlCreateArgs {
    MObject* parent = nullptr;
    unsigned id = 0;
    Rect rect;
    std::wstring text;
    int a = 0; // the visible flag
    int b = 0; // the enabled flag
};

class ControlFactory {
public:
    ControlFactory() = delete;

    // Who may create a class by name.
    enum Owner : unsigned { kDialog = 1, kPanel = 2, kDialogAndPanel = kDialog | kPanel };
    // How the creator applies the arguments.
    enum class Args {
        VisibleFixedEnabled,     // a, enabled 1
        TextVisible,             // text, a
        VisibleEnabled,          // a, b
        TextVisibleEnabled,      // text, a, b
        Visible,                 // a
        TextVisibleFixedEnabled, // text, a, enabled 1
    };
    using Creator = std::function<std::unique_ptr<MControl>()>;

    // Registers `className`; the creator makes an empty control, the factory
    // gives it parent, id, rect and the arguments. Re-registering a name
    // replaces it.
    static void Register(const std::wstring& className, Owner owners, Args args, Creator creator);
    template <typename T>
    static void Register(const std::wstring& className, Owner owners, Args args) {
        Register(className, owners, args, [] { return std::make_unique<T>(); });
    }
    static void Unregister(const std::wstring& className);
    static bool IsRegistered(const std::wstring& className);

    // The control, or null for an empty, unknown or not accepted name.
    static std::unique_ptr<MControl> Create(Owner owner, const std::wstring& className,
                                            const ControlCreateArgs& args);
};

} // namespace VellumUI
