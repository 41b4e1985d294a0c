#include "zepCImpCollaboratori.h"

#include "ZepUUtil.h"
#include "zepCFiscImpMultiSelect.h"

#include "Exceptions.h"
#include "Field.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUCalcoli.h"
#include "wunUCalcoli.h"
#include "ZepULayoutNomi.h"

#include <array>

using platform::Currency;
using platform::DataSet;
using platform::Value;

const QString TZepImpCollaboratori::MsgCodiceAttivita = QStringLiteral(
    "Inserire il \"Codice attività nei dati retributivi\"");
const QString TZepImpCollaboratori::AttivitaAgevolazione = QStringLiteral("19");
const QString TZepImpCollaboratori::TipoAgevolazione = QStringLiteral("04");
const QString TZepImpCollaboratori::AltraAssEMensLocale = QStringLiteral("002");

namespace {

struct Voce {
    int codice;
    const char *tipoRapporto;
    const char *codiceAttivita;
};

// Activity codes whose relationship type does not depend on ITNOID.
constexpr std::array<Voce, 6> Proprie{
    {{1, "01", ""}, {3, "02", ""}, {4, "03", ""}, {5, "05", ""}, {27, "04", ""}, {28, "07", ""}}};
// The other collaborations ("11") by activity, when ITNOID is not 15.
constexpr std::array<Voce, 18> Altre{{{6, "11", "09"},
                                      {25, "11", "09"},
                                      {7, "11", "10"},
                                      {8, "11", "11"},
                                      {9, "11", "12"},
                                      {10, "11", "13"},
                                      {11, "11", "03"},
                                      {12, "11", "04"},
                                      {13, "11", "05"},
                                      {14, "11", "06"},
                                      {15, "11", "01"},
                                      {16, "11", "02"},
                                      {18, "11", "02"},
                                      {20, "11", "14"},
                                      {21, "11", "15"},
                                      {22, "11", "16"},
                                      {23, "11", "08"},
                                      {24, "11", "07"}}};

TZepImpCollaboratori::TCodici codiciDi(const Voce &v)
{
    return {QString::fromLatin1(v.tipoRapporto), QString::fromLatin1(v.codiceAttivita)};
}

} // namespace

TZepImpCollaboratori::TCodici TZepImpCollaboratori::Codici(int codiceAttivita, int tnoId, TZepDenuncia denuncia)
{
    if (denuncia == TZepDenuncia::EMens && codiceAttivita == 1)
        return {QStringLiteral("1C"), QString()};
    for (const Voce &v : Proprie)
        if (v.codice == codiceAttivita)
            return codiciDi(v);
    if (tnoId == TTovCalcola::TNO_15)
        return {QStringLiteral("09"), QString()};
    for (const Voce &v : Altre)
        if (v.codice == codiceAttivita)
            return codiciDi(v);
    return {QStringLiteral("11"), QStringLiteral("17")};
}

QString TZepImpCollaboratori::AltraAss(int copertura, int aliquota, TZepDenuncia denuncia)
{
    constexpr int AliquotaAltraCopertura = 1600;
    if (denuncia == TZepDenuncia::EMensLocale && aliquota == AliquotaAltraCopertura)
        return AltraAssEMensLocale;
    if (copertura > 0 && aliquota > 0)
        return QStringLiteral("%1").arg(copertura, 3, 10, QLatin1Char('0'));
    return QString();
}

void TZepImpCollaboratori::CompletaRiga(TRiga &riga)
{
    if (!riga.RitDip.isZero())
        return;
    riga.Dovuto = TTovCalcola::PercentualeArrotondata(2, riga.Imponibile, riga.Aliquota);
    riga.ImpAgevolazione = TwunCalcola::Arrotonda(0, riga.Dovuto / 3);
}

TZepImpCollaboratori::TZepImpCollaboratori(TZepFiscImpMultiSelect &import, DataSet &collaboratori)
    : xqcColl(&import.Connessione(), QStringLiteral("xqcColl")), m_import(import), m_collaboratori(collaboratori)
{
}

void TZepImpCollaboratori::Importa()
{
    const platform::SqlQuery &compenso = m_import.qquAcom;
    xqcColl.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_EMENS_COLL"), xqcColl, QStringLiteral("EXECUTE"));
    TWunUtil::FormattaQuery(xqcColl, {TTovCalcola::TnoRipartiteSql()});
    platform::Params &p = xqcColl.params();
    p.paramByName(QStringLiteral("IACOMID")).setValue(m_import.xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    p.paramByName(QStringLiteral("RICE_COD_INPS_OI")).setValue(TTovCalcola::RICE_COD_INPS_OI);
    p.paramByName(QStringLiteral("RICE_COD_INPS_PT")).setValue(TTovCalcola::RICE_COD_INPS_PT);
    p.paramByName(QStringLiteral("IMESID")).setValue(m_import.Mese());
    p.paramByName(QStringLiteral("ICOATID")).setValue(compenso.value(QStringLiteral("ICOATID")));
    xqcColl.Open();
    struct Chiudi {
        TUqQueryCollection &q;
        ~Chiudi() { q.close(); }
    } chiudi{xqcColl};
    auto data = [&compenso](const QString &colonna) {
        const Value v = compenso.value(colonna);
        return v.isEmpty() ? QDate() : v.toDate();
    };
    for (xqcColl.first(); !xqcColl.eof(); xqcColl.next()) {
        TRiga riga = RigaCorrente();
        riga.Dal = data(QStringLiteral("DACOMINIRAPP"));
        riga.Al = data(QStringLiteral("DACOMFINERAPP"));
        CompletaRiga(riga);
        ScriviRiga(riga);
    }
}

TZepImpCollaboratori::TRiga TZepImpCollaboratori::RigaCorrente() const
{
    auto importo = [this](const char *campo) { return xqcColl.fieldByName(QLatin1String(campo)).asCurrency(); };
    TRiga riga;
    riga.CodiceAttivita = xqcColl.fieldByName(QStringLiteral("SCOATCODICE")).asString();
    riga.TnoId = xqcColl.fieldByName(QStringLiteral("ITNOID")).asInteger();
    riga.Imponibile = importo("IMPONIBILE");
    riga.Aliquota = importo("ALIQUOTA");
    riga.RitDip = importo("RITDIP");
    riga.Dovuto = importo("DOVUTO");
    riga.ImpAgevolazione = importo("IMPAGEVOLAZIONE");
    return riga;
}

void TZepImpCollaboratori::ScriviRiga(const TRiga &riga)
{
    bool intero = false;
    const int codiceAttivita = riga.CodiceAttivita.trimmed().toInt(&intero);
    if (!intero || codiceAttivita == 0)
        throw EUqError(MsgCodiceAttivita);

    const platform::SqlQuery &compenso = m_import.qquAcom;
    DataSet &c = m_collaboratori;
    c.append();
    auto imposta = [&c](const QString &campo, const Value &valore) { c.fieldByName(campo).setValue(valore); };
    imposta(layouts::TEMC_COLLABORATORI::AnnoMeseDenuncia, PeriodoDenuncia());
    // Without blanks around it, as the employee rows and the replace choice
    // take it: a re-import must find and replace these rows.
    imposta(layouts::TEMC_COLLABORATORI::CFCollaboratore,
            compenso.value(QStringLiteral("SANACODFISCALE")).toString().trimmed());
    m_import.SegnaPersona(c);
    imposta(layouts::TEMC_COLLABORATORI::Elimina, QStringLiteral("N"));
    imposta(layouts::TEMC_COLLABORATORI::Cognome, m_import.Cognome());
    imposta(layouts::TEMC_COLLABORATORI::Nome, m_import.Nome());
    imposta(layouts::TEMC_COLLABORATORI::CodiceComune,
            m_import.Parametri()->fieldValue(QStringLiteral("ComuneLavoro")));
    const TCodici codici = Codici(codiceAttivita, riga.TnoId, Denuncia);
    imposta(layouts::TEMC_COLLABORATORI::TipoRapporto, codici.TipoRapporto);
    imposta(layouts::TEMC_COLLABORATORI::CodiceAttivita, codici.CodiceAttivita);
    imposta(layouts::TEMC_COLLABORATORI::Imponibile, TwunCalcola::Arrotonda(0, riga.Imponibile));
    const int aliquota = int(TwunCalcola::ArrotondaPari(0, riga.Aliquota * 100).truncated());
    imposta(layouts::TEMC_COLLABORATORI::Aliquota, aliquota);
    if (const QString altraAss = AltraAss(compenso.value(QStringLiteral("IACOMCOPASS")).toInt(), aliquota, Denuncia);
        !altraAss.isEmpty())
        imposta(layouts::TEMC_COLLABORATORI::AltraAss, altraAss);
    imposta(layouts::TEMC_COLLABORATORI::Dal, riga.Dal.isValid() ? Value(riga.Dal) : Value::null());
    imposta(layouts::TEMC_COLLABORATORI::Al, riga.Al.isValid() ? Value(riga.Al) : Value::null());
    if (riga.ImpAgevolazione > Currency()) {
        imposta(layouts::TEMC_COLLABORATORI::CodiceAttivita, AttivitaAgevolazione);
        imposta(layouts::TEMC_COLLABORATORI::ImpAgevolazione, riga.ImpAgevolazione);
        imposta(layouts::TEMC_COLLABORATORI::TipoAgevolazione, TipoAgevolazione);
    }
    c.post();
}
