#include "display/ddraw_surface.h"

namespace korvane {

DisplayResult DdrawSurface::BltFast(int32_t x, int32_t y, Surface& source, const PixelRect& rect,
                                    uint32_t flags) {
    auto* from = dynamic_cast<DdrawSurface*>(&source);
    if (object == nullptr || from == nullptr || from->object == nullptr) {
        return kNoObject;
    }
    RECT sourceRect{rect.left, rect.top, rect.right, rect.bottom};
    return object->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), from->object, &sourceRect,
                           flags);
}

}  // namespace korvane
