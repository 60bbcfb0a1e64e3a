#include "support/Processes.h"
#include "support/Files.h"

namespace Processes {

bool isRunning(qint64 pid)
{
    const QByteArray line = Files::contents(QStringLiteral("/proc/%1/stat").arg(pid));
    if (line.isEmpty())
        return false;
    // The state follows the command name, which is in parentheses and may itself hold any character.
    const QByteArray state = line.mid(line.lastIndexOf(')') + 2, 1);
    return state != "Z" && state != "X";
}

}
