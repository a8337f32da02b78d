// One line, one schedule: the main dialog keeps its port and its poll ticks; the bus poller gets
// the line time between the main dialog's exchanges. No threads: the owner calls Tick() every
// few milliseconds (10 ms in the program) and the main dialog talks through MainPort().
//
// The rule, in short:
// - Bytes belong to the exchange on the wire when they come: while a bus request is out they go
//   to its client, otherwise to the main dialog, which reads them through MainPort() exactly as it
//   read the port (the count, the input, a discard).
// - A request of the main dialog opens its exchange; it is settled when its reply (address,
//   function and byte count, FindReply) or an exception reply is in, or when its reply could no
//   longer come (request, reply, the longest answer time). A bus request goes out only while no
//   exchange is open, after 3.5 characters of silence, and only when it ends before the main
//   dialog's next poll tick (counted in whole periods from the moment its timer was set; the
//   client picks a request that fits): its whole exchange (request, reply, the meter's answer
//   allowance, the silence) less a small guard; or, for a meter whose answer time is known, its
//   exchange answered that fast, with the whole exchange reaching at most 50 ms past the tick.
//   Without the poll timer the bus has the line.
// - Should the main dialog send while a bus request is still on the wire (a command, a probe, a
//   poll tick after a late timer), MainPort() first waits, spinning on the clock as the blocking
//   exchange does, until that exchange is settled and the silence kept; then it sends. The poll
//   ticks are planned around: they wait only for a meter answering later than it did before, or
//   not at all, and then at most 50 ms (a silence more while foreign bytes keep the line busy).
// The main dialog tells when its poll timer is set and killed (MainPollTimer); that is all it
// does beyond using MainPort() as its serial control. Its writes are told to the client
// (MainDialogWrote): the meter written to may have other settings now.
// A program without a window (the service) holds the port through MainPort() the same way (open,
// settings, close) but sends nothing itself; between ticks it sleeps for MsUntilTick() and takes
// the errors the ticks met with TakeLineError().
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "bus/LineClient.h"
#include "modbus/Clock.h"
#include "serial/SerialControl.h"
#include "serial/SerialError.h"

namespace kt::bus {

class LineScheduler {
 public:
  LineScheduler(serial::SerialControl& line, modbus::Clock& clock);
  LineScheduler(const LineScheduler&) = delete;
  LineScheduler& operator=(const LineScheduler&) = delete;
  LineScheduler(LineScheduler&&) = delete;
  LineScheduler& operator=(LineScheduler&&) = delete;
  ~LineScheduler() = default;

  // The serial control the main dialog is given instead of the line.
  serial::SerialControl& MainPort() { return mainPort_; }
  // The main dialog's poll timer set with `periodMs`, or killed (0).
  void MainPollTimer(uint32_t periodMs);

  // The one client besides the main dialog (the bus poller); nullptr: none. An exchange of a
  // client taken away is left to settle unseen.
  void SetClient(LineClient* client);
  // Takes what came, settles the exchange on the wire, and sends the client's next request when
  // it fits. A serial error is left to the main dialog, which meets it on its next access.
  void Tick();

  // How long Tick() has nothing to act on: the open exchange's reply cannot be whole yet, or
  // the line's silence has not passed; at most the time until the exchange's deadline. None
  // when no exchange is open and the line is quiet: then the client's wish decides.
  std::optional<uint32_t> MsUntilTick(uint32_t now) const;
  // The serial error the ticks met since the last call (the main dialog meets the same one at
  // its next access; an owner without a main dialog takes it here).
  std::optional<serial::SerialError> TakeLineError() { return std::exchange(lineError_, {}); }

  // Observation, for tests and figures.
  bool BusExchangeOnWire() const { return open_ && open_->bus; }
  int32_t BaudRate() const { return baudRate_; }
  // The tick by which the main dialog's next poll tick is due, when its timer runs.
  std::optional<uint32_t> NextMainTick(uint32_t now) const;

 private:
  struct OpenExchange {
    bool bus = false;
    uint32_t sentAt = 0;
    uint32_t requestMs = 0;
    uint32_t deadline = 0;  // by then the reply would have been in
    uint8_t address = 0;
    uint8_t function = 0;
    int16_t replyLength = 0;  // 0: none is expected
    int16_t trailingBytes = 0;
    std::vector<uint8_t> bytes;
    BusRequest request;  // the bus's
  };

  class MainDialogPort : public serial::SerialControl {
   public:
    explicit MainDialogPort(LineScheduler& owner) : owner_(owner) {}
    void SetCommPort(int16_t port) override;
    void SetSettings(const std::string& settings) override;
    void SetPortOpen(bool open) override;
    bool GetPortOpen() const override;
    void SetInputLen(int16_t length) override;
    void SetInBufferCount(int16_t count) override;
    int16_t GetInBufferCount() override;
    std::vector<uint8_t> GetInput() override;
    void SetOutput(const std::vector<uint8_t>& bytes) override;

   private:
    LineScheduler& owner_;
  };

  // Takes the waiting bytes and gives them to the exchange on the wire (or the main dialog).
  void Pull();
  // Settles the open exchange when its reply is in or its time is over.
  void Settle();
  void CloseExchange(bool lineClosed);
  bool LineQuiet(uint32_t now) const;
  void SendBusRequest(BusRequest request, uint32_t now);
  void MainSends(const std::vector<uint8_t>& frame);
  void LineClosed();

  serial::SerialControl& line_;
  modbus::Clock& clock_;
  MainDialogPort mainPort_{*this};
  LineClient* client_ = nullptr;
  int32_t baudRate_ = 9600;
  std::optional<OpenExchange> open_;
  std::vector<uint8_t> mainInput_;  // what the main dialog's next read takes
  uint32_t quietFrom_ = 0;          // the line carried its last byte then
  uint32_t pollPeriodMs_ = 0;       // 0: the poll timer is off
  uint32_t pollAnchor_ = 0;         // when the poll timer was set
  std::optional<serial::SerialError> lineError_;
};

}  // namespace kt::bus
