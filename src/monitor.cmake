# The main dialog CMonitorDlg, its communication settings dialog (src/ui), its polling cycle
# and display (src/measure) and its commands with their dialogs (src/commands). The three
# folders define members of one class, so they form one library.
add_library(kt_monitor STATIC
  src/ui/CCommSetDlg.cpp
  src/ui/CFindMeterDlg.cpp
  src/ui/FindMeterDialogTemplate.cpp
  src/ui/CMonitorDlg.cpp
  src/ui/CommPort.cpp
  src/ui/CommSetDialogTemplate.cpp
  src/ui/DestroyWindow.cpp
  src/ui/DoDataExchange.cpp
  src/ui/OnExit.cpp
  src/ui/FinderText.cpp
  src/ui/LendPortToFinder.cpp
  src/ui/UseMeter.cpp
  src/ui/LineSettingsText.cpp
  src/ui/LinkStatus.cpp
  src/ui/ShowLinkStatus.cpp
  src/ui/MainDialogTemplate.cpp
  src/ui/MonitorListeners.cpp
  src/ui/OnCtlColor.cpp
  src/ui/OnInitDialog.cpp
  src/ui/OnTimer.cpp
  src/ui/PortRecovery.cpp

  src/measure/DecodeMeasurementBlock.cpp
  src/measure/LimitStatus.cpp
  src/measure/OnPollTick.cpp
  src/measure/OnRunStop.cpp
  src/measure/ShowReceiveEcho.cpp
  src/measure/TakeSlaveAddressWhilePolling.cpp

  src/commands/AddrDialogTemplate.cpp
  src/commands/CAddrDlg.cpp
  src/commands/CMeterSetDlg.cpp
  src/commands/CommandSteps.cpp
  src/commands/MeterSetDialogTemplate.cpp
  src/commands/OnChangeSlaveAddress.cpp
  src/commands/OnCommSettings.cpp
  src/commands/OnMeterSettings.cpp
  src/commands/OnModifyPrecision.cpp
  src/commands/OnPollAddress.cpp
  src/commands/OnProbeTick.cpp
  src/commands/OnReadParameters.cpp
  src/commands/OnRefreshUrg.cpp
  src/commands/OnSetParameters.cpp
  src/commands/ProbeAddress.cpp
)
target_link_libraries(kt_monitor PUBLIC kt_includes kt_dialog kt_modbus kt_finder kt_values)
