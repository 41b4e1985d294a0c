// libFuzzer target for the two dataset file readers (built with
// -DZEP_FUZZ=ON and clang: see docs/ARCHITECTURE.md). Each input is loaded
// in each form into a fresh dataset, and what loads is written again as
// XML; anything but a clean load or an EDataSetError aborts. The seeded
// GoogleTest DataSetFileFuzz runs in every test run; this target is for
// longer runs by hand:
//
//   build-fuzz/fuzz/fuzz_DataSetFileFuzzer -max_total_time=300 -max_len=8192 corpus/
//   (corpus: saved .cds/.xml files)
#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"

#include <cstdio>
#include <cstdlib>

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (DataSetFileFormat f : {DataSetFileFormat::Auto, DataSetFileFormat::Binary, DataSetFileFormat::Xml}) {
        try {
            DataSet ds;
            DataSetFile::loadFromBlob(ds, bytes, QStringLiteral("fuzz"), f);
            (void)DataSetFile::saveToBlob(ds, DataSetFileFormat::Xml);
        } catch (const EDataSetError &) {
        } catch (const std::exception &e) {
            std::fprintf(stderr, "wrong exception: %s\n", e.what());
            std::abort();
        }
    }
    return 0;
}
