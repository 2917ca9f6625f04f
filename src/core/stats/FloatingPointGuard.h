#pragma once

#include <cfenv>

namespace ombrel {

// Keeps a computation's floating-point exceptions to itself: saves the
// environment and holds exceptions on construction, restores both (the
// caller's flags as they were) on destruction. Clean() tells whether the
// computation since raised none of invalid, divide-by-zero and overflow, the
// flags an analysis would report as a fault; a function that finds one gives
// the empty marker instead.
class TFloatingPointGuard {
 public:
  TFloatingPointGuard() { std::feholdexcept(&mSaved); }
  ~TFloatingPointGuard() { std::fesetenv(&mSaved); }
  TFloatingPointGuard(const TFloatingPointGuard&) = delete;
  TFloatingPointGuard& operator=(const TFloatingPointGuard&) = delete;

  bool Clean() const { return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) == 0; }

 private:
  std::fenv_t mSaved;
};

}  // namespace ombrel
