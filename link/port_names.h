// The port-name table: port index 0 … 15 names "COM1" … "COM9" and "\\.\COM10" …
// "\\.\COM16". Index = port number − 1. Windows numbers ports up to COM255 (a USB
// adapter on a new socket often gets COM17 or more): those past the table open by
// their device-namespace names too.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace kelvane {

inline constexpr std::array<const char*, 16> kPortNameTable = {
    "COM1",         "COM2",         "COM3",         "COM4",         "COM5",         "COM6",
    "COM7",         "COM8",         "COM9",         "\\\\.\\COM10", "\\\\.\\COM11", "\\\\.\\COM12",
    "\\\\.\\COM13", "\\\\.\\COM14", "\\\\.\\COM15", "\\\\.\\COM16"};

// The highest COM number Windows gives a port.
inline constexpr int kHighestPortNumber = 255;

// The device name at a port index: the table's entry, "\\.\COM17" … "\\.\COM255"
// past it, nothing for any other index.
std::optional<std::string> portDeviceName(int portIndex);

// The "COMn" alias inside a table name ("\\.\COM12" → "COM12"); other names unchanged.
std::string comAlias(const std::string& deviceName);

// The port index a user's port name means: the device name itself or its "COMn"
// alias, with or without the device namespace, in any case ("com12", "\\.\COM12",
// "\\.\COM3", "COM200"); nothing for any other name (COM0, COM256, COM05).
std::optional<int> portIndexOfName(const std::string& name);

}  // namespace kelvane
