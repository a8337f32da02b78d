// Windows' serial ports as plain data, and their order in the port list: the part of the
// Windows port list that needs no system call, so that it is tested on every platform.
#pragma once

#include <string>
#include <vector>

#include "serial/PortList.h"

namespace kt::serial {

// One port as the system names it.
struct ComPortRecord {
  std::string portName{};      // "COM3": the device's PortName, or the data of a SERIALCOMM value
  std::string friendlyName{};  // "USB-SERIAL CH340 (COM3)", as the Device Manager shows it
  std::string hardwareId{};    // the first of the device's hardware IDs, "USB\VID_1A86&PID_7523"
  std::string kernelName{};    // the name of a SERIALCOMM value, "\Device\Serial0"
};

// The number of a port name "COM<N>" (any case, N from 1 to 32767 without a leading zero);
// 0 for any other name (LPT1, COM0, COM05, COM3x).
int32_t ComPortNumber(const std::string& portName);

// "1a86:7523" from a hardware ID with VID_1A86 and PID_7523 (USB\VID_1A86&PID_7523&REV_0264,
// FTDIBUS\VID_0403+PID_6001+A10K3XYZA\0000); empty when it has no such pair.
std::string UsbVendorProduct(const std::string& hardwareId);

// The ports of SetupAPI's class Ports (`devices`) and, for ports it did not list, of the
// registry's SERIALCOMM map (`serialComm`): USB adapters (a hardware ID with a vendor and
// product) first, then the others, each group by COM number. A port's number is its COM<N>,
// its device "COM<N>", its description the friendly name (cleaned, DeviceText.h), else the
// kernel name. Names that are no COM port are left out; of a name listed twice the first stays.
std::vector<PortInfo> ComPortList(const std::vector<ComPortRecord>& devices,
                                  const std::vector<ComPortRecord>& serialComm);

}  // namespace kt::serial
