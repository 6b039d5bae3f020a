// After an upgrade: the Restart Manager, which closes running programs so
// that an installer can replace them, starts again those that asked it to.
// The panel asks once it shows, and takes it back when it hides on its way
// out, so an upgrade brings back a panel the user still had, and only that:
// not after a crash, a hang or a reboot (the logon start is the package's).
#pragma once

namespace talvo::win32 {

void RestartAfterUpgrade();
void NoRestartAfterUpgrade();

}  // namespace talvo::win32
