#include "i18n/message_catalogue.h"

#include "i18n/file_texts.h"
#include "i18n/scan_texts.h"
#include "i18n/transmitter_texts.h"

namespace kelvane {

namespace scan = scan_texts;
namespace tx = transmitter_texts;
namespace file = file_texts;

const std::array<CatalogueMessage, 54> kMessageCatalogue{{
    // The Scan screen's status.
    {"scan.PressStart", scan::kPressStart},
    {"scan.Scanning", scan::kScanning},
    {"scan.CommunicationError", scan::kCommunicationError},
    {"scan.DeviceNotFound", scan::kDeviceNotFound},
    {"scan.DriverNotWorking", scan::kDriverNotWorking},
    {"scan.CannotOpenPermissionWindows", scan::kCannotOpenPermissionWindows},
    {"scan.CannotOpenPermissionLinux", scan::kCannotOpenPermissionLinux},
    {"scan.CannotOpenBusy", scan::kCannotOpenBusy},
    // The transmitter screen's status.
    {"status.Transmission", tx::kTransmission},
    {"status.ReadSuccess", tx::kReadSuccess},
    {"status.ReadFail", tx::kReadFail},
    {"status.WriteSuccess", tx::kWriteSuccess},
    {"status.WriteFail", tx::kWriteFail},
    {"status.WriteMemoryFail", tx::kWriteMemoryFail},
    // Files, Compare and the configuration record.
    {"file.Loaded", tx::kFileLoaded},
    {"file.Saved", tx::kFileSaved},
    {"file.CannotOpen", tx::kCannotOpenFile},
    {"file.CannotSaveFields", tx::kCannotSaveFields},
    {"file.CannotWrite", tx::kCannotWriteFile},
    {"file.CannotWriteAFile", tx::kCannotWriteAFile},
    {"compare.Differences", tx::kDifferences},
    {"compare.NoDifferences", tx::kNoDifferences},
    {"record.Written", tx::report::kRecordWritten},
    {"record.ReadFirst", tx::report::kReadFirst},
    {"record.StoreNotAsked", tx::report::kStoreNotAsked},
    {"record.WriteFailAfter", tx::report::kWriteFailAfter},
    {"screen.SequenceRunning", tx::kSequenceRunning},
    // The trim assistant.
    {"meter.ReadFirst", tx::meter::kReadFirst},
    {"meter.ChoosePoint", tx::meter::kChoosePoint},
    {"meter.ReadingAt", tx::meter::kReadingAt},
    {"meter.Written", tx::meter::kWritten},
    {"meter.Within", tx::meter::kWithin},
    {"meter.NotAReading", tx::meter::kNotAReading},
    {"meter.TooFarOff", tx::meter::kTooFarOff},
    // What a configuration file or its check says.
    {"file.NotJson", file::kNotJson},
    {"file.NotAnObject", file::kNotAnObject},
    {"file.NewerFormat", file::kNewerFormat},
    {"file.FormatWanted", file::kFormatWanted},
    {"file.UnknownField", file::kUnknownField},
    {"file.MissingField", file::kMissingField},
    {"file.TextWanted", file::kTextWanted},
    {"file.TextWantedOneOf", file::kTextWantedOneOf},
    {"file.NotOneOf", file::kNotOneOf},
    {"file.NumberWanted", file::kNumberWanted},
    {"file.WholeNumberWanted", file::kWholeNumberWanted},
    {"file.FailedRead", file::kFailedRead},
    {"file.CannotRead", file::kCannotRead},
    {"file.NotAnInputType", file::kNotAnInputType},
    {"file.Outside", file::kOutside},
    {"file.NotANumber", file::kNotANumber},
    {"file.CutNeedsV04", file::kCutNeedsV04},
    {"file.NoVoltageOrCurrent", file::kNoVoltageOrCurrent},
    {"file.AnotherModel", file::kAnotherModel},
    {"file.Differs", file::kDiffers},
}};

}  // namespace kelvane
