// Borrowing a port for the finder and giving it back.
#include "finder/LentLine.h"

#include <utility>

namespace kt::finder {

LentLine::LentLine(std::unique_ptr<serial::SerialControl> inner, std::function<void()> giveBack)
    : inner_(std::move(inner)), giveBack_(std::move(giveBack)) {}

LentLine::~LentLine() {
  // The port is free only once the finder's own control of it has let it go.
  inner_.reset();
  if (giveBack_) giveBack_();
}

LineOpener LendingOpener(LineOpener opener, PortLending lending) {
  if (!lending.lend) return opener;
  return [opener = std::move(opener), lending = std::move(lending)](
             const CandidateLine& line) -> std::unique_ptr<serial::SerialControl> {
    if (!lending.lend(line.portNumber)) return opener(line);
    const auto giveBack = [lending, number = line.portNumber] {
      if (lending.giveBack) lending.giveBack(number);
    };
    std::unique_ptr<serial::SerialControl> own;
    try {
      own = opener(line);
    } catch (...) {
      giveBack();
      throw;
    }
    return std::make_unique<LentLine>(std::move(own), giveBack);
  };
}

}  // namespace kt::finder
