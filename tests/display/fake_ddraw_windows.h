#pragma once

// Stand-ins for DirectDraw objects: every method answers E_NOTIMPL until a test overrides
// it, and the reference count shows which releases the code under test made.

#include <windows.h>

#include <ddraw.h>

namespace korvane::testing {

class FakePaletteBase : public IDirectDrawPalette {
  public:
    virtual ~FakePaletteBase() = default;
    ULONG releases = 0;
    ULONG addRefs = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID /*riid*/, void** /*ppvObject*/) override {
        return E_NOTIMPL;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++addRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return ++releases; }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDWORD /*lpdwCaps*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEntries(DWORD /*dwFlags*/, DWORD /*dwBase*/,
                                         DWORD /*dwNumEntries*/,
                                         LPPALETTEENTRY /*lpEntries*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW /*lpDD*/, DWORD /*dwFlags*/,
                                         LPPALETTEENTRY /*lpDDColorTable*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetEntries(DWORD /*dwFlags*/, DWORD /*dwStartingEntry*/,
                                         DWORD /*dwCount*/, LPPALETTEENTRY /*lpEntries*/) override {
        return E_NOTIMPL;
    }
};

class FakeDirectDrawBase : public IDirectDraw {
  public:
    virtual ~FakeDirectDrawBase() = default;
    ULONG releases = 0;
    ULONG addRefs = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID /*riid*/, void** /*ppvObject*/) override {
        return E_NOTIMPL;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++addRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return ++releases; }
    HRESULT STDMETHODCALLTYPE Compact() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD /*dwFlags*/,
                                            LPDIRECTDRAWCLIPPER* /*lplpDDClipper*/,
                                            IUnknown* /*pUnkOuter*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD /*dwFlags*/, LPPALETTEENTRY /*lpColorTable*/,
                                            LPDIRECTDRAWPALETTE* /*lplpDDPalette*/,
                                            IUnknown* /*pUnkOuter*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC /*lpDDSurfaceDesc*/,
                                            LPDIRECTDRAWSURFACE* /*lplpDDSurface*/,
                                            IUnknown* /*pUnkOuter*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DuplicateSurface(LPDIRECTDRAWSURFACE /*lpDDSurface*/,
                                               LPDIRECTDRAWSURFACE* /*lplpDupDDSurface*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE
    EnumDisplayModes(DWORD /*dwFlags*/, LPDDSURFACEDESC /*lpDDSurfaceDesc*/, LPVOID /*lpContext*/,
                     LPDDENUMMODESCALLBACK /*lpEnumModesCallback*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE
    EnumSurfaces(DWORD /*dwFlags*/, LPDDSURFACEDESC /*lpDDSD*/, LPVOID /*lpContext*/,
                 LPDDENUMSURFACESCALLBACK /*lpEnumSurfacesCallback*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FlipToGDISurface() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS /*lpDDDriverCaps*/,
                                      LPDDCAPS /*lpDDHELCaps*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC /*lpDDSurfaceDesc*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetFourCCCodes(LPDWORD /*lpNumCodes*/, LPDWORD /*lpCodes*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetGDISurface(LPDIRECTDRAWSURFACE* /*lplpGDIDDSurface*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorFrequency(LPDWORD /*lpdwFrequency*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetScanLine(LPDWORD /*lpdwScanLine*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVerticalBlankStatus(WINBOOL* /*lpbIsInVB*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Initialize(GUID* /*lpGUID*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND /*hWnd*/, DWORD /*dwFlags*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD /*dwWidth*/, DWORD /*dwHeight*/,
                                             DWORD /*dwBPP*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD /*dwFlags*/, HANDLE /*hEvent*/) override {
        return E_NOTIMPL;
    }
};

class FakeSurfaceBase : public IDirectDrawSurface {
  public:
    virtual ~FakeSurfaceBase() = default;
    ULONG releases = 0;
    ULONG addRefs = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID /*riid*/, void** /*ppvObject*/) override {
        return E_NOTIMPL;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++addRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return ++releases; }
    HRESULT STDMETHODCALLTYPE
    AddAttachedSurface(LPDIRECTDRAWSURFACE /*lpDDSAttachedSurface*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddOverlayDirtyRect(LPRECT /*lpRect*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Blt(LPRECT /*lpDestRect*/, LPDIRECTDRAWSURFACE /*lpDDSrcSurface*/,
                                  LPRECT /*lpSrcRect*/, DWORD /*dwFlags*/,
                                  LPDDBLTFX /*lpDDBltFx*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BltBatch(LPDDBLTBATCH /*lpDDBltBatch*/, DWORD /*dwCount*/,
                                       DWORD /*dwFlags*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BltFast(DWORD /*dwX*/, DWORD /*dwY*/,
                                      LPDIRECTDRAWSURFACE /*lpDDSrcSurface*/, LPRECT /*lpSrcRect*/,
                                      DWORD /*dwTrans*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(
        DWORD /*dwFlags*/, LPDIRECTDRAWSURFACE /*lpDDSAttachedSurface*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(
        LPVOID /*lpContext*/, LPDDENUMSURFACESCALLBACK /*lpEnumSurfacesCallback*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE
    EnumOverlayZOrders(DWORD /*dwFlags*/, LPVOID /*lpContext*/,
                       LPDDENUMSURFACESCALLBACK /*lpfnCallback*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE /*lpDDSurfaceTargetOverride*/,
                                   DWORD /*dwFlags*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(
        LPDDSCAPS /*lpDDSCaps*/, LPDIRECTDRAWSURFACE* /*lplpDDAttachedSurface*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetBltStatus(DWORD /*dwFlags*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS /*lpDDSCaps*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER* /*lplpDDClipper*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetColorKey(DWORD /*dwFlags*/,
                                          LPDDCOLORKEY /*lpDDColorKey*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDC(HDC* /*lphDC*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFlipStatus(DWORD /*dwFlags*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOverlayPosition(LPLONG /*lplX*/, LPLONG /*lplY*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE* /*lplpDDPalette*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT /*lpDDPixelFormat*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC /*lpDDSurfaceDesc*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW /*lpDD*/,
                                         LPDDSURFACEDESC /*lpDDSurfaceDesc*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE IsLost() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Lock(LPRECT /*lpDestRect*/, LPDDSURFACEDESC /*lpDDSurfaceDesc*/,
                                   DWORD /*dwFlags*/, HANDLE /*hEvent*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC /*hDC*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Restore() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER /*lpDDClipper*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD /*dwFlags*/,
                                          LPDDCOLORKEY /*lpDDColorKey*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetOverlayPosition(LONG /*lX*/, LONG /*lY*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE /*lpDDPalette*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID /*lpSurfaceData*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateOverlay(LPRECT /*lpSrcRect*/,
                                            LPDIRECTDRAWSURFACE /*lpDDDestSurface*/,
                                            LPRECT /*lpDestRect*/, DWORD /*dwFlags*/,
                                            LPDDOVERLAYFX /*lpDDOverlayFx*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UpdateOverlayDisplay(DWORD /*dwFlags*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateOverlayZOrder(DWORD /*dwFlags*/,
                                                  LPDIRECTDRAWSURFACE /*lpDDSReference*/) override {
        return E_NOTIMPL;
    }
};

}  // namespace korvane::testing
