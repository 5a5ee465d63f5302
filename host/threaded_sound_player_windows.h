#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/cue_player.h"
#include "host/waveout_device_windows.h"
#include "show/sound_cues.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {

using WaveDeviceMaker = std::unique_ptr<WaveDevice> (*)();

// The show's sound requests, carried out by one player thread of ours on one output device that
// stays open for the run. Start makes all of it before the show's first flip: under Wine a
// thread stack or buffer made later can land on the page that a flip has just freed and the
// next flip still reads (docs/wine-notes.md). After that a request only leaves one word where
// the player takes it and wakes the player; the window thread never waits for the device, and
// nothing is made per cue.
class ThreadedSoundPlayer : public SoundPlayer {
  public:
    ThreadedSoundPlayer() = default;
    ~ThreadedSoundPlayer() override;
    ThreadedSoundPlayer(const ThreadedSoundPlayer&) = delete;
    ThreadedSoundPlayer& operator=(const ThreadedSoundPlayer&) = delete;

    WaveDeviceMaker makeDevice = &MakeWaveOutDevice;  // tests hand in a fake
    // How long the device plays silence before the show starts, how long Start waits for the
    // device to open and warm up, and how long Finish waits for the player to end.
    DWORD warmUpMilliseconds = 300;
    DWORD startMilliseconds = 2000;
    DWORD finishMilliseconds = 500;

    // Starts the player thread, which opens the device, prepares the cues and plays silence
    // for warmUpMilliseconds, and waits at most startMilliseconds for that. A device still busy
    // then is left to itself and the run stays silent, as it does without cues or without a device.
    // Only the first call does anything.
    void Start(std::vector<PlayerCue> cues);
    // Has the player silence and close the device and end, waiting at most finishMilliseconds.
    // A player that does not answer keeps what it uses and is left behind.
    void Finish();
    // The player holds an open device and takes requests.
    bool Audible() const;

    void Stop() override;
    void Play(int32_t id, bool loop) override;
    void Purge() override;

  private:
    struct Player;  // shared with the thread; the last of the two frees it

    static DWORD WINAPI Run(void* parameter);
    void Hand(const CueRequest& request);

    bool started_ = false;
    std::shared_ptr<Player> player_;
    KernelHandle thread_;
};

}  // namespace korvane
