// What the harnesses share: the fixture files they work on (built once, kept in memory) and a
// reader that takes bytes off the front of a fuzz input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fixtures/fixture_builder.h"
#include "rom/layout.h"

namespace kestra::fuzz {

struct OpenedFixture {
    fixtures::BuiltFile built;
    FileState state;
};

// One fixture file of the sample songs per layout, recognised as the editor recognises it.
inline const std::vector<OpenedFixture>& fixtureFiles() {
    static const std::vector<OpenedFixture> files = [] {
        std::vector<OpenedFixture> out;
        for (Layout layout : fixtures::allLayouts()) {
            OpenedFixture f;
            f.built = fixtures::buildFile(layout, fixtures::sampleSongs());
            auto state = recogniseLayout("fixture" + fixtures::extensionFor(layout), f.built.bytes);
            if (!state) continue;
            f.state = *state;
            f.state.path = "fixture" + fixtures::extensionFor(layout);
            out.push_back(std::move(f));
        }
        return out;
    }();
    return files;
}

// Takes bytes off the front of the input; zeros once it is used up.
class InputReader {
  public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(byte()) % n; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The sparse file description: 3 bytes size (high first, at most kSparseMaxSize), 1 fill byte,
// then records of 3 bytes offset, 1 byte length and that many bytes. Records past the end are
// cut. False when the description is too short.
inline constexpr std::uint32_t kSparseMaxSize = 1u << 20;

inline bool expandSparseFile(const std::uint8_t* data, std::size_t size, Bytes& out) {
    if (size < 4) return false;
    std::uint32_t fileSize = (data[0] << 16) | (data[1] << 8) | data[2];
    if (fileSize > kSparseMaxSize) return false;
    out.assign(fileSize, data[3]);
    std::size_t at = 4;
    while (at + 4 <= size) {
        std::uint32_t offset = (data[at] << 16) | (data[at + 1] << 8) | data[at + 2];
        std::size_t length = data[at + 3];
        at += 4;
        for (std::size_t i = 0; i < length && at < size; ++i, ++at)
            if (offset + i < out.size()) out[offset + i] = data[at];
    }
    return true;
}

// The sparse description of bytes, the inverse of expandSparseFile.
inline std::vector<std::uint8_t> sparseFileOf(const Bytes& bytes, std::uint8_t fill) {
    std::vector<std::uint8_t> out;
    auto put3 = [&](std::size_t v) {
        out.push_back(static_cast<std::uint8_t>(v >> 16));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
    };
    put3(bytes.size());
    out.push_back(fill);
    for (std::size_t i = 0; i < bytes.size();) {
        if (bytes[i] == fill) {
            ++i;
            continue;
        }
        std::size_t end = i;
        // A record runs on over short gaps of fill bytes: records cost four bytes each.
        auto gapAt = [&](std::size_t k) {
            for (std::size_t g = k; g < k + 4; ++g)
                if (g < bytes.size() && bytes[g] != fill) return false;
            return true;
        };
        while (end < bytes.size() && end - i < 255 && !gapAt(end)) ++end;
        put3(i);
        out.push_back(static_cast<std::uint8_t>(end - i));
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                   bytes.begin() + static_cast<std::ptrdiff_t>(end));
        i = end;
    }
    return out;
}

// A harness input as a file of this driver: the first byte picks the kind (bit 0: .nes, else
// .nsf) and whether the rest is the file itself or a sparse description of it (bit 1), which lets
// small inputs stand for the large cartridge images. False when it is neither.
inline bool fileOfInput(const std::uint8_t* data, std::size_t size, FileState& fs, Bytes& bytes) {
    if (size < 1) return false;
    const char* name = (data[0] & 1) ? "fuzz.nes" : "fuzz.nsf";
    if (data[0] & 2) {
        if (!expandSparseFile(data + 1, size - 1, bytes)) return false;
    } else {
        bytes.assign(data + 1, data + size);
    }
    auto recognised = recogniseLayout(name, bytes);
    if (!recognised) return false;
    fs = *recognised;
    return true;
}

}  // namespace kestra::fuzz
