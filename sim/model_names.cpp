#include "sim/model_names.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelvane::sim {

namespace {

struct ModelEntry {
    const char* name;
    std::uint8_t code;
};

constexpr std::array<ModelEntry, 3> kModels = {{{"QTR-H", 2}, {"QTR-D", 1}, {"QTN-H", 17}}};

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

std::optional<std::uint8_t> parseModel(const std::string& text) {
    const std::string name = upper(text);
    for (const ModelEntry& model : kModels) {
        if (name == model.name) {
            return model.code;
        }
    }
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return std::nullopt;
    }
    const int code = std::stoi(text);
    if (code > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(code);
}

std::optional<std::string> modelName(std::uint8_t modelCode) {
    for (const ModelEntry& model : kModels) {
        if (model.code == modelCode) {
            return std::string(model.name);
        }
    }
    return std::nullopt;
}

}  // namespace kelvane::sim
