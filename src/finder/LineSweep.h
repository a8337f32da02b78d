// One line's sweep: its own schedule of settings and addresses, never two requests on its wire.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "finder/FinderTypes.h"
#include "finder/HeardFrames.h"
#include "finder/SweepOrder.h"
#include "modbus/Clock.h"
#include "serial/SerialControl.h"

namespace kt::finder {

// Opens nothing yet: returns the serial control for a line with its port selected. The finder
// sets the line settings, opens and closes it. May throw serial::SerialError.
using LineOpener = std::function<std::unique_ptr<serial::SerialControl>(const CandidateLine&)>;

// What every line's sweep adds to.
struct FinderResults {
  std::vector<FoundMeter> found;
  std::vector<LineFailure> failures;
};

// Each Tick takes what the line brought and, once the request on its way is settled and the
// line has rested, sends the next: a meter asked again first (a late reply named it), then the
// next address of the schedule. A request is answered only by a whole read reply from the
// address asked, with the byte count of the registers asked, and no other master's request
// between. Any other sign of life (stray bytes, a corrupted reply, an exception, another
// master's request) earns the request one more try.
class LineSweep {
 public:
  LineSweep(CandidateLine line, const std::vector<SweepSetting>& settings, LineOpener& opener,
            modbus::Clock& clock, FinderResults& results);
  ~LineSweep();
  LineSweep(const LineSweep&) = delete;
  LineSweep& operator=(const LineSweep&) = delete;

  void Tick();
  // Forgets the request on its way and closes the line.
  void Stop();
  bool Done() const { return done_; }
  std::optional<Attempt> Current() const;
  uint32_t CurrentWaitMs() const { return pending_ ? pending_->dueMs : 0; }
  // Probes of the schedule, done (or made unnecessary) and all; the milliseconds the rest takes
  // if nothing more answers.
  uint64_t ProbesTotal() const { return probesTotal_; }
  uint64_t ProbesDone() const { return probesTotal_ - Remaining().probes; }
  uint64_t RemainingMs() const;

 private:
  enum class RequestKind { Probe, Reask, Configuration };
  struct Request {
    RequestKind kind = RequestKind::Probe;
    int settingIndex = -1;
    int address = kFirstAddress;
    uint32_t answerMs = 0;
    int tries = 1;
  };
  struct Pending : Request {
    uint32_t sentAtTick = 0;
    uint32_t dueMs = 0;  // the first byte of the reply by then, counted from sentAtTick
    std::optional<uint32_t> lastArrivalTick{};
    bool lifeSeen = false;
    bool foreignSeen = false;  // another master's request came after ours
    std::optional<std::vector<uint8_t>> answer{};
  };

  struct Work {
    uint64_t probes = 0;
    uint64_t ms = 0;
  };
  Work Remaining() const;

  bool Reached(uint32_t tick) const;
  bool Open();
  // Takes what came; false when the line failed.
  bool Listen();
  void Consider(const HeardFrame& frame);
  void Evidence(uint8_t address);
  // True once the request on its way is settled.
  bool Settle();
  void Answered(Pending p);
  void TimedOut(Pending p);
  void Rest(uint32_t fromTick);
  void SendNext();
  std::optional<Request> NextProbe();
  const SweepStage* NextStage();
  bool ApplySetting(int settingIndex);
  bool ConnectionMade();
  void Send(const Request& request);
  void List(const Request& request, std::optional<modbus::MeterConfiguration> configuration);
  bool Known(int settingIndex, int address) const;
  uint32_t AnswerMsFor(int settingIndex) const;
  int32_t Baud(int settingIndex) const;
  void Fail(const std::string& reason);
  void Close();

  CandidateLine line_;
  const std::vector<SweepSetting>& settings_;
  LineOpener& opener_;
  modbus::Clock& clock_;
  FinderResults& results_;

  std::vector<SweepStage> stages_;
  size_t stage_ = 0;
  int nextAddress_ = 0;
  // 0: addresses 1..16 at every setting (twice at the most likely); 1: the same again at the
  // others, for a reply that was lost; 2: the other addresses, first where something was heard.
  int pass_ = 0;
  std::vector<uint8_t> heard_;  // per setting: something came back

  std::unique_ptr<serial::SerialControl> port_;
  bool connected_ = false;
  int appliedSetting_ = -2;  // none yet
  HeardFrames frames_;
  std::optional<Pending> pending_;
  std::optional<Request> next_;  // goes out once the line has rested
  std::optional<uint32_t> restUntilTick_;
  // After a probe with the short allowance: when a slow meter's late reply to it would be in.
  // The line keeps its settings and stays open till then.
  std::optional<uint32_t> lateRepliesInByTick_;
  std::optional<Request> held_;             // the next probe, held back meanwhile
  std::deque<std::pair<int, int>> reasks_;  // setting and address named by a late reply
  std::set<std::pair<int, int>> asked_;
  uint64_t probesTotal_ = 0;
  bool done_ = false;
};

}  // namespace kt::finder
