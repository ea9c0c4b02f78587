// Loading a serial number into the device from the calibration page (Button1Click):
// the two halves to 0x1F02 and 0x1F03, then command 34; the edit shows the next number.
#include "device/calibration_rules.h"
#include "device/register_map.h"
#include "transmitter/tform2.h"

namespace kelvane {

void TForm2::Button1Click() {
    const std::uint32_t serial = serialNumberFromText(ui.Edit1->text().toStdString());
    // No drains: a load made while a poll waits takes the poll's reply, fails its
    // echo check and is sent once more. The loader goes on whatever the echoes say.
    const auto write = [this](regmap::Register reg, std::uint16_t value) {
        link_.ConfirmedWrite(regmap::fn(FunctionCode::WriteAnyValue), regmap::address(reg),
                             static_cast<std::int16_t>(value), state_.deviceAddress);
    };
    write(regmap::Register::SerialHigh, static_cast<std::uint16_t>(serial >> 16));
    write(regmap::Register::SerialLow, static_cast<std::uint16_t>(serial & 0xFFFF));
    ui.Edit1->setText(QString::number(static_cast<std::uint32_t>(serial + 1U)));
    write(regmap::Register::Command,
          static_cast<std::uint16_t>(regmap::code(regmap::Command::EndSerialLoad)));
}

}  // namespace kelvane
