#include "support/NullAudio.h"

#include "clips/MpvLibrary.h"

#include <utility>

namespace {

decltype(MpvLibrary::initialize) initializeWithSound = nullptr;

int initializeWithoutSound(mpv_handle* mpv)
{
    mpvLibrary()->setOptionString(mpv, "ao", "null");
    return initializeWithSound(mpv);
}

}

namespace NullAudio {

void install()
{
    MpvLibrary* mpv = mpvLibrary();
    if (mpv && mpv->initialize != &initializeWithoutSound)
        initializeWithSound = std::exchange(mpv->initialize, &initializeWithoutSound);
}

}
