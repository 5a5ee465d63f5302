#include "x11/image_presenter.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include "display/memory_surface.h"
#include "x11/x_errors.h"

namespace korvane {

ImagePresenter::ImagePresenter(Display* display, Window window, Visual* visual, int32_t depth,
                               const PixelConversion& conversion, int32_t width, int32_t height)
    : display_(display),
      window_(window),
      gc_(XCreateGC(display, window, 0, nullptr)),
      conversion_(conversion),
      width_(width),
      height_(height) {
    shmInfo_.shmid = -1;
    shmInfo_.shmaddr = nullptr;
    if (!MakeSharedImage(visual, depth)) {
        MakePlainImage(visual, depth);
    }
}

ImagePresenter::~ImagePresenter() {
    if (image_ != nullptr) {
        if (SharedMemory()) {
            image_->data = nullptr;  // the segment's, not the heap's
        }
        XDestroyImage(image_);
    }
    ReleaseSharedMemory();
    XFreeGC(display_, gc_);
}

bool ImagePresenter::MakeSharedImage(Visual* visual, int32_t depth) {
    if (!XShmQueryExtension(display_)) {
        return false;
    }
    image_ =
        XShmCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shmInfo_,
                        static_cast<unsigned>(width_), static_cast<unsigned>(height_));
    if (image_ == nullptr) {
        return false;
    }
    const size_t size = static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(height_);
    shmInfo_.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shmInfo_.shmid >= 0) {
        void* address = shmat(shmInfo_.shmid, nullptr, 0);
        shmInfo_.shmaddr =
            address == reinterpret_cast<void*>(-1) ? nullptr : static_cast<char*>(address);
    }
    if (shmInfo_.shmaddr != nullptr) {
        shmInfo_.readOnly = False;
        image_->data = shmInfo_.shmaddr;
        // A server on another machine refuses the attach; that shows only as an error.
        XSync(display_, False);
        const int errorsBefore = RecordedXErrors().count;
        shmAttached_ = XShmAttach(display_, &shmInfo_) != 0;
        XSync(display_, False);
        shmAttached_ = shmAttached_ && RecordedXErrors().count == errorsBefore;
    }
    if (shmInfo_.shmid >= 0) {
        // Both sides hold it now (or never will): it goes when the last of them lets go.
        shmctl(shmInfo_.shmid, IPC_RMID, nullptr);
    }
    if (shmAttached_) {
        return true;
    }
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    ReleaseSharedMemory();
    return false;
}

void ImagePresenter::MakePlainImage(Visual* visual, int32_t depth) {
    const int pad = conversion_.bytesPerPixel * 8;
    image_ = XCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width_), static_cast<unsigned>(height_), pad, 0);
    if (image_ == nullptr) {
        return;
    }
    // XDestroyImage frees the pixels with free().
    image_->data = static_cast<char*>(
        std::calloc(static_cast<size_t>(image_->bytes_per_line), static_cast<size_t>(height_)));
    if (image_->data == nullptr) {
        XDestroyImage(image_);
        image_ = nullptr;
    }
}

void ImagePresenter::ReleaseSharedMemory() {
    if (shmAttached_) {
        XShmDetach(display_, &shmInfo_);
        XSync(display_, False);
        shmAttached_ = false;
    }
    if (shmInfo_.shmaddr != nullptr) {
        shmdt(shmInfo_.shmaddr);
        shmInfo_.shmaddr = nullptr;
    }
    shmInfo_.shmid = -1;
}

void ImagePresenter::Present(const MemorySurface& page) {
    if (image_ == nullptr) {
        return;
    }
    ConvertPixels(conversion_, page.bytes.data(), page.pitch, width_, height_,
                  reinterpret_cast<uint8_t*>(image_->data), image_->bytes_per_line);
    const unsigned width = static_cast<unsigned>(width_);
    const unsigned height = static_cast<unsigned>(height_);
    if (SharedMemory()) {
        XShmPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, width, height, False);
    } else {
        XPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, width, height);
    }
    // The server reads the segment while it draws; the next frame must not write into it
    // before then.
    XSync(display_, False);
}

}  // namespace korvane
