#include "host/sound_resources_windows.h"

#include <optional>

#include "show/sound_cues.h"

namespace korvane {

std::vector<PlayerCue> ReadSoundCues(HMODULE module) {
    std::vector<PlayerCue> cues;
    for (const int32_t id : {kTraceTypingSound, kTraceSearchSound, kKeyClickSound, kTitleMusic}) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "WAVE");
        HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
        const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (bytes == nullptr) {
            continue;
        }
        // Resources stay mapped for the life of the module: the views need no copy.
        const std::optional<WaveSamples> wave =
            ReadWaveSamples(static_cast<const uint8_t*>(bytes), SizeofResource(module, found));
        if (wave) {
            cues.push_back({id, *wave});
        }
    }
    return cues;
}

}  // namespace korvane
