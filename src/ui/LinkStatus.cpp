// The link status: what the latest exchanges say about the line and the meter.
#include "ui/LinkStatus.h"

#include "values/LocalTimeText.h"

namespace kt::ui {

void LinkStatus::SetActive(bool active) {
  if (active && !active_) {
    judged_ = LinkState::Waiting;
    awaiting_ = false;
  }
  active_ = active;
}

void LinkStatus::PortOpened(const std::string& device) {
  open_ = true;
  lost_ = false;
  stalled_ = false;
  awaiting_ = false;
  judged_ = LinkState::Waiting;
  device_ = device;
}

void LinkStatus::PortNotOpen() {
  open_ = false;
  lost_ = false;
  awaiting_ = false;
}

void LinkStatus::PortRefused(const std::string& why) {
  PortNotOpen();
  device_ = why;
}

void LinkStatus::PortLost() {
  open_ = false;
  lost_ = true;
  awaiting_ = false;
}

void LinkStatus::RequestSent(bool replyExpected) {
  if (!open_) return;
  ++requests_;
  awaiting_ = replyExpected;
}

void LinkStatus::OutputFlowed() {
  if (!stalled_) return;
  stalled_ = false;
  judged_ = LinkState::Waiting;
}

void LinkStatus::OutputStalled() {
  stalled_ = true;
}

void LinkStatus::ReplyJudged(const modbus::ReplyVerdict& verdict) {
  if (!awaiting_) return;
  awaiting_ = false;
  switch (verdict.outcome) {
    case modbus::ReplyOutcome::Valid:
      ++replies_;
      judged_ = LinkState::Ok;
      break;
    case modbus::ReplyOutcome::Exception:
      ++replies_;
      judged_ = LinkState::ExceptionReply;
      exceptionCode_ = verdict.exceptionCode;
      break;
    case modbus::ReplyOutcome::NoReply:
      ++silent_;
      judged_ = LinkState::NoReply;
      break;
    case modbus::ReplyOutcome::Incomplete:
    case modbus::ReplyOutcome::CrcError:
    case modbus::ReplyOutcome::WrongAddress:
    case modbus::ReplyOutcome::Garbage:
      ++invalid_;
      judged_ = LinkState::InvalidReply;
      break;
  }
}

void LinkStatus::BlockDecoded(std::time_t when) {
  lastData_ = values::LocalTimeText(std::chrono::system_clock::from_time_t(when),
                                    values::TimeFields::Seconds);
}

LinkState LinkStatus::State() const {
  if (lost_) return LinkState::PortLost;
  if (!open_) return LinkState::PortNotOpen;
  if (stalled_) return LinkState::OutputStalled;
  if (!active_) return LinkState::NotRunning;
  return judged_;
}

std::string LinkStatus::StateText() const {
  switch (State()) {
    case LinkState::NotRunning:
      return "未运行";
    case LinkState::Waiting:
      return "等待应答";
    case LinkState::Ok:
      return "正常";
    case LinkState::NoReply:
      return "无应答";
    case LinkState::InvalidReply:
      return "应答无效";
    case LinkState::ExceptionReply:
      return "异常应答 " + modbus::ExceptionText(exceptionCode_);
    case LinkState::PortNotOpen:
      return "串口未打开";
    case LinkState::PortLost:
      return "串口已断开";
    case LinkState::OutputStalled:
      return "串口输出受阻";
  }
  return "";
}

bool LinkStatus::Alarming() const {
  const LinkState s = State();
  return s != LinkState::NotRunning && s != LinkState::Waiting && s != LinkState::Ok;
}

std::string LinkStatus::CounterText() const {
  return "请求 " + std::to_string(requests_) + "  应答 " + std::to_string(replies_) + "  无应答 " +
         std::to_string(silent_) + "  无效 " + std::to_string(invalid_);
}

}  // namespace kt::ui
