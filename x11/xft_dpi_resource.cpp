#include "x11/xft_dpi_resource.h"

#include <X11/Xresource.h>

#include <cstring>

namespace korvane {

std::optional<std::string> ReadXftDpi(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr) {
        return std::nullopt;
    }
    XrmInitialize();
    const XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) {
        return std::nullopt;
    }
    char* type = nullptr;
    XrmValue value{};
    std::optional<std::string> dpi;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) != 0 &&
        value.addr != nullptr) {
        dpi.emplace(value.addr, strnlen(value.addr, value.size));
    }
    XrmDestroyDatabase(database);
    return dpi;
}

}  // namespace korvane
