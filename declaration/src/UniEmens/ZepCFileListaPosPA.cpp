// The public-sector positions: one PosPA holding every enrolled person of
// the month with the service periods (E0), the pension funds (E1) and the
// corrections of earlier periods (V1), with their paying entities.
//
// A section row names its person by the person row's registry id and a
// paying entity its section row by ORDINE too: the rows are matched by value
// (no filter text is built from them), through an index of each table made
// when the tables are read (TZepIndiceIscritti).
#include "ZepCFileInterno.h"

#include "ZepCDma.h"
#include "ZepUDmaUtil.h"
#include "ZepULayoutNomi.h"

using namespace zepfile;

namespace {


bool Vuoto(const QString &s)
{
    return s.trimmed().isEmpty();
}

QString SenzaPunti(QString s)
{
    return s.remove(QLatin1Char('.'));
}

// Whether a code of the ISTAT classification is set. The code is as often
// written with dots ("84.11.1") as without: its digits tell. Anything but
// digits and dots is refused, naming the field: read as zero it would leave
// the code, and with it the body it belongs to, out of the file.
bool IstatImpostato(const QString &valore, const QString &etichetta)
{
    const QString cifre = SenzaPunti(valore.trimmed());
    static const QRegularExpression soloCifre(QStringLiteral("^[0-9]*$"));
    if (!soloCifre.match(cifre).hasMatch())
        throw EUqError(
            QStringLiteral("%1: il codice ISTAT \"%2\" non è valido (cifre, eventualmente separate da punti)")
                .arg(etichetta, valore.trimmed()));
    static const QRegularExpression nonZero(QStringLiteral("[1-9]"));
    return cifre.contains(nonZero);
}

// A date field's text, empty when the field is not set.
QString Data(const Field &f)
{
    return f.isNull() ? QString() : data(f.asDate());
}

} // namespace

QString TZepFile::CodiceInpdap(const QString &valore, const QString &etichetta)
{
    const QString codice = valore.trimmed();
    // Cutting a longer code to its last five characters would declare
    // another office's code.
    if (codice.size() > 5)
        throw EUqError(QStringLiteral("%1: il codice \"%2\" supera i 5 caratteri").arg(etichetta, codice));
    return codice.rightJustified(5, QLatin1Char('0'));
}

int TZepFile::Millesimi(Currency valore)
{
    return int(valore.raw() / (Currency::Scale / 1000));
}

Currency TZepFile::ImportoBoxInpdap(const QString &testo)
{
    static const QRegularExpression forma(QStringLiteral("^[0-9]+([.,][0-9]{1,2})?$"));
    const QString t = testo.trimmed();
    if (!forma.match(t).hasMatch())
        throw EUqError(
            QStringLiteral("Recupero su INPDAP: l'importo \"%1\" non è valido (cifre, con al più due decimali)")
                .arg(t));
    return Currency::fromString(t);
}

void TZepFile::RimuoviSeVuoto(const xmlbinding::Node &nodo, const QString &nome)
{
    const xmlbinding::Node figlio = nodo.FindChild(nome);
    ZEP_ASSERT(!figlio.IsNull(), QStringLiteral("Elemento %1 assente sotto %2").arg(nome, nodo.GetNodeName()));
    if (figlio.GetChildCount() == 0 && figlio.GetAttributeCount() == 0 && figlio.GetText().isEmpty())
        nodo.RemoveChild(figlio);
}

void TZepFile::CaricaSezioni()
{
    if (m_sezioniCaricate)
        return;
    TZepTabellaDenuncia(m_store, TZepDma::TabellaE0).Carica(m_e0);
    TZepTabellaDenuncia(m_store, TZepDma::TabellaV1).Carica(m_v1);
    TZepTabellaDenuncia(m_store, TZepDma::TabellaE1).Carica(m_e1);
    TZepTabellaDenuncia(m_store, TZepDma::TabellaEvE0).Carica(m_evE0);
    TZepTabellaDenuncia(m_store, TZepDma::TabellaEvV1).Carica(m_evV1);
    // Rows in the order they were entered.
    for (DataSet *ds : {&m_e0, &m_v1, &m_evE0, &m_evV1})
        ds->setIndexFieldNames(TZepDma::CampoOrdine);
    // Found once, so that writing a person does not scan the tables.
    m_indice.Svuota();
    for (DataSet *ds : {&m_e0, &m_v1, &m_e1})
        m_indice.Indicizza(*ds, false);
    for (DataSet *ds : {&m_evE0, &m_evV1})
        m_indice.Indicizza(*ds, true);
    m_sezioniCaricate = true;
}

const Field &TZepFile::campoSezione(const QString &nomeE0) const
{
    return m_sezione->fieldByName(TDmaUtil::NomeCampo(nomeE0, m_quadro));
}

void TZepFile::ScriviDatiExDma(IXMLListaPosPA lista)
{
    const auto amm = [this](const QString &nome) { return cdsAmm.fieldByName(nome).asString(); };
    log(QString());
    log(QStringLiteral("Dati ex DMA: inizio"));
    m_personaCorrente = MsgDichiarante;
    // The message names the CAP too: it is tested with the others.
    if (Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::FormaGiuridica))
        || Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::CodiceComune)) || Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::CAP)))
        throw EUqError(QStringLiteral("Dichiarante \"Altri dati sede di lavoro\": \"Forma giuridica\" o \"Codice COP "
                                      "comune\" o CAP non impostato"));
    lista.SetPRGAZIENDA(
        CodiceInpdap(amm(layouts::TAMM_AMMINISTRAZIONE::CodiceINPDAP), QStringLiteral("Dichiarante - Codice INPDAP")));
    lista.SetCFRappresentanteFirmatario(
        CampoObbligatorio(amm(layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente),
                          QStringLiteral("Codice fiscale del soggetto (persona fisica) abilitato alla trasmissione")));
    lista.SetISTAT(amm(layouts::TAMM_AMMINISTRAZIONE::ISTAT));
    lista.SetFormaGiuridica(SenzaPunti(amm(layouts::TAMM_AMMINISTRAZIONE::FormaGiuridica)));
    m_personaCorrente.clear();
    ScriviListaPosPA(lista);
    log(QStringLiteral("Dati ex DMA: fine"));
}

void TZepFile::ScriviListaPosPA(IXMLListaPosPA lista)
{
    CaricaSezioni();
    const auto amm = [this](const QString &nome) { return cdsAmm.fieldByName(nome).asString(); };
    IXMLListaPosPA_PosPA posizione = lista.GetPosPA().Add();
    const Field &iscritto = cdsDMA.fieldByName(TZepDma::CampoIscritto);
    const Field &cf = cdsDMA.fieldByName(TZepDma::CampoCodiceFiscale);
    const Field &cognome = cdsDMA.fieldByName(TZepDma::CampoCognome);
    const Field &nome = cdsDMA.fieldByName(TZepDma::CampoNome);
    const bool enteInpdap = amm(layouts::TAMM_AMMINISTRAZIONE::CodiceINPDAP).trimmed().toLongLong() != 0;
    m_personaCorrente = MsgDichiarante;
    const bool istatEnte = enteInpdap
                           && IstatImpostato(amm(layouts::TAMM_AMMINISTRAZIONE::EA_ISTAT),
                                             QStringLiteral("Dichiarante - Ente appartenenza"));
    for (cdsDMA.first(); !cdsDMA.eof(); cdsDMA.next()) {
        m_personaCorrente = persona(cognome.asString(), nome.asString(), cf.asString());
        log(QStringLiteral("---- Iscritto INPDAP ") + cf.asString() + QLatin1Char(' ') + cognome.asString()
            + QLatin1Char(' ') + nome.asString());
        // Without its registry id the person's sections would be the rows
        // of nobody, or of another person left unlinked.
        if (iscritto.isNull() || iscritto.asInteger() == 0)
            throw EUqError(MsgCampoNonImpostato + TZepDma::CampoIscritto);

        if (enteInpdap
            && (!Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::EA_CFAzienda))
                || !Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::EA_CodiceINPDAP))
                || !Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::EA_RagSocAzienda))
                || !Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::EA_FormaGiuridica)) || istatEnte)) {
            IXMLListaPosPA_PosPA_EnteAppartenenza ente = posizione.GetEnteAppartenenza();
            if (!Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::EA_CFAzienda)))
                ente.SetCFAzienda(amm(layouts::TAMM_AMMINISTRAZIONE::EA_CFAzienda));
            ente.SetPRGAZIENDA(CodiceInpdap(amm(layouts::TAMM_AMMINISTRAZIONE::EA_CodiceINPDAP),
                                            QStringLiteral("Dichiarante - Ente appartenenza")));
            if (istatEnte)
                ente.SetISTAT(amm(layouts::TAMM_AMMINISTRAZIONE::EA_ISTAT));
            if (!Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::EA_RagSocAzienda)))
                ente.SetRagSocAzienda(amm(layouts::TAMM_AMMINISTRAZIONE::EA_RagSocAzienda));
            if (!Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::EA_FormaGiuridica)))
                ente.SetFormaGiuridica(SenzaPunti(amm(layouts::TAMM_AMMINISTRAZIONE::EA_FormaGiuridica)));
        }
        if (enteInpdap
            && (!Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::SS_CFAzienda))
                || !Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::SS_CodiceINPDAP))
                || !Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::SS_RagSocAzienda)))) {
            IXMLListaPosPA_PosPA_SedeServizio sede = posizione.GetSedeServizio();
            if (!Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::SS_CFAzienda)))
                sede.SetCFAzienda(amm(layouts::TAMM_AMMINISTRAZIONE::SS_CFAzienda));
            sede.SetPRGAZIENDA(CodiceInpdap(amm(layouts::TAMM_AMMINISTRAZIONE::SS_CodiceINPDAP),
                                            QStringLiteral("Dichiarante - Sede servizio")));
            if (!Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::SS_RagSocAzienda)))
                sede.SetRagSocAzienda(amm(layouts::TAMM_AMMINISTRAZIONE::SS_RagSocAzienda));
        }

        IXMLD0_DenunciaIndividuale denuncia = posizione.GetD0_DenunciaIndividuale().Add();
        denuncia.SetCFLavoratore(cf.asString());
        denuncia.SetCognome(cognome.asString());
        denuncia.SetNome(nome.asString());
        IXMLD0_DenunciaIndividuale_DatiPrevCompl prev = denuncia.GetDatiPrevCompl();
        if (cdsDMA.fieldByName(layouts::TD0_ANAG::CB_D0001016_SATFRFONDI).asString() == QStringLiteral("1"))
            prev.SetSilenzioAssenso(QStringLiteral("1"));
        const QString opzione = Data(cdsDMA.fieldByName(layouts::TD0_ANAG::DT_D0001017_OPZTFR));
        if (!opzione.isEmpty())
            prev.SetGiornoOpzioneTFR(opzione);
        const QString tipoIscr = cdsDMA.fieldByName(layouts::TD0_ANAG::CodTipoIscrFondoPrevCompl).asString();
        if (!tipoIscr.isEmpty())
            prev.SetCodTipoIscrFondoPrevCompl(tipoIscr);
        IXMLD0_DenunciaIndividuale_DatiSedeLavoro sedeLavoro = denuncia.GetDatiSedeLavoro();
        if (Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::CodiceComune)))
            throw EUqError(QStringLiteral("Dichiarante - Altri dati sede di lavoro: Codice COP Comune non impostato"));
        sedeLavoro.SetCodiceComune(amm(layouts::TAMM_AMMINISTRAZIONE::CodiceComune));
        if (Vuoto(amm(layouts::TAMM_AMMINISTRAZIONE::CAP)))
            throw EUqError(QStringLiteral("Dichiarante - Altri dati sede di lavoro: CAP Comune non impostato"));
        sedeLavoro.SetCAP(amm(layouts::TAMM_AMMINISTRAZIONE::CAP));

        const int id = iscritto.asInteger();
        ScriviQuadroE0(denuncia, id);
        ScriviQuadroE1(denuncia, id);
        ScriviQuadroV1(denuncia, id);
    }
    m_personaCorrente.clear();
    if (!Vuoto(ImportoInpdap)) {
        const QString importo = Importo(ImportoBoxInpdap(ImportoInpdap));
        IXMLAltriImportiAConguaglio conguaglio = lista.GetAltriImportiAConguaglio().Add();
        conguaglio.SetTipologiaConguaglio(QStringLiteral("001"));
        conguaglio.SetImportoConguagliato(importo);
        log(QStringLiteral("-- Dati recupero su INPDAP: Tipo Conguaglio 001, Somma ") + importo);
    }
}

void TZepFile::ScriviQuadroE0(IXMLD0_DenunciaIndividuale denuncia, int iscritto)
{
    CaricaSezioni();
    m_sezione = &m_e0;
    m_quadro = TDmaUtil::QuadroE0;
    const auto importo = [this](const QString &nome) { return campoSezione(nome).asCurrency(); };
    const auto testo = [this](const QString &nome) { return campoSezione(nome).asString(); };
    m_indice.PerRighe(m_e0, iscritto, [&] {
        const QString inizio = Data(campoSezione(layouts::TE0_RETR::DT_E0XXX001_DINIZIO));
        const QString fine = Data(campoSezione(layouts::TE0_RETR::DT_E0XXX002_DFINE));
        log(QStringLiteral("  -- Quadro E0 da ") + inizio + QStringLiteral(" a ") + fine);
        IXMLE0_PeriodoNelMese periodo = denuncia.GetE0_PeriodoNelMese().Add();
        periodo.SetGiornoInizio(inizio);
        periodo.SetGiornoFine(fine);
        ScriviInquadramentoPA(periodo.GetInquadramentoLavPA());
        ScriviGestioni(periodo.GetGestioni());
        if (!testo(layouts::TE0_RETR::NP_E0XXX010_CESSAZ).isEmpty())
            periodo.SetCodiceCessazione(testo(layouts::TE0_RETR::NP_E0XXX010_CESSAZ));
        if (importo(layouts::TE0_RETR::NumMensilita).truncated() > 0)
            periodo.SetNumMensilita(Millesimi(importo(layouts::TE0_RETR::NumMensilita)));
        if (!testo(layouts::TE0_RETR::NP_E0XXX004_PREV).isEmpty()) {
            periodo.SetRetribTeoricaTabellareTFR(Importo(importo(layouts::TE0_RETR::VP_E0XXX043_RETRTFR)));
            periodo.SetRetribValutabileTFR(Importo(importo(layouts::TE0_RETR::VP_E0XXX044_UTILETFR)));
        }
        const QString fineBeneficio = Data(campoSezione(layouts::TE0_RETR::DT_E0XXX049_FINEBEN));
        if (!fineBeneficio.isEmpty())
            periodo.SetDataFineBeneficioCalamita(fineBeneficio);
        if (importo(layouts::TE0_RETR::VP_E0XXX052_CONGIMP).raw() > 0) {
            IXMLConguaglioImponibile cong = periodo.GetConguaglioImponibile();
            cong.SetImportoCong(Importo(importo(layouts::TE0_RETR::VP_E0XXX052_CONGIMP)));
            if (importo(layouts::TE0_RETR::VP_E0XXX053_CONCONGPENS).raw() > 0)
                cong.SetContribCongPens(Importo(importo(layouts::TE0_RETR::VP_E0XXX053_CONCONGPENS)));
            if (importo(layouts::TE0_RETR::VP_E0XXX055_CONCONGCRED).raw() > 0)
                cong.SetContribCongCred(Importo(importo(layouts::TE0_RETR::VP_E0XXX055_CONCONGCRED)));
        }
        ScriviEntiVersantiE0(periodo, iscritto, m_e0.fieldByName(TZepDma::CampoOrdine).asInteger());
    });
    m_sezione = nullptr;
}

void TZepFile::ScriviEntiVersantiE0(IXMLE0_PeriodoNelMese periodo, int iscritto, int ordine)
{
    CaricaSezioni();
    const auto f = [this](const QString &nome) -> const Field & { return m_evE0.fieldByName(nome); };
    m_indice.PerRighe(m_evE0, iscritto, ordine, [&] {
        log(QStringLiteral("     -- Altro Ente Versante  Tipo contributo ")
            + f(layouts::TEV_ENTEVERSANTEE0::TipoContributo).asString());
        IXMLE0_PeriodoNelMese_AltroEnteVersante ente = periodo.GetAltroEnteVersante().Add();
        ente.SetTipoContributo(f(layouts::TEV_ENTEVERSANTEE0::TipoContributo).asString());
        ente.SetCFAzienda(f(layouts::TEV_ENTEVERSANTEE0::CFAzienda).asString());
        ente.SetPRGAZIENDA(f(layouts::TEV_ENTEVERSANTEE0::PRGAZIENDA).asString());
        ente.SetImponibile(Importo(f(layouts::TEV_ENTEVERSANTEE0::Imponibile).asCurrency()));
        ente.SetContributo(Importo(f(layouts::TEV_ENTEVERSANTEE0::Contributo).asCurrency()));
    });
}

void TZepFile::ScriviInquadramentoPA(IXMLInquadramentoLavPA inq)
{
    const auto testo = [this](const QString &nome) { return campoSezione(nome).asString(); };
    const auto valore = [this](const QString &nome) { return campoSezione(nome).asCurrency(); };
    if (!Vuoto(testo(layouts::TE0_RETR::NP_E0XXX011_IMPIEGO)))
        inq.SetTipoImpiego(testo(layouts::TE0_RETR::NP_E0XXX011_IMPIEGO).trimmed());
    if (!Vuoto(testo(layouts::TE0_RETR::NP_E0XXX012_SERVIZIO)))
        inq.SetTipoServizio(testo(layouts::TE0_RETR::NP_E0XXX012_SERVIZIO).trimmed());
    if (!valore(layouts::TE0_RETR::PercRetribuzione).isZero())
        inq.SetPercRetribuzione(Millesimi(valore(layouts::TE0_RETR::PercRetribuzione)));
    const QString contratto =
        (testo(layouts::TE0_RETR::AN_E0XXX007_COMPARTO) + testo(layouts::TE0_RETR::AN_E0XXX008_SOTTOCOM)).trimmed();
    if (!contratto.isEmpty())
        inq.SetContratto(contratto);
    if (!Vuoto(testo(layouts::TE0_RETR::AN_E0XXX009_QUALIFICA)))
        inq.SetQualifica(testo(layouts::TE0_RETR::AN_E0XXX009_QUALIFICA).trimmed());
    if (!testo(layouts::TE0_RETR::AN_E0XXX013_TIPOPT).isEmpty()) {
        IXMLInquadramentoLavPA_PartTimePA pt = inq.GetPartTimePA();
        pt.SetTipoPartTime(testo(layouts::TE0_RETR::AN_E0XXX013_TIPOPT));
        pt.SetPercPartTime(Millesimi(valore(layouts::TE0_RETR::PC_E0XXX014_PERCPT)));
    }
    if (valore(layouts::TE0_RETR::N2_E0XXX059_ORARID).raw() > 0) {
        IXMLInquadramentoLavPA_OrarioSettimanalePersScolastico orario = inq.GetOrarioSettimanalePersScolastico();
        orario.SetOrarioSettimanaleRidotto(campoSezione(layouts::TE0_RETR::N2_E0XXX059_ORARID).asInteger());
        orario.SetOrarioSettimanaleCompleto(m_sezione->fieldByName(layouts::TE0_RETR::OrarioIntero).asInteger());
    }
    const QString fineServizio = cdsDMA.fieldByName(layouts::TD0_ANAG::NP_D0001015_FINESER).asString();
    if (!Vuoto(fineServizio))
        inq.SetRegimeFineServizio(fineServizio);
    if (!testo(layouts::TE0_RETR::PC_E0XXX060_PERCASP).isEmpty())
        inq.SetPercAspettativaL300_70(Millesimi(valore(layouts::TE0_RETR::PC_E0XXX060_PERCASP)));
}

void TZepFile::ScriviGestioni(IXMLGestioni gestioni)
{
    const auto testo = [this](const QString &nome) { return campoSezione(nome).asString(); };
    const auto valore = [this](const QString &nome) { return campoSezione(nome).asCurrency(); };
    const auto importo = [&](const QString &nome) { return Importo(valore(nome)); };
    if (!testo(layouts::TE0_RETR::NP_E0XXX003_PENS).isEmpty()) {
        IXMLGestioni_GestPensionistica pens = gestioni.GetGestPensionistica();
        pens.SetCodGestione(testo(layouts::TE0_RETR::NP_E0XXX003_PENS));
        pens.SetImponibile(importo(layouts::TE0_RETR::VP_E0XXX032_IMPPENS));
        pens.SetContributo(importo(layouts::TE0_RETR::VP_E0XXX033_CONPENS));
        if (!valore(layouts::TE0_RETR::VP_E0XXX034_CONECC).isZero())
            pens.SetContrib1PerCento(importo(layouts::TE0_RETR::VP_E0XXX034_CONECC));
        if (!valore(layouts::TE0_RETR::VP_E0XXX025_MAGG).isZero())
            pens.SetMaggiorazBasePensL165_97(importo(layouts::TE0_RETR::VP_E0XXX025_MAGG));
        if (testo(layouts::TE0_RETR::NP_E0XXX011_IMPIEGO).trimmed() == QStringLiteral("2"))
            pens.SetGiorniUtiliFiniPensionistici(campoSezione(layouts::TE0_RETR::NP_E0XXX015_GGUTILI).asInteger());
        if (!valore(layouts::TE0_RETR::RetribVirtualeFiniPens).isZero())
            pens.SetRetribVirtualeFiniPens(importo(layouts::TE0_RETR::RetribVirtualeFiniPens));
        if (!valore(layouts::TE0_RETR::VP_E0XXX050_PENSSOSP).isZero())
            pens.SetContributoSospesoCalam(importo(layouts::TE0_RETR::VP_E0XXX050_PENSSOSP));
        pens.SetStipendioTabellare(importo(layouts::TE0_RETR::StipendioTabellare));
        pens.SetRetribIndivAnzianita(importo(layouts::TE0_RETR::RetribIndivAnzianita));
        if (!valore(layouts::TE0_RETR::VP_E0XXX045_IMP166).isZero())
            pens.SetQuotaDatoreL166_91(importo(layouts::TE0_RETR::VP_E0XXX045_IMP166));
        if (!valore(layouts::TE0_RETR::VP_E0XXX046_CON166).isZero())
            pens.SetContributoL166_91(importo(layouts::TE0_RETR::VP_E0XXX046_CON166));
        ScriviRecuperoSgravi(pens);
    }
    if (!testo(layouts::TE0_RETR::NP_E0XXX004_PREV).isEmpty()) {
        IXMLGestioni_GestPrevidenziale prev = gestioni.GetGestPrevidenziale();
        prev.SetCodGestione(testo(layouts::TE0_RETR::NP_E0XXX004_PREV));
        if (!valore(layouts::TE0_RETR::VP_E0XXXA37_IMPTFR).isZero()) {
            prev.SetImponibileTFR(importo(layouts::TE0_RETR::VP_E0XXXA37_IMPTFR));
            prev.SetContributoTFR(importo(layouts::TE0_RETR::VP_E0XXXA38_CONTFR));
        } else {
            prev.SetImponibileTFS(importo(layouts::TE0_RETR::VP_E0XXX035_IMPTFS));
            prev.SetContributoTFS(importo(layouts::TE0_RETR::VP_E0XXX036_CONTFS));
        }
        if (!valore(layouts::TE0_RETR::VP_E0XXX051_PREVSOSP).isZero())
            prev.SetContributoSospesoPrev(importo(layouts::TE0_RETR::VP_E0XXX051_PREVSOSP));
    }
    if (!testo(layouts::TE0_RETR::NP_E0XXX005_CREDITO).isEmpty()) {
        IXMLGestioni_GestCredito cred = gestioni.GetGestCredito();
        cred.SetCodGestione(testo(layouts::TE0_RETR::NP_E0XXX005_CREDITO));
        if (campoSezione(layouts::TE0_RETR::AderenteCredito45_2007).asInteger() > 0)
            cred.SetAderenteCredito45_2007(testo(layouts::TE0_RETR::AderenteCredito45_2007));
        cred.SetImponibile(importo(layouts::TE0_RETR::VP_E0XXX039_IMPCREDITO));
        cred.SetContributo(importo(layouts::TE0_RETR::VP_E0XXX040_CONCREDITO));
    }
}

void TZepFile::ScriviRecuperoSgravi(IXMLGestioni_GestPensionistica pens)
{
    const auto f = [this](const QString &nome) -> const Field & { return campoSezione(nome); };
    const auto recupero = [&](const QString &prefisso) {
        IXMLGestioni_GestPensionistica_RecuperoSgravi r = pens.GetRecuperoSgravi().Add();
        r.SetAnnoRif(f(prefisso + QStringLiteral("AnnoRif")).asString());
        r.SetMeseRif(f(prefisso + QStringLiteral("MeseRif")).asInteger());
        r.SetCodiceRecupero(f(prefisso + QStringLiteral("CodiceRecupero")).asString());
        r.SetAltroImponibile(Importo(f(prefisso + QStringLiteral("AltroImponibile")).asCurrency()));
        r.SetImporto(Importo(f(prefisso + QStringLiteral("Importo")).asCurrency()));
    };
    if (f(layouts::TE0_RETR::RecuperoSgraviImporto).asCurrency().raw() > 0)
        recupero(QStringLiteral("RecuperoSgravi"));
    // The second recovery is told by its taxable amount.
    if (f(layouts::TE0_RETR::RecuperoSgravi13AltroImponibile).asCurrency().raw() > 0)
        recupero(QStringLiteral("RecuperoSgravi13"));
}

void TZepFile::ScriviQuadroE1(IXMLD0_DenunciaIndividuale denuncia, int iscritto)
{
    CaricaSezioni();
    const auto f = [this](const QString &nome) -> const Field & { return m_e1.fieldByName(nome); };
    const auto importo = [&](auto imposta, const QString &nome) {
        if (!f(nome).asCurrency().isZero())
            imposta(Importo(f(nome).asCurrency()));
    };
    const auto millesimi = [&](auto imposta, const QString &nome) {
        if (f(nome).asCurrency().raw() > 0)
            imposta(Millesimi(f(nome).asCurrency()));
    };
    const auto testo = [&](auto imposta, const QString &nome) {
        if (!f(nome).asString().isEmpty())
            imposta(f(nome).asString());
    };
    const auto data = [&](auto imposta, const QString &nome) {
        if (!Data(f(nome)).isEmpty())
            imposta(Data(f(nome)));
    };
    m_indice.PerRighe(m_e1, iscritto, [&] {
        log(QStringLiteral("  -- Quadro E1 da ") + Data(f(layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO))
            + QStringLiteral(" a ") + Data(f(layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE)));
        IXMLE1_FondoPensioneCompl fondo = denuncia.GetE1_FondoPensioneCompl().Add();
        IXMLE1_FondoPensioneCompl_DatiPosContribIscritto d = fondo.GetDatiPosContribIscritto();
        if (f(layouts::TE1_FONDIPENSIONE::ContribVersNonDich).asString() == QStringLiteral("1"))
            d.SetContribVersNonDich(QStringLiteral("1"));
        d.SetCodFondo(f(layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO).asString());
        testo([&](const QString &v) { d.SetComparto(v); }, layouts::TE1_FONDIPENSIONE::AN_E1XXX002_COD_COMPARTO);
        d.SetDataSottoscrizioneDomanda(Data(f(layouts::TE1_FONDIPENSIONE::DT_E1XXX003_DSOTTOSCR)));
        d.SetDataInizioPeriodo(Data(f(layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO)));
        d.SetDataFinePeriodo(Data(f(layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE)));
        millesimi([&](int v) { d.SetAliquotaLav(v); }, layouts::TE1_FONDIPENSIONE::PC_E1XXX006_PERC_LAVORATORE);
        millesimi([&](int v) { d.SetAliquotaDL(v); }, layouts::TE1_FONDIPENSIONE::PC_E1XXX007_PERC_CARICO_DATORE);
        millesimi([&](int v) { d.SetPercTFR(v); }, layouts::TE1_FONDIPENSIONE::PC_E1XXX008_PERC_TFR);
        const bool cessazione = !Data(f(layouts::TE1_FONDIPENSIONE::DT_E1XXX009_DFINE_CONTRIBUZIONI)).isEmpty()
                                || !f(layouts::TE1_FONDIPENSIONE::NP_E1XXX010_MOTIVO_SOSPENSIONE).asString().isEmpty()
                                || !f(layouts::TE1_FONDIPENSIONE::NP_E1XXX011_TIPO_CESSAZIONE).asString().isEmpty();
        if (cessazione) {
            IXMLE1_FondoPensioneCompl_DatiPosContribIscritto_Cessazione c = d.GetCessazione();
            data([&](const QString &v) { c.SetDataCessazione(v); },
                 layouts::TE1_FONDIPENSIONE::DT_E1XXX009_DFINE_CONTRIBUZIONI);
            testo([&](const QString &v) { c.SetCodCessazione(v); },
                  layouts::TE1_FONDIPENSIONE::NP_E1XXX011_TIPO_CESSAZIONE);
            testo([&](const QString &v) { c.SetCodSospensione(v); },
                  layouts::TE1_FONDIPENSIONE::NP_E1XXX010_MOTIVO_SOSPENSIONE);
        }
        importo([&](const QString &v) { d.SetRetribSoggettaAContrib(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX012_TOT_RETRIBUZIONE);
        if (f(layouts::TE1_FONDIPENSIONE::CB_E1XXX013_CONGUAGLIO_FISCALE).asString() == QStringLiteral("1"))
            d.SetConguaglioFiscale(S);
        importo([&](const QString &v) { d.SetContribLav(v); }, layouts::TE1_FONDIPENSIONE::VP_E1XXX014_CONT_LAVORATORE);
        importo([&](const QString &v) { d.SetContribDL(v); }, layouts::TE1_FONDIPENSIONE::VP_E1XXX015_CONT_DATORE);
        importo([&](const QString &v) { d.SetContribAgg(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX016_CONT_AGG_LAVORATORE);
        importo([&](const QString &v) { d.SetQuotaReintegrazione(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX017_QUOTA_REINT);
        importo([&](const QString &v) { d.SetQuotaIscrizioneLav(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX018_QUOTA_FPC_ISCRITTO);
        importo([&](const QString &v) { d.SetQuotaIscrizioneDL(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX019_QUOTA_FPC_DATORE);
        importo([&](const QString &v) { d.SetVersTFRAPrevCompl(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX021_VERSAMENTI_TFR);

        IXMLE1_FondoPensioneCompl_ContribOmessiOIndebiti o = fondo.GetContribOmessiOIndebiti();
        data([&](const QString &v) { o.SetDataInizioPeriodo(v); },
             layouts::TE1_FONDIPENSIONE::DT_E1XXX022_DINIZIO_CONT_OMESSI);
        data([&](const QString &v) { o.SetDataFinePeriodo(v); },
             layouts::TE1_FONDIPENSIONE::DT_E1XXX023_DFINE_CONT_OMESSI);
        importo([&](const QString &v) { o.SetContribLav(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX025_CONT_MV_LAVORATORE);
        importo([&](const QString &v) { o.SetImportoSanzione(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX027_QUOTA_SANZ_DATORE);
        importo([&](const QString &v) { o.SetImportoRifusioneDanno(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX026_IMP_DSLAVORATORE);
        importo([&](const QString &v) { o.SetContribDL(v); }, layouts::TE1_FONDIPENSIONE::VP_E1XXX024_CONT_MV_DATORE);
        importo([&](const QString &v) { o.SetContribIndebitoDL(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX028_CONT_IV_DATORE);
        importo([&](const QString &v) { o.SetContribIndebitoLav(v); },
                layouts::TE1_FONDIPENSIONE::VP_E1XXX029_CONT_IV_LAVORATORE);
        RimuoviSeVuoto(fondo, QStringLiteral("ContribOmessiOIndebiti"));
    });
}

void TZepFile::ScriviQuadroV1(IXMLD0_DenunciaIndividuale denuncia, int iscritto)
{
    CaricaSezioni();
    m_sezione = &m_v1;
    m_quadro = TDmaUtil::QuadroV1;
    const auto testo = [this](const QString &nome) { return m_v1.fieldByName(nome).asString(); };
    const auto valore = [this](const QString &nome) { return campoSezione(nome).asCurrency(); };
    m_indice.PerRighe(m_v1, iscritto, [&] {
        const QString inizio = Data(campoSezione(layouts::TE0_RETR::DT_E0XXX001_DINIZIO));
        const QString fine = Data(campoSezione(layouts::TE0_RETR::DT_E0XXX002_DFINE));
        log(QStringLiteral("  -- Quadro V1 da ") + inizio + QStringLiteral(" a ") + fine);
        IXMLV1_PeriodoPrecedente periodo = denuncia.GetV1_PeriodoPrecedente().Add();
        const QString causale = testo(layouts::TV1_RETR::NP_V1XXX000_CAUSVAR);
        periodo.SetCausaleVariazione(causale);
        if (!testo(layouts::TV1_RETR::NP_V1XXX024_CODALI).isEmpty())
            periodo.SetAliquota(testo(layouts::TV1_RETR::NP_V1XXX024_CODALI));
        periodo.SetGiornoInizio(inizio);
        periodo.SetGiornoFine(fine);
        ScriviInquadramentoPA(periodo.GetInquadramentoLavPA());
        RimuoviSeVuoto(periodo, QStringLiteral("InquadramentoLavPA"));
        ScriviGestioni(periodo.GetGestioni());
        RimuoviSeVuoto(periodo, QStringLiteral("Gestioni"));
        const QString cessazione = campoSezione(layouts::TE0_RETR::NP_E0XXX010_CESSAZ).asString();
        if (!cessazione.isEmpty())
            periodo.SetCodiceCessazione(cessazione);
        if (valore(layouts::TE0_RETR::NumMensilita).truncated() > 0)
            periodo.SetNumMensilita(Millesimi(valore(layouts::TE0_RETR::NumMensilita)));
        if (!campoSezione(layouts::TE0_RETR::NP_E0XXX004_PREV).asString().isEmpty()) {
            periodo.SetRetribTeoricaTabellareTFR(Importo(valore(layouts::TE0_RETR::VP_E0XXX043_RETRTFR)));
            periodo.SetRetribValutabileTFR(Importo(valore(layouts::TE0_RETR::VP_E0XXX044_UTILETFR)));
        }
        const QString fineBeneficio = Data(campoSezione(layouts::TE0_RETR::DT_E0XXX049_FINEBEN));
        if (!fineBeneficio.isEmpty())
            periodo.SetDataFineBeneficioCalamita(fineBeneficio);
        // The motive stands before the paying entities in the element.
        if (causale == QStringLiteral("7")) {
            const QString motivo = testo(layouts::TV1_RETR::NP_V1XXX061_CODMOTUT);
            periodo.SetCodMotivoUtilizzo(motivo);
            if (motivo == QStringLiteral("3") || motivo == QStringLiteral("4") || motivo == QStringLiteral("5"))
                ScriviMotivoUtilizzo(periodo, motivo);
        }
        ScriviEntiVersantiV1(periodo, iscritto, m_v1.fieldByName(TZepDma::CampoOrdine).asInteger());
    });
    m_sezione = nullptr;
}

void TZepFile::ScriviEntiVersantiV1(IXMLV1_PeriodoPrecedente periodo, int iscritto, int ordine)
{
    CaricaSezioni();
    const auto f = [this](const QString &nome) -> const Field & { return m_evV1.fieldByName(nome); };
    m_indice.PerRighe(m_evV1, iscritto, ordine, [&] {
        log(QStringLiteral("     -- Ente Versante Periodo: ")
            + f(layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione).asString() + QStringLiteral(" Tipo contributo ")
            + f(layouts::TEV_ENTEVERSANTEV1::TipoContributo).asString());
        IXMLV1_PeriodoPrecedente_EnteVersante ente = periodo.GetEnteVersante().Add();
        ente.SetTipoContributo(f(layouts::TEV_ENTEVERSANTEV1::TipoContributo).asString());
        ente.SetCFAzienda(f(layouts::TEV_ENTEVERSANTEV1::CFAzienda).asString());
        ente.SetPRGAZIENDA(f(layouts::TEV_ENTEVERSANTEV1::PRGAZIENDA).asString());
        ente.SetImponibile(Importo(f(layouts::TEV_ENTEVERSANTEV1::Imponibile).asCurrency()));
        ente.SetContributo(Importo(f(layouts::TEV_ENTEVERSANTEV1::Contributo).asCurrency()));
        if (!f(layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione).asString().isEmpty())
            ente.SetAnnoMeseErogazione(f(layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione).asString());
        ente.SetAliquota(f(layouts::TEV_ENTEVERSANTEV1::Aliquota).asString());
    });
}

void TZepFile::ScriviMotivoUtilizzo(IXMLV1_PeriodoPrecedente periodo, const QString &motivo)
{
    const auto f = [this](const QString &nome) -> const Field & { return m_v1.fieldByName(nome); };
    IXMLDescrMotivoUtilizzo descr = periodo.GetDescrMotivoUtilizzo();
    descr.SetDataAtto(Data(f(layouts::TV1_RETR::DT_V1XXX062_DATTO)));
    const QString atto = f(layouts::TV1_RETR::NP_V1XXX063_IDENTATTO).asString();
    descr.SetIdentAtto(atto.isEmpty() ? QStringLiteral("0") : atto);
    if (motivo == QStringLiteral("3"))
        descr.SetNumeroRegistro(f(layouts::TV1_RETR::NP_V1XXX064_NRREG).asString());
    if (motivo == QStringLiteral("3") || motivo == QStringLiteral("4")) {
        descr.SetCodOrgano(f(layouts::TV1_RETR::NP_V1XXX061_CODORGANO).asString());
        descr.SetSedeGeograficaOrgano(f(layouts::TV1_RETR::S_V1XXX062_SEDGEOORG).asString());
    }
}
