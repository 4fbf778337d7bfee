#include "encoder/create_code.h"

#include "encoder/placement_checks.h"
#include "encoder/safe_write.h"
#include "encoder/song_encoder.h"
#include "format/read_song.h"
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
    storeShownFrame(doc.sheets, doc.frames);

    // Everything is encoded and checked in memory before the file is touched.
    auto original = doc.file.isOpen() ? readFileBytes(doc.file.path) : Result<Bytes>(Bytes{});
    if (!original) {
        errors.report(original.error());
        return std::nullopt;
    }
    auto song =
        encodeSong(doc.frames, doc.file, headerOffset, songId, errors, &doc.readMemory, &*original);
    if (doc.file.splitBankLayout && song) doc.file.bankXor = song->bankXorEnd;
    if (!song) return std::nullopt;

    if (std::string problem = placementProblem(doc.file, *original, *song, mayGrow);
        !problem.empty()) {
        errors.report(problem);
        return std::nullopt;
    }
    Bytes patched = patchedCopy(*original, *song);
    if (std::string problem = readBackProblem(doc.file, patched, *song); !problem.empty()) {
        errors.report("The new song could not be read back from $" + offsetText(headerOffset) +
                      " with this file's layout (" + problem +
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
    if (std::string problem = replaceRefusal(doc.file.path); !problem.empty()) {
        errors.report(problem);
        return false;
    }
    if (std::string problem = keepBackupOnce(doc.file.path, prepared->original); !problem.empty()) {
        errors.report(problem);
        return false;
    }
    if (std::string problem = replaceFileContents(doc.file.path, patched); !problem.empty()) {
        errors.report(problem);
        return false;
    }
    doc.file.fileSize = patched.size();

    if (report) {
        report->headerOffset = prepared->song.headerOffset;
        report->songBytes = prepared->song.header.size();
        for (const EncodedChannel& channel : prepared->song.channels)
            report->songBytes += channel.bytes.size();
        report->backupPath = backupPathOf(doc.file.path);
    }

    // Read the song back from the disk: a difference means the write went wrong.
    auto written = readFileBytes(doc.file.path);
    std::string mismatch;
    if (!written)
        mismatch = written.error();
    else if (*written != patched)
        mismatch = "the file's bytes differ from the bytes written";
    else
        mismatch = readBackProblem(doc.file, *written, prepared->song);
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
