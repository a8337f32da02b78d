// Parsing the simulator's options, with a clear message for each bad one.
#include "sim/SimOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "sim/LineTiming.h"
#include "sim/SiteOptions.h"
#include "sim/WiringFaultOptions.h"

namespace kt::sim {
namespace {

template <typename T>
bool ParseNumber(const std::string& text, T min, T max, T& out) {
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return false;
  }
  out = static_cast<T>(value);
  return true;
}

bool ParseProbability(const std::string& text, double& out) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= 0.0 && value <= 1.0)) return false;
  out = value;
  return true;
}

// The options a meter may have of its own with site=: its load and the faults of its wiring and
// of its replies.
const std::set<std::string> kMeterSiteOptions = {
    // Faults
    "noise", "split-gap", "late", "drop-probability", "drop-every", "drop-first", "corrupt-crc",
    "stray", "fault-probability",
    // Load wired wrongly
    "reverse-ct", "swap-currents", "lose-phase", "unbalance", "frequency", "rotate-currents",
    // Site
    "pf", "export", "load", "ct-secondary", "harmonics", "site"};

// "load=60+pf=0.8+reverse-ct=A+export" as "--load 60 --pf 0.8 --reverse-ct A --export"; a "/" in
// a value stands for the comma of the option ("load=A=100:1/B=5"). Empty for an option a meter
// may not have of its own, or for one its option does not take.
std::vector<std::string> MeterSiteArgs(const std::string& text) {
  std::vector<std::string> args;
  size_t from = 0;
  while (from <= text.size()) {
    const size_t plus = text.find('+', from);
    const std::string item = text.substr(from, plus == std::string::npos ? plus : plus - from);
    const size_t equals = item.find('=');
    const std::string name = item.substr(0, equals);
    if (kMeterSiteOptions.count(name) == 0) return {};
    args.push_back("--" + name);
    if (equals != std::string::npos) {
      std::string value = item.substr(equals + 1);
      std::replace(value.begin(), value.end(), '/', ',');
      args.push_back(value);
    }
    if (plus == std::string::npos) break;
    from = plus + 1;
  }
  std::vector<const char*> argv = {"kt7340-sim"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  SimOptions scratch;
  if (ParseSimOptions(static_cast<int>(argv.size()), argv.data(), scratch)) return {};
  return args;
}

// "17" or "17:pt=100,ct=40,wiring=2,delay=80,site=load=60+pf=0.8" (any of them, each once, in any
// order).
bool ParseMeterOption(const std::string& text, MeterOption& out) {
  const size_t colon = text.find(':');
  if (!ParseNumber<uint8_t>(text.substr(0, colon), 1, 247, out.address)) return false;
  if (colon == std::string::npos) return true;
  std::string rest = text.substr(colon + 1);
  if (rest.empty()) return false;
  size_t from = 0;
  while (from <= rest.size()) {
    const size_t comma = rest.find(',', from);
    const std::string item = rest.substr(from, comma == std::string::npos ? comma : comma - from);
    const size_t equals = item.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = item.substr(0, equals);
    const std::string value = item.substr(equals + 1);
    uint16_t number = 0;
    uint8_t wiring = 0;
    uint32_t delay = 0;
    if (key == "pt" && !out.ptRatio && ParseNumber<uint16_t>(value, 1, 65535, number)) {
      out.ptRatio = number;
    } else if (key == "ct" && !out.ctRatio && ParseNumber<uint16_t>(value, 1, 65535, number)) {
      out.ctRatio = number;
    } else if (key == "wiring" && !out.wiring && ParseNumber<uint8_t>(value, 0, 5, wiring)) {
      out.wiring = wiring;
    } else if (key == "delay" && !out.answerDelayMs &&
               ParseNumber<uint32_t>(value, 0, 60000, delay)) {
      out.answerDelayMs = delay;
    } else if (key == "site" && out.siteArgs.empty() && !value.empty()) {
      out.siteArgs = MeterSiteArgs(value);
      if (out.siteArgs.empty()) return false;
    } else {
      return false;
    }
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return true;
}

}  // namespace

std::vector<MeterConfig> MetersOf(const SimOptions& options) {
  if (options.meters.empty()) return {options.meter};
  std::vector<MeterConfig> meters;
  for (const MeterOption& m : options.meters) {
    MeterConfig c = options.meter;
    if (!m.siteArgs.empty()) {
      // The options of all, then the meter's own.
      std::vector<const char*> argv = {"kt7340-sim"};
      for (const std::string& a : options.args) argv.push_back(a.c_str());
      for (const std::string& a : m.siteArgs) argv.push_back(a.c_str());
      SimOptions own;
      if (!ParseSimOptions(static_cast<int>(argv.size()), argv.data(), own)) c = own.meter;
    }
    if (m.answerDelayMs) {
      c.delayFromRequestEnd = true;
      c.responseDelayMs = *m.answerDelayMs;
    }
    c.address = m.address;
    c.ptRatio = m.ptRatio.value_or(c.ptRatio);
    c.ctRatio = m.ctRatio.value_or(c.ctRatio);
    c.wiring = m.wiring.value_or(c.wiring);
    // Each meter's values move on their own.
    c.seed = options.meter.seed + m.address;
    meters.push_back(c);
  }
  return meters;
}

std::string SimUsage() {
  return R"(Usage: kt7340-sim [options]
A simulated KT7340 power meter: a Modbus RTU slave on a new pseudo-terminal (or a serial device).
The first line of output is the device path for the monitor; after it, one line per request,
reply and event (requests "RX", replies "TX", values of each measurement block "VALUES").
On a pseudo-terminal the meter reads the monitor's line settings from the terminal (baud rate,
and the stop bits and odd flag that tell the three parities apart) and answers only when they
are its own, as a real line would; a master at other settings hears nothing (or garbage, with
--mismatch-garbage).

Line and device:
  --device PATH          serve this serial device instead of a pseudo-terminal
  --link PATH            make a symbolic link PATH to the device (removed at the end)
  --tcp HOST:PORT        serve one TCP client at a time instead, as a serial device server
                         in transparent mode does (port 0: a free port); the first line of
                         output is then the address it listens on
  --address N            slave address 1..255 (default 1)
  --meter ADDR[:pt=N,ct=N,wiring=N,delay=MS,site=OPT[+OPT...]]
                         a meter at address ADDR (1..247) on the line; repeatable for several
                         meters on one line, each with its own registers and the line settings
                         and other options of all; PT, CT and wiring default to --pt, --ct and
                         --wiring. delay=MS: its own answer delay (as --answer-delay). site=:
                         its own load and faults, options of the groups "Faults", "Load wired
                         wrongly" and "Site" below without their dashes, NAME=VALUE or NAME,
                         joined by "+", a "/" for a comma in a value, read after the options of
                         all, e.g. 17:pt=100,ct=40,delay=80,site=load=60+reverse-ct=A or
                         3:site=load=A=100:1/B=5:0.4+drop-every=2. With --meter, --address is
                         not used
  --baud N               1200, 2400, 4800, 9600 or 19200 (default 9600)
  --parity P             none (8N2), odd (8O1) or even (8E1) (default none)
  --response-delay MS    delay before each reply (default 20)
  --no-wire-timing       send replies at once instead of one byte per character time
  --answer-delay MS      the reply starts MS after the request's last byte (not before the
                         3.5-character silence), its bytes then at the line's character rate;
                         replaces --response-delay (which counts from the end of the silence)
  --any-parity           the meter understands a master at its baud rate whatever the parity
                         and answers at the master's parity, as meters that ignore it do
  --echo                 the line gives the master back every byte it sends, as it passes on
                         the wire (an RS-485 adapter that hears itself)
  --no-meter             no meter on the line: nothing answers (with --echo: an echoing adapter
                         with nothing attached)
  --mismatch-garbage     a master at another baud rate or parity (read from the terminal's
                         settings) hears random bytes, as its UART would make of a reply, instead
                         of silence; the same bytes for the same --seed
Registers:
  --pt N                 PT ratio 1..65535 (default 1)
  --ct N                 CT ratio 1..65535 (default 1)
  --wiring N             wiring code 0..5 (default 0, three-phase four-wire)
  --accuracy N           accuracy class 0 (0.5) or 1 (0.2) (default 0)
  --power-multiplier     powers carry k = 4 (registers 0x0305 and 0x030A)
  --energy-exponent N    energies carry 10^N, N 0..6 (default 0)
  --limits A,B,C,D       under/over voltage (x PT/100 V), under/over current (x CT/10000 A)
                         (default 19800,24200,500,50000)
  --status-trailer       send the voltage and current status bytes after the block reply
Faults (all off by default; repeatable for a given --seed):
  --noise N              N random bytes before each reply
  --split-gap MS         send each reply in two parts with MS of silence between
  --late MS              delay each reply by MS more
  --drop-probability P   drop a reply with probability P (0..1)
  --drop-every N         drop every Nth reply
  --drop-first N         drop the replies to the first N requests addressed to the meter
  --corrupt-crc          send replies with a wrong CRC
  --stray N              N random bytes right after each reply
  --fault-probability P  chance that each enabled fault above hits a reply (default 1)
  --seed N               seed of the faults and of the measured values' noise (default 1)
Load wired wrongly (each phase's figures follow from what meets at the meter's input):
  --reverse-ct A|B|C     that phase's CT is connected the wrong way round (repeatable)
  --swap-currents AB|BC|CA  the two phases' currents reach each other's input
  --lose-phase A|B|C[:b] no voltage at that phase's input, as with a blown PT fuse (repeatable);
                         on a three-wire site the open input floats midway between the other
                         two, or with ":b" settles on B's voltage (its line to B reads 0 V)
  --unbalance PERCENT    phase A draws PERCENT more current and phase C as much less (0..100)
  --frequency HZ         line frequency 1..69 (default 50)
  --rotate-currents forward|backward
                         each phase's current reaches the next phase's input (A's at B, B's
                         at C, C's at A), or the previous one's
Site (combine freely with the wiring faults above):
  --pf PF                power factor of the load, 0.01..1 lagging (inductive), -1..-0.01
                         leading (capacitive), e.g. --pf 0.4 or --pf -0.4 (default 0.95)
  --export               the load's active power flows to the grid (a generator or PV site)
  --load PERCENT         each phase's current as PERCENT of the CT's rated secondary,
                         0..120 (the phases keep their small differences); or per phase with
                         its own power factor: --load A=100:1,B=5:0.4,C=30:-0.9
  --ct-secondary 5|1     the CTs' rated secondary current in A (default 5)
  --harmonics PERCENT    third harmonic in each current, PERCENT of the fundamental, 0..100
  --site 3p4w|3p3w       four-wire supply (default), or three-wire without neutral with CTs
                         on A and C only; set the meter to a three-wire mode with --wiring 2
Other:
  --quiet                no log after the first line
  --help                 this text
)";
}

std::optional<std::string> ParseSimOptions(int argc, const char* const* argv, SimOptions& o) {
  MeterConfig& m = o.meter;
  FaultConfig& f = m.faults;
  WiringFaults& w = m.load.wiringFaults;
  SiteOptions site;
  using Handler = std::function<bool(const std::string&)>;
  const std::map<std::string, Handler> withValue = {
      {"--device",
       [&](const std::string& v) {
         o.device = v;
         return !v.empty();
       }},
      {"--link",
       [&](const std::string& v) {
         o.link = v;
         return !v.empty();
       }},
      {"--tcp",
       [&](const std::string& v) {
         o.tcp = v;
         return !v.empty();
       }},
      {"--meter",
       [&](const std::string& v) {
         MeterOption meter;
         if (!ParseMeterOption(v, meter)) return false;
         for (const MeterOption& other : o.meters) {
           if (other.address == meter.address) return false;
         }
         o.meters.push_back(meter);
         return true;
       }},
      {"--address",
       [&](const std::string& v) { return ParseNumber<uint8_t>(v, 1, 255, m.address); }},
      {"--baud",
       [&](const std::string& v) {
         return ParseNumber<int32_t>(v, 1200, 19200, m.baudRate) && IsSupportedBaud(m.baudRate);
       }},
      {"--parity",
       [&](const std::string& v) {
         static const std::map<std::string, int32_t> kNames{{"none", 0}, {"odd", 1}, {"even", 2}};
         const auto it = kNames.find(v);
         if (it == kNames.end()) return false;
         m.parity = it->second;
         return true;
       }},
      {"--response-delay",
       [&](const std::string& v) { return ParseNumber<uint32_t>(v, 0, 60000, m.responseDelayMs); }},
      {"--pt", [&](const std::string& v) { return ParseNumber<uint16_t>(v, 1, 65535, m.ptRatio); }},
      {"--ct", [&](const std::string& v) { return ParseNumber<uint16_t>(v, 1, 65535, m.ctRatio); }},
      {"--wiring", [&](const std::string& v) { return ParseNumber<uint8_t>(v, 0, 5, m.wiring); }},
      {"--accuracy",
       [&](const std::string& v) { return ParseNumber<uint8_t>(v, 0, 1, m.accuracyClass); }},
      {"--energy-exponent",
       [&](const std::string& v) { return ParseNumber<uint8_t>(v, 0, 6, m.energyExponent); }},
      {"--limits",
       [&](const std::string& v) {
         size_t from = 0;
         for (int n = 0; n < 4; ++n) {
           const size_t comma = v.find(',', from);
           if ((n < 3) != (comma != std::string::npos)) return false;
           const std::string part =
               v.substr(from, comma == std::string::npos ? comma : comma - from);
           if (!ParseNumber<uint16_t>(part, 0, 65535, m.parameters[n])) return false;
           from = comma + 1;
         }
         return true;
       }},
      {"--noise",
       [&](const std::string& v) { return ParseNumber<uint16_t>(v, 1, 1000, f.noiseBytes); }},
      {"--split-gap",
       [&](const std::string& v) { return ParseNumber<uint32_t>(v, 1, 60000, f.splitGapMs); }},
      {"--late",
       [&](const std::string& v) { return ParseNumber<uint32_t>(v, 1, 60000, f.lateMs); }},
      {"--drop-probability",
       [&](const std::string& v) { return ParseProbability(v, f.dropProbability); }},
      {"--drop-every",
       [&](const std::string& v) { return ParseNumber<uint32_t>(v, 1, 1000000, f.dropEveryNth); }},
      {"--stray",
       [&](const std::string& v) { return ParseNumber<uint16_t>(v, 1, 1000, f.strayBytes); }},
      {"--fault-probability",
       [&](const std::string& v) { return ParseProbability(v, f.probability); }},
      {"--reverse-ct", [&](const std::string& v) { return ParsePhase(v, w.reversedCt); }},
      {"--swap-currents", [&](const std::string& v) { return ParsePhasePair(v, w); }},
      {"--lose-phase", [&](const std::string& v) { return ParseLostPhase(v, w); }},
      {"--unbalance",
       [&](const std::string& v) { return ParseDecimal(v, 0, 100, w.unbalancePercent); }},
      {"--rotate-currents",
       [&](const std::string& v) {
         w.rotation = v == "forward" ? 1 : v == "backward" ? -1 : 0;
         return w.rotation != 0;
       }},
      {"--pf",
       [&](const std::string& v) {
         double pf = 0;
         if (!ParseDecimal(v, -1, 1, pf) || std::abs(pf) < 0.01) return false;
         m.load.powerFactor = pf;
         return true;
       }},
      {"--load", [&](const std::string& v) { return ParseLoad(v, site); }},
      {"--ct-secondary", [&](const std::string& v) { return ParseCtSecondary(v, site); }},
      {"--harmonics",
       [&](const std::string& v) { return ParseDecimal(v, 0, 100, w.thirdHarmonicPercent); }},
      {"--site",
       [&](const std::string& v) {
         if (v != "3p3w" && v != "3p4w") return false;
         w.threeWireSite = v == "3p3w";
         return true;
       }},
      {"--frequency",
       [&](const std::string& v) { return ParseDecimal(v, 1, 69, m.load.frequencyHz); }},
      {"--seed",
       [&](const std::string& v) {
         if (!ParseNumber<uint32_t>(v, 0, UINT32_MAX, f.seed)) return false;
         m.seed = f.seed;
         return true;
       }},
  };
  // What real lines do to a master looking for its meters.
  const std::map<std::string, Handler> lineBehaviour = {
      {"--answer-delay",
       [&](const std::string& v) {
         m.delayFromRequestEnd = true;
         return ParseNumber<uint32_t>(v, 0, 60000, m.responseDelayMs);
       }},
      {"--drop-first",
       [&](const std::string& v) { return ParseNumber<uint32_t>(v, 1, 1000000, f.dropFirst); }},
  };
  const std::map<std::string, std::function<void()>> lineFlags = {
      {"--any-parity", [&] { m.anyParity = true; }},
      {"--echo", [&] { o.echo = true; }},
      {"--no-meter", [&] { o.noMeter = true; }},
  };
  const std::map<std::string, std::function<void()>> flags = {
      {"--status-trailer", [&] { m.statusTrailer = true; }},
      {"--power-multiplier", [&] { m.powerMultiplierFlag = true; }},
      {"--corrupt-crc", [&] { f.corruptCrc = true; }},
      {"--export", [&] { w.exporting = true; }},
      {"--no-wire-timing", [&] { o.wireTiming = false; }},
      {"--mismatch-garbage", [&] { o.mismatchGarbage = true; }},
      {"--quiet", [&] { o.quiet = true; }},
      {"--help", [&] { o.help = true; }},
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (const auto flag = flags.find(arg); flag != flags.end()) {
      flag->second();
      o.args.push_back(arg);
      continue;
    }
    if (const auto flag = lineFlags.find(arg); flag != lineFlags.end()) {
      flag->second();
      o.args.push_back(arg);
      continue;
    }
    const Handler* handler = nullptr;
    for (const auto* table : {&withValue, &lineBehaviour}) {
      if (const auto option = table->find(arg); option != table->end()) handler = &option->second;
    }
    if (handler == nullptr) return "unknown option \"" + arg + "\" (see --help)";
    if (i + 1 >= argc) return "option " + arg + " needs a value (see --help)";
    const std::string value = argv[++i];
    if (!(*handler)(value)) return "bad value \"" + value + "\" for " + arg + " (see --help)";
    // A meter's own site options go on from all the others.
    if (arg != "--meter") o.args.insert(o.args.end(), {arg, value});
  }
  ApplySiteOptions(site, m.load);
  if (!o.tcp.empty() && (!o.device.empty() || !o.link.empty())) {
    return "--tcp serves no line: it cannot be combined with --device or --link";
  }
  return std::nullopt;
}

}  // namespace kt::sim
