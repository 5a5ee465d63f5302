#include "host/waveout_device_windows.h"

#include <windows.h>

#include <mmsystem.h>

#include <array>

#include "host/cue_player.h"

namespace korvane {
namespace {

class WaveOutDevice final : public WaveDevice {
  public:
    ~WaveOutDevice() override { Close(); }

    bool Open(uint32_t rate) override {
        // Asked first, since an open that fails still leaves winmm's device thread behind
        // (under Wine, a thread that later stood in the way of the window's cover-again).
        if (waveOutGetNumDevs() == 0) {
            return false;
        }
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = rate;
        format.nAvgBytesPerSec = rate;
        format.nBlockAlign = 1;
        format.wBitsPerSample = 8;
        if (waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            device_ = nullptr;
            return false;
        }
        return true;
    }

    bool Prepare(int32_t slot, const uint8_t* samples, uint32_t count) override {
        WAVEHDR& header = headers_.at(static_cast<size_t>(slot));
        header = WAVEHDR{};
        header.lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(samples));
        header.dwBufferLength = count;
        return waveOutPrepareHeader(device_, &header, sizeof header) == MMSYSERR_NOERROR;
    }

    bool Write(int32_t slot, bool loop) override {
        WAVEHDR& header = headers_.at(static_cast<size_t>(slot));
        constexpr DWORD kLoopFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header.dwFlags = loop ? (header.dwFlags | kLoopFlags) : (header.dwFlags & ~kLoopFlags);
        header.dwLoops = loop ? INFINITE : 0;
        return waveOutWrite(device_, &header, sizeof header) == MMSYSERR_NOERROR;
    }

    void Reset() override { waveOutReset(device_); }

    void Close() override {
        if (device_ == nullptr) {
            return;
        }
        waveOutReset(device_);
        for (WAVEHDR& header : headers_) {
            if ((header.dwFlags & WHDR_PREPARED) != 0) {
                waveOutUnprepareHeader(device_, &header, sizeof header);
            }
        }
        waveOutClose(device_);
        device_ = nullptr;
    }

  private:
    HWAVEOUT device_ = nullptr;
    std::array<WAVEHDR, kMaxPlayerCues> headers_{};
};

}  // namespace

std::unique_ptr<WaveDevice> MakeWaveOutDevice() {
    return std::make_unique<WaveOutDevice>();
}

}  // namespace korvane
