#include "ZepRDmaE0.h"

#include "ZepCDma.h"
#include "ZepFDmaInfo.h"
#include "ZepRDmaEv.h"
#include "ZepUDmaUtil.h"
#include "ZepUMainState.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "Exceptions.h"
#include "Field.h"
#include "TovFCdsSearch.h"
#include "Format.h"
#include "UqMessages.h"
#include "ZepULayoutNomi.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

using platform::DataSet;

namespace {

QList<TQuvCampo> Traduci(const QList<TQuvCampo> &campi, const QString &sezione)
{
    QList<TQuvCampo> out;
    for (const TQuvCampo &c : campi)
        out << TQuvCampo{c.first, TDmaUtil::NomeCampo(c.second, sezione)};
    return out;
}

QList<TQuvCampo> Recupero(const QString &radice)
{
    return {{QStringLiteral("Anno"), radice + QStringLiteral("AnnoRif")},
            {QStringLiteral("Mese"), radice + QStringLiteral("MeseRif")},
            {QStringLiteral("Codice recupero"), radice + QStringLiteral("CodiceRecupero")},
            {QStringLiteral("Imponibile"), radice + QStringLiteral("AltroImponibile")},
            {QStringLiteral("Importo"), radice + QStringLiteral("Importo")}};
}

} // namespace

TfrQuvSezione::TfrQuvSezione(const QString &sezione, QWidget *parent) : TfrQuvBase(parent), m_sezione(sezione)
{
    setObjectName(QStringLiteral("frQuv") + sezione);
    auto *page = new QVBoxLayout(paDettaglio);
    auto *riga = new QHBoxLayout;
    riga->addStretch(1);
    riga->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Rigo"), paDettaglio));
    edRigo = new QLineEdit(paDettaglio);
    edRigo->setObjectName(QStringLiteral("edRigo"));
    edRigo->setReadOnly(true);
    edRigo->setMaximumWidth(90);
    riga->addWidget(edRigo);
    page->addLayout(riga);
    pcQuadro = new QTabWidget(paDettaglio);
    pcQuadro->setObjectName(QStringLiteral("pcQuadro"));
    page->addWidget(pcQuadro);
    edContratto = new QLineEdit;
    edContratto->setObjectName(QStringLiteral("edContratto"));
    edContratto->setMaxLength(4);
    connect(edContratto, &QLineEdit::textEdited, this, [this](const QString &testo) {
        try {
            if (cdsMain.state() == platform::DataSetState::Browse && !cdsMain.isReadOnly() && !cdsMain.isEmpty())
                cdsMain.edit();
            if (cdsMain.isEditing())
                TZepDma::ImpostaContratto(cdsMain, m_sezione, testo);
        } catch (const platform::EAbort &) {
        } catch (const std::exception &e) {
            UqShowException(e);
        }
    });
    connect(pcQuadro, &QTabWidget::currentChanged, this, [this](int indice) {
        if (pcQuadro->widget(m_paginaPrima) == tsVersanti && indice != m_paginaPrima && !PuoLasciareVersanti()) {
            const QSignalBlocker blocco(pcQuadro);
            pcQuadro->setCurrentIndex(m_paginaPrima);
            return;
        }
        m_paginaPrima = indice;
        if (pcQuadro->widget(indice) == tsVersanti)
            AggiornaVersanti();
    });
    cdsMain.events().beforeInsert = [this](DataSet &ds) { m_ordineNuovo = TZepDma::ProssimoOrdine(ds); };
}

TfrQuvSezione::~TfrQuvSezione()
{
    cdsMain.events().beforeInsert = nullptr;
}

QString TfrQuvSezione::Campo(const QString &campoE0) const
{
    return TDmaUtil::NomeCampo(campoE0, m_sezione);
}

void TfrQuvSezione::CaricaPagine(const QString &titolo1, const QString &titolo2, const QString &paginaVersanti)
{
    const bool v1 = m_sezione == TDmaUtil::QuadroV1;
    QVBoxLayout *p1 = Pagina(pcQuadro, QStringLiteral("Pagina 1"), QStringLiteral("tsPagina1"));
    Titolo(p1, titolo1);
    QList<TQuvCampo> periodo = {{QStringLiteral("Data inizio"), layouts::TE0_RETR::DT_E0XXX001_DINIZIO},
                                {QStringLiteral("Data fine"), layouts::TE0_RETR::DT_E0XXX002_DFINE}};
    if (v1)
        periodo = QList<TQuvCampo>{{QStringLiteral("Causale Variazione"), layouts::TV1_RETR::NP_V1XXX000_CAUSVAR},
                                   {QStringLiteral("Codice aliquota"), layouts::TV1_RETR::NP_V1XXX024_CODALI}}
                  + periodo;
    Campi(p1, Traduci(periodo, m_sezione));
    // "Inquadramento": the contract (sector and sub-sector) and the rest.
    QGridLayout *g = nullptr;
    TZepDettaglio::Gruppo(QStringLiteral("Inquadramento"), p1, p1->parentWidget(), g);
    g->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Contratto"), g->parentWidget()), 0, 0);
    edContratto->setParent(g->parentWidget());
    g->addWidget(edContratto, 0, 1, Qt::AlignLeft);
    const QList<TQuvCampo> inquadramento =
        Traduci({{QStringLiteral("Qualifica"), layouts::TE0_RETR::AN_E0XXX009_QUALIFICA},
                 {QStringLiteral("Motivo cessazione"), layouts::TE0_RETR::NP_E0XXX010_CESSAZ},
                 {QStringLiteral("Tipo impiego"), layouts::TE0_RETR::NP_E0XXX011_IMPIEGO},
                 {QStringLiteral("Tipo servizio"), layouts::TE0_RETR::NP_E0XXX012_SERVIZIO}},
                m_sezione);
    for (int i = 0; i < inquadramento.size(); ++i)
        Dettaglio->Testo(g, (i + 1) / 2, ((i + 1) % 2) * 2, inquadramento[i].first, inquadramento[i].second);
    g->setColumnStretch(4, 1);
    Campi(p1,
          Traduci({{QStringLiteral("Tipo"), layouts::TE0_RETR::AN_E0XXX013_TIPOPT},
                   {QStringLiteral("Percentuale"), layouts::TE0_RETR::PC_E0XXX014_PERCPT}},
                  m_sezione),
          QStringLiteral("PART-TIME"));
    Campi(p1,
          Traduci({{QStringLiteral("Pensione"), layouts::TE0_RETR::NP_E0XXX003_PENS},
                   {QStringLiteral("Previdenza"), layouts::TE0_RETR::NP_E0XXX004_PREV},
                   {QStringLiteral("Credito"), layouts::TE0_RETR::NP_E0XXX005_CREDITO},
                   {QStringLiteral("ENPDEDP"), layouts::TE0_RETR::NP_E0XXX006_ENPDEDP},
                   {QStringLiteral("Totale imponibile pensionistico per il periodo"),
                    layouts::TE0_RETR::VP_E0XXX032_IMPPENS},
                   {QStringLiteral("Totale contributi pensionistici per il periodo"),
                    layouts::TE0_RETR::VP_E0XXX033_CONPENS},
                   {QStringLiteral("Contributo 1% a carico iscritto eccedente il tetto retributivo"),
                    layouts::TE0_RETR::VP_E0XXX034_CONECC},
                   {QStringLiteral("Imponibile TFS"), layouts::TE0_RETR::VP_E0XXX035_IMPTFS},
                   {QStringLiteral("Contributo TFS"), layouts::TE0_RETR::VP_E0XXX036_CONTFS},
                   {QStringLiteral("Imponibile TFR"), layouts::TE0_RETR::VP_E0XXXA37_IMPTFR},
                   {QStringLiteral("Contributo TFR"), layouts::TE0_RETR::VP_E0XXXA38_CONTFR},
                   {QStringLiteral("Imponibile cassa credito"), layouts::TE0_RETR::VP_E0XXX039_IMPCREDITO},
                   {QStringLiteral("Contributi cassa credito"), layouts::TE0_RETR::VP_E0XXX040_CONCREDITO},
                   {QStringLiteral("Contributo ENPDEDP"), layouts::TE0_RETR::VP_E0XXX041_CONENPDEDP}},
                  m_sezione),
          QStringLiteral("GESTIONI PENSIONISTICHE E PREVIDENZIALI"));
    Campi(p1, Recupero(QStringLiteral("RecuperoSgravi")), QStringLiteral("RECUPERO SGRAVI IVS STIPENDIO"), 5);
    Campi(p1, Recupero(QStringLiteral("RecuperoSgravi13")), QStringLiteral("RECUPERO SGRAVI IVS TREDICESIMA"), 5);
    p1->addStretch(1);

    QVBoxLayout *p2 = Pagina(pcQuadro, QStringLiteral("Pagina 2"), QStringLiteral("tsPagina2"));
    Titolo(p2, titolo2);
    QList<TQuvCampo> altri = {
        {QStringLiteral("Giorni utili ai fini pensionistici"), layouts::TE0_RETR::NP_E0XXX015_GGUTILI}};
    for (int i = 0; i < 4; ++i) {
        altri << TQuvCampo{QStringLiteral("Maggiorazione %1").arg(i + 1),
                           QStringLiteral("NP_E0XXX%1_MAG").arg(16 + 2 * i, 3, 10, QLatin1Char('0'))}
              << TQuvCampo{QStringLiteral("Giorni"),
                           QStringLiteral("NP_E0XXX%1_MAG_GG").arg(17 + 2 * i, 3, 10, QLatin1Char('0'))};
    }
    if (v1)
        altri << TQuvCampo{QStringLiteral("Maggiorazione base pensionabile (D.Lgs. 165/97)"),
                           layouts::TE0_RETR::VP_E0XXX025_MAGG};
    altri << TQuvCampo{QStringLiteral("Retribuzioni fisse"), layouts::TE0_RETR::VP_E0XXX026_RETRFISSE}
          << TQuvCampo{QStringLiteral("Retribuzioni accessorie"), layouts::TE0_RETR::VP_E0XXX027_RETRACC}
          << TQuvCampo{QStringLiteral("Retribuzione (art. 18)"), layouts::TE0_RETR::VP_E0XXX028_RETR18}
          << TQuvCampo{QStringLiteral("I.I.S."), layouts::TE0_RETR::VP_E0XXX029_IIS}
          << TQuvCampo{QStringLiteral("I.A.V."), layouts::TE0_RETR::VP_E0XXX030_IAV}
          << TQuvCampo{QStringLiteral("I.N.A."), layouts::TE0_RETR::VP_E0XXX031_INA}
          << TQuvCampo{QStringLiteral("Tredicesima mensilità"), layouts::TE0_RETR::VP_E0XXX042_13MA}
          << TQuvCampo{QStringLiteral("Retribuzione teorica tabellare TFR"), layouts::TE0_RETR::VP_E0XXX043_RETRTFR}
          << TQuvCampo{QStringLiteral("Retribuzione utile ai fini TFR"), layouts::TE0_RETR::VP_E0XXX044_UTILETFR}
          << TQuvCampo{QStringLiteral("Quota datore di lavoro per previdenza ed assistenza integrativa (L 166/91)"),
                       layouts::TE0_RETR::VP_E0XXX045_IMP166}
          << TQuvCampo{QStringLiteral("Contributo di solidarietà (L 166/91)"), layouts::TE0_RETR::VP_E0XXX046_CON166}
          << TQuvCampo{QStringLiteral("Data fine beneficio eventi calamitosi"), layouts::TE0_RETR::DT_E0XXX049_FINEBEN}
          << TQuvCampo{QStringLiteral("Contributo pensionistico sospeso per eventi calamitosi"),
                       layouts::TE0_RETR::VP_E0XXX050_PENSSOSP}
          << TQuvCampo{QStringLiteral("Contributo previdenziale sospeso per eventi calamitosi"),
                       layouts::TE0_RETR::VP_E0XXX051_PREVSOSP};
    if (v1)
        altri << TQuvCampo{QStringLiteral("Sanzione pensionistica"), layouts::TV1_RETR::VN_V1XXX052_SANZPENS}
              << TQuvCampo{QStringLiteral("Sanzione previdenziale"), layouts::TV1_RETR::VN_V1XXX053_SANZPREV}
              << TQuvCampo{QStringLiteral("Sanzione credito"), layouts::TV1_RETR::VN_V1XXX054_SANZCRED}
              << TQuvCampo{QStringLiteral("Sanzione ENPDEDP"), layouts::TV1_RETR::VN_V1XXX055_SANZENPDEDP}
              << TQuvCampo{QStringLiteral("Accertamento"), layouts::TV1_RETR::NP_V1XXX057_ACCERTAMENTO}
              << TQuvCampo{QStringLiteral("Data decorrenza sanzioni"), layouts::TV1_RETR::DT_V1XXX058_DECSANZ};
    else
        altri << TQuvCampo{QStringLiteral("Importo conguaglio\nimponibile"), layouts::TE0_RETR::VP_E0XXX052_CONGIMP}
              << TQuvCampo{QStringLiteral("Contributo pensionistico su conguaglio imponibile"),
                           layouts::TE0_RETR::VP_E0XXX053_CONCONGPENS}
              << TQuvCampo{QStringLiteral("Contributo previdenziale su conguaglio imponibile"),
                           layouts::TE0_RETR::VP_E0XXX054_CONCONGPREV}
              << TQuvCampo{QStringLiteral("Contributo credito su conguaglio imponibile"),
                           layouts::TE0_RETR::VP_E0XXX055_CONCONGCRED}
              << TQuvCampo{QStringLiteral("Contributo ENPDEDP su conguaglio imponibile"),
                           layouts::TE0_RETR::VP_E0XXX056_CONCONGENPDEDP};
    altri << TQuvCampo{QStringLiteral("Orario settimanale ridotto personale scolastico"),
                       layouts::TE0_RETR::N2_E0XXX059_ORARID}
          << TQuvCampo{QStringLiteral("Orario settimanale completo personale scolastico"),
                       layouts::TE0_RETR::OrarioIntero}
          << TQuvCampo{QStringLiteral("Percentuale di aspettativa (L 300/70)"), layouts::TE0_RETR::PC_E0XXX060_PERCASP}
          << TQuvCampo{QStringLiteral("Percentuale di retribuzione"), layouts::TE0_RETR::PercRetribuzione_1}
          << TQuvCampo{QStringLiteral("Retribuzione Individuale Anzianità"), layouts::TE0_RETR::RetribIndivAnzianita}
          << TQuvCampo{QStringLiteral("Stipendio tabellare"), layouts::TE0_RETR::StipendioTabellare}
          << TQuvCampo{QStringLiteral("Retribuzione virtuale\nai fini pensionistici"),
                       layouts::TE0_RETR::RetribVirtualeFiniPens}
          << TQuvCampo{QStringLiteral("Numero mensilità"), layouts::TE0_RETR::NumMensilita}
          << TQuvCampo{QStringLiteral("Aderenti Credito DM 45/2007"), layouts::TE0_RETR::AderenteCredito45_2007};
    Campi(p2, Traduci(altri, m_sezione));
    p2->addStretch(1);

    frVersanti = v1 ? static_cast<TfrZepEv *>(new TfrZepEvV1) : new TfrZepEvE0;
    tsVersanti = new QWidget;
    tsVersanti->setObjectName(QStringLiteral("tsVersanti"));
    (new QVBoxLayout(tsVersanti))->addWidget(frVersanti);
    pcQuadro->addTab(tsVersanti, paginaVersanti);
    frVersanti->InizioQuadro = [this] {
        return cdsMain.isActive() && !cdsMain.isEmpty()
                   ? cdsMain.fieldByName(Campo(layouts::TE0_RETR::DT_E0XXX001_DINIZIO)).asDate()
                   : QDate();
    };

    QList<TZepRicerca> ricerche = {
        {layouts::TE0_RETR::NP_E0XXX003_PENS, QStringLiteral("TGES_GESTIONIASS.cds")},
        {layouts::TE0_RETR::NP_E0XXX004_PREV, QStringLiteral("TGES_GESTIONIASS.cds")},
        {layouts::TE0_RETR::NP_E0XXX005_CREDITO, QStringLiteral("TGES_GESTIONIASS.cds")},
        {layouts::TE0_RETR::NP_E0XXX010_CESSAZ, QStringLiteral("TCES_CAUSACESSAZ.cds")},
        {layouts::TE0_RETR::NP_E0XXX011_IMPIEGO, QStringLiteral("TTIM_TIPOIMPIEG.cds")},
        {layouts::TE0_RETR::NP_E0XXX012_SERVIZIO, QStringLiteral("TTIS_TIPOSERVIZI.cds")},
        {layouts::TE0_RETR::AN_E0XXX013_TIPOPT, QStringLiteral("TTPT_TIPOPARTTIME.cds")},
        {layouts::TE0_RETR::AderenteCredito45_2007, QStringLiteral("TADE_CREDITO.cds")},
        {layouts::TE0_RETR::RecuperoSgraviCodiceRecupero, QStringLiteral("TRSG_RECUPEROSGRAVI.cds")},
        {layouts::TE0_RETR::RecuperoSgravi13CodiceRecupero, QStringLiteral("TRSG_RECUPEROSGRAVI.cds")},
    };
    for (TZepRicerca &r : ricerche)
        r.campo = Campo(r.campo);
    if (v1)
        ricerche << TZepRicerca{layouts::TV1_RETR::NP_V1XXX000_CAUSVAR, QStringLiteral("TCAV_CAUSVAR.cds")}
                 << TZepRicerca{layouts::TV1_RETR::NP_V1XXX024_CODALI, QStringLiteral("TCAS_CASSACOMPET.cds")};
    Dettaglio->Ricerche(ricerche);
    // The qualification: its row of the code table gives the contract too.
    platform::DBEdit *qualifica = Dettaglio->Edit(Campo(layouts::TE0_RETR::AN_E0XXX009_QUALIFICA));
    qualifica->SetButtonVisible(true);
    connect(qualifica, &platform::DBEdit::ButtonClick, this, [this] {
        try {
            ScegliQualifica();
        } catch (const platform::EAbort &) {
        } catch (const std::exception &e) {
            UqShowException(e);
        }
    });
}

void TfrQuvSezione::SetTabelle(TZepTabellaDenuncia *quadro, TZepTabellaDenuncia *versanti)
{
    SetTabella(quadro);
    frVersanti->SetTabella(versanti);
}

void TfrQuvSezione::Prepara()
{
    TZepDma::PreparaQuadro(cdsMain, m_sezione);
    TZepTabellaDenuncia::ImpostaColonne(cdsMain,
                                        {{Campo(layouts::TE0_RETR::DT_E0XXX001_DINIZIO), QStringLiteral("Data inizio")},
                                         {Campo(layouts::TE0_RETR::DT_E0XXX002_DFINE), QStringLiteral("Data fine")},
                                         {Campo(layouts::TE0_RETR::AN_E0XXX009_QUALIFICA), QStringLiteral("Qualifica")},
                                         {Campo(layouts::TE0_RETR::VP_E0XXX032_IMPPENS),
                                          QStringLiteral("Imponibile pensionistico")}});
    for (const auto &field : cdsMain.fields())
        if (field->dataType() == platform::FieldType::BCD)
            field->setOnGetText(&TfrTovBase::NumericFieldGetText);
    cdsMain.setIndexFieldNames(Campo(layouts::TE0_RETR::DT_E0XXX001_DINIZIO));
    cdsMain.first();
    Dettaglio->AdattaLarghezze();
    Dettaglio->ImpostaEtichette();
    grModel->reload();
    // Each column as wide as its title and values.
    grFrame->resizeColumnsToContents();
    dsMainDataChange();
}

void TfrQuvSezione::cdsMainBeforePost(DataSet &dataSet)
{
    TfrQuvBase::cdsMainBeforePost(dataSet);
    if (!TfmZepDmaInfo::Corrente().ControllaEChiedi({&dataSet}))
        throw platform::EAbort();
    TZepDma::ControllaQuadro(dataSet, m_sezione, m_ordineNuovo);
}

void TfrQuvSezione::cdsMainAfterPost(DataSet &dataSet)
{
    TfrQuvBase::cdsMainAfterPost(dataSet);
    AggiornaVersanti();
}

void TfrQuvSezione::cdsMainBeforeDelete(DataSet &dataSet)
{
    if (UqMessageBox(platform::format(TZepDma::MsgCancellaQuadro, m_sezione), QString(), platform::Yes | platform::No,
                     platform::MessageType::Warning)
        != platform::Yes)
        throw platform::EAbort();
    m_ordineCancellato = dataSet.fieldByName(TZepDma::CampoOrdine).asInteger();
}

void TfrQuvSezione::cdsMainAfterDelete(DataSet &dataSet)
{
    TfrQuvBase::cdsMainAfterDelete(dataSet);
    // The row's paying entities go with it.
    if (frVersanti->cdsMain.isActive()
        && TZepDma::CancellaVersanti(frVersanti->cdsMain, TZepDma::IscrittoCorrente(), m_ordineCancellato) > 0
        && frVersanti->Tabella())
        frVersanti->Tabella()->Salva(frVersanti->cdsMain);
    m_ordineCancellato = 0;
}

void TfrQuvSezione::dsMainDataChange()
{
    if (!cdsMain.isActive()) {
        edRigo->clear();
        return;
    }
    edRigo->setText(RecordPositionText(cdsMain));
    {
        const QSignalBlocker blocco(edContratto);
        edContratto->setText(cdsMain.isActive() && cdsMain.findField(TZepDma::CampoContratto) && !cdsMain.isEmpty()
                                 ? cdsMain.fieldByName(TZepDma::CampoContratto).asString()
                                 : QString());
    }
    AggiornaVersanti();
}

void TfrQuvSezione::AggiornaVersanti()
{
    DataSet &ev = frVersanti->cdsMain;
    if (!ev.isActive())
        return;
    const int ordine = cdsMain.isActive() && !cdsMain.isEmpty() && cdsMain.state() != platform::DataSetState::Insert
                           ? cdsMain.fieldByName(TZepDma::CampoOrdine).asInteger()
                           : 0;
    if (ev.isEditing() && ordine == frVersanti->Ordine())
        return;
    frVersanti->SetOrdine(ordine);
    frVersanti->Filtra();
    // Writable only while the section row is browsing and writable.
    ev.setReadOnly(!(cdsMain.state() == platform::DataSetState::Browse && !cdsMain.isReadOnly() && ordine > 0));
    frVersanti->grFrame->viewport()->setCursor(ev.isReadOnly() ? Qt::ForbiddenCursor : Qt::ArrowCursor);
}

bool TfrQuvSezione::PuoLasciareVersanti()
{
    if (!frVersanti->cdsMain.isEditing())
        return true;
    UqMessageBox(TZepDma::MsgSalvarePrimaDiCambiarePagina, QString(), platform::Ok, platform::MessageType::Warning);
    return false;
}

void TfrQuvSezione::ScegliQualifica()
{
    if (cdsMain.isReadOnly() || !cdsMain.isActive())
        return;
    const QString file = TZepTabellaDenuncia::FileTabella(IZepMainState::Require(this),
                                                          QStringLiteral("TINQ_INQUADRAMENTO.CDS"));
    DataSet *riga = fmTovRicerca()->SearchRecord(file);
    if (!riga)
        return;
    const QString contratto = riga->fieldByName(QStringLiteral("CONTRATTO")).asString();
    const QString qualifica = riga->fieldByName(QStringLiteral("CODQUALIFICA")).asString();
    riga->close();
    if (cdsMain.state() == platform::DataSetState::Browse)
        cdsMain.edit();
    TZepDma::ImpostaContratto(cdsMain, m_sezione, contratto);
    cdsMain.fieldByName(Campo(layouts::TE0_RETR::AN_E0XXX009_QUALIFICA)).setAsString(qualifica);
}

TfrQuvE0::TfrQuvE0(QWidget *parent) : TfrQuvSezione(TDmaUtil::QuadroE0, parent)
{
    CaricaPagine(QStringLiteral("QUADRO E0 - Dati relativi al mese di riferimento della denuncia"),
                 QStringLiteral("QUADRO E0 - Altri dati "), QStringLiteral("Altro Ente Versante"));
}

TfrQuvV1::TfrQuvV1(QWidget *parent) : TfrQuvSezione(TDmaUtil::QuadroV1, parent)
{
    CaricaPagine(QStringLiteral("QUADRO V1 - Dati relativi alle retribuzioni ed ai contributi dovuti per i periodi "
                                "pregressi"),
                 QStringLiteral("QUADRO V1 - Altri dati "), QStringLiteral("Ente versante"));
    QVBoxLayout *p = Pagina(pcQuadro, QStringLiteral("Motivo utilizzo (Caus. variazione = 7)"),
                            QStringLiteral("tsMotivoUtilizzo"));
    tsMotivoUtilizzo = pcQuadro->widget(pcQuadro->count() - 1);
    Titolo(p, QStringLiteral("QUADRO V1 - Motivo Utilizzo"));
    Campi(p, {{QStringLiteral("Motivo utilizzo"), layouts::TV1_RETR::NP_V1XXX061_CODMOTUT},
              {QStringLiteral("Codice organo"), layouts::TV1_RETR::NP_V1XXX061_CODORGANO},
              {QStringLiteral("Data atto"), layouts::TV1_RETR::DT_V1XXX062_DATTO},
              {QStringLiteral("Identificativo atto"), layouts::TV1_RETR::NP_V1XXX063_IDENTATTO},
              {QStringLiteral("Numero registro"), layouts::TV1_RETR::NP_V1XXX064_NRREG}});
    Titolo(p, QStringLiteral("QUADRO V1 - Descrizione Motivo Utilizzo"));
    Campi(p, {{QStringLiteral("Sede Geografica organo"), layouts::TV1_RETR::S_V1XXX062_SEDGEOORG}});
    p->addStretch(1);
    Dettaglio->Ricerche({{layouts::TV1_RETR::NP_V1XXX061_CODMOTUT, QStringLiteral("TCMU_CODMOTIVOUTILIZZO.cds")},
                         {layouts::TV1_RETR::NP_V1XXX061_CODORGANO, QStringLiteral("TCOO_CODORGANO.cds")}});
    platform::DBEdit *causale = Dettaglio->Edit(layouts::TV1_RETR::NP_V1XXX000_CAUSVAR);
    connect(causale, &QLineEdit::textChanged, this, [this] { AggiornaMotivoUtilizzo(); });
    AggiornaMotivoUtilizzo();
}

void TfrQuvV1::AggiornaMotivoUtilizzo()
{
    pcQuadro->setTabEnabled(pcQuadro->indexOf(tsMotivoUtilizzo),
                            TZepDma::MotivoUtilizzoAttivo(
                                Dettaglio->Edit(layouts::TV1_RETR::NP_V1XXX000_CAUSVAR)->text()));
}
