#include "toolkit/core/MObject.h"

namespace VellumUI {

LRESULT MObject::OnBaseMessage(unsigned, unsigned, WPARAM, LPARAM) {
    return 0;
}

LRESULT MObject::OnControlUpdate(const Rect&, bool, MControl*) {
    return 0;
}

} // namespace VellumUI
