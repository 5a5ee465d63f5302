#pragma once

#include <cstdint>

namespace korvane {

// The show's one random source: a linear congruential generator seeded with 1 and never
// reseeded, so the whole show repeats exactly on every run. Each Next() yields bits 16..30
// of the new seed (0..32767). Every caller draws in a fixed, documented order. Other screens
// run the same generator from seeds of their own.
class ShowRandom {
  public:
    ShowRandom() = default;
    explicit ShowRandom(uint32_t seed) : seed_(seed) {}
    virtual ~ShowRandom() = default;

    int32_t Next() {
        seed_ = seed_ * 214013u + 2531011u;
        return static_cast<int32_t>((seed_ >> 16) & 0x7fffu);
    }

    uint32_t seed() const { return seed_; }

  private:
    uint32_t seed_ = 1;
};

}  // namespace korvane
