// Feeds arbitrary bytes to the map file and icon library readers: whatever
// comes in, they must give a map or a reason, never crash or read astray.
#include "IconLibrary.h"
#include "MapFormat.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray blob(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Result<MapModel> map = readMapFile(blob);
    if (map.ok()) {
        // A map that loads must be usable: write it again and read it back.
        const QByteArray again = writeMapFile(map.value());
        if (!readMapFile(again).ok())
            __builtin_trap();
    }
    IconLibrary icons;
    if (icons.addLibrary(blob).ok()) {
        for (const QString& library : icons.libraries())
            for (const QString& name : icons.iconNames(library))
                if (!icons.find(library, name))
                    __builtin_trap();
    }
    return 0;
}
