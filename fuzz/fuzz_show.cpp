// Show Song on a sheet dump of any content: never a crash, a hang or a walk without end.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/sheet_dump.h"
#include "view/show_song.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    if (size > 64 * 1024) return 0;
    auto dump = parseSheetDump(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!dump) return 0;
    Document doc;
    doc.sheets = dump->sheets;
    showSong(doc, nullptr);
    return 0;
}
