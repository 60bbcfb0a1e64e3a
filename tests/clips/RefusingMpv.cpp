#include "RefusingMpv.h"

#include "clips/MpvLibrary.h"

#include <utility>

namespace {

QStringList& refused()
{
    static QStringList names;
    return names;
}

decltype(MpvLibrary::commandAsync) commandInMpv = nullptr;
decltype(MpvLibrary::setPropertyAsync) setPropertyInMpv = nullptr;

int refusingCommand(mpv_handle* mpv, uint64_t reply, const char** arguments)
{
    if (arguments[0] && refused().contains(QLatin1String(arguments[0])))
        return MPV_ERROR_COMMAND;
    return commandInMpv(mpv, reply, arguments);
}

int refusingSetProperty(mpv_handle* mpv, uint64_t reply, const char* name, mpv_format format, void* data)
{
    if (refused().contains(QLatin1String(name)))
        name = "no-such-property-in-this-mpv";
    return setPropertyInMpv(mpv, reply, name, format, data);
}

}

namespace RefusingMpv {

void refuse(const QStringList& names)
{
    refused() = names;
    MpvLibrary* mpv = mpvLibrary();
    if (!mpv || mpv->commandAsync == &refusingCommand)
        return;
    commandInMpv = std::exchange(mpv->commandAsync, &refusingCommand);
    setPropertyInMpv = std::exchange(mpv->setPropertyAsync, &refusingSetProperty);
}

}
