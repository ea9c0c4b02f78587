// The manual's pictures, rendered by the program's own screens in one language against
// the simulated transmitter: scan.png, transmitter.png, failed-validation.png,
// measuring.png, trend.png and trim-assistant.png.
#pragma once

#include <QDir>
#include <cstdint>

namespace kelvane::tools {

bool renderManualPictures(std::int16_t languageId, const QDir& images);

}  // namespace kelvane::tools
