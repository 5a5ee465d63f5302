#pragma once

#include <windows.h>

#include <cstdint>

#include <memory>
#include <vector>

#include "display/ddraw_display_setup.h"
#include "display/gdi_display_windows.h"
#include "host/sound_resources_windows.h"
#include "host/threaded_sound_player_windows.h"
#include "show/show.h"

namespace korvane {

using SoundCueSource = std::vector<PlayerCue> (*)(HMODULE module);

// The desktop's width, height and bits per pixel.
struct DesktopMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    friend bool operator==(const DesktopMode&, const DesktopMode&) = default;
};
// The desktop's mode now, each side held to kMaxSurfaceSide.
DesktopMode QueryDesktopMode();
using DesktopModeQuery = DesktopMode (*)();

// The show's program-wide instances as the saver window drives them.
struct ShowBinding {
    ThreadedSoundPlayer sound;
    SoundCueSource soundCues = &ReadSoundCues;              // tests hand in cues of their own
    DesktopModeQuery queryDesktopMode = &QueryDesktopMode;  // and a desktop of their own
    // The mode the run's grid and display are made for: the desktop's at the run's start,
    // then at each change of it.
    DesktopMode mode;
    Show show{sound};
    // The run's one display: DirectDraw's, or where DirectDraw cannot give the show its pages,
    // memory pages that GDI puts on the window for the rest of the run. The show and its
    // strips only borrow it; ReplaceShowDisplay is the one way to change it.
    std::unique_ptr<ShowDisplay> display;
    DisplaySetUpPlatform displayPlatform;  // tests swap in their own DirectDraw and notices
    bool settingUpDisplay = false;         // while true the show has no display at all
};

// The glyph sheet the display set-up loads, decoded for drawing in memory; false without it.
bool LoadShowGlyphSheet(const ShowBinding& binding, IndexedBitmap& sheet);

// With sound on in the settings, starts the run's sound player on our own sounds. Called
// before the display's first flip.
void StartShowSound(ShowBinding& binding);

// Settings from the registry, or the defaults when they are not all there.
void LoadShowSettings(ShowBinding& binding);
// Replaces the display with a new one in exclusive mode for `window`, made for `mode`, which
// becomes the run's. A call made while a set-up is under way (from inside its notices) does
// nothing. When DirectDraw cannot give the
// show its pages, the set-up's notices are followed by the show on memory pages drawn with
// GDI at 32 bits per pixel.
// The glyph sheet is enlarged `cellScale` times, or less where the larger sheet cannot be
// had; answers the factor obtained, which the grid must be made for.
int32_t SetUpShowDisplay(ShowBinding& binding, HWND window, const DesktopMode& mode,
                         int32_t cellScale);
// Memory pages of `mode`'s size, drawn with GDI, in place of the display there is; DirectDraw
// is not tried (nor its notices shown) again. Answers the factor obtained, as above.
int32_t SetUpGdiPages(ShowBinding& binding, HWND window, const DesktopMode& mode,
                      int32_t cellScale);
// Drops exclusive mode so that the password dialog can be seen; false without a DirectDraw object.
bool LeaveExclusiveMode(ShowBinding& binding, HWND window);
void DeleteShowDisplay(ShowBinding& binding);
// Puts `next` (or nothing) in the old display's place. Every pointer into the old display, the
// show's and the strips' surfaces, is cleared in the same step, before the old one goes.
void ReplaceShowDisplay(ShowBinding& binding, std::unique_ptr<ShowDisplay> next);
// The display as DirectDraw's or GDI's; null when it is the other, or none.
DisplayDevice* DirectDrawDisplay(const ShowBinding& binding);
GdiDisplay* GdiPages(const ShowBinding& binding);
// Frames run only once the run has both a grid and a display.
bool ReadyForFrames(const ShowBinding& binding);

}  // namespace korvane
