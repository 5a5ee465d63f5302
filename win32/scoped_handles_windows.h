#pragma once

#include <windows.h>

#include <utility>

// One owner per kind of Windows handle, each giving its handle back on every way out.

namespace korvane {

// An open registry key.
class ScopedRegistryKey {
  public:
    ScopedRegistryKey() = default;
    explicit ScopedRegistryKey(HKEY key) : key_(key) {}
    ~ScopedRegistryKey() { Reset(); }
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // For the Reg*Ex calls that hand back a key.
    HKEY* Receive() {
        Reset();
        return &key_;
    }
    void Reset() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
            key_ = nullptr;
        }
    }

  private:
    HKEY key_ = nullptr;
};

// A loaded library.
class LoadedLibrary {
  public:
    LoadedLibrary() = default;
    explicit LoadedLibrary(HMODULE library) : library_(library) {}
    ~LoadedLibrary() { Reset(); }
    LoadedLibrary(LoadedLibrary&& other) noexcept
        : library_(std::exchange(other.library_, nullptr)) {}
    LoadedLibrary& operator=(LoadedLibrary&& other) noexcept {
        if (this != &other) {
            Reset();
            library_ = std::exchange(other.library_, nullptr);
        }
        return *this;
    }

    HMODULE get() const { return library_; }
    explicit operator bool() const { return library_ != nullptr; }
    // The named export as a function of type Proc, or null.
    template <typename Proc>
    Proc Find(const char* name) const {
        if (library_ == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
    }
    void Reset() {
        if (library_ != nullptr) {
            FreeLibrary(library_);
            library_ = nullptr;
        }
    }

  private:
    HMODULE library_ = nullptr;
};

// A kernel object: an event or a thread.
class KernelHandle {
  public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() { Reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(HANDLE handle = nullptr) {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
        handle_ = handle;
    }

  private:
    HANDLE handle_ = nullptr;
};

// The device context of a window, or of the screen for no window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with `like` (the screen for none).
class MemoryDc {
  public:
    explicit MemoryDc(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A GDI object of ours: a bitmap, brush, pen or font, deleted at the end.
template <typename Handle>
class GdiObject {
  public:
    explicit GdiObject(Handle object) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr) {
            DeleteObject(object_);
        }
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return object_; }

  private:
    Handle object_;
};

// An object selected into a device context; the one it replaced goes back at the end, so the
// object may be deleted and the context freed in either order.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The device context of a DirectDraw surface, taken with GetDC and handed back with ReleaseDC.
// A template so that this header needs no DirectDraw headers.
template <typename Surface>
class SurfaceDc {
  public:
    explicit SurfaceDc(Surface* surface) : surface_(surface) {
        if (surface_ != nullptr) {
            result_ = surface_->GetDC(&dc_);
            if (result_ != S_OK) {
                dc_ = nullptr;
            }
        }
    }
    ~SurfaceDc() {
        if (dc_ != nullptr) {
            surface_->ReleaseDC(dc_);
        }
    }
    SurfaceDc(const SurfaceDc&) = delete;
    SurfaceDc& operator=(const SurfaceDc&) = delete;

    HDC get() const { return dc_; }
    // What GetDC answered; E_POINTER for no surface.
    HRESULT result() const { return result_; }

  private:
    Surface* surface_;
    HDC dc_ = nullptr;
    HRESULT result_ = E_POINTER;
};

}  // namespace korvane
