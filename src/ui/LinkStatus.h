// The state of the link to the meter as the window shows it: state, device, counters, last data.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "modbus/ReplyCheck.h"

namespace kt::ui {

enum class LinkState {
  NotRunning,      // neither polling nor a search runs
  Waiting,         // a request went out; its reply has not been judged yet
  Ok,              // the latest exchange got its valid reply
  NoReply,         // nothing came back
  InvalidReply,    // bytes came back, but no valid reply
  ExceptionReply,  // the slave answered with an exception
  PortNotOpen,     // the port could not be opened
  PortLost,        // the device went away while open
  OutputStalled,   // the device took no output
};

// Fed by what the main dialog does; keeps no clock and draws nothing itself.
class LinkStatus {
 public:
  // Polling or a search switched on (true) or off. Switching on waits for the first judgement.
  void SetActive(bool active);
  // The port opened on `device` (also after it was lost): the next judgement is awaited.
  void PortOpened(const std::string& device);
  void PortNotOpen();
  // The port could not be opened; `why` (the device and the reason) shows as the device.
  void PortRefused(const std::string& why);
  void PortLost();
  // A request handed to the port; counted only while it can go out. A broadcast (no reply
  // expected) leaves no read awaited.
  void RequestSent(bool replyExpected = true);
  // A request that expects a reply is out and no read has been judged since.
  bool AwaitingReply() const { return awaiting_; }
  // A write completed; a stall it had is over.
  void OutputFlowed();
  void OutputStalled();
  // A read judged against the reply of the latest request; a read with no request out is not
  // an exchange and is ignored.
  void ReplyJudged(const modbus::ReplyVerdict& verdict);
  // A measurement block decoded at the given local time.
  void BlockDecoded(std::time_t when);

  LinkState State() const;
  // The state in words ("正常", "异常应答 0x02 非法数据地址", ...).
  std::string StateText() const;
  // Every state but not running, waiting and normal is drawn in red.
  bool Alarming() const;
  const std::string& DeviceText() const { return device_; }
  // "请求 R  应答 A  无应答 N  无效 V".
  std::string CounterText() const;
  // HH:MM:SS of the latest block, empty before the first.
  const std::string& LastDataText() const { return lastData_; }

 private:
  bool active_ = false;
  bool open_ = false;
  bool lost_ = false;
  bool stalled_ = false;
  bool awaiting_ = false;  // a request is out and its read not yet judged
  LinkState judged_ = LinkState::Waiting;
  uint8_t exceptionCode_ = 0;
  std::string device_;
  std::string lastData_;
  uint64_t requests_ = 0;
  uint64_t replies_ = 0;
  uint64_t silent_ = 0;
  uint64_t invalid_ = 0;
};

}  // namespace kt::ui
