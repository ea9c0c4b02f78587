#include "transmitter/configuration_record.h"

#include "device/register_map.h"
#include "device/write_rules.h"
#include "i18n/transmitter_texts.h"

namespace kelvane {

namespace texts = transmitter_texts;

namespace {

// A choice's caption, the same in every language, as the page shows it.
template <std::size_t N>
std::string captionOf(const std::array<const char*, N>& captions, int code) {
    return code >= 0 && code < static_cast<int>(N) ? captions[static_cast<std::size_t>(code)] : "";
}

std::string inputCaption(int code) {
    return regmap::isInputType(code) ? regmap::kInputTypes[static_cast<std::size_t>(code)].caption
                                     : "";
}

// The page's caption of a field, without its colon.
std::string fieldCaption(const char* control, std::int16_t languageId) {
    for (const auto& entry : texts::kConfigurationCaptions) {
        if (std::string(entry.control) == control) {
            std::string text = chooseText(languageId, entry.texts);
            while (!text.empty() && (text.back() == ' ' || text.back() == ':')) {
                text.pop_back();
            }
            return text.substr(text.find_first_not_of(' '));
        }
    }
    return control;
}

}  // namespace

Configuration confirmedConfiguration(const Configuration& before, const Configuration& wanted,
                                     int confirmed) {
    Configuration c = before;
    for (int i = 0; i < confirmed && i < static_cast<int>(kConfigurationWrites.size()); ++i) {
        switch (kConfigurationWrites[static_cast<std::size_t>(i)].source) {
            case WriteSource::LowerLimit:
                c.lower = wanted.lower;
                break;
            case WriteSource::UpperLimit:
                c.upper = wanted.upper;
                break;
            case WriteSource::Offset:
                c.offset = wanted.offset;
                break;
            case WriteSource::Unit:
                c.unit = wanted.unit;
                break;
            case WriteSource::OutputDirection:
                c.outputDirection = wanted.outputDirection;
                break;
            case WriteSource::BreakSignal:
                c.breakSignal = wanted.breakSignal;
                break;
            case WriteSource::InputType:
                c.inputType = wanted.inputType;
                break;
        }
    }
    return c;
}

std::string lastWriteText(const std::optional<LastWrite>& write, std::int16_t languageId) {
    if (!write) {
        return chooseText(languageId, texts::report::kNothingWritten);
    }
    switch (write->outcome) {
        case WriteOutcome::Stored:
            return chooseText(languageId, texts::kWriteSuccess);
        case WriteOutcome::StoreNotAsked:
            return chooseText(languageId, texts::report::kStoreNotAsked);
        case WriteOutcome::StoreFailed:
            return chooseText(languageId, texts::kWriteMemoryFail);
        case WriteOutcome::Failed:
            break;
    }
    return fillText(chooseText(languageId, texts::report::kWriteFailAfter),
                    {std::to_string(write->confirmedWrites)});
}

std::string asLeftHeading(const std::optional<LastWrite>& write, std::int16_t languageId) {
    const bool notStored = write && (write->outcome == WriteOutcome::StoreFailed ||
                                     write->outcome == WriteOutcome::Failed);
    return chooseText(languageId,
                      notStored ? texts::report::kAsLeftNotStored : texts::report::kAsLeft);
}

std::vector<RecordRow> recordRows(const Configuration& found, const Configuration& left,
                                  std::int16_t languageId) {
    std::vector<RecordRow> rows{
        {fieldCaption("Item1", languageId), inputCaption(found.inputType),
         inputCaption(left.inputType)},
        {fieldCaption("Item3", languageId), captionOf(regmap::kUnits, found.unit),
         captionOf(regmap::kUnits, left.unit)},
        {fieldCaption("Lab21", languageId), found.lower, left.lower},
        {fieldCaption("Lab22", languageId), found.upper, left.upper},
        {fieldCaption("Item6", languageId), found.offset, left.offset},
        {fieldCaption("Item4", languageId),
         captionOf(regmap::kOutputDirections, found.outputDirection),
         captionOf(regmap::kOutputDirections, left.outputDirection)},
        {fieldCaption("Item5", languageId), captionOf(regmap::kBreakSignals, found.breakSignal),
         captionOf(regmap::kBreakSignals, left.breakSignal)},
        {chooseText(languageId, texts::report::kTrim4mA), std::to_string(found.trim4mA),
         std::to_string(left.trim4mA)},
        {chooseText(languageId, texts::report::kTrim20mA), std::to_string(found.trim20mA),
         std::to_string(left.trim20mA)},
    };
    for (RecordRow& row : rows) {
        row.changed = row.asFound != row.asLeft;
    }
    return rows;
}

}  // namespace kelvane
