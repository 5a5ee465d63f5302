#pragma once

// A wave device that keeps a log of what it was asked and plays nothing. It queues written
// buffers as a real device does, so a write that was not cut first shows up as a second buffer
// waiting. It can refuse to open, and it can hang in any one call until the test lets it go.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/wave_device.h"

namespace korvane::testing {

// Shared by the test and the device, so that it outlives a player that was left behind.
struct FakeWaveRecord {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> calls;  // "open 48000", "prepare 2", "write 2 loop", "reset", "close"
    std::set<std::thread::id> threads;
    std::map<int32_t, std::vector<uint8_t>> prepared;
    std::deque<std::pair<int32_t, bool>> queued;  // slot and loop; the front one plays
    bool refuseOpen = false;
    std::string hangIn;  // the first call of this text ("write 3") blocks until Release
    bool released = false;
    bool hanging = false;

    std::vector<std::string> Calls() {
        const std::lock_guard lock(mutex);
        return calls;
    }
    void Release() {
        const std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
    // Waits until `done` holds; false after `seconds` without it.
    template <typename Done>
    bool WaitUntil(Done done, int seconds = 5) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(seconds), [&] { return done(*this); });
    }
};

class FakeWaveDevice : public WaveDevice {
  public:
    explicit FakeWaveDevice(std::shared_ptr<FakeWaveRecord> record) : record_(std::move(record)) {}

    bool Open(uint32_t rate) override {
        Enter("open " + std::to_string(rate));
        return !record_->refuseOpen;
    }
    bool Prepare(int32_t slot, const uint8_t* samples, uint32_t count) override {
        Enter("prepare " + std::to_string(slot));
        const std::lock_guard lock(record_->mutex);
        record_->prepared[slot].assign(samples, samples + count);
        return true;
    }
    bool Write(int32_t slot, bool loop) override {
        Enter("write " + std::to_string(slot) + (loop ? " loop" : ""),
              [&] { record_->queued.emplace_back(slot, loop); });
        return true;
    }
    void Reset() override {
        Enter("reset", [&] { record_->queued.clear(); });
    }
    void Close() override { Enter("close"); }

  private:
    // The call and what it does to the queue are seen together: a test that waits for the
    // call must find its effect too.
    void Enter(const std::string& call, const std::function<void()>& effect = {}) {
        std::unique_lock lock(record_->mutex);
        record_->calls.push_back(call);
        record_->threads.insert(std::this_thread::get_id());
        if (effect) {
            effect();
        }
        if (call == record_->hangIn && !record_->hanging) {
            record_->hanging = true;
            record_->changed.notify_all();
            record_->changed.wait(lock, [&] { return record_->released; });
        }
        record_->changed.notify_all();
    }

    std::shared_ptr<FakeWaveRecord> record_;
};

}  // namespace korvane::testing
