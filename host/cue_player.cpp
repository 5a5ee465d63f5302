#include "host/cue_player.h"

#include <algorithm>

namespace korvane {

bool CuePlayer::Open(WaveDevice& device, std::span<const PlayerCue> cues) {
    uint32_t rate = 0;
    for (const PlayerCue& cue : cues) {
        rate = std::max(rate, cue.wave.rate);
    }
    if (rate == 0 || !device.Open(rate)) {
        return false;
    }
    device_ = &device;
    cueCount_ = static_cast<int32_t>(std::min<size_t>(cues.size(), kMaxPlayerCues));
    for (int32_t slot = 0; slot < cueCount_; ++slot) {
        ids_[slot] = cues[slot].id;
        buffers_[slot] = Resample(cues[slot].wave, rate);
        // A cue that cannot be prepared stays silent; the others still play.
        prepared_[slot] =
            !buffers_[slot].empty() && device.Prepare(slot, buffers_[slot].data(),
                                                      static_cast<uint32_t>(buffers_[slot].size()));
    }
    constexpr uint8_t kSilentSample = 128;
    silence_.assign(rate / 2, kSilentSample);  // half a second
    silencePrepared_ =
        device.Prepare(cueCount_, silence_.data(), static_cast<uint32_t>(silence_.size()));
    return true;
}

void CuePlayer::Cut() {
    if (written_) {
        device_->Reset();
        written_ = false;
    }
}

void CuePlayer::Carry(const CueRequest& request) {
    if (device_ == nullptr) {
        return;
    }
    // Every request ends what plays: a buffer written now would otherwise wait its turn.
    Cut();
    if (request.kind != CueRequest::Kind::kPlay) {
        return;
    }
    for (int32_t slot = 0; slot < cueCount_; ++slot) {
        if (ids_[slot] == request.id) {
            written_ = prepared_[slot] && device_->Write(slot, request.loop);
            return;
        }
    }
}

void CuePlayer::PlaySilence() {
    if (device_ == nullptr || !silencePrepared_) {
        return;
    }
    Cut();
    written_ = device_->Write(cueCount_, false);
}

void CuePlayer::Close() {
    if (device_ == nullptr) {
        return;
    }
    Cut();
    device_->Close();
    device_ = nullptr;
}

}  // namespace korvane
