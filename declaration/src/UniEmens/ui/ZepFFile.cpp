#include "ZepFFile.h"

#include "ZepCDenunciaAziendale.h"
#include "ZepRDenunciaAzieldale.h"
#include "ZepUMainState.h"

#include "DataSetModel.h"
#include "Field.h"
#include "FormRegistry.h"
#include "UqMessages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTabWidget>
#include <QVBoxLayout>

using platform::DataSet;

const QString TfmZepFile::Legenda = QStringLiteral(
    "D: Dipendenti (INPS) - C:  Collaboratori (INPS) - E: Ex DMA (INPDAP) - F: Fpls (ex ENPALS)");

TfmZepFile::TfmZepFile(QWidget *owner) : TfmZepFileBase(owner)
{
    resize(980, 600);
    ITovDBCds &store = IZepMainState::Require(owner).Store();

    // Page 0: for whom.
    // The persons' kinds named as the bottom line names them: the list
    // holds performing-arts workers ("F") too.
    rgScelta = CreaPaginaScelta(QStringLiteral("rgScelta"), Legenda);

    // Page 1: the company declaration, saved after every post and delete.
    m_tabellaAziendale = std::make_unique<TZepTabellaDenuncia>(store, TZepDenunciaAziendale::Tabella);
    tsDenAz = new QWidget;
    auto *l1 = new QVBoxLayout(tsDenAz);
    frZepDenunciaAziendale1 = new TfrZepDenunciaAziendale(tsDenAz);
    frZepDenunciaAziendale1->setObjectName(QStringLiteral("frZepDenunciaAziendale1"));
    frZepDenunciaAziendale1->SetTabella(m_tabellaAziendale.get());
    frZepDenunciaAziendale1->SetColonne(TZepDenunciaAziendale::ColonneFile());
    frZepDenunciaAziendale1->gbRecupero->setTitle(
        QStringLiteral(" Recupero bonus di cui all’articolo 13 (DL n. 66/2014) : su INPS"));
    l1->addWidget(frZepDenunciaAziendale1, 1);
    gbInpdap = new QGroupBox(QStringLiteral(" Recupero bonus di cui all’articolo 13 (DL n. 66/2014) : su INPDAP"),
                             tsDenAz);
    gbInpdap->setObjectName(QStringLiteral("gbInpdap"));
    edINpdap = new QLineEdit(gbInpdap);
    edINpdap->setObjectName(QStringLiteral("edINpdap"));
    TfrZepDenunciaAziendale::FiltraTastiImporto(edINpdap);
    (new QHBoxLayout(gbInpdap))->addWidget(edINpdap);
    gbInpdap->hide();
    l1->addWidget(gbInpdap);

    // Page 2: the file.
    CreaPaginaCrea();

    laLegenda = new QLabel(Legenda, paClient);
    laLegenda->setObjectName(QStringLiteral("laLegenda"));
    QFont bold = laLegenda->font();
    bold.setBold(true);
    laLegenda->setFont(bold);
    ClientLayout()->addWidget(laLegenda);

    m_file = std::make_unique<TZepFile>(store, frZepDenunciaAziendale1->cdsMain, this);
    connect(frZepDenunciaAziendale1->pcMain, &QTabWidget::currentChanged, this, [this] {
        if (Pronta() && ActivePage() == tsDenAz)
            MostraInpdap();
    });
    AddPage(tsDipColl, QStringLiteral("tsDipColl"));
    AddPage(tsDenAz, QStringLiteral("tsDenAz"));
    AddPage(tsCrea, QStringLiteral("tsCrea"));
    ImpostaPronta();
}

TfmZepFile::~TfmZepFile() = default;

void TfmZepFile::tsDipCollShow()
{
    m_file->CaricaTabelle();
    frZepDenunciaAziendale1->Prepara();
    MostraPrenota();
}

void TfmZepFile::tsDenAzShow()
{
    m_file->CaricaTabelle();
    frZepDenunciaAziendale1->Prepara();
    frZepDenunciaAziendale1->Ricalcola(m_file->cdsDip, m_file->cdsFplsExEnpals, frZepDenunciaAziendale1->cdsMain);
    frZepDenunciaAziendale1->grModel->reload();
    frZepDenunciaAziendale1->grFrame->resizeColumnsToContents();
}

void TfmZepFile::tsCreaShow()
{
    m_file->CaricaTabelle();
    frZepDenunciaAziendale1->Prepara();
    m_file->Prenotazione = rbPrenota->isChecked();
    m_file->EliminaNonSelezionati(Selezionati());
}

bool TfmZepFile::PageChanging(QWidget *from, QWidget *to)
{
    m_direzione = Path().indexOf(to->objectName()) > Path().indexOf(from->objectName()) ? 1 : -1;
    // A recovery amount being typed is kept before the page is left.
    if (from == tsDenAz && frZepDenunciaAziendale1->cdsMain.isEditing()) {
        try {
            frZepDenunciaAziendale1->Registra();
        } catch (const std::exception &e) {
            UqShowException(e);
            return false;
        }
    }
    return true;
}

void TfmZepFile::MostraPagina(QWidget *page)
{
    if (page == tsDipColl)
        tsDipCollShow();
    else if (page == tsDenAz)
        tsDenAzShow();
    else if (page == tsCrea)
        tsCreaShow();
}

void TfmZepFile::PageChanged(QWidget *page)
{
    TfmZepFileBase::PageChanged(page);
    if (!Pronta())
        return;
    // No company declaration: the page is passed over, on either way,
    // unless public-sector persons take part: their INPDAP box is on it.
    if (page == tsDenAz) {
        const DataSet &aziendale = frZepDenunciaAziendale1->cdsMain;
        if (aziendale.isActive() && aziendale.isEmpty() && !m_file->PubbliciPresenti(Selezionati())) {
            gbInpdap->hide();
            ChangePage(m_direzione < 0 ? -1 : +1);
        } else {
            MostraInpdap();
        }
    }
}

void TfmZepFile::MostraInpdap()
{
    TfrZepDenunciaAziendale *fr = frZepDenunciaAziendale1;
    const bool dettaglio = fr->pcMain->currentWidget() == fr->tsDetail || !fr->cdsMain.isActive()
                           || fr->cdsMain.isEmpty();
    gbInpdap->setVisible(ActivePage() == tsDenAz && dettaglio && m_file->PubbliciPresenti(Selezionati()));
}

void TfmZepFile::buCreaClick()
{
    m_file->ImportoInpdap = edINpdap->text();
    TfmZepFileBase::buCreaClick();
}

void TfmZepFile::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse, [](QWidget *owner) -> QWidget * { return new TfmZepFile(owner); });
}
