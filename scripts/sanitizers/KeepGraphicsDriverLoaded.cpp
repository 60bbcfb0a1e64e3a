// Linked only into the checking build's programs with windows (tapeScribe and the window tests).
//
// Mesa loads its DRI driver (under Xvfb the software one, swrast_dri.so) when Qt opens the X display and
// unloads it with dlclose when Qt closes the display, just before the process ends. The driver keeps a
// few blocks for the process's whole life, reachable only from its own globals: once it is unmapped those
// globals are gone, LeakSanitizer finds the blocks unreachable, and reports them with frames it can no
// longer name, so no suppression can match them. Left loaded, the driver's globals still reach the blocks
// and nothing is reported; a real leak in it would still be reported, named by the driver's file.
//
// The programs define dlclose themselves, which puts it before the C library's (and the sanitizer
// runtime's) for every library that calls it; anything other than a DRI driver is closed as before.

#include <dlfcn.h>
#include <link.h>

#include <string_view>

namespace {

bool isGraphicsDriver(std::string_view path)
{
    return path.ends_with("_dri.so") && path.find("/dri/") != std::string_view::npos;
}

}

extern "C" int dlclose(void* handle)
{
    static const auto next = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_NEXT, "dlclose"));
    link_map* library = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &library) == 0 && library && isGraphicsDriver(library->l_name))
        return 0;
    return next(handle);
}
