// The main dialog: the Monitor state and every handler of the monitor.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "modbus/Buffers.h"
#include "modbus/Clock.h"
#include "serial/LineSettingsTable.h"
#include "serial/SerialControl.h"
#include "serial/SerialError.h"
#include "ui/CFindMeterDlg.h"
#include "ui/LinkStatus.h"
#include "ui/PortListSource.h"
#include "ui/dialog/Dialog.h"
#include "values/MeasurementBlock.h"
#include "values/MonitorListener.h"
#include "values/RecordingNote.h"

namespace kt::ui {

// Timer identifiers of the main dialog.
constexpr unsigned kPollTimer = 1;
constexpr unsigned kProbeTimer = 2;
constexpr unsigned kProbePeriodMs = 500;
constexpr unsigned kReopenTimer = 3;  // ticks while a lost or refused port is opened again
constexpr unsigned kReopenPeriodMs = 1000;
// Values older than this many poll periods are drawn in grey.
constexpr uint32_t kStalePollPeriods = 6;

// The power-of-ten table, indexed by the energy exponent the meter reports.
inline constexpr std::array<uint32_t, 7> kPowerOfTen = {1, 10, 100, 1000, 10000, 100000, 1000000};

// The line the main dialog talks on and the meter's accuracy class, for those outside its
// handlers (the report).
struct MainDialogLine {
  int32_t portNumber = 1;
  int32_t baudRate = serial::kDefaultBaudRate;
  int32_t parity = serial::kDefaultParityCode;
  bool accuracyKnown = false;  // read from the meter or acknowledged by it
  uint8_t accuracyClass = 0;   // 0 = class 0.5, non-zero = class 0.2
};

class CMonitorDlg : public Dialog {
 public:
  CMonitorDlg(WindowHost& host, serial::SerialControl& comm, modbus::Clock& clock);

  // ---- Monitor state (the members every handler shares), in declaration order ----
  std::array<uint8_t, 8> m_limitStatus{};  // 0-3 voltage items, 4-7 current items; 1 = alarm
  int32_t m_probeAddress = 1;              // next address the address search tries
  uint32_t m_pollPeriodMs = 0;             // period of the poll timer, chosen from the baud rate
  int32_t m_running = 0;                   // polling switched on with the Run button
  std::string m_echoText;                  // text of the send echo (the send echo box)
  int32_t m_parity = serial::kDefaultParityCode;  // 0 none, 1 odd, 2 even
  int32_t m_baudRate = serial::kDefaultBaudRate;  // one of the line settings table
  int32_t m_portNumber = 1;                       // 1 = first port
  uint8_t m_accuracyClass = 0;                    // 0 = class 0.5, non-zero = class 0.2
  bool m_accuracyClassKnown = false;              // read from the meter or acknowledged by it
  serial::SerialControl& m_comm;                  // all serial input and output
  uint8_t m_slaveAddress = 0;  // first byte of every request, exchanged with the slave address edit
  uint8_t m_wiringMode = 0;    // wiring code 0..5
  int32_t m_energyMultiplier = 1;  // power of ten for the energy registers
  uint8_t m_pollState = 0;         // 0..4: which request the poll timer sends next
  int32_t m_powerMultiplier = 1;   // 4 or 1, multiplies active and reactive powers
  uint32_t m_ctRatio = 1;
  uint32_t m_ptRatio = 1;
  modbus::ReceiveBuffer m_receiveBuffer{};    // bytes of the latest read, from position 0
  modbus::RequestBuffer m_requestBuffer{};    // the request being built
  std::array<uint8_t, 96> m_registerImage{};  // data bytes of the last poll-state 0 or 1 reply

  // The ports the communication settings dialog lists; empty: the machine's.
  PortListSource m_portListSource;
  // What "自动查找…" in the communication settings runs on (empty: the real clock and ports);
  // the dialog lends it its own port (OnInitDialog sets the lending).
  FinderSetup m_finderSetup;
  // The finder sweeps the dialog's open port: closed meanwhile (polling is paused while the
  // settings are open), opened again when the finder gives it back (src/ui/LendPortToFinder.cpp).
  bool LendPortToFinder(int32_t portNumber);
  void TakeBackPortFromFinder();
  bool m_portLentToFinder = false;

  // ---- What the program around the dialog gives it, before it runs ----
  // The device the open (or lost) port stands for, as the serial control resolved it; empty:
  // the device the port number names now.
  void SetPortDeviceName(std::function<std::string()> deviceName) {
    m_portDeviceName = std::move(deviceName);
  }
  // What the workbench button opens; without one the button does nothing.
  void SetOpenWorkbench(std::function<void()> open) { m_onOpenWorkbench = std::move(open); }
  // What to ask before the dialog ends by any way out (Escape, the close box, "退  出", Enter
  // with a valid address): the text of a Yes/No question, or "" to end without one. The
  // application knows what may be lost.
  void SetExitQuestion(std::function<std::string()> question) {
    m_exitQuestion = std::move(question);
  }
  // What the link band says about the recording (the workbench's note); none: nothing.
  void SetRecordingNote(std::function<values::RecordingNote()> note) {
    m_recordingNote = std::move(note);
  }
  // Shows the link status (ShowLinkStatus) while the dialog's window is up, and does nothing
  // before or after, even once the dialog is gone: for a part that outlives the dialog.
  std::function<void()> LinkStatusRefresh() const;
  // The device of the port, for the link status.
  std::string DeviceOfPort() const;

  // ---- Framework entry points ----
  bool OnInitDialog() override;
  bool OnCommand(int commandId) override;
  void OnTimer(unsigned timerId) override;
  CtlColor OnCtlColor(int controlId, CtlColorType type) override;
  bool DestroyWindow() override;

  // ---- Framing ----
  // Shows the frame in the send echo and, when the port is open, transmits it.
  void SendFrame(std::span<const uint8_t> frame);

  // ---- Polling cycle and display ----
  void OnRunStop();
  void OnPollTick();
  void DecodeMeasurementBlock(int16_t payloadPos);
  void UpdateStatus(uint8_t voltageStatus, uint8_t currentStatus);

  // ---- Commands ----
  void OnCommSettings();
  void OnMeterSettings();
  void OnChangeSlaveAddress();
  void OnModifyPrecision();
  void OnPollAddress();
  void OnProbeTick();
  void ProbeAddress(int32_t address);
  void OnReadParameters();
  void OnRefreshUrg();
  void OnSetParameters();
  // The workbench button: calls m_onOpenWorkbench when a front end has set it.
  void OnOpenWorkbench();
  // Another tool chose the meter at `address` (src/ui/UseMeter.cpp): it goes into the slave
  // address edit, as a meter the finder found does, and is polled from the next tick on, its
  // configuration first; polling starts when it was off.
  void UseMeter(uint8_t address);
  // The number of the port the dialog uses (1 = first port).
  int32_t PortNumber() const { return m_portNumber; }

  // ---- Shared helpers of the handlers ----
  // Poll timer off / on again with the poll period; whoever shares the line is told.
  void StopPolling() {
    KillTimer(kPollTimer);
    if (m_pollTimerWatch) m_pollTimerWatch(0);
  }
  void ResumePolling() {
    SetTimer(kPollTimer, m_pollPeriodMs);
    if (m_pollTimerWatch) m_pollTimerWatch(m_pollPeriodMs);
  }
  // Told the poll period each time the poll timer is set and 0 when it is killed, so that another
  // user of the line (src/bus) can keep clear of the poll ticks. Empty: nobody shares the line.
  void SetPollTimerWatch(std::function<void(uint32_t periodMs)> watch) {
    m_pollTimerWatch = std::move(watch);
  }
  // The finder's "加入总线" (src/bus), for the finder opened from "通讯设置".
  void SetAddToBus(FoundMetersToBus add) { m_finderSetup.addToBus = std::move(add); }
  // Reports a refused port in a message box naming the device and the reason.
  void ReportSerialRefusal(const serial::SerialError& error);
  // A serial failure while the dialog runs (a command meeting one goes on with its ending
  // steps): a lost port or a stalled output goes to the link
  // status (a lost port is then opened again every second); anything else is reported.
  void OnSerialFailure(const serial::SerialError& error);
  // A command closed the open port `device` to open it again (other settings, another port):
  // the link status and the observers see the close now, the opening with ShowLinkStatus.
  void PortClosedByCommand(const std::string& device);
  // The link status and the observers learn why the port is not open.
  void RefusalSeen(const serial::SerialError& refusal);
  // The port refused at the start: reported in a box once, its reason in the link status, and
  // opened again every second when another attempt may succeed.
  void OnStartRefused(const serial::SerialError& refusal);

  // ---- Link status (src/ui/ShowLinkStatus.cpp) ----
  // The device the open port names (the line's own name, else the port number's), "" when the
  // port is not open.
  std::string OpenDevice() const { return m_comm.GetPortOpen() ? DeviceOfPort() : std::string(); }
  const LinkStatus& Link() const { return m_linkStatus; }
  MainDialogLine Line() const {
    return {m_portNumber, m_baudRate, m_parity, m_accuracyClassKnown, m_accuracyClass};
  }
  // Writes the link status boxes and redraws the boxes whose colour changed.
  void ShowLinkStatus();
  // Values drawn in grey: no block (or status pair) for more than kStalePollPeriods periods.
  bool MeasurementsStale() const;
  bool LimitStatusStale() const;

  modbus::Clock& Clock() const { return m_clock; }

  // ---- Observers: none by default; they only watch ----
  void AddListener(values::MonitorListener& listener);
  void RemoveListener(values::MonitorListener& listener);
  // Reports the latest read (its bytes are the first `received` of the receive buffer) and
  // what the search for the reply from `address` with `function` and `length` found there.
  void NotifyReadTaken(values::ReadSource source, int16_t received, uint8_t address,
                       uint8_t function, int16_t length);
  // Reads the serial input and drops it, telling observers what was dropped.
  void DiscardPendingInput();
  // Tells observers what a discard dropped; a good reply to the latest poll request, whose reply
  // no read took yet (a late one), is told to them as that reply, read by the poll (the link
  // status, which a later request may await now, is left as it is).
  void NotifyInputDiscarded(std::span<const uint8_t> bytes);
  void NotifyPortEvent(values::PortEventKind kind, const std::string& detail);

  // ---- Polling helpers (src/measure) ----
  // Bytes the latest poll tick's read took into the receive buffer.
  int16_t m_pollReceiveCount = 0;
  // Each applies the matched reply of its poll state, found at `framePos` of the receive buffer.
  void ApplyConfiguration(int16_t framePos);
  void ApplyParameterValues(int16_t framePos);
  void ApplyAccuracyClass(int16_t framePos);
  void ApplyMeasurementBlock(int16_t framePos);
  void ApplyPowerMultiplier(int16_t framePos);
  // The receive echo (the receive echo box): the echo text followed by the bytes of the latest poll
  // read.
  void ShowReceiveEcho();

  // ---- Command helpers (src/commands) ----
  // Takes the slave address edit into the slave address for a probe; a bad entry is reported once a
  // search.
  void TakeSlaveAddressForProbe();
  bool m_badEntryReportedInSearch = false;
  // The running command met a serial error; its remaining exchanges are skipped. Cleared when a
  // command starts.
  bool m_commandLineFailed = false;
  // When the latest poll request went out, so that a command can let its reply finish.
  bool m_pollRequestSent = false;
  uint32_t m_lastPollRequestTick = 0;
  // Milliseconds after the latest poll request by which its whole reply should be in.
  uint32_t m_lastPollReplyDueMs = 0;
  // The reply the latest poll request asks for, until a read or a discard takes input.
  bool m_pollReplyAsked = false;
  uint8_t m_pollReplyAddress = 0;
  int16_t m_pollReplyLength = 0;
  // The meter the configuration in force was read from (poll state 0): the slave address it is
  // polled at and the port number of its line; -1 before the first. Whatever changes the slave
  // address or the port, the cycle reads the configuration of the meter polled now before it
  // decodes a block of it. The address a configuration reply names is the one it is polled at
  // from then on, and its configuration is that one's.
  int32_t m_configuredAddress = -1;
  int32_t m_configuredPort = -1;
  // Slave address the parameter values in the register image were read from (poll state 1),
  // -1 before; command 1070 writes them back to that meter only.
  int32_t m_parametersReadFrom = -1;
  // Starts the cycle over at poll state 0 when the configuration in force is another meter's.
  void StartOverForAnotherMeter();
  // The slave address edit's text when the edit was last taken or written by the data exchange;
  // a poll tick takes the edit only when its text differs, so a bad text prompts once.
  std::string m_addressTextSeen;
  // Takes the slave address edit while polling when its text changed since it was last taken.
  void TakeSlaveAddressWhilePolling();
  // Polling at the broadcast address sends nothing; a user who pressed Run is told once, until
  // a request goes out again.
  bool m_broadcastPollTold = false;

 protected:
  void DoDataExchange(DataExchange& dx) override;
  // Both end the dialog only when m_exitQuestion asks nothing or is answered Yes; Enter first
  // takes the slave address, as the base does.
  void OnOK() override;
  void OnCancel() override;

 private:
  // True when the dialog may end: no question, or Yes to it.
  bool ExitConfirmed();
  // Runs a timer tick's work; a serial refusal is reported once, not on every tick it recurs.
  void RunTick(unsigned timerId);
  // A poll tick at the broadcast address: nothing is sent; the user is told once.
  void RefuseBroadcastPolling();

  // `shown` was scaled with `scale`; `statusPos` is where the status pair stands in the receive
  // buffer, or -1 without one.
  void NotifyBlockDecoded(const std::array<values::ShownValue, values::kShownValueCount>& shown,
                          const values::ScaleFactors& scale, int statusPos);

  // Selects the Monitor state's port number, then opens it (OpenSelectedPort); throws
  // serial::SerialError when the port refuses.
  void OpenPortWithSettings();
  // Opens the selected port, the device it was resolved to, with the Monitor state's settings
  // and empties its input.
  void OpenSelectedPort();
  // One attempt to open the lost or refused port again (a tick of kReopenTimer).
  void TryReopenPort();
  bool StaleSince(bool seen, uint32_t tick) const;

  modbus::Clock& m_clock;
  LinkStatus m_linkStatus;
  bool m_blockSeen = false;  // a block was decoded; at m_blockTick
  uint32_t m_blockTick = 0;
  bool m_statusSeen = false;  // a status pair came; at m_statusTick
  uint32_t m_statusTick = 0;
  bool m_probeSeen = false;  // the latest probe tick, to tell a search running
  uint32_t m_probeTick = 0;
  // What the window shows now, to redraw only on a change.
  bool m_shownAlarming = false;
  bool m_shownRecordingAlarming = false;
  bool m_shownMeasurementsStale = false;
  bool m_shownLimitStatusStale = false;
  std::vector<values::MonitorListener*> m_listeners;
  bool m_tickRefusalReported = false;  // the latest tick ended in a reported refusal
  bool m_refusalBoxOpen = false;       // a refusal message box is open; ticks wait for it
  // What kReopenTimer is opening again: the device that was lost, or the port refused at the
  // start (its number is selected afresh).
  enum class PortRetry { None, Lost, Refused };
  PortRetry m_portRetry = PortRetry::None;
  std::string m_refusalTold;  // the latest refusal the observers were told of
  std::function<std::string()> m_portDeviceName;
  std::function<void()> m_onOpenWorkbench;
  std::function<std::string()> m_exitQuestion;
  std::function<values::RecordingNote()> m_recordingNote;
  // The dialog while its window is up, else null; LinkStatusRefresh's calls hold it weakly.
  std::shared_ptr<CMonitorDlg*> m_windowUp = std::make_shared<CMonitorDlg*>(nullptr);
  std::function<void(uint32_t periodMs)> m_pollTimerWatch;
};

}  // namespace kt::ui
