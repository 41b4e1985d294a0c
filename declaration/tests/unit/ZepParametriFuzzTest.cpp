// The parameter files of the imports ("TEMENSPAR.XML", "TWUNDMAPAR.XML")
// and zep's year-folder table files fuzzed past their checks: truncated,
// bit-flipped, garbage, fields of the wrong type, huge values. Each load
// either fails with an Italian message naming the file and leaves what was
// loaded before as it was, or gives values of the fields' own types; the
// file on disk is never touched by a load, and a save refused on a damaged
// table file keeps it as it was. Seeded: the seed is printed, and
// ZEP_TEST_SEME replays it.
#include "ZepCAttivazioni.h"
#include "ZepCCdsLocale.h"
#include "zepCDmaImporta.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "Field.h"
#include "RecordingServices.h"
#include "TovUCdsUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <limits>

using platform::DataSet;
using platform::FieldDefs;
using platform::FieldType;
using platform::Value;
using platform::ValueList;

namespace {

constexpr int Mutazioni = 60; // per kind of damage and file

quint32 seme()
{
    bool ok = false;
    const quint32 dato = qEnvironmentVariable("ZEP_TEST_SEME").toUInt(&ok);
    return ok ? dato : quint32(QDateTime::currentMSecsSinceEpoch());
}

// A field's value as another type would hold it: text in numbers and
// flags, numbers in texts, and the extremes.
Value alieno(FieldType tipo, QRandomGenerator &caso)
{
    switch (caso.bounded(6)) {
    case 0: return tipo == FieldType::String ? Value(qint64(std::numeric_limits<qint64>::max())) : Value("dodici");
    case 1: return Value(std::numeric_limits<int>::max());
    case 2: return Value(std::numeric_limits<int>::min());
    case 3: return Value(QString(100'000, QLatin1Char('9')));
    case 4: return Value(QDate(9999, 12, 31));
    default: return Value(-1.5e300);
    }
}

// The file's bytes damaged one way, drawn from `caso`.
using Danno = std::function<QByteArray(const QByteArray &, const FieldDefs &, QRandomGenerator &)>;

const std::pair<const char *, Danno> Danni[] = {
    {"troncato",
     [](const QByteArray &b, const FieldDefs &, QRandomGenerator &c) { return b.left(c.bounded(int(b.size()))); }},
    {"bit invertiti",
     [](const QByteArray &b, const FieldDefs &, QRandomGenerator &c) {
         QByteArray out = b;
         for (int i = 0, n = 1 + c.bounded(4); i < n; ++i)
             out[c.bounded(int(out.size()))] ^= char(1 << c.bounded(8));
         return out;
     }},
    {"spazzatura",
     [](const QByteArray &b, const FieldDefs &, QRandomGenerator &c) {
         QByteArray out(c.bounded(2 * int(b.size())), Qt::Uninitialized);
         for (char &ch : out)
             ch = char(c.bounded(256));
         // Sometimes behind the right first bytes, so the reader goes on.
         return c.bounded(2) ? b.left(8) + out : out;
     }},
    {"tipi sbagliati",
     [](const QByteArray &, const FieldDefs &campi, QRandomGenerator &c) {
         // Every field present under its name, some of them with another
         // type and a value of that type.
         FieldDefs altri;
         ValueList riga;
         for (const auto &d : campi) {
             const Value v = c.bounded(2) ? alieno(d.type, c) : Value();
             if (v.isEmpty()) {
                 altri.append(d);
                 riga.append(Value());
                 continue;
             }
             const FieldType t = v.type() == platform::ValueType::Text       ? FieldType::String
                                 : v.type() == platform::ValueType::Date     ? FieldType::Date
                                 : v.type() == platform::ValueType::Float    ? FieldType::Float
                                 : v.type() == platform::ValueType::LargeInt ? FieldType::LargeInt
                                                                             : FieldType::Integer;
             altri.append({d.name, t, t == FieldType::String ? 100'000 : 0});
             riga.append(v);
         }
         DataSet ds;
         ds.loadRecords(altri, {riga});
         return platform::DataSetFile::saveToBlob(ds, c.bounded(2) ? platform::DataSetFileFormat::Binary
                                                                   : platform::DataSetFileFormat::Xml);
     }},
};

bool italianoConFile(const QString &messaggio, const QString &file)
{
    for (const char *inglese : {"invalid", "failed", "cannot", "unexpected", "unknown", "not a"})
        if (messaggio.contains(QLatin1String(inglese), Qt::CaseInsensitive))
            return false;
    return messaggio.contains(QFileInfo(file).fileName());
}

// Each value of the dataset's record is null or of its field's type, a
// text within its size.
void valoriDelProprioTipo(DataSet &ds)
{
    ASSERT_TRUE(ds.isActive());
    for (const auto &f : ds.fields()) {
        const Value v = f->value();
        if (v.isEmpty())
            continue;
        switch (f->dataType()) {
        case FieldType::Integer:
            EXPECT_TRUE(v.type() == platform::ValueType::Integer || v.type() == platform::ValueType::LargeInt)
                << f->fieldName().toStdString();
            break;
        case FieldType::Boolean:
            EXPECT_EQ(v.type(), platform::ValueType::Boolean) << f->fieldName().toStdString();
            break;
        case FieldType::String: EXPECT_LE(v.toString().size(), f->size()) << f->fieldName().toStdString(); break;
        default: break;
        }
    }
}

class ParametriFuzz : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_seme = seme();
        caso.seed(m_seme);
        std::cout << "ZEP_TEST_SEME=" << m_seme << " replays "
                  << testing::UnitTest::GetInstance()->current_test_info()->name() << std::endl;
    }

    // Every damage of `integro` written to `file`, then `carica`: it fails
    // naming the file or loads (then `controlla`); the file is as written.
    void Fuzz(const QString &file, const QByteArray &integro, const FieldDefs &campi,
              const std::function<void()> &carica, const std::function<void(bool riuscito)> &controlla)
    {
        for (const auto &[nome, danno] : Danni) {
            for (int i = 0; i < Mutazioni; ++i) {
                const QByteArray dati = danno(integro, campi, caso);
                SCOPED_TRACE(
                    QStringLiteral("%1, seme %2, caso %3").arg(QLatin1String(nome)).arg(m_seme).arg(i).toStdString());
                scrivi(file, dati);
                bool riuscito = true;
                try {
                    carica();
                } catch (const platform::Exception &e) {
                    riuscito = false;
                    EXPECT_TRUE(italianoConFile(e.message(), file)) << e.message().toStdString();
                }
                controlla(riuscito);
                QFile letto(file);
                ASSERT_TRUE(letto.open(QIODevice::ReadOnly));
                EXPECT_EQ(letto.readAll(), dati) << "a load left the file as it was";
                EXPECT_FALSE(QFileInfo::exists(TTovCds::BackupName(file)));
            }
        }
    }
    static void scrivi(const QString &file, const QByteArray &dati)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(dati);
    }
    static QByteArray blob(const FieldDefs &campi, const QList<ValueList> &righe)
    {
        DataSet ds;
        ds.loadRecords(campi, righe);
        return platform::DataSetFile::saveToBlob(ds);
    }

    RecordingServicesScope services;
    QTemporaryDir dir;
    quint32 m_seme = 0;
    QRandomGenerator caso;
};

} // namespace

TEST_F(ParametriFuzz, TheImportsParameterFilesFailNamingThemOrGiveValuesOfTheirTypes)
{
    // "TEMENSPAR.XML" as the import's wizard reads it.
    const QString emens = dir.filePath(TZepAttivazioni::NomeFileParametri);
    const FieldDefs campi = TZepAttivazioni::CampiParametri();
    ValueList riga;
    for (const auto &d : campi)
        riga << (d.type == FieldType::Boolean  ? Value(true)
                 : d.type == FieldType::String ? Value(QStringLiteral("1234567890").left(qMin(10, d.size)))
                                               : Value(3));
    DataSet parametri, appoggio;
    const auto stato = [&] {
        QStringList valori;
        for (const auto &f : parametri.fields())
            valori << (parametri.isActive() ? f->asString() : QString());
        return valori;
    };
    QStringList prima;
    Fuzz(
        emens, blob(campi, {riga}), campi,
        [&] {
            prima = stato();
            TZepAttivazioni::ParametriDaFile(parametri, campi, appoggio, emens);
        },
        [&](bool riuscito) {
            if (riuscito) {
                valoriDelProprioTipo(parametri);
                EXPECT_EQ(parametri.fieldCount(), campi.size());
            } else {
                EXPECT_EQ(stato(), prima) << "the parameters loaded before are kept";
            }
            EXPECT_FALSE(appoggio.isActive());
        });

    // "TWUNDMAPAR.XML" through the public-sector import's preparation: the
    // values it forces are there whatever the file held.
    TZepDmaImporta dma;
    dma.SetCartellaParametri(dir.path());
    const FieldDefs campiDma = TZepDmaImporta::CampiParametri();
    ValueList rigaDma;
    for (const auto &d : campiDma)
        rigaDma << (d.type == FieldType::Boolean  ? Value(false)
                    : d.type == FieldType::String ? Value(QStringLiteral("01234567890"))
                                                  : Value(2024));
    Fuzz(
        dma.FileParametri(), blob(campiDma, {rigaDma}), campiDma, [&] { dma.PreparaParametri(2024, 3); },
        [&](bool riuscito) {
            if (!riuscito) {
                EXPECT_FALSE(dma.cdsParametri.isActive()) << "nothing half loaded";
                return;
            }
            valoriDelProprioTipo(dma.cdsParametri);
            EXPECT_EQ(dma.cdsParametri.fieldByName(QStringLiteral("ANNO_DENUNCIA")).asInteger(), 2024);
            EXPECT_EQ(dma.cdsParametri.fieldByName(QStringLiteral("IMESID")).asInteger(), 3);
            EXPECT_FALSE(dma.cdsParametri.fieldByName(QStringLiteral("SOSTITUTO")).asBoolean());
            dma.cdsParametri.close();
        });
}

TEST_F(ParametriFuzz, ADamagedYearFolderTableFailsNamingItAndKeepsWhatWasLoadedAndTheFile)
{
    const QString base = dir.path() + QLatin1Char('/');
    TZepCdsLocale store(base, QStringLiteral("USR/ZEPDati/ZEP"));
    const QString file = store.FileTabella(QStringLiteral("TEMD_DIPENDENTI"), 2006);
    const FieldDefs campi{{"AnnoMeseDenuncia", FieldType::String, 7},
                          {"CFLavoratore", FieldType::String, 16},
                          {"Imponibile", FieldType::Integer}};
    const QByteArray integro = blob(campi, {{Value("2006-03"), Value("RSSMRA80A01H501U"), Value(1500)},
                                            {Value("2006-04"), Value("BNCLGU75B02F205X"), Value(2100)}});
    // The month the window shows: a damaged file keeps it as it was.
    scrivi(file, integro);
    DataSet mese;
    store.LoadPeriod(mese, QStringLiteral("TEMD_DIPENDENTI"), 2006, 3);
    ASSERT_EQ(mese.recordCount(), 1);
    const QList<ValueList> prima = mese.records();
    Fuzz(
        file, integro, campi,
        [&] {
            DataSet letto;
            store.LoadPeriod(letto, QStringLiteral("TEMD_DIPENDENTI"), 2006, 3);
            mese.close();
            mese.loadRecords(letto.fieldDefs(), letto.records());
        },
        [&](bool riuscito) {
            if (riuscito) {
                EXPECT_TRUE(mese.isActive());
                return;
            }
            EXPECT_EQ(mese.records(), prima) << "the month loaded before is kept";
            // A save onto the damaged file is refused naming it, and the
            // month's changes are kept for another try.
            mese.first();
            mese.edit();
            mese.setFieldValue(QStringLiteral("Imponibile"), 1600);
            mese.post();
            try {
                store.SavePeriod(mese, QStringLiteral("TEMD_DIPENDENTI"), 2006, 3, TCdsSaveFailure::KeepChanges);
                ADD_FAILURE() << "saved over a damaged file";
            } catch (const platform::Exception &e) {
                EXPECT_TRUE(italianoConFile(e.message(), file)) << e.message().toStdString();
            }
            EXPECT_EQ(mese.fieldByName(QStringLiteral("Imponibile")).asInteger(), 1600);
            mese.cancelUpdates();
        });
}
