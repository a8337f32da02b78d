// One blocking exchange: discard, send, fixed wait, take, search.
#include "modbus/BlockingExchange.h"

#include <algorithm>

#include "modbus/FindFrame.h"
#include "modbus/FixedWait.h"
#include "modbus/SerialInput.h"

namespace kt::modbus {

ExchangeResult BlockingExchange(const ExchangeLine& line, const RequestBuffer& request,
                                ReceiveBuffer& receive, uint8_t replyAddress,
                                const ExchangeParams& params) {
  const auto discard = [&line] {
    const std::vector<uint8_t> dropped = DiscardPendingInput(line.comm);
    if (line.discarded) line.discarded(dropped);
  };
  if (params.discard == DiscardInput::BeforeSending) discard();
  const auto requestLength =
      static_cast<size_t>(std::clamp<int>(params.requestLength, 0, kRequestBufferSize));
  line.send(std::span(request).first(requestLength));
  if (params.discard == DiscardInput::AfterSending) discard();
  WaitFixed(line.clock, params.waitMs);
  const int16_t received = TakeReceivedBytes(line.comm, receive);
  int16_t position = -1;
  if (params.replyLength != kNoSearch) {
    position = FindReply(std::span(receive).first(static_cast<size_t>(received)),
                         SlaveAddress(replyAddress), FunctionCode(params.replyFunction),
                         params.replyLength);
  }
  return ExchangeResult{position, received};
}

}  // namespace kt::modbus
