// kelvane.exe and kelvane-cli.exe each hold the named mutex "KelvaneRunning" (in the
// Global\ namespace, else the session's) for as long as they run, so that the
// installer and uninstaller see a running program and ask for it to be closed
// before they replace or remove its files. The installer script names it too.
#pragma once

namespace kelvane {

void holdRunningInstanceMutex();

}  // namespace kelvane
