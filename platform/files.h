// Finding the system's data files on the disk by the names the system uses:
// Windows names with back-slashes, spelled in whatever case the caller chose.
// Only reading goes through here; files the system writes keep their exact name.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// The name with every back-slash turned into '/', nothing else changed:
// "data\intro\scenes\cut1.scn" is data/intro/scenes/cut1.scn.
std::string DiskName(const char* windowsName);

// The path of the regular file that windowsName names, or an empty string when
// there is none. The disk name as given wins; otherwise each path component is
// matched against its directory without regard to case (a-z against A-Z only),
// trying a component as spelled first and its other spellings in byte order;
// the first full match wins. "." and ".." and doubled separators are taken as written.
std::string FindDataFile(const char* windowsName);

// Opens the file that FindDataFile finds for binary reading; null when there
// is none or it cannot be opened. The caller closes it with std::fclose.
std::FILE* OpenDataFile(const char* windowsName);

}  // namespace platform
