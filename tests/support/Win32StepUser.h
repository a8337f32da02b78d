// A user's steps (StepScript) played inside a Win32 program's own loops: polled from a thread
// timer, which ticks in every modal loop, also in one a step's action opens (a click sent rather
// than posted): the next steps then run inside it. After a failure `giveUp` is called once a
// second until the program has ended.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "StepScript.h"
#include "win32/WindowsApi.h"

namespace kt::testing {

class Win32StepUser {
 public:
  static constexpr UINT kPeriodMs = 50;

  Win32StepUser(std::vector<StepScript::Step> steps, std::function<void()> giveUp)
      : script_(std::move(steps)), giveUp_(std::move(giveUp)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, kPeriodMs, &Win32StepUser::Tick);
  }
  ~Win32StepUser() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  Win32StepUser(const Win32StepUser&) = delete;
  Win32StepUser& operator=(const Win32StepUser&) = delete;

  bool Done() const { return script_.Done(); }
  const std::string& Failure() const { return script_.Failure(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (self_ != nullptr) self_->Poll();
  }
  void Poll() {
    if (script_.Failed() && ++givingUp_ % kGiveUpEveryTicks == 1) giveUp_();
    if (auto act = script_.Poll(static_cast<int64_t>(GetTickCount64()))) act();
  }

  static inline Win32StepUser* self_ = nullptr;  // the test's one user, for the timer procedure
  StepScript script_;
  std::function<void()> giveUp_;
  UINT_PTR timer_ = 0;
  int givingUp_ = 0;
  static constexpr int kGiveUpEveryTicks = 1000 / kPeriodMs;
};

}  // namespace kt::testing
