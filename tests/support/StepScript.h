// A user's steps for a test that plays the user inside the program's own loops, on any toolkit:
// each step waits for its moment (a condition), then acts once. The toolkit's side polls it from
// a timer that ticks in every modal loop and decides how to run the action it hands back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kt::testing {

class StepScript {
 public:
  static constexpr int64_t kDefaultLimitMs = 20000;

  struct Step {
    std::string what;
    std::function<bool()> ready;
    std::function<void()> act;
    int64_t limitMs = kDefaultLimitMs;
  };

  StepScript() = default;
  explicit StepScript(std::vector<Step> steps) : steps_(std::move(steps)) {}

  void Then(std::string what, std::function<bool()> ready, std::function<void()> act,
            int64_t limitMs = kDefaultLimitMs) {
    steps_.push_back({std::move(what), std::move(ready), std::move(act), limitMs});
  }

  // At `nowMs` on any steady clock: the next step's action when its moment has come (the step
  // then counts as done), or nothing. A step whose moment has not come within its limit, counted
  // from the step before, fails the script; `onTop` then says what the user sees.
  std::function<void()> Poll(int64_t nowMs, const std::function<std::string()>& onTop = {}) {
    if (!started_) {
      started_ = true;
      sinceMs_ = nowMs;
    }
    if (Done() || Failed()) return {};
    Step& step = steps_[next_];
    if (step.ready()) {
      ++next_;
      sinceMs_ = nowMs;
      return step.act;
    }
    if (nowMs - sinceMs_ > step.limitMs) {
      failure_ = "step \"" + step.what + "\" not reached";
      if (onTop) failure_ += "; on top: " + onTop();
    }
    return {};
  }

  std::size_t Size() const { return steps_.size(); }
  bool Done() const { return next_ == steps_.size(); }
  bool Failed() const { return !failure_.empty(); }
  const std::string& Failure() const { return failure_; }

 private:
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool started_ = false;
  int64_t sinceMs_ = 0;
  std::string failure_;
};

}  // namespace kt::testing
