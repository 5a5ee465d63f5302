#pragma once

// DirectDraw stand-ins that keep reference counts the way DirectDraw (and Wine) does: every
// object lives until its own count reaches zero. A flip chain's primary surface holds its back
// buffer, GetAttachedSurface hands out one more reference on it, a surface holds the palette
// set on it, and no surface ends with the DirectDraw object that made it. `LiveObjects` counts
// what is alive, so a reference the code under test keeps shows as a growing count.
#include <windows.h>

#include <ddraw.h>

#include "tests/display/fake_ddraw_windows.h"

namespace korvane::testing {

struct LiveObjects {
    int count = 0;
};

class CountedPalette : public FakePaletteBase {
  public:
    explicit CountedPalette(LiveObjects& live) : live_(live) { ++live_.count; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            --live_.count;
            delete this;
        }
        return left;
    }

  private:
    LiveObjects& live_;
    ULONG references_ = 1;
};

class CountedSurface : public FakeSurfaceBase {
  public:
    CountedSurface(LiveObjects& live, CountedSurface* attached) : live_(live), attached_(attached) {
        ++live_.count;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            if (attached_ != nullptr) {
                attached_->Release();
            }
            if (palette_ != nullptr) {
                palette_->Release();
            }
            --live_.count;
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS,
                                                 LPDIRECTDRAWSURFACE* attached) override {
        if (attached_ == nullptr) {
            return DDERR_NOTFOUND;
        }
        attached_->AddRef();
        *attached = attached_;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override {
        if (palette != nullptr) {
            palette->AddRef();
        }
        if (palette_ != nullptr) {
            palette_->Release();
        }
        palette_ = palette;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE, DWORD) override { return DD_OK; }

  private:
    LiveObjects& live_;
    CountedSurface* attached_;
    IDirectDrawPalette* palette_ = nullptr;
    ULONG references_ = 1;
};

class CountedDirectDraw : public FakeDirectDrawBase {
  public:
    explicit CountedDirectDraw(LiveObjects& live) : live_(live) { ++live_.count; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            --live_.count;
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return DD_OK; }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC description,
                                            LPDIRECTDRAWSURFACE* surface, IUnknown*) override {
        CountedSurface* back = nullptr;
        if ((description->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
            back = new CountedSurface(live_, nullptr);
        }
        *surface = new CountedSurface(live_, back);
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE* palette,
                                            IUnknown*) override {
        *palette = new CountedPalette(live_);
        return DD_OK;
    }

  private:
    LiveObjects& live_;
    ULONG references_ = 1;
};

}  // namespace korvane::testing
