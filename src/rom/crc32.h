// CRC-32 (the common reflected 0xEDB88320 polynomial) that patch tools use to name the file a
// patch applies to.
#pragma once

#include <cstdint>

#include "rom/file_bytes.h"

namespace kestra {

std::uint32_t crc32(const Bytes& bytes);
// Eight upper-case hex digits.
std::string crc32Text(std::uint32_t crc);

}  // namespace kestra
