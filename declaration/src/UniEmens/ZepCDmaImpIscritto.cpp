#include "ZepCDmaImpIscritto.h"

#include "ZepCDma.h"
#include "ZepCDmaImpContesto.h"
#include "ZepUDmaUtil.h"

#include "TovCInfoChecker.h"
#include "import/WunCFiscImpMultiSelect.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include "DataSet.h"
#include "Field.h"
#include "SqlQuery.h"

#include <QDate>

using platform::DataSet;
using platform::Value;

const QString TZepDmaImpIscritto::MsgPosizioneGiuridica = QStringLiteral(
    "Verificare la posizione giuridica nello storico.");
const QString TZepDmaImpIscritto::MsgNessunDatoRilevante = QStringLiteral(
    "Nessun dato rilevante ai fini della denuncia mensile");

namespace {
const QString Execute = QStringLiteral("EXECUTE");
const QString Codfis = QStringLiteral("CODFIS");
const QString AMese = QStringLiteral("AMESE");

QString soloCifre(const QString &testo)
{
    QString cifre;
    for (const QChar c : testo)
        if (c.isDigit())
            cifre += c;
    return cifre;
}

// The row marked as the payroll person's when the table has the field, as
// the import's SegnaPersona does with the candidate it holds.
void segnaPersona(DataSet &d0, const Value &persona)
{
    if (platform::Field *campo = d0.findField(TwunFiscImpMultiSelect::CampoPersona))
        campo->setValue(persona);
}

// "SE0CODFIS;SE0AMESE": the fields of a section row that name its person
// and month.
QString CampiPersona(const QString &sezione)
{
    return TDmaUtil::CampoSezione(sezione, Codfis) + QLatin1Char(';') + TDmaUtil::CampoSezione(sezione, AMese);
}
} // namespace

TZepDmaImpIscritto::TZepDmaImpIscritto(TZepDmaImpContesto &contesto, const TTabelle &tabelle)
    : m_contesto(contesto), m_tabelle(tabelle)
{
}

bool TZepDmaImpIscritto::Trova(const QString &codiceFiscale, const Value &persona)
{
    m_riscriviD0 = false;
    DataSet &d0 = m_tabelle.d0;
    const QString mese = m_contesto.MeseDenuncia();
    if (d0.locate(TZepDma::CampoCodiceFiscale + QStringLiteral(";SD0AMESE"), {codiceFiscale, mese}))
        return true;
    // The person's row under a fiscal code corrected in the payroll since.
    return !persona.isEmpty() && d0.findField(TwunFiscImpMultiSelect::CampoPersona)
           && d0.locate(TwunFiscImpMultiSelect::CampoPersona + QStringLiteral(";SD0AMESE"), {persona, mese});
}

bool TZepDmaImpIscritto::Rilevante()
{
    // Some pension, credit or end-of-service pay in the month.
    platform::SqlQuery conteggio(m_contesto.Connessione());
    const auto conta = [&](const QString &statement, const QList<std::pair<QString, Value>> &parametri) {
        TovQueryText().AssignSQL(statement, conteggio, 0, Execute, m_contesto.FiltroPosizione());
        conteggio.bind(QStringLiteral("IACOMID"), m_contesto.Candidato(QStringLiteral("IACOMID")));
        for (const auto &[nome, valore] : parametri)
            conteggio.bind(nome, valore);
        conteggio.open();
        const bool trovato = !conteggio.eof() && conteggio.value(0).toInt() > 0;
        conteggio.close();
        return trovato;
    };
    const int mese = m_contesto.MesePaga();
    if (conta(QStringLiteral("QRY_DMA_FOND_TEST"),
              {{QStringLiteral("IMESID"), mese}, {QStringLiteral("ICOTFONDAMENTALE"), 1}}))
        return true;
    for (int ritenuta : {TZepDmaImpContesto::RICE_INPDAP, TZepDmaImpContesto::RICE_FC, TZepDmaImpContesto::RICE_OP})
        if (conta(QStringLiteral("QRY_CUD_PREVID_TEST"), {{QStringLiteral("MESE_INIZIALE"), mese},
                                                          {QStringLiteral("MESE_FINALE"), mese},
                                                          {QStringLiteral("IRICEID"), ritenuta}}))
            return true;
    return false;
}

void TZepDmaImpIscritto::Verifica()
{
    if (m_contesto.Candidato(QStringLiteral("ITNOID")).toInt() == TNO_VERIFICARE)
        throw ETovWarning(MsgPosizioneGiuridica);
    if (!Rilevante())
        throw ETovWarning(MsgNessunDatoRilevante);
}

void TZepDmaImpIscritto::ImportaD0(const TAnagrafica &anagrafica)
{
    DataSet &d0 = m_tabelle.d0;
    if (m_riscriviD0) {
        // The replaced person's row, emptied but for its row number and
        // registry id.
        d0.edit();
        for (const auto &f : d0.fields())
            if (!f->isCalculated() && f->fieldName().compare(TZepDma::CampoIscritto, Qt::CaseInsensitive) != 0
                && f->fieldName().compare(QStringLiteral("IFISRIGO"), Qt::CaseInsensitive) != 0)
                f->setValue(Value::null());
    } else {
        d0.append();
    }
    for (const auto &f : d0.fields())
        if (f->fieldName().startsWith(QStringLiteral("CB_")))
            f->setValue(QStringLiteral("0"));
    segnaPersona(d0, anagrafica.persona);
    const auto acom = [this](const char *campo) { return m_contesto.Compenso(QLatin1String(campo)); };
    const auto abt = [this](const char *campo) { return m_contesto.Residenza(QLatin1String(campo)); };
    d0.setFieldValue(QStringLiteral("SD0ANNOFIN"), QString::number(m_contesto.AnnoDenuncia()));
    d0.setFieldValue(TZepDma::CampoCodiceFiscale, m_contesto.CodiceFiscale());
    d0.setFieldValue(QStringLiteral("SD0AMESE"), m_contesto.MeseDenuncia());
    d0.setFieldValue(TZepDma::CampoCognome, anagrafica.cognome.toUpper());
    d0.setFieldValue(TZepDma::CampoNome, anagrafica.nome.toUpper());

    platform::SqlQuery sesso(m_contesto.Connessione());
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANASEX"), sesso);
    sesso.bind(QStringLiteral("IANAID"), m_contesto.Candidato(QStringLiteral("IANAID")));
    sesso.open();
    const QString iniziale = sesso.eof() ? QString() : sesso.value(0).toString().toUpper().left(1);
    sesso.close();
    d0.setFieldValue(QStringLiteral("AN_D0001004_SEX"),
                     iniziale == QStringLiteral("F") || iniziale == QStringLiteral("M") ? iniziale : QString());

    d0.setFieldValue(QStringLiteral("DT_D0001005_DATANAS"), acom("DANANASCITA"));
    const QString comune = acom("COM_NAS_SCOMDESC").toString();
    d0.setFieldValue(QStringLiteral("6A_COMNAS"), comune.isEmpty() ? acom("STA_NAS_SSTADESC").toString() : comune);
    d0.setFieldValue(QStringLiteral("AN_D0001006_COPNAS"), acom("SSRPCCODCATA"));
    d0.setFieldValue(QStringLiteral("6B_PRONAS"), acom("PRO_NAS_SPROSIGLA"));
    d0.setFieldValue(QStringLiteral("7A_COMRES"), abt("SCOMDESC"));
    d0.setFieldValue(QStringLiteral("7B_PRORES"), abt("SPROSIGLA"));
    d0.setFieldValue(QStringLiteral("AN_D0001007_COPRES"), abt("SSRPCCODCATA"));
    d0.setFieldValue(QStringLiteral("AN_D0001008_INDRES"), abt("SABTINDIRIZZO"));
    d0.setFieldValue(QStringLiteral("N5_D0001009_CAPRES"), abt("SCAPVALUE"));
    d0.setFieldValue(QStringLiteral("AN_D0001011_TEL"), soloCifre(anagrafica.telefono));
    d0.setFieldValue(QStringLiteral("AN_D0001013_EMAIL"), anagrafica.email);
    // The start of service belongs to the declaration when it falls in the
    // declaration's own month: its year is the declaration's, also when the
    // pay comes from an earlier year.
    const QDate inizio = acom("DACOMINIRAPP").toDate();
    const int meseDenuncia = m_contesto.Parametri().fieldByName(QStringLiteral("IMESID")).asInteger();
    d0.setFieldValue(QStringLiteral("DT_D0001014_DECGIU"),
                     inizio.isValid() && inizio.year() == m_contesto.AnnoDenuncia() && inizio.month() == meseDenuncia
                         ? Value(inizio)
                         : Value::null());
    d0.post();
}

QList<DataSet *> TZepDmaImpIscritto::CancellaPersona(const QString &codicePresente)
{
    const QString mese = m_contesto.MeseDenuncia();
    const QString cf = m_contesto.CodiceFiscale();
    QStringList codici{codicePresente};
    if (cf != codicePresente)
        codici << cf;
    for (const QString &codice : codici) {
        TwunFiscImpMultiSelect::CancellaRighe(m_tabelle.quadro, CampiPersona(m_contesto.SezioneCorrente()),
                                              {codice, mese});
        TwunFiscImpMultiSelect::CancellaRighe(m_tabelle.altroQuadro, CampiPersona(m_contesto.SezioneAltra()),
                                              {codice, mese});
        TwunFiscImpMultiSelect::CancellaRighe(m_tabelle.e1, CampiPersona(TDmaUtil::QuadroE1), {codice, mese});
    }
    // The paying entities of the rows deleted go with them: they name their
    // row by the person's registry id and the row's ORDINE, which the new
    // rows may take again.
    const QList<int> cancellati = TZepDma::CancellaRigheIscritto(
        m_tabelle.d0.fieldByName(TZepDma::CampoIscritto).asInteger(), {&m_tabelle.versantiE0, &m_tabelle.versantiV1});
    QList<DataSet *> cambiati;
    if (cancellati.value(0) > 0)
        cambiati << &m_tabelle.versantiE0;
    if (cancellati.value(1) > 0)
        cambiati << &m_tabelle.versantiV1;
    m_riscriviD0 = true;
    return cambiati;
}

void TZepDmaImpIscritto::CorreggiCodiceFiscale(const QString &vecchio, const Value &persona)
{
    const QString cf = m_contesto.CodiceFiscale();
    const QString mese = m_contesto.MeseDenuncia();
    const auto correggi = [&](DataSet &ds, const QString &sezione) {
        const QString campoCf = TDmaUtil::CampoSezione(sezione, Codfis);
        while (ds.locate(CampiPersona(sezione), {vecchio, mese})) {
            ds.edit();
            ds.setFieldValue(campoCf, cf);
            ds.post();
        }
    };
    correggi(m_tabelle.quadro, m_contesto.SezioneCorrente());
    correggi(m_tabelle.altroQuadro, m_contesto.SezioneAltra());
    correggi(m_tabelle.e1, TDmaUtil::QuadroE1);
    DataSet &d0 = m_tabelle.d0;
    d0.edit();
    d0.setFieldValue(TZepDma::CampoCodiceFiscale, cf);
    segnaPersona(d0, persona);
    d0.post();
}

void TZepDmaImpIscritto::SegnaFineServizio(bool fineServizio)
{
    DataSet &d0 = m_tabelle.d0;
    if (!fineServizio || !d0.fieldByName(QStringLiteral("NP_D0001015_FINESER")).asString().isEmpty())
        return;
    d0.edit();
    d0.setFieldValue(QStringLiteral("NP_D0001015_FINESER"), QStringLiteral("1"));
    d0.post();
}
