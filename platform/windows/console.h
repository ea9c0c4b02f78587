// kelvane.exe is a program of the window subsystem: started from a console (cmd,
// PowerShell) it has none of its own, so its help, version, messages and --log -
// would go nowhere. This attaches the parent's console to standard output and error
// when they lead nowhere; output redirected to a file or pipe stays where it is.
#pragma once

namespace kelvane {

void attachParentConsole();

}  // namespace kelvane
