// A small sysfs and /dev tree in a temporary folder, shaped as the kernel lays out tty ports.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace kt::serial::testing {

class FakeSysfs {
 public:
  FakeSysfs() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kt7340-sysfs-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    std::filesystem::create_directories(sys() + "/class/tty");
    std::filesystem::create_directories(dev());
  }
  ~FakeSysfs() { std::filesystem::remove_all(root_); }
  FakeSysfs(const FakeSysfs&) = delete;
  FakeSysfs& operator=(const FakeSysfs&) = delete;

  std::string sys() const { return (root_ / "sys").string(); }
  std::string dev() const { return (root_ / "dev").string(); }

  // A USB device folder (relative to sys/devices) with its identification strings; idVendor
  // and idProduct are an FTDI FT232R's unless `strings` name others.
  void UsbDevice(const std::string& folder, const std::map<std::string, std::string>& strings) {
    const auto dir = Devices() / folder;
    std::filesystem::create_directories(dir);
    Write(dir / "idVendor", "0403\n");
    Write(dir / "idProduct", "6001\n");
    for (const auto& [name, value] : strings) Write(dir / name, value + "\n");
  }

  // A USB adapter plugged in: its device folder, its tty `name` whose /dev node leads to
  // `target` (a pseudo-terminal standing in for the adapter), and its by-path name if given.
  void UsbAdapter(const std::string& name, const std::string& folder, const std::string& serial,
                  const std::string& byPath, const std::string& target) {
    UsbDevice(folder, serial.empty() ? std::map<std::string, std::string>{}
                                     : std::map<std::string, std::string>{{"serial", serial}});
    Device(folder + "/" + name, "usb-serial/drivers/ftdi_sio");
    Tty(name, folder + "/" + name, "", /*node=*/false);
    std::filesystem::create_symlink(target, root_ / "dev" / name);
    if (!byPath.empty()) {
      std::filesystem::create_directories(root_ / "dev" / "serial" / "by-path");
      std::filesystem::create_symlink("../../" + name,
                                      root_ / "dev" / "serial" / "by-path" / byPath);
    }
  }

  // The adapter is pulled: its tty entry, /dev node, by-path link and device folder go.
  void Unplug(const std::string& name, const std::string& folder, const std::string& byPath) {
    std::filesystem::remove_all(root_ / "sys" / "class" / "tty" / name);
    std::filesystem::remove(root_ / "dev" / name);
    if (!byPath.empty()) std::filesystem::remove(root_ / "dev" / "serial" / "by-path" / byPath);
    std::filesystem::remove_all(Devices() / folder);
  }

  // A device folder bound to `driver` (a driver folder relative to sys/bus).
  void Device(const std::string& folder, const std::string& driver) {
    const auto dir = Devices() / folder;
    std::filesystem::create_directories(dir);
    const auto target = root_ / "sys" / "bus" / driver;
    std::filesystem::create_directories(target);
    std::filesystem::create_directory_symlink(target, dir / "driver");
  }

  // A tty entry; `device` empty gives a virtual terminal without hardware. `uartType` empty
  // leaves out the type file (adapters have none). `node` makes its /dev entry.
  void Tty(const std::string& name, const std::string& device, const std::string& uartType = "",
           bool node = true) {
    const auto entry = root_ / "sys" / "class" / "tty" / name;
    std::filesystem::create_directories(entry);
    Write(entry / "dev", "4:64\n");
    if (!device.empty())
      std::filesystem::create_directory_symlink(Devices() / device, entry / "device");
    if (!uartType.empty()) Write(entry / "type", uartType + "\n");
    if (node) Write(root_ / "dev" / name, "");
  }

 private:
  std::filesystem::path Devices() const { return root_ / "sys" / "devices"; }
  static void Write(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file) << text;
  }

  std::filesystem::path root_;
};

}  // namespace kt::serial::testing
