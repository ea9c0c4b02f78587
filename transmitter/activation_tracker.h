// Tells the transmitter screen's activations apart from other focus changes: focus
// coming to the screen from another window of the program (or at its first showing)
// activates it; focus coming back from another application does not. TForm2 feeds
// it every focus change of the program; transient boxes are not fed to it.
#pragma once

namespace kelvane {

class ActivationTracker {
  public:
    // Focus moved to `window`, or to another application when it is nullptr.
    // True when this is an activation of `screen`.
    bool focusMoved(const void* window, const void* screen) {
        if (window == nullptr) {
            return false;  // the program lost focus; it keeps its last window
        }
        const bool activation = window == screen && lastWindow_ != screen;
        lastWindow_ = window;
        return activation;
    }
    // A hidden screen's next focus is a new showing.
    void screenHidden(const void* screen) {
        if (lastWindow_ == screen) {
            lastWindow_ = nullptr;
        }
    }

  private:
    const void* lastWindow_ = nullptr;
};

}  // namespace kelvane
