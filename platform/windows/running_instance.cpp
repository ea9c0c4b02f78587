#include "platform/windows/running_instance.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace kelvane {

void holdRunningInstanceMutex() {
    // Never closed: Windows closes the handle, and so frees the name, when the process
    // ends, however it ends. A second instance opens the same mutex, which is fine.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Global\\KelvaneRunning");
    if (mutex == nullptr) {
        mutex = CreateMutexW(nullptr, FALSE, L"Local\\KelvaneRunning");
    }
    static_cast<void>(mutex);
}

}  // namespace kelvane
