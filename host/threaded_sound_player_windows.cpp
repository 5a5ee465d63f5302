#include "host/threaded_sound_player_windows.h"

#include <atomic>
#include <optional>
#include <utility>

namespace korvane {
namespace {

enum PlayerState : int32_t { kStarting, kAudible, kSilent };

// Reserved, not committed: the waveOut calls run on this stack and need little of it.
constexpr SIZE_T kPlayerStackBytes = 256 * 1024;

}  // namespace

struct ThreadedSoundPlayer::Player {
    std::vector<PlayerCue> cues;
    std::unique_ptr<WaveDevice> device;
    DWORD warmUpMilliseconds = 0;
    CuePlayer cuePlayer;
    CueRequestSlot slot;
    std::atomic<int32_t> state{kStarting};
    std::atomic<bool> finishing{false};
    KernelHandle wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    KernelHandle settled{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

DWORD WINAPI ThreadedSoundPlayer::Run(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Player>> held(
        static_cast<std::shared_ptr<Player>*>(parameter));
    Player& player = **held;
    const bool opened =
        player.device != nullptr && player.cuePlayer.Open(*player.device, player.cues);
    if (opened) {
        player.cuePlayer.PlaySilence();
        Sleep(player.warmUpMilliseconds);
        player.cuePlayer.Carry({CueRequest::Kind::kStop, 0, false});
    }
    // Once Start has stopped waiting the show may be flipping: a device that opens that late
    // is closed again at once.
    int32_t starting = kStarting;
    const bool inTime = player.state.compare_exchange_strong(starting, opened ? kAudible : kSilent);
    SetEvent(player.settled.get());
    if (opened && inTime) {
        while (!player.finishing.load()) {
            WaitForSingleObject(player.wake.get(), INFINITE);
            while (const std::optional<CueRequest> request = player.slot.Take()) {
                player.cuePlayer.Carry(*request);
            }
        }
    }
    player.cuePlayer.Close();
    return 0;
}

ThreadedSoundPlayer::~ThreadedSoundPlayer() {
    Finish();
}

void ThreadedSoundPlayer::Start(std::vector<PlayerCue> cues) {
    if (std::exchange(started_, true) || cues.empty()) {
        return;
    }
    auto player = std::make_shared<Player>();
    if (!player->wake || !player->settled) {
        return;
    }
    player->cues = std::move(cues);
    player->device = makeDevice();
    player->warmUpMilliseconds = warmUpMilliseconds;
    auto* held = new std::shared_ptr<Player>(player);
    HANDLE thread = CreateThread(nullptr, kPlayerStackBytes, &Run, held,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        delete held;
        return;
    }
    thread_.Reset(thread);
    player_ = std::move(player);
    if (WaitForSingleObject(player_->settled.get(), startMilliseconds) != WAIT_OBJECT_0) {
        int32_t starting = kStarting;
        player_->state.compare_exchange_strong(starting, kSilent);
    }
}

void ThreadedSoundPlayer::Finish() {
    if (player_ == nullptr) {
        return;
    }
    player_->state.store(kSilent);
    player_->finishing.store(true);
    SetEvent(player_->wake.get());
    WaitForSingleObject(thread_.get(), finishMilliseconds);
    thread_.Reset();
    player_.reset();
}

bool ThreadedSoundPlayer::Audible() const {
    return player_ != nullptr && player_->state.load() == kAudible;
}

void ThreadedSoundPlayer::Hand(const CueRequest& request) {
    if (!Audible()) {
        return;  // silent for the run: nothing is tried again
    }
    player_->slot.Put(request);
    SetEvent(player_->wake.get());
}

void ThreadedSoundPlayer::Stop() {
    Hand({CueRequest::Kind::kStop, 0, false});
}

void ThreadedSoundPlayer::Play(int32_t id, bool loop) {
    Hand({CueRequest::Kind::kPlay, id, loop});
}

void ThreadedSoundPlayer::Purge() {
    Hand({CueRequest::Kind::kPurge, 0, false});
}

}  // namespace korvane
