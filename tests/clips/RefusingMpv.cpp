#include "RefusingMpv.h"

#include <mpv/client.h>

namespace {

QStringList& refused()
{
    static QStringList names;
    return names;
}

}

namespace RefusingMpv {

void refuse(const QStringList& names)
{
    refused() = names;
}

}

extern "C" {

int __real_mpv_command_async(mpv_handle* mpv, uint64_t reply, const char** arguments);
int __real_mpv_set_property_async(
    mpv_handle* mpv, uint64_t reply, const char* name, mpv_format format, void* data);

int __wrap_mpv_command_async(mpv_handle* mpv, uint64_t reply, const char** arguments)
{
    if (arguments[0] && refused().contains(QLatin1String(arguments[0])))
        return MPV_ERROR_COMMAND;
    return __real_mpv_command_async(mpv, reply, arguments);
}

int __wrap_mpv_set_property_async(
    mpv_handle* mpv, uint64_t reply, const char* name, mpv_format format, void* data)
{
    if (refused().contains(QLatin1String(name)))
        name = "no-such-property-in-this-mpv";
    return __real_mpv_set_property_async(mpv, reply, name, format, data);
}
}
