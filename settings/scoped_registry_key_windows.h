#pragma once

#include <windows.h>

namespace korvane {

// Owns one open registry key and closes it on every way out.
class ScopedRegistryKey {
  public:
    ScopedRegistryKey() = default;
    explicit ScopedRegistryKey(HKEY key) : key_(key) {}
    ~ScopedRegistryKey() { Reset(); }
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // For the Reg*Ex calls that hand back a key.
    HKEY* Receive() {
        Reset();
        return &key_;
    }
    void Reset() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
            key_ = nullptr;
        }
    }

  private:
    HKEY key_ = nullptr;
};

}  // namespace korvane
