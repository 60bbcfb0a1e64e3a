#pragma once

#include <QtGlobal>

namespace Processes {

// Whether the process still runs. A zombie has ended, though it stays listed until its parent reaps it.
bool isRunning(qint64 pid);

}
