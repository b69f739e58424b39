// The answer rules of display-mode changes; see display_modes.h.
#include "platform/display_modes.h"

namespace platform {

DisplayMode WantedMode(const DisplayMode& request, const DisplayMode& current)
{
    DisplayMode wanted = current;
    wanted.fields = request.fields;
    if ((request.fields & DM_BITSPERPEL) != 0)
        wanted.bitsPerPel = request.bitsPerPel;
    if ((request.fields & DM_PELSWIDTH) != 0)
        wanted.width = request.width;
    if ((request.fields & DM_PELSHEIGHT) != 0)
        wanted.height = request.height;
    if ((request.fields & DM_DISPLAYFREQUENCY) != 0)
        wanted.frequency = request.frequency;
    return wanted;
}

int FindOfferedMode(const DisplayMode* offered, std::size_t count, const DisplayMode& wanted)
{
    const bool frequencyAsked = (wanted.fields & DM_DISPLAYFREQUENCY) != 0 && wanted.frequency != 0;
    int first = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const DisplayMode& mode = offered[i];
        if (mode.width != wanted.width || mode.height != wanted.height ||
            mode.bitsPerPel != wanted.bitsPerPel)
            continue;
        const bool sameFrequency = mode.frequency == wanted.frequency;
        if (frequencyAsked && !sameFrequency)
            continue;
        if (sameFrequency)
            return static_cast<int>(i);
        if (first < 0)
            first = static_cast<int>(i);
    }
    return first;
}

}  // namespace platform
