// The simulated meter's line end: framing, reply timing and line changes.
#include "sim/MeterPort.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kt::sim {
namespace {

std::string ValuesLine(const MeasuredValues& v) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "VALUES Ua=%.4f Ub=%.4f Uc=%.4f Uca=%.4f Uab=%.4f Ubc=%.4f Ia=%.6f Ib=%.6f Ic=%.6f "
                "Pa=%.4f Pb=%.4f Pc=%.4f PFa=%.6f PFb=%.6f PFc=%.6f Qa=%.4f Qb=%.4f Qc=%.4f "
                "Sa=%.4f Sb=%.4f Sc=%.4f I0=%.6f U=%.4f I=%.6f F=%.6f P=%.4f PF=%.6f Q=%.4f S=%.4f "
                "EPf=%.3f EPr=%.3f EQf=%.3f EQr=%.3f VS=%u CS=%u",
                v.phaseVoltage[0], v.phaseVoltage[1], v.phaseVoltage[2], v.lineVoltage[0],
                v.lineVoltage[1], v.lineVoltage[2], v.current[0], v.current[1], v.current[2],
                v.activePower[0], v.activePower[1], v.activePower[2], v.powerFactor[0],
                v.powerFactor[1], v.powerFactor[2], v.reactivePower[0], v.reactivePower[1],
                v.reactivePower[2], v.apparentPower[0], v.apparentPower[1], v.apparentPower[2],
                v.zeroSequenceCurrent, v.combinedVoltage, v.combinedCurrent, v.frequencyHz,
                v.totalActivePower, v.totalPowerFactor, v.totalReactivePower, v.totalApparentPower,
                v.forwardActiveEnergyWh, v.reverseActiveEnergyWh, v.forwardReactiveEnergyVarh,
                v.reverseReactiveEnergyVarh, unsigned{v.voltageStatus}, unsigned{v.currentStatus});
  return text;
}

const char* ParityLetter(int32_t parity) {
  return parity == 1 ? "O" : parity == 2 ? "E" : "N";
}

}  // namespace

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string text;
  char digits[4];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", b);
    text += digits;
  }
  return text;
}

MeterPort::MeterPort(const MeterConfig& config)
    : meter_(config),
      slave_(meter_),
      faults_(config.faults),
      assembler_(SilenceUs(config.baudRate)),
      delayFromRequestEnd_(config.delayFromRequestEnd),
      anyParity_(config.anyParity),
      replyLine_(meter_.line()) {}

bool MeterPort::Understands(LineSettings sender) const {
  return sender == meter_.line() || (anyParity_ && sender.baud == meter_.baudRate());
}

std::vector<std::string> MeterPort::TakeLog() {
  return std::exchange(log_, {});
}

void MeterPort::Log(uint64_t atUs, const std::string& text) {
  if (!logging_) return;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%llu.%03llu ", static_cast<unsigned long long>(atUs / 1000),
                static_cast<unsigned long long>(atUs % 1000));
  log_.push_back(stamp + text);
}

void MeterPort::Receive(uint8_t byte, uint64_t atUs, LineSettings sender) {
  AdvanceTo(atUs);
  if (!Understands(sender)) {
    // A master at another rate or parity gives the meter's receiver only garbage.
    if (!assembler_.SilenceDeadlineUs()) {
      char note[96];
      std::snprintf(note, sizeof note, "not understood: master at %d %s, meter at %d %s",
                    sender.baud, ParityLetter(sender.parity), meter_.baudRate(),
                    ParityLetter(meter_.parity()));
      Log(atUs, note);
    }
    assembler_.Garble(atUs);
    return;
  }
  replyLine_ = anyParity_ ? sender : meter_.line();
  if (auto frame = assembler_.Feed(byte, atUs)) HandleFrame(*frame);
}

void MeterPort::AdvanceTo(uint64_t nowUs) {
  if (lineChangeAtUs_ && *lineChangeAtUs_ <= nowUs) {
    meter_.CommitLineChange();
    assembler_.SetSilenceUs(SilenceUs(meter_.baudRate()));
    lineChangeAtUs_.reset();
    char note[64];
    std::snprintf(note, sizeof note, "line now %d %s", meter_.baudRate(),
                  ParityLetter(meter_.parity()));
    Log(nowUs, note);
  }
  if (auto frame = assembler_.CloseOnSilence(nowUs)) HandleFrame(*frame);
}

void MeterPort::HandleFrame(const FrameAssembler::Frame& frame) {
  Log(frame.endUs, "RX " + HexBytes(frame.bytes));
  if (Busy()) {
    Log(frame.endUs, "ignored: busy with the previous reply");
    return;
  }
  const uint64_t blocksBefore = meter_.blockCount();
  SlaveReply reply = slave_.Handle(frame.bytes, frame.endUs);
  if (!reply.note.empty()) Log(frame.endUs, reply.note);
  if (logging_ && meter_.blockCount() != blocksBefore)
    Log(frame.endUs, ValuesLine(meter_.lastBlock()));

  const int32_t baud = meter_.baudRate();
  const uint64_t delayUs = uint64_t{meter_.responseDelayMs()} * 1000;
  uint64_t at = frame.endUs + (delayFromRequestEnd_ ? std::max(SilenceUs(baud), delayUs)
                                                    : SilenceUs(baud) + delayUs);
  if (!reply.bytes.empty()) {
    const std::vector<ReplyBurst> bursts = faults_.Shape(std::move(reply.bytes), reply.frameLength);
    if (bursts.empty()) Log(frame.endUs, "reply dropped (fault)");
    for (const ReplyBurst& burst : bursts) {
      at += burst.gapUs;
      const uint64_t start = at;
      for (size_t n = 0; n < burst.bytes.size(); ++n) {
        at = wireTiming_ ? start + CharEndUs(n, baud) : start;
        outgoing_.push_back({at, burst.bytes[n], replyLine_, false});
      }
      Log(start, "TX " + HexBytes(burst.bytes));
    }
  }
  // The new line settings hold from the end of the acknowledgement on (or at once, unanswered).
  if (meter_.HasPendingLineChange()) lineChangeAtUs_ = outgoing_.empty() ? frame.endUs : at;
}

std::vector<TimedByte> MeterPort::TakeSent(uint64_t nowUs) {
  std::vector<TimedByte> sent;
  while (!outgoing_.empty() && outgoing_.front().atUs <= nowUs) {
    sent.push_back(outgoing_.front());
    outgoing_.pop_front();
  }
  return sent;
}

std::optional<uint64_t> MeterPort::NextEventUs() const {
  std::optional<uint64_t> next = assembler_.SilenceDeadlineUs();
  const auto earlier = [&](uint64_t t) {
    if (!next || t < *next) next = t;
  };
  if (!outgoing_.empty()) earlier(outgoing_.front().atUs);
  if (lineChangeAtUs_) earlier(*lineChangeAtUs_);
  return next;
}

}  // namespace kt::sim
