// The demo's entry point: the command line, the archive, the music, the
// Aquarium, every chosen scene loaded into its lists, two black frames and a
// pause, then music and clock started together and the main loop run until
// the quit flag. Every end but one goes through Aquarium::Shutdown.
#pragma once

#include "platform/platform.h"

// Only the instance and the command line are used. Returns 0 when the
// Aquarium cannot be filled; every other way ends the process inside
// Aquarium::Shutdown with status 1.
int WinMain(platform::InstanceHandle instance, platform::InstanceHandle previousInstance,
            const char* commandLine, int showCommand);
