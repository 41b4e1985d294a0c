#pragma once
// Helpers of the UniEmens file's tests (the generator without a display and
// the file window): rows of the declaration tables with sensible values of
// a month, written to a real embedded archive, a recorder of the log lines,
// and a generator over the archive's store.
#include "ZepDatiDenunciaSupport.h"

#include "ZepCDenunciaAziendale.h"
#include "ZepCFile.h"
#include "ZepCParametri.h"

#include <QFile>
#include <QTemporaryDir>

namespace filetest {

using platform::DataSet;
using Riga = QList<QPair<QString, platform::Value>>;

// The row with `valori` in place of (or beside) its own values.
inline Riga con(Riga riga, const Riga &valori)
{
    for (const auto &[campo, valore] : valori) {
        auto it = std::find_if(riga.begin(), riga.end(), [&](const auto &p) { return p.first == campo; });
        if (it != riga.end())
            it->second = valore;
        else
            riga.append({campo, valore});
    }
    return riga;
}

inline platform::Currency euro(const char *importo)
{
    return platform::Currency::fromString(QString::fromLatin1(importo));
}

inline Riga dichiarante()
{
    return {{"CFPersonaMittente", "RSSMRA60A01H501Q"},
            {"CFMittente", "01234567890"},
            {"RagSocMittente", "STUDIO PAGHE ROSSI"},
            {"SedeINPS", "7000"},
            {"CFAzienda", "01234567890"},
            {"RagSocAzienda", "OFFICINE RIUNITE S.R.L."},
            {"CAP", "00100"},
            {"ISTAT", "25.62.00"}};
}

// A full-time employee of the month (March 2024) of company number
// `matricola`.
inline Riga dipendente(const char *cf, const char *cognome, const char *nome, const char *matricola = "1234567890")
{
    return {{"CFLavoratore", cf},
            {"Cognome", cognome},
            {"Nome", nome},
            {"Matricola", matricola},
            {"Qualifica1", "1"},
            {"Qualifica2", "F"},
            {"Qualifica3", "D"},
            {"TipoContribuzione", "00"},
            {"CodiceComune", "H501"},
            {"CodiceContratto", "011"},
            {"TipoLavoratore", "0"},
            {"Imponibile", euro("2000")},
            {"Contributo", euro("183.20")},
            {"RetribTeorica", euro("2000")},
            {"GiorniRetribuiti", 26},
            {"GiorniContribuiti", 26},
            {"Cittadinanza", "000"},
            {"RegimePost95", "Sì"},
            {"RispettoMinimale", "0"},
            {"Elimina", "N"},
            {"OrarioContrattuale", 2400},
            {"NumMensilita", 13},
            {"AnnoMeseDenuncia", "2024-03"}};
}

// A performing-arts worker of company number `matricola`.
inline Riga iscrittoFpls(const char *cf, const char *cognome, const char *nome, const char *matricola = "1234567890")
{
    return {{"CFLavoratore", cf},
            {"Cognome", cognome},
            {"Nome", nome},
            {"Matricola", matricola},
            {"Qualifica1", "S"},
            {"Qualifica2", "F"},
            {"Qualifica3", "D"},
            {"TipoContribuzione", "00"},
            {"CodiceComune", "H501"},
            {"CodiceContratto", "CPUB"},
            {"TipoLavoratore", "SY"},
            {"Imponibile", euro("1001")},
            {"Contributo", euro("330.33")},
            {"RetribTeorica", euro("1001")},
            {"GiorniRetribuiti", 4},
            {"GiorniContribuiti", 4},
            {"Cittadinanza", "000"},
            {"RegimePost95", "No"},
            {"Elimina", "N"},
            {"GiorniLavorati", "  SSS   S"},
            {"GiorniTipoCopertura", "  XXX   X"},
            {"AnnoMeseDenuncia", "2024-03"}};
}

inline Riga collaboratore(const char *cf, const char *cognome, const char *nome)
{
    return {{"CFCollaboratore", cf},  {"Cognome", cognome},       {"Nome", nome},
            {"TipoRapporto", "11"},   {"CodiceAttivita", "17"},   {"Imponibile", euro("1500")},
            {"Aliquota", 3503},       {"Dal", QDate(2024, 1, 1)}, {"Al", QDate(2024, 12, 31)},
            {"CodiceComune", "H501"}, {"Elimina", "N"},           {"AnnoMeseDenuncia", "2024-03"}};
}

class Registro : public IZepLogFile {
public:
    void Log(const QString &riga) override { righe << riga; }
    QStringList righe;
};

// A generator over a real archive of March 2024 with the declarant of the
// year; the software house's code set.
class FileTest : public dentest::DatiDenunciaTest {
public:
    using DatiDenunciaTest::Aggiungi;
    using DatiDenunciaTest::Periodo;
    using DatiDenunciaTest::store;

    FileTest() : file(store, aziendale, &registro)
    {
        file.CFSoftwarehouse = QStringLiteral("09876543210");
        file.NomeFile = cartella.filePath(QStringLiteral("uniEMens2024-03.Xml"));
        Dichiarante(dichiarante());
    }

    // Replaces the declarant of the working year.
    void Dichiarante(const Riga &riga)
    {
        platform::DataSet ds;
        store.LoadPeriod(ds, TZepParametri::TabellaDichiarante, store.Year(), 0);
        while (!ds.isEmpty())
            ds.deleteRecord();
        ds.append();
        for (const auto &[campo, valore] : riga)
            ds.fieldByName(campo).setValue(valore);
        ds.post();
        store.SavePeriod(ds, TZepParametri::TabellaDichiarante, store.Year(), 0);
    }
    void Dipendente(const Riga &riga) { Aggiungi(QStringLiteral("TEMD_DIPENDENTI"), riga); }
    void Fpls(const Riga &riga) { Aggiungi(QStringLiteral("TEFE_FPLSEXENPALS"), riga); }
    void Collaboratore(const Riga &riga) { Aggiungi(QStringLiteral("TEMC_COLLABORATORI"), riga); }

    // The pages in order, with everybody: tables, recomputation, file.
    void Genera()
    {
        file.CaricaTabelle();
        file.RicalcolaDenunciaAziendale();
        file.CaricaTabelle();
        file.GeneraDenunceMensili();
    }
    QByteArray Scritto() const
    {
        QFile f(file.NomeFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir cartella;
    platform::DataSet aziendale;
    Registro registro;
    TZepFile file;
};

} // namespace filetest
