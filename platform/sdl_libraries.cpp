// The name table, dlopen and the exports of the GL and GLU modules; see
// sdl_libraries.h.
#include "platform/sdl_libraries.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <string>

namespace platform {
namespace {

constexpr int DLOPEN_FLAGS = RTLD_NOW | RTLD_LOCAL;
constexpr char GL_FILE[] = "libGL.so.1";
constexpr char GLU_FILE[] = "libGLU.so.1";

// Windows file names ignore case.
bool SameFileName(const char* a, const char* b)
{
    const std::size_t length = std::strlen(a);
    return length == std::strlen(b) && std::equal(a, a + length, b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Windows-only GLU call: the wide text of gluErrorString. The texts stay in a
// cache for the process so the returned pointers stay valid.
const wchar_t* GluErrorUnicodeString(unsigned int errorCode)
{
    static std::map<unsigned int, std::wstring> texts;
    const auto known = texts.find(errorCode);
    if (known != texts.end())
        return known->second.c_str();

    void* const glu = dlopen(GLU_FILE, DLOPEN_FLAGS);  // our own reference while reading
    if (glu == nullptr)
        return nullptr;
    using ErrorStringProc = const unsigned char* (*)(unsigned int);
    const auto errorString = reinterpret_cast<ErrorStringProc>(dlsym(glu, "gluErrorString"));
    const unsigned char* const text = errorString ? errorString(errorCode) : nullptr;
    std::optional<std::wstring> wide;
    if (text != nullptr) {
        wide.emplace(text, text + std::strlen(reinterpret_cast<const char*>(text)));
    }
    dlclose(glu);
    if (!wide)
        return nullptr;
    return texts.emplace(errorCode, std::move(*wide)).first->second.c_str();
}

// The pixel-format and swap names have no Linux export: the backend's GDI
// calls answer them.
constexpr std::array<const char*, 4> GL_MISSING_EXPORTS{
    {"wglSwapBuffers", "wglChoosePixelFormat", "wglDescribePixelFormat", "wglSetPixelFormat"}};

}  // namespace

ModuleHandle SdlLibraries::Load(const char* name)
{
    if (name == nullptr)
        return nullptr;
    struct LibraryName {
        const char* windowsName;
        const char* linuxFile;
        Library library;
    };
    static constexpr std::array<LibraryName, 2> LIBRARIES{{
        {"opengl32.dll", GL_FILE, Library::Gl},
        {"glu32.dll", GLU_FILE, Library::Glu},
    }};
    for (const LibraryName& library : LIBRARIES) {
        if (!SameFileName(name, library.windowsName))
            continue;
        void* const handle = dlopen(library.linuxFile, DLOPEN_FLAGS);
        if (handle == nullptr)
            return nullptr;
        modules_.push_back(std::make_unique<ModuleRecord>(ModuleRecord{library.library, handle}));
        return reinterpret_cast<ModuleHandle>(modules_.back().get());
    }
    return nullptr;
}

Proc SdlLibraries::Find(ModuleHandle module, const char* name) const
{
    const ModuleRecord* const record = RecordOf(module);
    if (record == nullptr || name == nullptr)
        return nullptr;
    if (record->library == Library::Gl)
        return GlExport(*record, name);
    if (std::strcmp(name, "gluErrorUnicodeStringEXT") == 0) {
        using ErrorUnicodeStringProc = const wchar_t* (*)(unsigned int);
        constexpr ErrorUnicodeStringProc errorText = &GluErrorUnicodeString;
        return reinterpret_cast<Proc>(errorText);
    }
    return reinterpret_cast<Proc>(dlsym(record->handle, name));
}

Proc SdlLibraries::GlExport(const ModuleRecord& module, const char* name) const
{
    const std::array<std::pair<const char*, Proc>, 5> own{{
        {"wglCreateContext", reinterpret_cast<Proc>(own_.createContext)},
        {"wglMakeCurrent", reinterpret_cast<Proc>(own_.makeCurrent)},
        {"wglDeleteContext", reinterpret_cast<Proc>(own_.deleteContext)},
        {"wglGetProcAddress", reinterpret_cast<Proc>(own_.getProcAddress)},
        {"glReadPixels", reinterpret_cast<Proc>(own_.readPixels)},
    }};
    for (const auto& [ownName, proc] : own) {
        if (std::strcmp(ownName, name) == 0)
            return proc;
    }
    for (const char* missing : GL_MISSING_EXPORTS) {
        if (std::strcmp(missing, name) == 0)
            return nullptr;
    }
    return reinterpret_cast<Proc>(dlsym(module.handle, name));
}

bool SdlLibraries::Free(ModuleHandle module)
{
    const auto found = std::find_if(modules_.begin(), modules_.end(), [module](const auto& r) {
        return reinterpret_cast<ModuleHandle>(r.get()) == module;
    });
    if (module == nullptr || found == modules_.end())
        return false;
    dlclose((*found)->handle);
    modules_.erase(found);
    return true;
}

void SdlLibraries::FreeAll()
{
    for (const auto& module : modules_)
        dlclose(module->handle);
    modules_.clear();
}

SdlLibraries::ModuleRecord* SdlLibraries::RecordOf(ModuleHandle module) const
{
    for (const auto& record : modules_) {
        if (reinterpret_cast<ModuleHandle>(record.get()) == module)
            return record.get();
    }
    return nullptr;
}

}  // namespace platform
