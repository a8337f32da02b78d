// The main dialog and the bus poller sharing one simulated line: the main dialog's ticks keep
// their frames and period, a command holds the line, and no two requests are on the wire.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "BusOnLine.h"
#include "Frames.h"
#include "bus/BusTable.h"
#include "workbench/CsvRecorder.h"

namespace kt::testing {
namespace {

using values::Quantity;

const Bytes kBlock17 = ReadRequest(17, 0x0000, 45);
const Bytes kMultiplier17 = ReadRequest(17, 0x030A, 1);

std::vector<sim::SimulatedLine::Sent> WrittenTo(const sim::SimulatedLine& line, uint8_t address,
                                                uint64_t fromMs) {
  std::vector<sim::SimulatedLine::Sent> out;
  for (const auto& w : line.Written()) {
    if (w.bytes[0] == address && w.atMs >= fromMs) out.push_back(w);
  }
  return out;
}

// Three meters with their own ratios and answer times; the main dialog polls 17 meanwhile.
class SharedLine : public ::testing::Test {
 protected:
  BusOnLine line{{MeterAt(17, 100, 40, 30), MeterAt(3, 350, 60, 20), MeterAt(200, 1, 200, 90)}};
};

TEST_F(SharedLine, EachMeterShowsItsOwnRatiosWhileTheMainDialogKeepsItsTicks) {
  line.PollInMainDialog(17);
  line.Poll("3,17,200");
  line.Run(10000);

  struct Expected {
    uint8_t address;
    double pt, ct;
    bool fromMainDialog;
  };
  for (const Expected e :
       {Expected{3, 350, 60, false}, Expected{17, 100, 40, true}, Expected{200, 1, 200, false}}) {
    const bus::BusMeter* m = line.poller.Find(e.address);
    ASSERT_NE(m, nullptr);
    ASSERT_TRUE(m->lastBlock.has_value()) << int(e.address);
    EXPECT_NEAR((*m->lastBlock)[Quantity::PhaseVoltageA], kPhaseAVolts * e.pt,
                0.01 * kPhaseAVolts * e.pt);
    EXPECT_NEAR((*m->lastBlock)[Quantity::CurrentA], kPhaseAAmps * e.ct, 0.01 * kPhaseAAmps * e.ct);
    EXPECT_EQ(m->fedByMainDialog, e.fromMainDialog) << int(e.address);
    EXPECT_EQ(m->link.StateText(), "正常");
  }

  // The main dialog's requests: its cycle's frames, one every 500 ms; from its first block on
  // nobody else asks meter 17.
  const auto main = WrittenTo(*line.h.meter, 17, 3000);
  ASSERT_GE(main.size(), 10u);
  for (size_t i = 1; i < main.size(); ++i) {
    EXPECT_EQ(main[i].atMs - main[i - 1].atMs, 500u) << i;
    const Bytes& expected = main[i - 1].bytes == kBlock17 ? kMultiplier17 : kBlock17;
    EXPECT_EQ(main[i].bytes, expected) << i;
  }
  // Between its ticks (7 s here) the bus reads the other two in turn.
  EXPECT_GE(WrittenTo(*line.h.meter, 3, 3000).size(), 6u);
  EXPECT_GE(WrittenTo(*line.h.meter, 200, 3000).size(), 6u);
  line.ExpectOneRequestAtATime();
}

// Recording every meter: the bus's blocks go to the recorder beside the main dialog's.
TEST_F(SharedLine, RecordingAllMetersWritesEachAddressWithItsRowsValues) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("kt7340-bus-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".csv");
  std::filesystem::remove(path);
  workbench::CsvRecorder recorder;
  ASSERT_EQ(recorder.Start(path.string()), "");
  line.poller.onBlock = [&recorder](const values::MeasuredBlock& b) { recorder.Write(b); };
  line.Poll("3,200");
  line.Run(5000);
  recorder.Stop();

  std::ifstream file(path);
  std::string row;
  std::map<std::string, std::string> lastRow;  // by the slave address column
  std::map<std::string, int> rows;
  std::getline(file, row);  // the header
  while (std::getline(file, row)) {
    const size_t first = row.find(',');
    const std::string address = row.substr(first + 1, row.find(',', first + 1) - first - 1);
    ++rows[address];
    lastRow[address] = row;
  }
  file.close();  // Windows removes no open file
  std::filesystem::remove(path);
  for (const bus::BusTableRow& r : bus::BusTableRows(line.poller)) {
    const std::string address = r[bus::BusColumn::Address];
    EXPECT_GE(rows[address], 5) << address;
    // The row's phase A voltage is the file's third column.
    const std::string voltageA =
        r[bus::BusColumn::PhaseVoltage].substr(0, r[bus::BusColumn::PhaseVoltage].find('/'));
    EXPECT_NE(lastRow[address].find("," + address + "," + voltageA + ","), std::string::npos)
        << lastRow[address];
  }
  EXPECT_EQ(rows.size(), 2u);
}

TEST_F(SharedLine, ACommandWaitsForTheBusRequestOnTheWireAndGetsItsReply) {
  line.PollInMainDialog(17);
  line.Poll("3,200");
  line.Run(4000);
  while (!line.scheduler->BusExchangeOnWire()) line.Run(10);
  const size_t before = line.h.meter->Written().size();
  line.h.Command(ui::main_ids::kRefreshUrgButton);
  EXPECT_TRUE(line.h.host.Messages().empty());  // a failed read would say so in a box
  ASSERT_GT(line.h.meter->Written().size(), before);
  EXPECT_EQ(line.h.meter->Written()[before].bytes, kMultiplier17);
  line.Run(3000);
  line.ExpectOneRequestAtATime();
  // Polling goes on after the command with its period.
  const uint64_t resumed = line.h.meter->Written()[before].atMs + 1;
  const auto main = WrittenTo(*line.h.meter, 17, resumed);
  ASSERT_GE(main.size(), 4u);
  for (size_t i = 1; i < main.size(); ++i) EXPECT_EQ(main[i].atMs - main[i - 1].atMs, 500u);
  line.scheduler->MainPort().SetOutput(WithCrc({3, 0x10, 0, 0x12, 0, 2, 4, 0, 120, 0, 0}));
  line.Run(2000);  // meter 3's CT ratio written as 120 scales its next blocks
  EXPECT_NEAR((*line.poller.Find(3)->lastBlock)[Quantity::CurrentA], 120 * kPhaseAAmps, 1.8);
}

// One meter beside the main dialog polling its own: read as often as the line's arithmetic says;
// the main dialog's ticks wait only for one that stops answering, once, at most 50 ms.
TEST(SharedLineAnswerTimes, AMeterIsReadBesideTheMainDialogAndHoldsItsTicksAtMostOnce) {
  const auto tick = [](double ms) { return std::ceil(ms / 10) * 10; };  // the scheduler's
  const double busFrom = tick(tick(CharsMs(8) + 30 + CharsMs(7)) + CharsMs(3.5));
  const std::pair<int, bool> rows[] = {{20, false},  {150, false}, {200, false}, {250, false},
                                       {300, false}, {150, true},  {200, true}};
  for (const auto& [answerMs, stops] : rows) {
    BusOnLine line{{MeterAt(17, 100, 40, 30), MeterAt(5, 1, 1, answerMs)}};
    line.PollInMainDialog(17);
    line.Run(1000);
    const uint64_t phase = line.h.meter->Written().back().atMs;
    line.Poll("5");
    line.Run(10000);  // ten cycles of the main dialog: two start the bus and read the ratios
    const double exchange = tick(tick(CharsMs(8) + answerMs + CharsMs(95)) + CharsMs(3.5));
    EXPECT_GE(line.poller.Find(5)->blocksSinceConfiguration,
              8 * std::floor((500 - busFrom) / exchange))
        << answerMs;
    line.Detach(5, stops);
    line.Run(5000);
    int held = 0;
    for (const auto& w : WrittenTo(*line.h.meter, 17, phase)) {
      held += (w.atMs - phase) % 500 > 0 ? 1 : 0;
      EXPECT_LE((w.atMs - phase) % 500, 50u) << answerMs;
    }
    EXPECT_LE(held, stops ? 1 : 0) << answerMs;
    line.ExpectOneRequestAtATime();
  }
}

// The main dialog fed meter 17's row and stops: the bus asks it itself, allowing it the longest
// answer time, as it has not timed its answers yet, so its first reply is not missed.
TEST(SharedLineHandOver, AMeterTheMainDialogLeavesIsAskedWithTheLongestAllowance) {
  BusOnLine line{{MeterAt(17, 100, 40, 250), MeterAt(3, 350, 60, 20)}};
  line.PollInMainDialog(17);
  line.Run(3000);
  line.Poll("3,17");
  line.Run(3000);
  ASSERT_TRUE(line.poller.Find(17)->fedByMainDialog);
  line.h.Click(ui::main_ids::kRunButton);
  line.Run(6000);
  EXPECT_GE(WrittenTo(*line.h.meter, 17, 9000).size(), 2u);
  EXPECT_NE(line.poller.Find(17)->link.CounterText().find("无应答 0"), std::string::npos)
      << line.poller.Find(17)->link.CounterText();
}

}  // namespace
}  // namespace kt::testing
