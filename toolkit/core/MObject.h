// Root of the toolkit's object model: what a control reports to and asks for
// repaints from. Dialogs, panels and popup windows are MObjects; controls
// hold a plain pointer to their parent MObject, which outlives them.
#pragma once

#include "toolkit/platform/Types.h"

#include <string>

namespace VellumUI {

class MControl;

class MObject {
public:
    MObject() = default;
    virtual ~MObject() = default;
    MObject(const MObject&) = delete;
    MObject& operator=(const MObject&) = delete;

    // True when GetClassNameW() equals `name` exactly.
    virtual bool IsClass(const std::wstring& name) const { return GetClassNameW() == name; }
    // Empty for MObject itself.
    virtual std::wstring GetClassNameW() const { return {}; }
    virtual std::wstring GetObjectClass() const { return {}; }
    virtual std::wstring BaseObjectClassName() const { return {}; }
    // A child control with identifier `id` reports notification `code`.
    virtual LRESULT OnBaseMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam);
    // A child asks its owner to repaint `rect` (window coordinates); with
    // `redraw` its cached picture is rebuilt too.
    virtual LRESULT OnControlUpdate(const Rect& rect, bool redraw, MControl* control);
};

} // namespace VellumUI
