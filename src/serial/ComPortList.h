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
  std::string instanceId{};    // "USB\VID_10C4&PID_EA60\0001": the serial number, if it has one
  std::string location{};      // "Port_#0002.Hub_#0001": the USB socket
};

// The number of a port name "COM<N>" (any case, N from 1 to 32767 without a leading zero);
// 0 for any other name (LPT1, COM0, COM05, COM3x).
int32_t ComPortNumber(const std::string& portName);

// "1a86:7523" from a hardware ID with VID_1A86 and PID_7523 (USB\VID_1A86&PID_7523&REV_0264,
// FTDIBUS\VID_0403+PID_6001+A10K3XYZA\0000); empty when it has no such pair.
std::string UsbVendorProduct(const std::string& hardwareId);

// The adapter's serial number in a device instance ID: the last part of a USB one
// (USB\VID_10C4&PID_EA60\0001), the third field of an FTDI one
// (FTDIBUS\VID_0403+PID_6001+A10K3XYZA\0000); empty for an ID Windows made up from the
// socket ("5&2D0A4D1&0&3", as for an adapter without one, or whose number it saw twice).
std::string SerialFromInstanceId(const std::string& instanceId);

// The ports of SetupAPI's class Ports (`devices`) and, for ports it did not list, of the
// registry's SERIALCOMM map (`serialComm`): USB adapters (a hardware ID with a vendor and
// product) first, then the others, each group by COM number. A port's number is its COM<N>,
// its device "COM<N>", its description the friendly name (cleaned, DeviceText.h), else the
// kernel name, its serial number and USB location those of the record. Names that are no COM port
// are left out; of a name listed twice the first stays.
std::vector<PortInfo> ComPortList(const std::vector<ComPortRecord>& devices,
                                  const std::vector<ComPortRecord>& serialComm);

}  // namespace kt::serial
