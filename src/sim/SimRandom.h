#pragma once
// The simulator's own random numbers: splitmix64, so that a seed gives the same stream on every
// platform and standard library (std distributions differ between implementations).
#include <cstdint>

namespace kb::sim {

class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform in [0, 1): the top 53 bits as a fraction.
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

  // Uniform in [0, n) for n > 0 (the tiny modulo bias does not matter here).
  unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }

 private:
  std::uint64_t state_;
};

}  // namespace kb::sim
