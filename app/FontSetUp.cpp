#include "app/FontSetUp.h"

#include <fontconfig/fontconfig.h>

bool FontSetUp::mayRunBesideStart(const QProcessEnvironment& environment)
{
    // Qt takes the notice away when the variable is there at all, even empty.
    return !environment.contains(QStringLiteral("DESKTOP_STARTUP_ID"))
        && !environment.contains(QStringLiteral("XDG_ACTIVATION_TOKEN"));
}

FontSetUp::FontSetUp()
{
    if (mayRunBesideStart(QProcessEnvironment::systemEnvironment()))
        thread = std::jthread([] { FcInit(); });
}

void FontSetUp::finish()
{
    if (thread.joinable())
        thread.join();
}
