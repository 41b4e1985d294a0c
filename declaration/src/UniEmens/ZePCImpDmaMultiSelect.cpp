#include "ZePCImpDmaMultiSelect.h"

#include "ZepCDma.h"
#include "ZepCDmaInfo.h"
#include "ZepRDmaVape.h"
#include "ZepUDmaUtil.h"

#include "TovUCdsUtil.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUCalcoli.h"
#include "tovUDBCds.h"
#include "tovUExceptions.h"
#include "wunUCalcoli.h"

#include "Exceptions.h"
#include "Field.h"
#include "Format.h"

using platform::Currency;
using platform::DataSet;
using platform::Value;

const QStringList TZepDmaImpMultiSelect::VociSovrascrivi{QStringLiteral("Sovrascrivi sempre"),
                                                         QStringLiteral("Non sovrascrivere"),
                                                         QStringLiteral("Chiedi conferma"), QStringLiteral("Aggiungi")};
const QString TZepDmaImpMultiSelect::DidascaliaForzaBloccati = QStringLiteral(
    "Forza l'importazione delle denunce inviate");
const QString TZepDmaImpMultiSelect::MsgPosizioneGiuridica = QStringLiteral(
    "Verificare la posizione giuridica nello storico.");
const QString TZepDmaImpMultiSelect::MsgNessunDatoRilevante = QStringLiteral(
    "Nessun dato rilevante ai fini della denuncia mensile");
const QString TZepDmaImpMultiSelect::MsgOrarioIntero = QStringLiteral(
    "L'orario intero nei dati professionali non è impostato.");
const QString TZepDmaImpMultiSelect::MsgBloccato = QStringLiteral(
    " - Denuncia già inviata: dati non importati (\"Forza l'importazione delle denunce inviate\" per sostituirli)");
const QString TZepDmaImpMultiSelect::MsgResiduoNegativo = QStringLiteral(
    " - Quadro %s dal %s: gli importi dei periodi superano i totali del mese, residuo negativo in %s");
const QString TZepDmaImpMultiSelect::MsgAliquotaDefault = QStringLiteral(
    " - Aliquota a carico dell'amministrazione della ritenuta 2 assente: contributo calcolato al 24,20%");
const Currency TZepDmaImpMultiSelect::AliquotaAmmPredefinita = Currency::fromRaw(242000);

namespace {
const QString Execute = QStringLiteral("EXECUTE");
const QString Codfis = QStringLiteral("CODFIS");
const QString AMese = QStringLiteral("AMESE");
// The items of the basic monthly pay.
const QList<int> VociStipendio{10001, 10002, 10049, 10053, 10055, 10071};

QString soloCifre(const QString &testo)
{
    QString cifre;
    for (const QChar c : testo)
        if (c.isDigit())
            cifre += c;
    return cifre;
}
} // namespace

TZepDmaImpMultiSelect::TZepDmaImpMultiSelect(ITovDBCds &store, platform::Database *connessione)
    : TwunFiscImpMultiSelect(connessione), cdsQuadro(QStringLiteral("cdsQuadro")),
      cdsAltroQuadro(QStringLiteral("cdsAltroQuadro")), cdsE1(QStringLiteral("cdsE1")),
      cdsAppo(QStringLiteral("cdsAppo")), cdsVacrPrec(QStringLiteral("cdsVacrPrec")), qquDma(Connessione()),
      qquRegs(Connessione()), qquPrec(Connessione()), qquVociPrec(Connessione()), qquAcc(Connessione()),
      xqcAppoggio(&Connessione(), QStringLiteral("xqcAppoggio")), xqcRica(&Connessione(), QStringLiteral("xqcRica")),
      xqcVarr(&Connessione(), QStringLiteral("xqcVarr")), xqcVarrPrec(&Connessione(), QStringLiteral("xqcVarrPrec")),
      xqcVacrVarrPrec(&Connessione(), QStringLiteral("xqcVacrVarrPrec")), m_store(store)
{
    Sovrascrittura = ChiediConferma;
    for (DataSet *ds : {&cdsQuadro, &cdsAltroQuadro, &cdsE1}) {
        ds->events().afterPost = [this](DataSet &d) { SalvaTabella(d); };
        ds->events().afterDelete = [this](DataSet &d) { SalvaTabella(d); };
        // A section row names its person by the D0 row's registry id.
        ds->events().beforePost = [this](DataSet &d) {
            if (cdsImport.isActive() && !cdsImport.isEmpty())
                d.setFieldValue(TZepDma::CampoIscritto, cdsImport.fieldValue(TZepDma::CampoIscritto));
        };
    }
}

TZepDmaImpMultiSelect::~TZepDmaImpMultiSelect() = default;

// ---------------------------------------------------------------- helpers

QString TZepDmaImpMultiSelect::Campo(const QString &sezione, const QString &campoE0)
{
    return TDmaUtil::NomeCampo(campoE0, sezione);
}

DataSet &TZepDmaImpMultiSelect::DatasetV1()
{
    return SezioneCorrente == TDmaUtil::QuadroV1 ? cdsQuadro : cdsAltroQuadro;
}

int TZepDmaImpMultiSelect::MesePaga() const
{
    return xqcMultiSelect.fieldByName(QStringLiteral("MESE_FINALE")).asInteger();
}

QString TZepDmaImpMultiSelect::FiltroPosizione() const
{
    return platform::format(QStringLiteral(" AND REGS.ITNOID IN (%s)"),
                            {Value(QString::number(xqcMultiSelect.fieldByName(QStringLiteral("ITNOID")).asInteger()))});
}

QString TZepDmaImpMultiSelect::CodiceFiscale() const
{
    return qquAcom.value(QStringLiteral("SANACODFISCALE")).toString().trimmed();
}

QString TZepDmaImpMultiSelect::MeseDenuncia() const
{
    ZEP_ASSERT(Parametri(), QStringLiteral("MeseDenuncia: parametri dell'importazione non impostati"));
    return QStringLiteral("%1").arg(Parametri()->fieldByName(QStringLiteral("IMESID")).asInteger(), 2, 10,
                                    QLatin1Char('0'));
}

int TZepDmaImpMultiSelect::AnnoDenuncia() const
{
    ZEP_ASSERT(Parametri(), QStringLiteral("AnnoDenuncia: parametri dell'importazione non impostati"));
    return Parametri()->fieldByName(QStringLiteral("ANNO_DENUNCIA")).asInteger();
}

TfrQuvVapeDma &TZepDmaImpMultiSelect::Vape()
{
    if (!m_vape)
        m_vape = std::make_unique<TfrQuvVapeDma>(&Connessione());
    return *m_vape;
}

int TZepDmaImpMultiSelect::Mese() const
{
    ZEP_ASSERT(Parametri(), QStringLiteral("Mese: parametri dell'importazione non impostati"));
    const DataSet &p = *Parametri();
    if (p.fieldByName(QStringLiteral("ImportaSuV1")).asBoolean())
        return p.fieldByName(QStringLiteral("MESEV1")).asInteger();
    return p.fieldByName(QStringLiteral("IMESID")).asInteger();
}

QString TZepDmaImpMultiSelect::NomeTabella(const DataSet &dataSet) const
{
    if (&dataSet == &cdsImport)
        return TZepDma::TabellaD0;
    if (&dataSet == &cdsQuadro)
        return QStringLiteral("T%1_RETR").arg(SezioneCorrente);
    if (&dataSet == &cdsAltroQuadro)
        return QStringLiteral("T%1_RETR").arg(SezioneAltra);
    if (&dataSet == &cdsE1)
        return TZepDma::TabellaE1;
    return {};
}

bool TZepDmaImpMultiSelect::FiltraPersona(DataSet &dataSet, const QString &sezione)
{
    const QString cf = CodiceFiscale();
    const QString mese = MeseDenuncia();
    // A record filter, not a filter text: the values never pass through a
    // parser. The fields are found by name once, not at every record of the
    // table.
    const int campoCf = dataSet.fieldByName(TDmaUtil::CampoSezione(sezione, Codfis)).index();
    const int campoMese = dataSet.fieldByName(TDmaUtil::CampoSezione(sezione, AMese)).index();
    dataSet.events().onFilterRecord = [=](DataSet &d) {
        return d.field(campoCf)->asString() == cf && d.field(campoMese)->asString() == mese;
    };
    dataSet.setFiltered(true);
    return !dataSet.isEmpty();
}

void TZepDmaImpMultiSelect::TogliFiltro(DataSet &dataSet)
{
    dataSet.setFiltered(false);
    dataSet.events().onFilterRecord = {};
    dataSet.setIndexFieldNames(QString());
}

void TZepDmaImpMultiSelect::CopiaInAppo(const DataSet &dataSet)
{
    if (!cdsAppo.isActive()) {
        cdsAppo.setFieldDefs(dataSet.fieldDefs());
        cdsAppo.createDataSet();
    }
    cdsAppo.append();
    for (const auto &f : dataSet.fields())
        if (!f->isCalculated())
            if (platform::Field *g = cdsAppo.findField(f->fieldName()))
                g->setValue(f->value());
    cdsAppo.post();
}

// ---------------------------------------------------------------- rates

void TZepDmaImpMultiSelect::ApriAliquote()
{
    const int tno = xqcMultiSelect.fieldByName(QStringLiteral("ITNOID")).asInteger();
    const int anno = wunAnnoFinanziario().Id();
    if (xqcRica.isActive() && m_aliquoteTno == tno && m_aliquoteAnno == anno)
        return;
    xqcRica.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_RICA_CALC"), xqcRica, Execute);
    xqcRica.params().paramByName(QStringLiteral("ITNOID")).setValue(tno);
    xqcRica.params().paramByName(QStringLiteral("IANFID")).setValue(anno);
    xqcRica.Open();
    m_aliquoteTno = tno;
    m_aliquoteAnno = anno;
}

Currency TZepDmaImpMultiSelect::AliquotaDip(int ritenuta)
{
    ApriAliquote();
    return xqcRica.locate(QStringLiteral("IRICEID"), ritenuta)
               ? xqcRica.fieldByName(QStringLiteral("FRICAALIQUOTADIP")).asCurrency()
               : Currency();
}

Currency TZepDmaImpMultiSelect::AliquotaAmm(int ritenuta)
{
    ApriAliquote();
    return xqcRica.locate(QStringLiteral("IRICEID"), ritenuta)
               ? xqcRica.fieldByName(QStringLiteral("FRICAALIQUOTAAMM")).asCurrency()
               : Currency();
}

Currency TZepDmaImpMultiSelect::AliquotaAmmPensione()
{
    const Currency aliquota = AliquotaAmm(RICE_INPDAP);
    if (!aliquota.isZero())
        return aliquota;
    Info.AddMessage(MsgAliquotaDefault);
    return AliquotaAmmPredefinita;
}

bool TZepDmaImpMultiSelect::ContributoAggiuntivo() const
{
    return qquAcom.value(QStringLiteral("IACOMSCAINPDAP")).toInt() > 1;
}

// ---------------------------------------------------------------- the run

void TZepDmaImpMultiSelect::PreparaElenco()
{
    Info.Clear();
    ZEP_ASSERT(Parametri(), QStringLiteral("PreparaElenco: parametri dell'importazione non impostati"));
    const bool v1 = Parametri()->fieldByName(QStringLiteral("ImportaSuV1")).asBoolean();
    SezioneCorrente = v1 ? TDmaUtil::QuadroV1 : TDmaUtil::QuadroE0;
    SezioneAltra = v1 ? TDmaUtil::QuadroE0 : TDmaUtil::QuadroV1;
    xqcMultiSelect.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_DMA_IMP_TNO"), xqcMultiSelect, Execute);
    platform::Params &p = xqcMultiSelect.params();
    p.paramByName(QStringLiteral("IANFID")).setValue(wunAnnoFinanziario().Id());
    p.paramByName(QStringLiteral("IMESID")).setValue(Mese());
    p.paramByName(QStringLiteral("ITNOID")).setValue(Parametri()->fieldValue(QStringLiteral("ITNOID")));
    p.paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    ApriElenco();
}

void TZepDmaImpMultiSelect::ApriTabelle()
{
    const auto carica = [this](DataSet &ds, const QString &tabella, const QString &sezione) {
        if (ds.isActive())
            return;
        m_store.Load(ds, tabella);
        if (!sezione.isEmpty())
            TZepDma::PreparaQuadro(ds, sezione);
    };
    carica(cdsImport, TZepDma::TabellaD0, {});
    carica(cdsQuadro, NomeTabella(cdsQuadro), SezioneCorrente);
    carica(cdsAltroQuadro, NomeTabella(cdsAltroQuadro), SezioneAltra);
    carica(cdsE1, TZepDma::TabellaE1, {});
}

void TZepDmaImpMultiSelect::SalvaTabella(DataSet &dataSet)
{
    const QString tabella = NomeTabella(dataSet);
    ZEP_ASSERT(!tabella.isEmpty(), QStringLiteral("SalvaTabella: tabella sconosciuta %1").arg(dataSet.name()));
    m_store.Save(dataSet, tabella);
}

QList<DataSet *> TZepDmaImpMultiSelect::TabelleInMemoria()
{
    return {&cdsImport, &cdsQuadro, &cdsAltroQuadro, &cdsE1};
}

void TZepDmaImpMultiSelect::TabellaRipristinata(DataSet &dataSet)
{
    // The store's rows were undone by the rollback; a filter left by the
    // failed person must not hide rows from the next one.
    TogliFiltro(dataSet);
}

void TZepDmaImpMultiSelect::ErroreImportazione(const std::exception &)
{
    for (DataSet *ds : {&cdsQuadro, &cdsAltroQuadro, &cdsE1})
        if (ds->isEditing())
            ds->cancel();
}

void TZepDmaImpMultiSelect::FineOperazione()
{
    if (Info.Messages().isEmpty()) {
        TwunFiscImpMultiSelect::FineOperazione();
        return;
    }
    if (MostraInfo) {
        MostraInfo(Info.Messages());
        return;
    }
    Notifica().Messaggio(Info.Messages().join(QStringLiteral("\r\n")), platform::MessageType::Information,
                         QStringLiteral("Verifica dati"));
}

void TZepDmaImpMultiSelect::ImportaSostituto()
{
    if (!cdsSostituto.isActive())
        m_store.LoadPeriod(cdsSostituto, QStringLiteral("TAMM_AMMINISTRAZIONE"), m_store.Year(), 0);
    if (cdsSostituto.isEmpty()) {
        cdsSostituto.append();
        for (const auto &f : cdsSostituto.fields())
            if (f->fieldName().startsWith(QStringLiteral("CB_")))
                f->setValue(QStringLiteral("0"));
    } else {
        cdsSostituto.first();
        cdsSostituto.edit();
    }
    if (Parametri() && Parametri()->fieldByName(QStringLiteral("SOSTITUTO")).asBoolean() && Sedi() && Sedi()->isActive()
        && !Sedi()->isEmpty()) {
        cdsSostituto.setFieldValue(QStringLiteral("CodiceComune"), Sedi()->fieldValue(QStringLiteral("SSRPCCODCATA")));
        cdsSostituto.setFieldValue(QStringLiteral("Comune"), Sedi()->fieldValue(QStringLiteral("SCOMDESC")));
        cdsSostituto.setFieldValue(QStringLiteral("Provincia"), Sedi()->fieldValue(QStringLiteral("SPROSIGLA")));
    }
    cdsSostituto.post();
    m_store.SavePeriod(cdsSostituto, QStringLiteral("TAMM_AMMINISTRAZIONE"), m_store.Year(), 0);
}

// ---------------------------------------------------------------- one person

void TZepDmaImpMultiSelect::ImportaRiga()
{
    TogliFiltro(cdsQuadro);
    ApriTabelle();
    const QString cf = CodiceFiscale();
    if (!CodiceFiscalePresente(cf))
        return;
    ScriviD0 = true;
    if (!cdsImport.locate(TZepDma::CampoCodiceFiscale + QStringLiteral(";SD0AMESE"), {cf, MeseDenuncia()})) {
        ImportaPersona();
        return;
    }
    if (TZepDma::Blocco(cdsImport) > 0 && !ForzaBloccati) {
        // Left as it was, and said so at the end: a sent declaration is not
        // silently left out of a run the user believes complete.
        Info.SetSectionTitle(Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed());
        Info.AddMessage(MsgBloccato);
        SegnaSaltato();
        return;
    }
    if (Modo == Aggiungi) {
        ScriviD0 = false;
    } else {
        Sovrascrittura = TSovrascrivi(Modo);
        if (!SostituireDati())
            return;
        CancellaPersona();
    }
    ImportaPersona();
}

void TZepDmaImpMultiSelect::CancellaPersona()
{
    const QString cf = CodiceFiscale();
    const QString mese = MeseDenuncia();
    cdsImport.deleteRecord();
    CancellaRighe(cdsQuadro,
                  TDmaUtil::CampoSezione(SezioneCorrente, Codfis) + QLatin1Char(';')
                      + TDmaUtil::CampoSezione(SezioneCorrente, AMese),
                  {cf, mese});
    CancellaRighe(cdsAltroQuadro,
                  TDmaUtil::CampoSezione(SezioneAltra, Codfis) + QLatin1Char(';')
                      + TDmaUtil::CampoSezione(SezioneAltra, AMese),
                  {cf, mese});
    CancellaRighe(cdsE1, QStringLiteral("SE1CODFIS;SE1AMESE"), {cf, mese});
}

void TZepDmaImpMultiSelect::ImportaPersona()
{
    const int tno = xqcMultiSelect.fieldByName(QStringLiteral("ITNOID")).asInteger();
    if (tno == TNO_VERIFICARE)
        throw ETovWarning(MsgPosizioneGiuridica);

    // Relevance: some pension, credit or end-of-service pay in the month.
    const auto conta = [this](const QString &statement, const QList<std::pair<QString, Value>> &parametri) {
        qquAppoggio.close();
        TovQueryText().AssignSQL(statement, qquAppoggio, 0, Execute, FiltroPosizione());
        qquAppoggio.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
        for (const auto &[nome, valore] : parametri)
            qquAppoggio.bind(nome, valore);
        qquAppoggio.open();
        const bool trovato = !qquAppoggio.eof() && qquAppoggio.value(0).toInt() > 0;
        qquAppoggio.close();
        return trovato;
    };
    const int mese = MesePaga();
    bool rilevante = conta(QStringLiteral("QRY_DMA_FOND_TEST"),
                           {{QStringLiteral("IMESID"), mese}, {QStringLiteral("ICOTFONDAMENTALE"), 1}});
    for (int ritenuta : {RICE_INPDAP, RICE_FC, RICE_OP})
        rilevante = rilevante
                    || conta(QStringLiteral("QRY_CUD_PREVID_TEST"), {{QStringLiteral("MESE_INIZIALE"), mese},
                                                                     {QStringLiteral("MESE_FINALE"), mese},
                                                                     {QStringLiteral("IRICEID"), ritenuta}});
    if (!rilevante)
        throw ETovWarning(MsgNessunDatoRilevante);

    Info.SetSectionTitle(Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed());
    if (ScriviD0)
        ImportaD0();
    FineServizio.clear();
    ImportaRetribuzioni();
    if (cdsImport.fieldByName(QStringLiteral("NP_D0001015_FINESER")).asString().isEmpty()
        && FineServizio == QStringLiteral("1")) {
        cdsImport.edit();
        cdsImport.setFieldValue(QStringLiteral("NP_D0001015_FINESER"), QStringLiteral("1"));
        cdsImport.post();
    }
}

void TZepDmaImpMultiSelect::ImportaD0()
{
    cdsImport.append();
    for (const auto &f : cdsImport.fields())
        if (f->fieldName().startsWith(QStringLiteral("CB_")))
            f->setValue(QStringLiteral("0"));
    const auto acom = [this](const char *campo) { return qquAcom.value(QLatin1String(campo)); };
    const auto abt = [this](const char *campo) {
        return qquAnaAbt.isActive() && !qquAnaAbt.eof() ? qquAnaAbt.value(QLatin1String(campo)) : Value::null();
    };
    cdsImport.setFieldValue(QStringLiteral("SD0ANNOFIN"), QString::number(AnnoDenuncia()));
    cdsImport.setFieldValue(TZepDma::CampoCodiceFiscale, CodiceFiscale());
    cdsImport.setFieldValue(QStringLiteral("SD0AMESE"), MeseDenuncia());
    cdsImport.setFieldValue(TZepDma::CampoCognome, Cognome().toUpper());
    cdsImport.setFieldValue(TZepDma::CampoNome, Nome().toUpper());

    qquAppoggio.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANASEX"), qquAppoggio);
    qquAppoggio.bind(QStringLiteral("IANAID"), xqcMultiSelect.fieldValue(QStringLiteral("IANAID")));
    qquAppoggio.open();
    const QString sesso = qquAppoggio.eof() ? QString() : qquAppoggio.value(0).toString().toUpper().left(1);
    qquAppoggio.close();
    cdsImport.setFieldValue(QStringLiteral("AN_D0001004_SEX"),
                            sesso == QStringLiteral("F") || sesso == QStringLiteral("M") ? sesso : QString());

    cdsImport.setFieldValue(QStringLiteral("DT_D0001005_DATANAS"), acom("DANANASCITA"));
    const QString comune = acom("COM_NAS_SCOMDESC").toString();
    cdsImport.setFieldValue(QStringLiteral("6A_COMNAS"),
                            comune.isEmpty() ? acom("STA_NAS_SSTADESC").toString() : comune);
    cdsImport.setFieldValue(QStringLiteral("AN_D0001006_COPNAS"), acom("SSRPCCODCATA"));
    cdsImport.setFieldValue(QStringLiteral("6B_PRONAS"), acom("PRO_NAS_SPROSIGLA"));
    cdsImport.setFieldValue(QStringLiteral("7A_COMRES"), abt("SCOMDESC"));
    cdsImport.setFieldValue(QStringLiteral("7B_PRORES"), abt("SPROSIGLA"));
    cdsImport.setFieldValue(QStringLiteral("AN_D0001007_COPRES"), abt("SSRPCCODCATA"));
    cdsImport.setFieldValue(QStringLiteral("AN_D0001008_INDRES"), abt("SABTINDIRIZZO"));
    cdsImport.setFieldValue(QStringLiteral("N5_D0001009_CAPRES"), abt("SCAPVALUE"));
    cdsImport.setFieldValue(QStringLiteral("AN_D0001011_TEL"), soloCifre(Telefono()));
    cdsImport.setFieldValue(QStringLiteral("AN_D0001013_EMAIL"), Email());
    // The start of service belongs to the declaration when it falls in the
    // declaration's own month: its year is the declaration's, also when the
    // pay comes from an earlier year.
    const QDate inizio = acom("DACOMINIRAPP").toDate();
    const int meseDenuncia = Parametri()->fieldByName(QStringLiteral("IMESID")).asInteger();
    cdsImport.setFieldValue(QStringLiteral("DT_D0001014_DECGIU"),
                            inizio.isValid() && inizio.year() == AnnoDenuncia() && inizio.month() == meseDenuncia
                                ? Value(inizio)
                                : Value::null());
    cdsImport.post();
}

// ---------------------------------------------------------------- rows

void TZepDmaImpMultiSelect::NuovaRiga(DataSet &dataSet, const QString &sezione, const Value &dal, const Value &al)
{
    const int ordine = TTovCds::NextKey(dataSet, TZepDma::CampoOrdine);
    dataSet.append();
    dataSet.setFieldValue(TDmaUtil::CampoSezione(sezione, Codfis), cdsImport.fieldValue(TZepDma::CampoCodiceFiscale));
    dataSet.setFieldValue(TDmaUtil::CampoSezione(sezione, QStringLiteral("ANNOFIN")),
                          cdsImport.fieldValue(QStringLiteral("SD0ANNOFIN")));
    dataSet.setFieldValue(TDmaUtil::CampoSezione(sezione, AMese), cdsImport.fieldValue(QStringLiteral("SD0AMESE")));
    dataSet.setFieldValue(TZepDma::CampoOrdine, ordine);
    for (const auto &f : dataSet.fields())
        if (f->fieldName().startsWith(QStringLiteral("CB_")))
            f->setValue(QStringLiteral("0"));
    const auto imposta = [&](const char *campo, const Value &valore) {
        dataSet.setFieldValue(Campo(sezione, QLatin1String(campo)), valore);
    };
    imposta("NP_E0XXX003_PENS", QStringLiteral("1"));
    imposta("NP_E0XXX004_PREV", QStringLiteral("7"));
    imposta("NP_E0XXX005_CREDITO", QStringLiteral("9"));
    imposta("NP_E0XXX011_IMPIEGO",
            qquAcom.value(QStringLiteral("ITNOID")).toInt() == 1 ? QStringLiteral("1") : QStringLiteral("13"));
    imposta("NP_E0XXX012_SERVIZIO", QStringLiteral("4"));
    const QString inquadramento = qquAcom.value(QStringLiteral("SACOMINQUADRAMENTO")).toString();
    imposta("AN_E0XXX007_COMPARTO", inquadramento.mid(0, 2));
    imposta("AN_E0XXX008_SOTTOCOM", inquadramento.mid(2, 2));
    imposta("AN_E0XXX009_QUALIFICA", inquadramento.mid(4, 6));
    if (sezione == TDmaUtil::QuadroV1) {
        dataSet.setFieldValue(QStringLiteral("NP_V1XXX000_CAUSVAR"),
                              Parametri()->fieldByName(QStringLiteral("CAUSVAR")).asString());
        dataSet.setFieldValue(QStringLiteral("NP_V1XXX024_CODALI"), QStringLiteral("2"));
    }
    imposta("DT_E0XXX001_DINIZIO", dal);
    imposta("DT_E0XXX002_DFINE", al);
}

Currency TZepDmaImpMultiSelect::CalcolaStipendioTabellare(int anno, int mese, int qualifica)
{
    Currency stipendio;
    if (qualifica == qquAcom.value(QStringLiteral("IQARID")).toInt()) {
        xqcAppoggio.close();
        TwunCalcola::ApriAstrMese(xqcAppoggio, xqcMultiSelect.fieldByName(QStringLiteral("IACOMID")).asInteger(),
                                  COS_STIPENDIO, mese);
        for (xqcAppoggio.first(); !xqcAppoggio.eof(); xqcAppoggio.next())
            if (VociStipendio.contains(xqcAppoggio.fieldByName(QStringLiteral("ICOMRID")).asInteger()))
                stipendio += xqcAppoggio.fieldByName(QStringLiteral("FASTRIMPORTO")).asCurrency();
        xqcAppoggio.close();
    }
    if (stipendio.isZero())
        stipendio = StipendioDaCCNL(anno, mese, qualifica);
    return stipendio;
}

Currency TZepDmaImpMultiSelect::StipendioDaCCNL(int anno, int mese, int qualifica)
{
    // The contract tables of the pay's own month and year.
    WunCCNL().TabellaCCNLMese(mese, anno);
    xqcAppoggio.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_TFR_IMPORTI"), xqcAppoggio, Execute);
    platform::Params &p = xqcAppoggio.params();
    p.paramByName(QStringLiteral("ICCNTID")).setValue(WunCCNL().TabellaCCNL());
    p.paramByName(QStringLiteral("ICCNVID")).setValue(WunCCNL().TabellaCCNV());
    p.paramByName(QStringLiteral("COMR_STIPENDIO")).setValue(10001);
    p.paramByName(QStringLiteral("COMR_IIS")).setValue(10002);
    xqcAppoggio.Open();
    const auto voce = [this, qualifica](int item) {
        return xqcAppoggio.locate(QStringLiteral("IQARID;ICOMRID"), {qualifica, item})
                   ? xqcAppoggio.fieldByName(QStringLiteral("FCCNLIMPORTO")).asCurrency()
                   : Currency();
    };
    Currency stipendio = TwunCalcola::Arrotonda(2, voce(10001) / 12) + TwunCalcola::Arrotonda(2, voce(10002) / 12)
                         + voce(10049) + voce(10053) + voce(10055);
    if (xqcAppoggio.locate(QStringLiteral("IQARID;ICOMRID"), {qualifica, 10071}))
        stipendio += TTovCalcola::ImportoCcnl10071(xqcAppoggio, qualifica, false);
    xqcAppoggio.close();
    return stipendio;
}
