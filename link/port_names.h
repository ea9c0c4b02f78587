// The port-name table: port index 0 … 15 names "COM1" … "COM9" and "\\.\COM10" …
// "\\.\COM16". Index = port number − 1. There is no entry past COM16.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace kelvane {

inline constexpr std::array<const char*, 16> kPortNameTable = {
    "COM1",         "COM2",         "COM3",         "COM4",         "COM5",         "COM6",
    "COM7",         "COM8",         "COM9",         "\\\\.\\COM10", "\\\\.\\COM11", "\\\\.\\COM12",
    "\\\\.\\COM13", "\\\\.\\COM14", "\\\\.\\COM15", "\\\\.\\COM16"};

// The device name at a port index, or nothing for an index outside the table.
std::optional<std::string> portDeviceName(int portIndex);

// The "COMn" alias inside a table name ("\\.\COM12" → "COM12"); other names unchanged.
std::string comAlias(const std::string& deviceName);

// The index of the table entry a user's port name means: the entry itself or its
// "COMn" alias, with or without the device namespace, in any case ("com12",
// "\\.\COM12", "\\.\COM3"); nothing for any other name.
std::optional<int> portIndexOfName(const std::string& name);

}  // namespace kelvane
