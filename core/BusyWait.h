#pragma once

// While the command runner waits on the main thread for longer than a glance (a keyring that asks for its
// password, an attribute on a slow mount), the windows keep painting and answering the desktop, under the
// busy cursor. Input waits in its queue until the run has ended, so that whatever the logger does next
// still happens after the step that waited.
namespace BusyWait {

// Makes every later wait of the runner behave so; called once, after the application object is made.
void install();

}
