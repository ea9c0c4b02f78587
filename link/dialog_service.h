// Modal messages as a service, so that the link and the screens can report set-up
// failures and conversion errors without knowing about windows, and tests can record
// them instead of blocking. ui/ implements it with Qt message boxes.
#pragma once

#include <string>
#include <vector>

namespace kelvane {

class DialogService {
  public:
    virtual ~DialogService() = default;
    // A message box bearing the application title and a single OK button.
    virtual void showMessage(const std::string& text) = 0;
    // The application's error box, used for conversion errors in event handlers.
    virtual void showError(const std::string& text) = 0;
};

// Records every message in order; for tests and for programs without a screen.
class RecordingDialogs final : public DialogService {
  public:
    struct Entry {
        enum class Kind { Message, Error } kind;
        std::string text;
    };
    void showMessage(const std::string& text) override {
        entries.push_back({Entry::Kind::Message, text});
    }
    void showError(const std::string& text) override {
        entries.push_back({Entry::Kind::Error, text});
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const Entry& entry : entries) {
            result.push_back(entry.text);
        }
        return result;
    }
    std::vector<Entry> entries;
};

}  // namespace kelvane
