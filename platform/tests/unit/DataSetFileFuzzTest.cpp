// Seeded random mutations of valid dataset files, fed to both readers: each
// must end in a clean load or an EDataSetError, never a crash, a hang or
// another exception (run under -DZEP_SANITIZE=ON for leaks and undefined
// behaviour). Deterministic: a fixed seed; bounded in count and time.
#include "DataSetFileTestSupport.h"

#include <QElapsedTimer>
#include <QtEndian>

#include <random>

using namespace platform;
using namespace dsfile_test;

namespace {

constexpr int Mutations = 8000; // per seed file
constexpr qint64 TimeBudgetMs = 20000;

class Mutator {
public:
    explicit Mutator(quint32 seed) : m_rng(seed) {}

    int below(int n) { return n <= 0 ? 0 : int(m_rng() % quint32(n)); }

    QByteArray mutate(QByteArray f, const QByteArray &other)
    {
        const int steps = 1 + below(4);
        for (int s = 0; s < steps; ++s) {
            const int at = below(int(f.size()));
            switch (below(11)) {
            case 0: // flip a bit
                if (!f.isEmpty())
                    f[at] = char(f[at] ^ (1 << below(8)));
                break;
            case 1: // a random byte
                if (!f.isEmpty())
                    f[at] = char(m_rng());
                break;
            case 2: // an interesting byte
                if (!f.isEmpty()) {
                    static const char bytes[] = {'\0', '\xFF', '\x7F', '\x80', '<', '>', '&', '"', '/', '\x01'};
                    f[at] = bytes[below(int(sizeof bytes))];
                }
                break;
            case 3: // cut
                f.truncate(at);
                break;
            case 4: // remove a range
                f.remove(at, 1 + below(16));
                break;
            case 5: // repeat a range
                f.insert(at, f.mid(below(int(f.size())), 1 + below(32)));
                break;
            case 6: // splice in a piece of another file
                f.insert(at, other.mid(below(int(other.size())), 1 + below(64)));
                break;
            case 7: { // a big little-endian number
                if (f.size() >= 4) {
                    const int p = below(int(f.size()) - 3);
                    static const quint32 values[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x10000u, 0u, 1u};
                    qToLittleEndian<quint32>(values[below(6)], f.data() + p);
                }
                break;
            }
            case 8: { // an XML piece
                static const char *pieces[] = {"<V>",
                                               "</V>",
                                               "<Row>",
                                               "</Row>",
                                               "null=\"true\"",
                                               "<![CDATA[",
                                               "]]>",
                                               "&#0;",
                                               "&#13;",
                                               "&amp;",
                                               "<!DOCTYPE x>",
                                               "<?pi x?>",
                                               "encoding=\"base64\"",
                                               "<Field name=\"Z\" type=\"Blob\"/>",
                                               "\xC3"};
                f.insert(at, pieces[below(int(std::size(pieces)))]);
                break;
            }
            case 9:
            case 10: { // a value text replaced by a tricky one (XML: between ">" and "<")
                static const char *values[] = {"",
                                               " ",
                                               "-",
                                               "-0",
                                               "nan",
                                               "-nan",
                                               "inf",
                                               "1e999",
                                               "0x10",
                                               "9223372036854775808",
                                               "-9223372036854775809",
                                               "65536",
                                               "-32769",
                                               "2147483648",
                                               "1.23456",
                                               "0.0001",
                                               "-922337203685477.5808",
                                               "2024-02-30",
                                               "0000-01-01",
                                               "-0001-12-31",
                                               "99999999999-01-01",
                                               "2024-01-01T24:00:00",
                                               "2024-01-01T10:00:00+25:00",
                                               "23:59:60",
                                               "12:00:00.9999",
                                               "TRUE",
                                               "yes",
                                               "AAA",
                                               "AA==",
                                               "====",
                                               "\xC3\xA0",
                                               "&#x1;",
                                               "&#xD800;",
                                               "&#xFFFE;",
                                               "\xF0\x9F\x98\x80",
                                               "0,5"};
                const qsizetype open = f.indexOf('>', at);
                const qsizetype close = open < 0 ? -1 : f.indexOf('<', open);
                if (close > open)
                    f.replace(open + 1, close - open - 1, values[below(int(std::size(values)))]);
                break;
            }
            }
        }
        return f;
    }

private:
    std::mt19937 m_rng;
};

// Length and checksum made right again, so that the binary reader goes past
// them into the mutated content.
QByteArray reseal(QByteArray f)
{
    if (f.size() < 20 || !f.startsWith("\x89ZDS"))
        return f;
    qToLittleEndian<quint32>(quint32(f.size() - 20), f.data() + 12);
    qToLittleEndian<quint32>(DataSetFile::checksum(f.constData(), f.size() - 4), f.data() + f.size() - 4);
    return f;
}

// Every NaN made the same quiet NaN.
QList<ValueList> plainNans(QList<ValueList> rows)
{
    for (ValueList &row : rows)
        for (Value &v : row)
            if (v.type() == ValueType::Float && std::isnan(v.toDouble()))
                v = Value(std::numeric_limits<double>::quiet_NaN());
    return rows;
}

struct Tally {
    int loaded = 0;
    int refused = 0;
};

// One input through the content reader and, when it reads, through a
// dataset load and a second trip through both writers.
void feed(const QByteArray &input, Tally *tally)
{
    DataSetContent content;
    try {
        content = DataSetFile::decode(input, QStringLiteral("fuzz.cds"));
    } catch (const EDataSetError &e) {
        ++tally->refused;
        ASSERT_TRUE(e.message().contains(QStringLiteral("'fuzz.cds'"))) << e.what();
        return;
    } catch (const std::exception &e) {
        FAIL() << "wrong exception: " << e.what();
    }
    ++tally->loaded;
    DataSet target;
    fillTarget(target);
    const Snapshot before = Snapshot::of(target);
    try {
        DataSetFile::loadFromBlob(target, input, QStringLiteral("fuzz.cds"));
        // What was read can be written again and read back alike.
        for (DataSetFileFormat form : {DataSetFileFormat::Binary, DataSetFileFormat::Xml}) {
            QByteArray again;
            try {
                again = DataSetFile::encode(content, form);
            } catch (const EDataSetError &) {
                continue; // a name XML cannot carry, read from a binary file
            }
            const DataSetContent back = DataSetFile::decode(again, QStringLiteral("again"));
            ASSERT_EQ(back.fieldDefs, content.fieldDefs);
            ASSERT_EQ(back.indexFieldNames, content.indexFieldNames);
            // XML keeps "nan" but not its payload.
            ASSERT_TRUE(sameRows(form == DataSetFileFormat::Xml ? plainNans(back.rows) : back.rows,
                                 form == DataSetFileFormat::Xml ? plainNans(content.rows) : content.rows));
        }
    } catch (const EDataSetError &e) {
        // The content read but does not fit a dataset (a value the dataset
        // refuses): the target must be untouched.
        ASSERT_TRUE(Snapshot::of(target) == before) << e.what();
    } catch (const std::exception &e) {
        FAIL() << "wrong exception: " << e.what();
    }
}

void fuzz(const QList<QByteArray> &seeds, quint32 seed, bool resealBinary)
{
    Mutator m(seed);
    QElapsedTimer timer;
    timer.start();
    Tally tally;
    int runs = 0;
    for (int i = 0; i < Mutations * int(seeds.size()) && timer.elapsed() < TimeBudgetMs; ++i, ++runs) {
        const QByteArray &base = seeds[i % seeds.size()];
        QByteArray input = m.mutate(base, seeds[m.below(int(seeds.size()))]);
        if (resealBinary)
            input = reseal(input);
        feed(input, &tally);
        if (::testing::Test::HasFatalFailure()) {
            ADD_FAILURE() << "input " << i << ": " << input.toBase64().constData();
            return;
        }
    }
    // The mutations must reach both outcomes: a harness whose inputs all fail
    // at the first check tests nothing.
    EXPECT_GT(tally.refused, 0);
    EXPECT_GT(tally.loaded, 0);
    std::printf("[ fuzz     ] %d inputs, %d read, %d refused, %lld ms\n", runs, tally.loaded, tally.refused,
                static_cast<long long>(timer.elapsed()));
}

QList<QByteArray> seedFiles(DataSetFileFormat form)
{
    DataSet every;
    fillEveryType(every);
    DataSet target;
    fillTarget(target);
    DataSetContent one;
    one.fieldDefs = {{QStringLiteral("B"), FieldType::Blob}, {QStringLiteral("T"), FieldType::String, 3}};
    one.properties = {{}, {}};
    one.rows = {{Value(QByteArray("\0", 1)), Value(QStringLiteral("ab"))}};
    return {DataSetFile::saveToBlob(every, form), DataSetFile::saveToBlob(target, form),
            DataSetFile::encode(one, form)};
}

TEST(DataSetFileFuzz, BinaryReaderBehindTheChecksum)
{
    fuzz(seedFiles(DataSetFileFormat::Binary), 1, true);
}

TEST(DataSetFileFuzz, BinaryReaderWithItsChecksum)
{
    // Nearly all refused by length or checksum: this is the path damaged
    // files take in practice.
    fuzz(seedFiles(DataSetFileFormat::Binary) + seedFiles(DataSetFileFormat::Xml).mid(2), 2, false);
}

TEST(DataSetFileFuzz, XmlReader)
{
    QList<QByteArray> seeds = seedFiles(DataSetFileFormat::Xml);
    seeds.append(R"(<DataSet indexFieldNames="Q"><Fields><Field name="Q" type="String" size="4"/>
<Field name="N" type="Integer"/><Field name="D" type="DateTime"/><Field name="S" type="Memo"/></Fields>
<Rows><Row Q="a" N="1"><D>2024-01-02T03:04:05.006+01:00</D><S><![CDATA[x<y]]></S></Row>
<Row><V>b</V><V null="true"/><V>2024-01-02 03:04</V><V encoding="base64">AQI=</V></Row></Rows></DataSet>)");
    fuzz(seeds, 3, false);
}

} // namespace
