// Runs a step when the scope ends, however it ends: the one way the program puts a flag,
// a profile or a button state back.
#pragma once

#include <utility>

namespace qp {

template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F step) : step_(std::move(step)) {}
  ~ScopeExit() {
    if (armed_) step_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  // The scope ended as planned and took care of it itself.
  void Dismiss() { armed_ = false; }

 private:
  F step_;
  bool armed_ = true;
};

// Sets the flag for the scope's duration.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace qp
