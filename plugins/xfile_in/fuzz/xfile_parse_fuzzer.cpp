// One parse of arbitrary bytes as a DirectX text file, with the log on (every message is
// formatted) and each mesh reduced to its flat form the way the frame finishes it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "meshlib/mesh3d.h"
#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::vector<char> copy(data, data + size);
    std::FILE *file = fmemopen(copy.data(), copy.size(), "rb");
    if (file == nullptr)
        return 0;
    static LogFile log("/dev/null");
    XFileParseHooks hooks;
    hooks.log = &log;
    hooks.status = [](const char *) {};
    hooks.file_progress = [](std::uint32_t position, std::uint32_t total) {
        if (position > total)
            __builtin_trap();
    };
    hooks.finish_mesh = [](Mesh3d *mesh) {
        mesh->to_flat();
        mesh->drop_tables();
        delete mesh;
    };
    ParseXFileStream(file, hooks);
    std::fclose(file);
    return 0;
}
