#include "ZePCImpDmaMultiSelect.h"

#include "ZepCDma.h"
#include "ZepCDmaImpContesto.h"
#include "ZepCDmaImpFondo.h"
#include "ZepCDmaImpIscritto.h"
#include "ZepCDmaImpMese.h"
#include "ZepCDmaImpPrecedenti.h"
#include "ZepUDmaUtil.h"

#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsImportazione.h"

#include "Exceptions.h"
#include "Field.h"

#include <utility>

using platform::DataSet;

const QStringList TZepDmaImpMultiSelect::VociSovrascrivi{QStringLiteral("Sovrascrivi sempre"),
                                                         QStringLiteral("Non sovrascrivere"),
                                                         QStringLiteral("Chiedi conferma"), QStringLiteral("Aggiungi")};
const QString TZepDmaImpMultiSelect::DidascaliaForzaBloccati = QStringLiteral(
    "Forza l'importazione delle denunce inviate");
const QString TZepDmaImpMultiSelect::MsgBloccato = QStringLiteral(
    " - Denuncia già inviata: dati non importati (\"Forza l'importazione delle denunce inviate\" per sostituirli)");

// The context of a run and its sections, each on the tables it writes.
struct TZepDmaImpMultiSelect::TSezioni {
    explicit TSezioni(TZepDmaImpMultiSelect &imp)
        : contesto(imp.Connessione(), *imp.Parametri(), imp.xqcMultiSelect, imp.qquAcom, imp.qquAnaAbt, imp.cdsImport,
                   imp.Info),
          v1(contesto.SezioneCorrente() == TDmaUtil::QuadroV1 ? imp.cdsQuadro : imp.cdsAltroQuadro),
          iscritto(contesto,
                   {imp.cdsImport, imp.cdsQuadro, imp.cdsAltroQuadro, imp.cdsE1, imp.cdsVersantiE0, imp.cdsVersantiV1}),
          mese(contesto, imp.cdsQuadro, v1), precedenti(contesto, v1), fondo(contesto, imp.cdsE1)
    {
    }

    TZepDmaImpContesto contesto;
    DataSet &v1; // the table of section V1, current or other
    TZepDmaImpIscritto iscritto;
    TZepDmaImpMese mese;
    TZepDmaImpPrecedenti precedenti;
    TZepDmaImpFondo fondo;
};

TZepDmaImpMultiSelect::TZepDmaImpMultiSelect(ITovDBCds &store, platform::Database *connessione)
    : TwunFiscImpMultiSelect(connessione), m_store(store), cdsQuadro(QStringLiteral("cdsQuadro")),
      cdsAltroQuadro(QStringLiteral("cdsAltroQuadro")), cdsE1(QStringLiteral("cdsE1")),
      cdsVersantiE0(QStringLiteral("cdsVersantiE0")), cdsVersantiV1(QStringLiteral("cdsVersantiV1"))
{
    Sovrascrittura = ChiediConferma;
    for (DataSet *ds : {&cdsVersantiE0, &cdsVersantiV1}) {
        ds->events().afterPost = [this](DataSet &d) { SalvaTabella(d); };
        ds->events().afterDelete = [this](DataSet &d) { SalvaTabella(d); };
    }
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

TZepDmaImpMultiSelect::TSezioni &TZepDmaImpMultiSelect::Sezioni() const
{
    ZEP_ASSERT(m_sezioni, QStringLiteral("Importazione ex DMA: elenco non preparato"));
    return *m_sezioni;
}

QString TZepDmaImpMultiSelect::CodiceFiscale() const
{
    return qquAcom.value(QStringLiteral("SANACODFISCALE")).toString().trimmed();
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
        return QStringLiteral("T%1_RETR").arg(Sezioni().contesto.SezioneCorrente());
    if (&dataSet == &cdsAltroQuadro)
        return QStringLiteral("T%1_RETR").arg(Sezioni().contesto.SezioneAltra());
    if (&dataSet == &cdsE1)
        return TZepDma::TabellaE1;
    if (&dataSet == &cdsVersantiE0)
        return TZepDma::TabellaEvE0;
    if (&dataSet == &cdsVersantiV1)
        return TZepDma::TabellaEvV1;
    return {};
}

// ---------------------------------------------------------------- the run

void TZepDmaImpMultiSelect::PreparaElenco()
{
    Info.Clear();
    ZEP_ASSERT(Parametri(), QStringLiteral("PreparaElenco: parametri dell'importazione non impostati"));
    m_sezioni = std::make_unique<TSezioni>(*this);
    xqcMultiSelect.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_DMA_IMP_TNO"), xqcMultiSelect, QStringLiteral("EXECUTE"));
    platform::Params &p = xqcMultiSelect.params();
    p.paramByName(QStringLiteral("IANFID")).setValue(wunAnnoFinanziario().Id());
    p.paramByName(QStringLiteral("IMESID")).setValue(Mese());
    p.paramByName(QStringLiteral("ITNOID")).setValue(Parametri()->fieldValue(QStringLiteral("ITNOID")));
    p.paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    ApriElenco();
}

void TZepDmaImpMultiSelect::ApriTabelle()
{
    const auto carica = [this](DataSet &ds, const QString &sezione) {
        if (ds.isActive())
            return;
        m_store.Load(ds, NomeTabella(ds));
        if (!sezione.isEmpty())
            TZepDma::PreparaQuadro(ds, sezione);
    };
    const TZepDmaImpContesto &contesto = Sezioni().contesto;
    carica(cdsImport, {});
    carica(cdsQuadro, contesto.SezioneCorrente());
    carica(cdsAltroQuadro, contesto.SezioneAltra());
    carica(cdsE1, {});
}

void TZepDmaImpMultiSelect::SalvaTabella(DataSet &dataSet)
{
    if (PersonaInCorso() && &dataSet != &cdsImport) {
        if (!m_daSalvare.contains(&dataSet))
            m_daSalvare << &dataSet;
        return;
    }
    const QString tabella = NomeTabella(dataSet);
    ZEP_ASSERT(!tabella.isEmpty(), QStringLiteral("SalvaTabella: tabella sconosciuta %1").arg(dataSet.name()));
    m_store.Save(dataSet, tabella);
}

QList<DataSet *> TZepDmaImpMultiSelect::TabelleInMemoria()
{
    return {&cdsImport, &cdsQuadro, &cdsAltroQuadro, &cdsE1, &cdsVersantiE0, &cdsVersantiV1};
}

void TZepDmaImpMultiSelect::TabellaRipristinata(DataSet &dataSet)
{
    // The store's rows were undone with the unit, and the tables are as
    // they were saved; a filter left by the failed person must not hide
    // rows from the next one.
    m_daSalvare.clear();
    m_store.DropUnit();
    TZepDmaImpContesto::TogliFiltro(dataSet);
}

void TZepDmaImpMultiSelect::ApriAnagrafica()
{
    if (PersonaInCorso())
        m_store.BeginUnit();
    TwunFiscImpMultiSelect::ApriAnagrafica();
}

void TZepDmaImpMultiSelect::PrimaDelCommit()
{
    const QList<DataSet *> daSalvare = std::exchange(m_daSalvare, {});
    for (DataSet *ds : daSalvare)
        m_store.Save(*ds, NomeTabella(*ds));
    m_store.CommitUnit();
}

void TZepDmaImpMultiSelect::ErroreImportazione(const std::exception &)
{
    for (DataSet *ds : {&cdsQuadro, &cdsAltroQuadro, &cdsE1})
        if (ds->isEditing())
            ds->cancel();
}

void TZepDmaImpMultiSelect::FineOperazione()
{
    m_store.EndUnits();
    // The persons paid in the month and left out, each with its reason,
    // among the check list's lines.
    for (const QString &persona : NonImportati()) {
        const qsizetype due = persona.indexOf(QStringLiteral(": "));
        Info.SetSectionTitle(persona.left(due));
        Info.AddMessage(QStringLiteral(" - Non importato: ") + persona.mid(due + 2));
    }
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

std::unique_ptr<TTovDBCdsImportazione> TZepDmaImpMultiSelect::ImportazionePeriodo()
{
    return m_store.Importazione(m_store.Year(), m_store.Month());
}

std::unique_ptr<TTovDBCdsImportazione> TZepDmaImpMultiSelect::ImportazioneDichiarante()
{
    return m_store.Importazione(m_store.Year(), 0);
}

// ---------------------------------------------------------------- one person

void TZepDmaImpMultiSelect::ImportaRiga()
{
    TZepDmaImpContesto::TogliFiltro(cdsQuadro);
    ApriTabelle();
    const QString cf = CodiceFiscale();
    if (!CodiceFiscalePresente(cf))
        return;
    m_scriviD0 = true;
    TZepDmaImpIscritto &iscritto = Sezioni().iscritto;
    if (!iscritto.Trova(cf, PersonaPaghe())) {
        ImportaIscritto();
        return;
    }
    const QString presente = cdsImport.fieldByName(TZepDma::CampoCodiceFiscale).asString().trimmed();
    if (TZepDma::Blocco(cdsImport) > 0 && !ForzaBloccati) {
        // Left as it was, and said so at the end: a sent declaration is not
        // silently left out of a run the user believes complete.
        Info.SetSectionTitle(Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed());
        Info.AddMessage(MsgBloccato);
        SegnaSaltato();
        return;
    }
    if (Modo == Aggiungi) {
        m_scriviD0 = false;
        if (presente != cf)
            iscritto.CorreggiCodiceFiscale(presente, PersonaPaghe());
    } else {
        Sovrascrittura = TSovrascrivi(Modo);
        if (!SostituireDati(presente != cf ? QStringList{presente} : QStringList{}, cf))
            return;
        CancellaPersona(presente);
    }
    ImportaIscritto();
}

void TZepDmaImpMultiSelect::CancellaPersona(const QString &codicePresente)
{
    for (DataSet *versanti : {&cdsVersantiE0, &cdsVersantiV1})
        if (!versanti->isActive())
            m_store.Load(*versanti, NomeTabella(*versanti));
    for (DataSet *versanti : Sezioni().iscritto.CancellaPersona(codicePresente))
        SalvaTabella(*versanti);
}

void TZepDmaImpMultiSelect::ImportaIscritto()
{
    TSezioni &s = Sezioni();
    s.iscritto.Verifica();
    Info.SetSectionTitle(Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed());
    if (m_scriviD0)
        s.iscritto.ImportaD0({Cognome(), Nome(), Telefono(), Email(), PersonaPaghe()});
    ImportaRetribuzioni();
    s.iscritto.SegnaFineServizio(s.mese.FineServizio());
}

void TZepDmaImpMultiSelect::ImportaRetribuzioni()
{
    TSezioni &s = Sezioni();
    s.precedenti.Inizia();
    s.mese.Importa();
    // Pay items of earlier reference periods and registers of earlier
    // periods go to V1 rows of their own before the accessory pay.
    if (s.mese.RegistroDelMese())
        s.precedenti.ImportaVociPrecedenti(cdsQuadro);
    s.precedenti.ImportaPeriodiPrecedenti();
    s.mese.ImportaAccessori();
    s.mese.CompletaQuadri();
    s.fondo.Importa();
}
