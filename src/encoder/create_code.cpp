#include "encoder/create_code.h"

#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "format/read_song.h"
#include "model/atomic_write.h"
#include "model/guard.h"
#include "model/hex_text.h"
#include "rom/file_bytes.h"

namespace kestra {

std::optional<PreparedSong> prepareSong(Document& doc, const std::string& addressText, int songId,
                                        bool mayGrow) {
    ErrorBox& errors = doc.errors;
    if (addressText.empty()) {
        errors.report("Enter an address first.");
        return std::nullopt;
    }
    auto address = tryHexTextToInt(addressText);
    if (!address || *address < 0 || *address > 0xFFFFFFFFll) {
        errors.report("The value entered is not a hexadecimal.");
        return std::nullopt;
    }
    auto headerOffset = static_cast<std::uint32_t>(*address);
    // Everything is encoded and checked in memory before the file is touched.
    // Without a file the encoder says so itself.
    auto read = doc.file.isOpen() ? readIdentifiedFile(doc.file.path)
                                  : decltype(readIdentifiedFile(doc.file.path))::failure({});
    if (doc.file.isOpen()) {
        if (!read) {
            errors.report(read.error());
            return std::nullopt;
        }
        // The song count and layout came from the file as opened: written over a changed file
        // they could overwrite what another program added.
        if (std::string problem = changedOnDiskProblem(doc.file, read->identity);
            !problem.empty()) {
            errors.report(problem);
            return std::nullopt;
        }
    }
    auto song = encodeSong(songFrames(doc.sheets, doc.frames), doc.file, headerOffset, songId,
                           errors, &doc.memory(), read ? &read->bytes : nullptr);
    if (doc.file.splitBankLayout && song) doc.file.bankXor = song->bankXorEnd;
    if (!song) return std::nullopt;
    if (!read) {
        errors.report(kSelectFileFirst);
        return std::nullopt;
    }
    Bytes* original = &read->bytes;

    if (auto placed = checkPlacement(doc.file, *original, *song, mayGrow); !placed) {
        errors.report(placed.error());
        return std::nullopt;
    }
    Bytes patched = patchedCopy(*original, *song);
    if (auto back = checkReadBack(doc.file, patched, *song); !back) {
        errors.report("The new song could not be read back from $" + offsetText(headerOffset) +
                      " with this file's layout (" + back.error() +
                      "). Nothing was written; choose another address.");
        return std::nullopt;
    }
    return PreparedSong{std::move(*song), std::move(*original), std::move(patched)};
}

namespace {

bool run(Document& doc, const std::string& addressText, int songId, bool mayGrow,
         CodeWritten* report) {
    auto prepared = prepareSong(doc, addressText, songId, mayGrow);
    if (!prepared) return false;
    ErrorBox& errors = doc.errors;
    const Bytes& patched = prepared->patched;

    // A file that cannot be written gets no backup either.
    auto bytesOf = [](const Bytes& b) {
        return std::string_view(reinterpret_cast<const char*>(b.data()), b.size());
    };
    Status written = replaceRefusal(doc.file.path);
    if (written) written = keepBackupOnce(doc.file.path, bytesOf(prepared->original));
    if (written) written = writeFileAtomically(doc.file.path, bytesOf(patched));
    if (!written) {
        errors.report(written.error());
        return false;
    }
    doc.file.fileSize = patched.size();

    if (report) {
        report->headerOffset = prepared->song.headerOffset;
        // What was written for the song, as Find place counts it: a channel the file already
        // held is only pointed at.
        report->songBytes = prepared->song.header.size();
        for (const EncodedChannel& channel : prepared->song.channels)
            if (!channel.inFile) report->songBytes += channel.bytes.size();
        report->backupPath = backupPathOf(doc.file.path);
    }

    // Read the song back from the disk: a difference means the write went wrong.
    auto readBack = readIdentifiedFile(doc.file.path);
    std::string mismatch;
    if (!readBack) {
        mismatch = readBack.error();
    } else {
        // What the editor itself wrote is what the next write expects to find.
        if (doc.file.identity) doc.file.identity = readBack->identity;
        if (readBack->bytes != patched)
            mismatch = "the file's bytes differ from the bytes written";
        else if (auto back = checkReadBack(doc.file, readBack->bytes, prepared->song); !back)
            mismatch = back.error();
    }
    if (!mismatch.empty())
        errors.report(
            "The file was written, but the song read back from it differs from the song "
            "created (" +
            mismatch + "). The file as it was before its first write is kept in " +
            backupPathOf(doc.file.path) + ".");
    return true;
}

}  // namespace

bool createCode(Document& doc, const std::string& addressText, int songId, MessagePort* messages,
                bool mayGrow, CodeWritten* report) {
    doc.errors.clear();
    bool written = false;
    runGuarded(messages, [&] { written = run(doc, addressText, songId, mayGrow, report); });
    return written;
}

}  // namespace kestra
