// libFuzzer target for the binary dataset reader past its frame. A mutated
// file almost never keeps a matching body length and CRC-32, so in the
// other target (DataSetFileFuzzer) the reader stops at those checks and
// its body is barely reached. Here each input that starts like a binary
// file gets its body length and checksum made right before it is read, so
// every mutation lands in the fields, the index names and the records.
//
// What loads into a dataset must save and load again, and save the same
// bytes the second time (floats travel bit for bit). A clean load or an
// EDataSetError is fine; anything else aborts.
//
//   build-fuzz/fuzz/fuzz_DataSetFileBinaryFuzzer -max_total_time=600 -max_len=8192 corpus/
//   (corpus: saved binary .cds files)
#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"

#include <QtEndian>

#include <cstdio>
#include <cstdlib>

using namespace platform;

namespace {

constexpr qsizetype HeaderSize = 16; // magic, version, flags, body length
constexpr qsizetype TrailerSize = 4; // CRC-32 of header and body

// The body length and the checksum as a writer would have set them.
void repairFrame(QByteArray &bytes)
{
    if (bytes.size() < HeaderSize + TrailerSize)
        return;
    char *d = bytes.data();
    qToLittleEndian<quint32>(quint32(bytes.size() - HeaderSize - TrailerSize), d + 12);
    qToLittleEndian<quint32>(DataSetFile::checksum(d, bytes.size() - TrailerSize), d + bytes.size() - TrailerSize);
}

[[noreturn]] void fault(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    repairFrame(bytes);
    try {
        DataSet ds;
        try {
            DataSetFile::loadFromBlob(ds, bytes, QStringLiteral("fuzz"), DataSetFileFormat::Binary);
        } catch (const EDataSetError &) {
            return 0; // refused, as a damaged file must be
        }
        // What loaded is saved and loaded again: the second save gives the
        // same bytes as the first.
        const QByteArray saved = DataSetFile::saveToBlob(ds, DataSetFileFormat::Binary);
        DataSet again;
        DataSetFile::loadFromBlob(again, saved, QStringLiteral("fuzz"), DataSetFileFormat::Binary);
        if (DataSetFile::saveToBlob(again, DataSetFileFormat::Binary) != saved)
            fault("a loaded file does not save itself the same way twice");
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        fault("a file that loaded cannot be saved and loaded again");
    }
    return 0;
}
