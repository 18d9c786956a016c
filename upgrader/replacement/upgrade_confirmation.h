#pragma once

namespace upgrader {

// After a self-upgrade the replacer starts the new program and waits for it
// to say it is up; without that word it puts the old program back. The
// replacer passes the write end of a pipe, its number in the environment
// variable QUORVANE_UPGRADE_CONFIRM_FD; the program writes the byte "1" to it.

// Takes the pipe out of the environment (and makes it close on exec), so that
// nothing the program starts inherits either: first thing in main. A program
// started any other way finds no variable and keeps nothing.
void TakeUpgradeConfirmation();

// Whether an upgrade's replacer waits for the program to say it is up.
bool UpgradeConfirmationAwaited();

// Says the program is up, once: when its main window shows and its event loop
// runs. Does nothing when there is nobody to tell.
void ConfirmUpgradeStarted();

}  // namespace upgrader
