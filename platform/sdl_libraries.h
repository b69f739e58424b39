// Libraries of the real backend, by their Windows file names: "opengl32.dll"
// is libGL.so.1 and "glu32.dll" libGLU.so.1, opened with dlopen. The GL module
// answers the wgl names and glReadPixels with the backend's own functions, and the GLU module
// supplies the Windows-only gluErrorUnicodeStringEXT. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"

namespace platform {

// What the GL module answers with the backend's own functions: the wgl
// names, and glReadPixels, which resolves a multisampled frame first.
struct GlModuleFunctions {
    CreateContextProc createContext;
    MakeCurrentProc makeCurrent;
    DeleteContextProc deleteContext;
    GetGLProcAddressProc getProcAddress;
    void (*readPixels)(int x, int y, int width, int height, unsigned format, unsigned type, void* pixels);
};

class SdlLibraries {
public:
    explicit SdlLibraries(const GlModuleFunctions& own) : own_(own) {}
    // Null for a name without a Linux counterpart or a library that will not open.
    ModuleHandle Load(const char* name);
    Proc Find(ModuleHandle module, const char* name) const;
    bool Free(ModuleHandle module);
    // Closes every library still open.
    void FreeAll();

private:
    enum class Library { Gl, Glu };
    struct ModuleRecord {
        Library library;
        void* handle;  // from dlopen
    };

    ModuleRecord* RecordOf(ModuleHandle module) const;
    Proc GlExport(const ModuleRecord& module, const char* name) const;

    GlModuleFunctions own_;
    std::vector<std::unique_ptr<ModuleRecord>> modules_;
};

}  // namespace platform
