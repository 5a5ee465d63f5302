#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

#include "x11/pixel_format.h"

namespace korvane {

class MemorySurface;

// Puts finished pages into a window: through a shared-memory image (MIT-SHM) where the server
// offers one, otherwise through plain XPutImage, as on a remote display. The shared segment
// is marked for removal as soon as both sides have it attached, so it can never outlive us.
class ImagePresenter {
  public:
    ImagePresenter(Display* display, Window window, Visual* visual, int32_t depth,
                   const PixelConversion& conversion, int32_t width, int32_t height);
    ~ImagePresenter();
    ImagePresenter(const ImagePresenter&) = delete;
    ImagePresenter& operator=(const ImagePresenter&) = delete;

    // False when no image of the window's size could be made.
    bool Ready() const { return image_ != nullptr; }
    // Converts `page` (0x00RRGGBB, at least the window's size) and shows it in the window;
    // returns once the server has drawn it.
    void Present(const MemorySurface& page);

    bool SharedMemory() const { return shmInfo_.shmid >= 0 && shmAttached_; }
    int shmId() const { return SharedMemory() ? shmInfo_.shmid : -1; }

  private:
    bool MakeSharedImage(Visual* visual, int32_t depth);
    void MakePlainImage(Visual* visual, int32_t depth);
    void ReleaseSharedMemory();

    Display* display_;
    Window window_;
    GC gc_;
    PixelConversion conversion_;
    int32_t width_;
    int32_t height_;
    XImage* image_ = nullptr;
    XShmSegmentInfo shmInfo_{};
    bool shmAttached_ = false;
};

}  // namespace korvane
