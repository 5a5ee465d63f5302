// The display device and set-up against stand-in DirectDraw objects, for the failures the
// real DirectDraw will not produce on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/ddraw_bitmap_loading.h"
#include "display/ddraw_display_device.h"
#include "display/ddraw_display_setup.h"
#include "sprites/sprite_strip.h"
#include "tests/display/fake_ddraw_windows.h"
#include "tests/support/step_clock.h"

namespace korvane {
namespace {

using testing::FakeDirectDrawBase;
using testing::FakePaletteBase;
using testing::FakeSurfaceBase;

// A page of pixels in memory that can be made to fail its lock, restore or unlock.
class FakePage : public FakeSurfaceBase {
  public:
    HRESULT STDMETHODCALLTYPE Lock(LPRECT, LPDDSURFACEDESC description, DWORD flags,
                                   HANDLE) override {
        ++locks;
        lastLockFlags = flags;
        Record("lock");
        if (!lockAnswers.empty()) {
            const HRESULT answer = lockAnswers.front();
            lockAnswers.erase(lockAnswers.begin());
            if (answer != DD_OK) {
                return answer;
            }
        }
        description->lpSurface = bytes.data();
        description->lPitch = pitch;
        description->dwWidth = width;
        description->dwHeight = height;
        description->ddpfPixelFormat.dwRGBBitCount = bitsPerPixel;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID) override {
        ++unlocks;
        return unlockAnswer;
    }
    HRESULT STDMETHODCALLTYPE Restore() override {
        ++restores;
        return restoreAnswer;
    }
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE, DWORD flags) override {
        ++flips;
        lastFlipFlags = flags;
        Record("flip");
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS caps,
                                                 LPDIRECTDRAWSURFACE* attached) override {
        attachedCaps = caps->dwCaps;
        *attached = back;
        return back != nullptr ? DD_OK : DDERR_NOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override {
        palettes.push_back(palette);
        return DD_OK;
    }

    void Record(const char* what) {
        if (events != nullptr) {
            events->push_back(std::string(name) + " " + what);
        }
    }

    std::vector<std::string>* events = nullptr;  // shared with the other pages, in call order
    const char* name = "";
    DWORD width = 8;
    DWORD height = 3;
    DWORD bitsPerPixel = 0;
    LONG pitch = 40;  // wider than a row of pixels: the gap must stay untouched
    std::vector<uint8_t> bytes = std::vector<uint8_t>(40 * 3, 0xAA);
    std::vector<HRESULT> lockAnswers;
    HRESULT unlockAnswer = DD_OK;
    HRESULT restoreAnswer = DD_OK;
    FakeSurfaceBase* back = nullptr;
    DWORD attachedCaps = 0;
    int locks = 0, unlocks = 0, restores = 0, flips = 0;
    DWORD lastLockFlags = 99, lastFlipFlags = 99;
    std::vector<IDirectDrawPalette*> palettes;
};

class FakeDirectDraw : public FakeDirectDrawBase {
  public:
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        cooperationWindow = window;
        cooperationFlags = flags;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC description,
                                            LPDIRECTDRAWSURFACE* surface, IUnknown*) override {
        descriptions.push_back(*description);
        if (description->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) {
            *surface = &primary;
            return primaryAnswer;
        }
        // The glyph sheet, 640 x 480 times its factor: refused above the largest factor.
        const DWORD factor = description->dwWidth / 640;
        if (factor >= 1 && description->dwWidth == 640 * factor &&
            description->dwHeight == 480 * factor) {
            ++sheetSurfaces;
            sheetFactors.push_back(static_cast<int32_t>(factor));
            events.push_back("sheet created");
            if (static_cast<int32_t>(factor) > largestSheetFactor) {
                return DDERR_OUTOFMEMORY;
            }
            *surface = &sheet;
            return DD_OK;
        }
        *surface = &work;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries,
                                            LPDIRECTDRAWPALETTE* created, IUnknown*) override {
        paletteFlags.push_back(flags);
        lastEntries.assign(entries, entries + 256);
        *created = &palette;
        return paletteAnswer;
    }

    FakePage primary;
    FakePage back;
    FakePage work;
    FakePage sheet;
    FakePaletteBase palette;
    HRESULT primaryAnswer = DD_OK;
    HRESULT paletteAnswer = DD_OK;
    HWND cooperationWindow = nullptr;
    DWORD cooperationFlags = 0;
    std::vector<DDSURFACEDESC> descriptions;
    std::vector<DWORD> paletteFlags;
    std::vector<PALETTEENTRY> lastEntries;
    std::vector<std::string> events;
    int sheetSurfaces = 0;
    std::vector<int32_t> sheetFactors;  // of every sheet surface asked for, in order
    int32_t largestSheetFactor = 0;     // 0: no sheet surface at all
};

// The creator the device is given can only be a plain function, so it reaches the test's
// stand-in through this pointer.
FakeDirectDraw* fakeDirectDraw = nullptr;
HRESULT createAnswer = DD_OK;

HRESULT WINAPI CreateFake(GUID*, IDirectDraw** directDraw, IUnknown*) {
    if (createAnswer != DD_OK) {
        return createAnswer;
    }
    *directDraw = fakeDirectDraw;
    return DD_OK;
}

std::vector<std::string> notices;
void RecordNotice(HWND, const char* text) {
    notices.emplace_back(text);
}

class FakeDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeDirectDraw = &directDraw;
        createAnswer = DD_OK;
        notices.clear();
        directDraw.primary.back = &directDraw.back;
    }
    FakeDirectDraw directDraw;
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
};

TEST_F(FakeDeviceTest, FailedCreateKeepsNothingAndReleasesNothing) {
    createAnswer = DDERR_NODIRECTDRAWHW;
    {
        DisplayDevice device(&CreateFake);
        EXPECT_EQ(device.Create(window), DDERR_NODIRECTDRAWHW);
        EXPECT_EQ(device.window, nullptr);
        EXPECT_EQ(device.directDraw, nullptr);
        EXPECT_NE(device.CreateSurfaces(64, 48, 32), kDisplayOk);
        EXPECT_NE(device.FlipPages(), kDisplayOk);
        device.ClearFlipClear();
    }
    EXPECT_EQ(directDraw.releases, 0u);
}

TEST_F(FakeDeviceTest, OpensExclusiveFlipChainAndReleasesEveryReferenceItTook) {
    {
        DisplayDevice device(&CreateFake);
        ASSERT_EQ(device.Create(window), kDisplayOk);
        EXPECT_EQ(directDraw.cooperationWindow, window);
        EXPECT_EQ(directDraw.cooperationFlags, 0x11u);
        ASSERT_EQ(device.CreateSurfaces(64, 48, 32), kDisplayOk);
        EXPECT_EQ(device.bytesPerPixel, 4);
        ASSERT_EQ(directDraw.descriptions.size(), 2u);
        const DDSURFACEDESC& chain = directDraw.descriptions[0];
        EXPECT_EQ(chain.dwSize, sizeof(DDSURFACEDESC));
        EXPECT_EQ(chain.dwFlags, 0x21u);
        EXPECT_EQ(chain.dwBackBufferCount, 1u);
        EXPECT_EQ(chain.ddsCaps.dwCaps, 0x218u);
        EXPECT_EQ(directDraw.primary.attachedCaps, DDSCAPS_BACKBUFFER);
        const DDSURFACEDESC& work = directDraw.descriptions[1];
        EXPECT_EQ(work.dwFlags, 7u);
        EXPECT_EQ(work.dwWidth, 64u);
        EXPECT_EQ(work.dwHeight, 48u);
        EXPECT_EQ(work.ddsCaps.dwCaps, 0x40u);
        EXPECT_TRUE(directDraw.paletteFlags.empty());
        EXPECT_EQ(device.FlipPages(), kDisplayOk);
        EXPECT_EQ(directDraw.primary.lastFlipFlags, DDFLIP_WAIT);
        device.spriteSurface.object = &directDraw.work;  // as the set-up stores it
    }
    EXPECT_EQ(directDraw.releases, 1u);
    EXPECT_EQ(directDraw.primary.releases, 1u);
    EXPECT_EQ(directDraw.work.releases,
              2u);  // once as the sprite surface, once as the work surface
    EXPECT_EQ(directDraw.back.releases, 1u);  // GetAttachedSurface's reference
}

TEST_F(FakeDeviceTest, DepthDecidesPaletteAndBytesPerPixel) {
    DisplayDevice device(&CreateFake);
    ASSERT_EQ(device.Create(window), kDisplayOk);
    for (int32_t depth : {15, 4, 1}) {
        ASSERT_EQ(device.CreateSurfaces(8, 3, depth), kDisplayOk);
        EXPECT_EQ(device.bytesPerPixel, 1);
    }
    EXPECT_TRUE(directDraw.paletteFlags.empty());
    ASSERT_EQ(device.CreateSurfaces(8, 3, 24), kDisplayOk);
    EXPECT_EQ(device.bytesPerPixel, 3);
    ASSERT_EQ(device.CreateSurfaces(8, 3, 8), kDisplayOk);
    ASSERT_EQ(directDraw.paletteFlags.size(), 1u);
    EXPECT_EQ(directDraw.paletteFlags[0], 0x44u);
    EXPECT_EQ(directDraw.primary.palettes.back(), &directDraw.palette);
    EXPECT_EQ(directDraw.lastEntries[0x1C].peGreen, 255);
    // Each new flip chain releases the previous primary surface.
    EXPECT_EQ(directDraw.primary.releases, 4u);
}

TEST_F(FakeDeviceTest, FailedPaletteLeavesNothingToClear) {
    directDraw.paletteAnswer = DDERR_OUTOFMEMORY;
    DisplayDevice device(&CreateFake);
    ASSERT_EQ(device.Create(window), kDisplayOk);
    EXPECT_EQ(device.CreateSurfaces(8, 3, 8), DDERR_OUTOFMEMORY);
    EXPECT_EQ(device.bytesPerPixel, 0);
    device.ClearBackBuffer();
    for (uint8_t byte : directDraw.back.bytes) {
        ASSERT_EQ(byte, 0xAA);
    }
}

TEST_F(FakeDeviceTest, ClearFlipClearBlacksRowsAndLeavesThePitchGap) {
    DisplayDevice device(&CreateFake);
    ASSERT_EQ(device.Create(window), kDisplayOk);
    ASSERT_EQ(device.CreateSurfaces(8, 3, 32), kDisplayOk);
    device.ClearFlipClear();
    EXPECT_EQ(directDraw.back.locks, 2);
    EXPECT_EQ(directDraw.back.lastLockFlags, static_cast<DWORD>(DDLOCK_WAIT));
    EXPECT_EQ(directDraw.back.unlocks, 2);
    EXPECT_EQ(directDraw.primary.flips, 1);
    for (size_t row = 0; row < 3; ++row) {
        for (size_t i = 0; i < 40; ++i) {
            ASSERT_EQ(directDraw.back.bytes[row * 40 + i], i < 32 ? 0 : 0xAA) << row << "," << i;
        }
    }
    EXPECT_EQ(device.locked, 0);
    EXPECT_EQ(device.pixels, nullptr);
}

TEST_F(FakeDeviceTest, LostBackBufferIsRestoredOnTheWayIntoTheLock) {
    DisplayDevice device(&CreateFake);
    ASSERT_EQ(device.Create(window), kDisplayOk);
    ASSERT_EQ(device.CreateSurfaces(8, 3, 16), kDisplayOk);

    directDraw.back.lockAnswers = {DDERR_SURFACELOST};
    EXPECT_EQ(device.LockBackBuffer(), kDisplayOk);
    EXPECT_EQ(directDraw.primary.restores, 1);
    EXPECT_EQ(directDraw.back.locks, 2);
    EXPECT_EQ(device.locked, 1);
    EXPECT_EQ(device.pitch, 40);
    EXPECT_EQ(device.lockedWidth, 8);
    EXPECT_EQ(device.lockedHeight, 3);

    // A failed unlock leaves the info as it was.
    directDraw.back.unlockAnswer = DDERR_NOTLOCKED;
    EXPECT_EQ(device.UnlockBackBuffer(), DDERR_NOTLOCKED);
    EXPECT_EQ(device.locked, 1);
    EXPECT_EQ(device.pixels, directDraw.back.bytes.data());
    directDraw.back.unlockAnswer = DD_OK;
    EXPECT_EQ(device.UnlockBackBuffer(), kDisplayOk);

    directDraw.back.lockAnswers = {DDERR_SURFACELOST};
    directDraw.primary.restoreAnswer = DDERR_WRONGMODE;
    EXPECT_EQ(device.LockBackBuffer(), DDERR_WRONGMODE);
    EXPECT_EQ(device.locked, 0);
    EXPECT_EQ(device.lockedHeight, 0);

    directDraw.primary.restoreAnswer = DD_OK;
    directDraw.back.lockAnswers = {DDERR_SURFACELOST, DDERR_SURFACELOST};
    EXPECT_EQ(device.LockBackBuffer(), DDERR_SURFACELOST);
    EXPECT_EQ(device.pixels, nullptr);
}

// Wine's renderer without OpenGL keeps presenting through a device context over memory that
// it freed at the previous present; a surface that first takes memory between two flips can
// take that block. So every page, the work surface and the glyph sheet come before the
// first flip, and nothing is drawn before it.
TEST_F(FakeDeviceTest, SetUpGivesEverySurfaceItsMemoryBeforeTheFirstFlip) {
    directDraw.primary.events = directDraw.back.events = directDraw.work.events =
        &directDraw.events;
    directDraw.primary.name = "primary";
    directDraw.back.name = "back";
    directDraw.work.name = "work";
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    std::unique_ptr<DisplayDevice> device;
    DisplaySetUpPlatform platform;
    platform.directDrawCreate = &CreateFake;
    platform.notify = &RecordNotice;
    platform.glyphSheet = KORVANE_TEST_GLYPH_SHEET;
    SetUpDisplay(device, window, glyphStrip, cursorStrip, 64, 48, 32, platform);

    const std::vector<std::string>& events = directDraw.events;
    const auto firstFlip = std::find(events.begin(), events.end(), "primary flip");
    ASSERT_NE(firstFlip, events.end());
    for (const char* before : {"primary lock", "back lock", "work lock", "sheet created"}) {
        EXPECT_NE(std::find(events.begin(), firstFlip, before), firstFlip) << before;
    }
    // Both pages are still black afterwards: the clear around the flip comes last.
    EXPECT_EQ(std::count(firstFlip, events.end(), "back lock"), 1);
    EXPECT_EQ(events.back(), "back lock");
    EXPECT_EQ(notices, (std::vector<std::string>{"NO SPRITES"}));
}

TEST_F(FakeDeviceTest, SetUpReportsEachFailureAndCarriesOn) {
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    std::unique_ptr<DisplayDevice> device;
    DisplaySetUpPlatform platform;
    platform.directDrawCreate = &CreateFake;
    platform.notify = &RecordNotice;
    platform.glyphSheet = KORVANE_TEST_GLYPH_SHEET;

    createAnswer = DDERR_NODIRECTDRAWHW;
    SetUpDisplay(device, window, glyphStrip, cursorStrip, 64, 48, 8, platform);
    EXPECT_EQ(notices, (std::vector<std::string>{"Create not Successful", "NO SPRITES"}));
    EXPECT_TRUE(directDraw.paletteFlags.empty());
    EXPECT_EQ(glyphStrip.bltFlags, kBltNoColorKey);
    EXPECT_EQ(cursorStrip.frameCount, 8);
    EXPECT_EQ(glyphStrip.targetSurface, &device->backBuffer);
    EXPECT_NE(glyphStrip.Draw(0, 0), kDisplayOk);

    // The flip chain fails: one notice, and the sheet is still tried and the strips wired.
    notices.clear();
    createAnswer = DD_OK;
    directDraw.primaryAnswer = DDERR_NOEXCLUSIVEMODE;
    DisplayDevice* first = device.get();
    SetUpDisplay(device, window, glyphStrip, cursorStrip, 64, 48, 16, platform);
    EXPECT_NE(device.get(), nullptr);
    EXPECT_EQ(notices, (std::vector<std::string>{"NO VIDEOMODE", "NO SPRITES"}));
    EXPECT_EQ(directDraw.sheetSurfaces, 1);
    EXPECT_TRUE(directDraw.paletteFlags.empty());  // 16 bits: no palette at all
    EXPECT_EQ(cursorStrip.frameCount, 16);
    EXPECT_EQ(cursorStrip.sourceRect.top, 48);
    EXPECT_EQ(cursorStrip.targetSurface, &device->backBuffer);
    (void)first;

    // Below 15 bits the sheet's palette is loaded, from its own colour table.
    notices.clear();
    SetUpDisplay(device, window, glyphStrip, cursorStrip, 64, 48, 4, platform);
    ASSERT_EQ(directDraw.paletteFlags.size(), 1u);
    EXPECT_EQ(directDraw.paletteFlags[0], static_cast<DWORD>(DDPCAPS_8BIT));
    EXPECT_EQ(directDraw.lastEntries[0].peRed + directDraw.lastEntries[0].peGreen +
                  directDraw.lastEntries[0].peBlue,
              0);
    EXPECT_EQ(directDraw.releases, 1u);  // the earlier device that opened
}

// The colour match at set-up: a sheet that stays busy costs one budget and reads as a failed
// lock; one busy for a while is still read.
TEST_F(FakeDeviceTest, ColorMatchWaitsOnAStillDrawingLockForOneBudgetAtMost) {
    constexpr int64_t kStep = 10;
    testing::StepClock::Reset(kStep);
    FakePage sheet;
    sheet.lockAnswers.assign(100000, DDERR_WASSTILLDRAWING);
    BusyBudget budget(&testing::StepClock::Now);
    EXPECT_EQ(MatchColor(&sheet, CLR_INVALID, budget), 0xFFFFFFFFu);
    EXPECT_GE(testing::StepClock::now, BusyBudget::kMilliseconds);
    EXPECT_LE(testing::StepClock::now, BusyBudget::kMilliseconds + kStep);
    EXPECT_EQ(sheet.locks, BusyBudget::kMilliseconds / kStep + 1);
    EXPECT_EQ(sheet.unlocks, 0);

    sheet.lockAnswers = {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING};
    sheet.bitsPerPixel = 16;
    BusyBudget fresh(&testing::StepClock::Now);
    EXPECT_EQ(MatchColor(&sheet, CLR_INVALID, fresh), 0xAAAAu);
    EXPECT_EQ(sheet.unlocks, 1);
}

// Video memory too small for the enlarged sheet: the set-up tries each smaller factor in turn,
// wires the cursor frames at the one it got and reports it, so the grid can be made for it.
TEST_F(FakeDeviceTest, SetUpFallsBackToTheLargestSheetTheDeviceHolds) {
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    std::unique_ptr<DisplayDevice> device;
    DisplaySetUpPlatform platform;
    platform.directDrawCreate = &CreateFake;
    platform.notify = &RecordNotice;
    platform.glyphSheet = KORVANE_TEST_GLYPH_SHEET;

    directDraw.largestSheetFactor = 2;
    SetUpDisplay(device, window, glyphStrip, cursorStrip, 64, 48, 32, platform, 4);
    EXPECT_EQ(directDraw.sheetFactors, (std::vector<int32_t>{4, 3, 2}));
    EXPECT_EQ(device->cellScale, 2);
    EXPECT_EQ(device->spriteSurface.object, &directDraw.sheet);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(cursorStrip.sourceRect.left, 2 * 544);
    EXPECT_EQ(cursorStrip.sourceRect.bottom, 2 * 72);

    // Beyond the largest factor the set-up starts at 4; a factor the device holds is kept.
    directDraw.sheetFactors.clear();
    directDraw.largestSheetFactor = 4;
    SetUpDisplay(device, window, glyphStrip, cursorStrip, 64, 48, 32, platform, 7);
    EXPECT_EQ(directDraw.sheetFactors, (std::vector<int32_t>{4}));
    EXPECT_EQ(device->cellScale, 4);

    // Not even the design's size: the notice, no sheet, and the factor asked for.
    directDraw.sheetFactors.clear();
    directDraw.largestSheetFactor = 0;
    SetUpDisplay(device, window, glyphStrip, cursorStrip, 64, 48, 32, platform, 3);
    EXPECT_EQ(directDraw.sheetFactors, (std::vector<int32_t>{3, 2, 1}));
    EXPECT_EQ(notices, (std::vector<std::string>{"NO SPRITES"}));
    EXPECT_EQ(device->spriteSurface.object, nullptr);
    EXPECT_EQ(device->cellScale, 3);
}

}  // namespace
}  // namespace korvane
