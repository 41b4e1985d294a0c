#include "ZepRDma.h"

#include "ZepCDma.h"
#include "ZepRDmaE0.h"
#include "ZepRDmaE1.h"
#include "ZepRDmaEv.h"
#include "ZepUUtil.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "Exceptions.h"
#include "Field.h"
#include "UqMessages.h"
#include "ZepULayoutNomi.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

using platform::DataSet;
using platform::DataSetState;

TQuvRigheBloccate::TQuvRigheBloccate(platform::DataSetModel *model, QObject *parent)
    : QStyledItemDelegate(parent), m_model(model)
{
}

void TQuvRigheBloccate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const DataSet *ds = m_model->dataSet();
    const platform::Field *stato = ds ? ds->findField(TZepDma::CampoStato) : nullptr;
    if (!stato)
        return;
    const platform::Value v = ds->rowValue(m_model->bookmarkAt(index.row()), stato->index());
    if (v.isEmpty() || v.toInt() <= 0)
        return;
    option->palette.setColor(QPalette::Text, Qt::red);
    option->palette.setColor(QPalette::HighlightedText, Qt::red);
}

namespace {

QWidget *PaginaFrame(QTabWidget *pagine, QWidget *frame, const QString &titolo, const QString &nome)
{
    auto *pagina = new QWidget;
    pagina->setObjectName(nome);
    auto *layout = new QVBoxLayout(pagina);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    pagine->addTab(pagina, titolo);
    return pagina;
}

} // namespace

TfrQuvIscritto::TfrQuvIscritto(QWidget *parent) : TfrQuvBase(parent)
{
    setObjectName(QStringLiteral("frQuvIscritto"));
    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);
    // The header strip: the person's name, the year and the month.
    QGridLayout *h = TZepDettaglio::Riquadro(page, paDettaglio);
    for (auto [col, caption, campo] :
         {std::tuple{0, "Cognome", TZepDma::CampoCognome}, std::tuple{2, "Nome", TZepDma::CampoNome}}) {
        platform::DBEdit *edit = d.Testo(h, 0, col, QLatin1String(caption), campo);
        edit->setObjectName(QStringLiteral("edTesta") + QLatin1String(caption));
        AbilitaEdit(edit, false);
    }
    h->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Anno"), h->parentWidget()), 0, 4);
    edAnno = new QLineEdit(AnnoDenuncia, h->parentWidget());
    edAnno->setObjectName(QStringLiteral("edAnno"));
    edAnno->setReadOnly(true);
    edAnno->setMaximumWidth(60);
    h->addWidget(edAnno, 0, 5);
    platform::DBEdit *mese = d.Casella(layouts::TD0_ANAG::SD0AMESE, h->parentWidget());
    mese->setObjectName(QStringLiteral("edTestaMese"));
    AbilitaEdit(mese, false);
    h->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Mese"), h->parentWidget()), 0, 6);
    h->addWidget(mese, 0, 7);
    h->setColumnStretch(8, 1);

    pcDma = new QTabWidget(paDettaglio);
    pcDma->setObjectName(QStringLiteral("pcDma"));
    page->addWidget(pcDma);
    QVBoxLayout *d0 = Pagina(pcDma, QStringLiteral("Quadro D0 "), QStringLiteral("tsD0"));
    tsD0 = pcDma->widget(0);
    Titolo(d0, QStringLiteral("DATI IDENTIFICATIVI DELL'ISCRITTO"));
    Campi(d0, {{QStringLiteral("Codice Fiscale"), TZepDma::CampoCodiceFiscale},
               {QStringLiteral("Sesso"), layouts::TD0_ANAG::AN_D0001004_SEX},
               {QStringLiteral("Cognome"), TZepDma::CampoCognome},
               {QStringLiteral("Nome"), TZepDma::CampoNome},
               {QStringLiteral("Data di nascita"), layouts::TD0_ANAG::DT_D0001005_DATANAS},
               {QStringLiteral("Codice comune di nascita"), layouts::TD0_ANAG::AN_D0001006_COPNAS},
               {QStringLiteral("Comune di nascita"), layouts::TD0_ANAG::_6A_COMNAS},
               {QStringLiteral("Provincia di nascita"), layouts::TD0_ANAG::_6B_PRONAS},
               {QStringLiteral("Codice comune di residenza"), layouts::TD0_ANAG::AN_D0001007_COPRES},
               {QStringLiteral("Comune di residenza"), layouts::TD0_ANAG::_7A_COMRES},
               {QStringLiteral("Provincia di residenza"), layouts::TD0_ANAG::_7B_PRORES},
               {QStringLiteral("Indirizzo di residenza"), layouts::TD0_ANAG::AN_D0001008_INDRES},
               {QStringLiteral("CAP di residenza"), layouts::TD0_ANAG::N5_D0001009_CAPRES},
               {QStringLiteral("Variazione residenza"), layouts::TD0_ANAG::CB_D0001010_VARRES},
               {QStringLiteral("Telefono"), layouts::TD0_ANAG::AN_D0001011_TEL},
               {QStringLiteral("Fax"), layouts::TD0_ANAG::AN_D0001012_FAX},
               {QStringLiteral("E-mail"), layouts::TD0_ANAG::AN_D0001013_EMAIL},
               {QStringLiteral("Data decorrenza giuridica"), layouts::TD0_ANAG::DT_D0001014_DECGIU},
               {QStringLiteral("Codice regime fine servizio"), layouts::TD0_ANAG::NP_D0001015_FINESER}});
    Titolo(d0, QStringLiteral("DATI PREVIDENZA COMPLEMENTARE"));
    auto *silenzio = new platform::DBCheckBox(QStringLiteral("Silenzio assenso TFR nei fondi"), d0->parentWidget());
    silenzio->setObjectName(QStringLiteral("chSilenzioAssenso"));
    silenzio->ValueChecked = QStringLiteral("1");
    silenzio->ValueUnchecked = QStringLiteral("0");
    silenzio->SetDataSource(dsMain);
    silenzio->SetDataField(layouts::TD0_ANAG::CB_D0001016_SATFRFONDI);
    d0->addWidget(silenzio);
    Campi(d0,
          {{QStringLiteral("Data opzione TFR"), layouts::TD0_ANAG::DT_D0001017_OPZTFR},
           {QStringLiteral("Adesione a fondi"), layouts::TD0_ANAG::CB_D0001018_FONDI},
           {QStringLiteral("Tipo iscrizione a fondo complementare"), layouts::TD0_ANAG::CodTipoIscrFondoPrevCompl}});
    d0->addStretch(1);
    d.Ricerche({{layouts::TD0_ANAG::NP_D0001015_FINESER, QStringLiteral("TRFS_REGFINESER.cds")},
                {layouts::TD0_ANAG::CodTipoIscrFondoPrevCompl, QStringLiteral("TTIF_TIPOISCRIZIONEFONDO.cds")}});

    frE0 = new TfrQuvE0;
    frE1 = new TfrQuvE1;
    frV1 = new TfrQuvV1;
    tsE0 = PaginaFrame(pcDma, frE0, QStringLiteral("Quadro E0"), QStringLiteral("tsE0"));
    tsE1 = PaginaFrame(pcDma, frE1, QStringLiteral("Quadro E1"), QStringLiteral("tsE1"));
    tsV1 = PaginaFrame(pcDma, frV1, QStringLiteral("Quadro V1"), QStringLiteral("tsV1"));

    // On the tool bar and in the frame's menu alike.
    AddSeparator();
    acSblocca = AddAction(QStringLiteral("acSblocca"), QStringLiteral("&Sblocca"),
                          QStringLiteral("Sblocca il modello stampato o inviato"));
    connect(acSblocca, &QAction::triggered, this, [this] {
        try {
            acSbloccaExecute();
        } catch (const platform::EAbort &) {
        } catch (const std::exception &e) {
            UqShowException(e);
        }
    });
    grFrame->setItemDelegate(new TQuvRigheBloccate(grModel, grFrame));

    cdsMain.events().afterScroll = [this](DataSet &) { AggiornaFiltri(); };
    cdsMain.events().beforeEdit = [this](DataSet &) {
        if (m_blocco > 0)
            throw platform::EAbort();
    };
    cdsMain.events().afterCancel = [this](DataSet &ds) {
        if (ds.isEmpty())
            pcMain->setCurrentWidget(tsGrid);
    };
    // The detail page needs a person.
    connect(pcMain, &QTabWidget::currentChanged, this, [this](int indice) {
        if (pcMain->widget(indice) == tsDetail && cdsMain.isActive() && cdsMain.isEmpty() && !cdsMain.isEditing())
            pcMain->setCurrentWidget(tsGrid);
    });
    m_osservatore = cdsMain.addObserver([this](const platform::DataChange &change) {
        if (change.kind != platform::DataChange::Destroyed && cdsMain.state() != m_stato) {
            m_stato = cdsMain.state();
            StatoCambiato();
        }
    });
}

TfrQuvIscritto::~TfrQuvIscritto()
{
    cdsMain.removeObserver(m_osservatore);
    platform::DataSetEvents &events = cdsMain.events();
    events.afterScroll = events.beforeEdit = events.afterCancel = nullptr;
}

QList<DataSet *> TfrQuvIscritto::Sezioni() const
{
    return {&frE0->cdsMain, &frV1->cdsMain, &frE1->cdsMain, &frE0->frVersanti->cdsMain, &frV1->frVersanti->cdsMain};
}

void TfrQuvIscritto::Prepara()
{
    TZepTabellaDenuncia::ImpostaColonne(cdsMain, {{TZepDma::CampoCodiceFiscale, QStringLiteral("Codice fiscale")},
                                                  {TZepDma::CampoCognome, QStringLiteral("Cognome")},
                                                  {TZepDma::CampoNome, QStringLiteral("Nome")},
                                                  {layouts::TD0_ANAG::SD0AMESE, QStringLiteral("Mese")}});
    cdsMain.fieldByName(layouts::TD0_ANAG::SD0AMESE).setAlignment(Qt::AlignCenter);
    TZepDma::PreparaQuadro(cdsMain, QStringLiteral("D0"));
    Dettaglio->AdattaLarghezze();
    Dettaglio->ImpostaEtichette();
    cdsMain.setIndexFieldNames(TZepDma::IndiceIscritti);
    cdsMain.first();
    grModel->reload();
    grFrame->resizeColumnsToContents();
    AggiornaFiltri();
    dsMainDataChange();
}

void TfrQuvIscritto::AggiornaFiltri()
{
    const bool persona = cdsMain.isActive() && !cdsMain.isEmpty() && cdsMain.state() != DataSetState::Insert;
    const int id = persona ? cdsMain.fieldByName(TZepDma::CampoIscritto).asInteger() : 0;
    TZepDma::SetIscrittoCorrente(id, persona ? cdsMain.fieldByName(TZepDma::CampoCodiceFiscale).asString() : QString());
    // Without a person the sections show nothing (IAFIID=0 matches no row).
    for (TfrQuvBase *frame :
         {static_cast<TfrQuvBase *>(frE0), static_cast<TfrQuvBase *>(frE1), static_cast<TfrQuvBase *>(frV1)}) {
        DataSet &ds = frame->cdsMain;
        if (!ds.isActive() || ds.isEditing())
            continue;
        ds.setFiltered(false);
        ds.setFilter(TZepDma::FiltroIscritto(id));
        ds.setFiltered(true);
        ds.first();
    }
}

void TfrQuvIscritto::cdsMainNewRecord(DataSet &dataSet)
{
    TZepDma::NuovoIscritto(dataSet);
}

void TfrQuvIscritto::cdsMainBeforePost(DataSet &dataSet)
{
    TfrQuvBase::cdsMainBeforePost(dataSet);
    TZepDma::ControllaIscritto(dataSet);
}

void TfrQuvIscritto::cdsMainAfterPost(DataSet &dataSet)
{
    TfrQuvBase::cdsMainAfterPost(dataSet);
    AggiornaFiltri();
}

void TfrQuvIscritto::cdsMainBeforeDelete(DataSet &dataSet)
{
    if (UqMessageBox(TZepDma::DomandaCancellazione(dataSet), QString(), platform::Yes | platform::No,
                     platform::MessageType::Warning)
        != platform::Yes)
        throw platform::EAbort();
    m_cancellato = dataSet.fieldByName(TZepDma::CampoIscritto).asInteger();
}

void TfrQuvIscritto::cdsMainAfterDelete(DataSet &dataSet)
{
    TfrQuvBase::cdsMainAfterDelete(dataSet);
    // The person's sections and paying entities go with it.
    const QList<DataSet *> sezioni = Sezioni();
    const QList<int> cancellate = TZepDma::CancellaRigheIscritto(m_cancellato, sezioni);
    m_cancellato = 0;
    const QList<TZepTabellaDenuncia *> tabelle = {frE0->Tabella(), frV1->Tabella(), frE1->Tabella(),
                                                  frE0->frVersanti->Tabella(), frV1->frVersanti->Tabella()};
    for (int i = 0; i < sezioni.size(); ++i)
        if (cancellate.value(i) > 0 && tabelle[i])
            tabelle[i]->Salva(*sezioni[i]);
    AggiornaFiltri();
    if (dataSet.isEmpty())
        pcMain->setCurrentWidget(tsGrid);
}

void TfrQuvIscritto::dsMainDataChange()
{
    if (!cdsMain.isActive() || cdsMain.isEditing())
        return;
    m_blocco = TZepDma::Blocco(cdsMain);
    acSblocca->setEnabled(m_blocco > 0);
    SezioniInSolaLettura();
}

void TfrQuvIscritto::StatoCambiato()
{
    platform::DBEdit *cf = Dettaglio->Edit(TZepDma::CampoCodiceFiscale);
    AbilitaEdit(cf, cdsMain.state() == DataSetState::Insert);
    if (cdsMain.state() == DataSetState::Insert) {
        pcDma->setCurrentWidget(tsD0);
        m_blocco = 0;
        acSblocca->setEnabled(false);
    }
    SezioniInSolaLettura();
    dsMainStateChange();
}

void TfrQuvIscritto::SezioniInSolaLettura()
{
    const bool soloLettura = cdsMain.isEditing() || m_blocco > 0;
    for (DataSet *ds : {&frE0->cdsMain, &frE1->cdsMain, &frV1->cdsMain})
        if (!ds->isEditing())
            ds->setReadOnly(soloLettura);
}

void TfrQuvIscritto::acSbloccaExecute()
{
    if (m_blocco <= 0 || !cdsMain.isActive() || cdsMain.isEmpty())
        return;
    if (UqMessageBox(TZepDma::DomandaSblocco(m_blocco), QString(), platform::Yes | platform::No,
                     platform::MessageType::Information)
        != platform::Yes) {
        if (cdsMain.isEditing())
            cdsMain.cancel();
        return;
    }
    m_blocco = 0;
    struct Dettaglio {
        TfrQuvIscritto *frame;
        ~Dettaglio() { frame->SetAutoDetail(true); }
    } dettaglio{this};
    SetAutoDetail(false);
    cdsMain.edit();
    cdsMain.fieldByName(TZepDma::CampoStato).setAsInteger(0);
    acPostExecute();
}
