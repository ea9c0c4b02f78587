// What the configuration record says, as plain data: the configuration a device
// confirmed after a write (all of it, or the fields written before a failure), the
// outcome of the last write, and one row per field with its value as found and as left.
// The transmitter screen turns it into a PDF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/configuration_rules.h"

namespace kelvane {

// What the device holds after the first `confirmed` configuration writes of `wanted`
// (in the order the device receives them) over `before`.
Configuration confirmedConfiguration(const Configuration& before, const Configuration& wanted,
                                     int confirmed);

enum class WriteOutcome {
    Stored,         // every write confirmed, and the device reported the store
    StoreNotAsked,  // every write confirmed; firmware V04 or earlier reports no store
    StoreFailed,    // every write confirmed, the store not confirmed (Write Memory Fail)
    Failed,         // a write not confirmed (Write Fail)
};

struct LastWrite {
    WriteOutcome outcome = WriteOutcome::Failed;
    int confirmedWrites = 0;  // of the seven
    Configuration onDevice;   // what the device confirmed
};

// What the technician adds to a record at export.
struct RecordDetails {
    std::string technician;
    std::string tag;  // tag or loop number
    std::string location;
    std::string referenceMeter;  // the meter the output was trimmed against
    std::string notes;
};

// "Write Success", "Write Fail after 3 of 7 writes", … in the language; "nothing written"
// when there was no write.
std::string lastWriteText(const std::optional<LastWrite>& write, std::int16_t languageId);

// The as-left column's heading: "As left", or "As left (not stored)" when the device
// did not confirm that it stored it.
std::string asLeftHeading(const std::optional<LastWrite>& write, std::int16_t languageId);

struct RecordRow {
    std::string field;  // the page's caption in the language
    std::string asFound;
    std::string asLeft;
    bool changed = false;
};

// The input type, unit, range, offset, output direction, break signal and both trim
// counts, in that order.
std::vector<RecordRow> recordRows(const Configuration& found, const Configuration& left,
                                  std::int16_t languageId);

}  // namespace kelvane
