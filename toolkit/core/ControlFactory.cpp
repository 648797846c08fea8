#include "toolkit/core/ControlFactory.h"

#include "toolkit/core/MControlFont.h"

#include <map>
#include <mutex>

namespace VellumUI {

namespace {

struct Entry {
    ControlFactory::Owner owners;
    ControlFactory::Args args;
    ControlFactory::Creator creator;
};

std::mutex& TableLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::wstring, Entry>& Table() {
    static std::map<std::wstring, Entry> table;
    return table;
}

bool UsesText(ControlFactory::Args args) {
    return args == ControlFactory::Args::TextVisible ||
           args == ControlFactory::Args::TextVisibleEnabled ||
           args == ControlFactory::Args::TextVisibleFixedEnabled;
}

bool UsesEnabled(ControlFactory::Args args) {
    return args == ControlFactory::Args::VisibleEnabled ||
           args == ControlFactory::Args::TextVisibleEnabled;
}

} // namespace

void ControlFactory::Register(const std::wstring& className, Owner owners, Args args,
                              Creator creator) {
    if (className.empty() || !creator) {
        return;
    }
    std::lock_guard guard(TableLock());
    Table()[className] = Entry{owners, args, std::move(creator)};
}

void ControlFactory::Unregister(const std::wstring& className) {
    std::lock_guard guard(TableLock());
    Table().erase(className);
}

bool ControlFactory::IsRegistered(const std::wstring& className) {
    std::lock_guard guard(TableLock());
    return Table().count(className) != 0;
}

std::unique_ptr<MControl> ControlFactory::Create(Owner owner, const std::wstring& className,
                                                 const ControlCreateArgs& args) {
    if (className.empty()) {
        return nullptr;
    }
    Entry entry;
    {
        std::lock_guard guard(TableLock());
        auto it = Table().find(className);
        if (it == Table().end() || (it->second.owners & owner) == 0) {
            return nullptr;
        }
        entry = it->second;
    }
    std::unique_ptr<MControl> control = entry.creator();
    if (!control) {
        return nullptr;
    }
    control->SetParent(args.parent);
    control->SetID(args.id);
    control->SetControlRect(args.rect);
    control->SetControlVisible(args.a != 0);
    // Classes that take no enabled flag start enabled.
    control->SetControlEnabled(!UsesEnabled(entry.args) || args.b != 0);
    if (UsesText(entry.args)) {
        if (auto* font = dynamic_cast<MControlFont*>(control.get())) {
            font->SetControlTitle(args.text);
        }
    }
    return control;
}

} // namespace VellumUI
