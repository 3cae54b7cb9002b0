#include "qt_part.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <string>

namespace zul {
namespace {

constexpr const char *kFileName = ZUL_QT_PART_FILE;

std::filesystem::path coreFolder()
{
    namespace fs = std::filesystem;
    Dl_info info{};
    link_map *map = nullptr;
    const void *anchor = reinterpret_cast<const void *>(&qtPart);
    std::error_code error;
    // The main program's map has no name; only /proc knows where it lies.
    if (dladdr1(anchor, &info, reinterpret_cast<void **>(&map), RTLD_DL_LINKMAP) && map && map->l_name &&
        *map->l_name)
        return fs::absolute(map->l_name, error).parent_path();
    return fs::read_symlink("/proc/self/exe", error).parent_path();
}

const QtPartCalls *load()
{
    const std::filesystem::path folder = coreFolder();
    // Without a folder the name alone would make dlopen search the system.
    if (folder.empty())
        return nullptr;
    const std::string path = (folder / kFileName).string();
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        // Nothing else tells whoever installed the library why its dialog
        // and clipboard calls fail.
        std::fprintf(stderr, "ZUL_Tools_VB: %s\n", dlerror());
        return nullptr;
    }
    auto *entry = reinterpret_cast<decltype(&zul_qt_part)>(dlsym(handle, "zul_qt_part"));
    static const CoreCalls core{&ZULX_prepare, &ZUL_autoCrop, &ZUL_prepareSnap};
    const QtPartCalls *part = entry ? entry(kQtPartInterface, &core) : nullptr;
    if (!part) {
        std::fprintf(stderr, "ZUL_Tools_VB: %s does not fit this library\n", path.c_str());
        dlclose(handle);
    }
    // Loaded for good otherwise: Qt does not survive being unloaded.
    return part;
}

} // namespace

const QtPartCalls *qtPart()
{
    static const QtPartCalls *const part = load();
    return part;
}

} // namespace zul
