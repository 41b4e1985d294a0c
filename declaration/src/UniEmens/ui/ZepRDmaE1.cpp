#include "ZepRDmaE1.h"

#include "ZepCDma.h"
#include "ZepFDmaInfo.h"
#include "ZepUDmaUtil.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "UqMessages.h"
#include "ZepULayoutNomi.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

using platform::DataSet;

namespace {

platform::DBCheckBox *Casella(TfrQuvE1 *frame, QVBoxLayout *colonna, const QString &caption, const QString &campo)
{
    auto *check = new platform::DBCheckBox(caption, colonna->parentWidget());
    check->setObjectName(QStringLiteral("ch") + campo);
    check->ValueChecked = QStringLiteral("1");
    check->ValueUnchecked = QStringLiteral("0");
    check->SetDataSource(frame->dsMain);
    check->SetDataField(campo);
    colonna->addWidget(check);
    return check;
}

} // namespace

TfrQuvE1::TfrQuvE1(QWidget *parent) : TfrQuvBase(parent)
{
    setObjectName(QStringLiteral("frQuvE1"));
    auto *page = new QVBoxLayout(paDettaglio);
    auto *riga = new QHBoxLayout;
    auto *titolo = TZepDettaglio::Etichetta(
        QStringLiteral("Quadro E1 - Dati relativi alle contribuzioni ai fondi pensione complementare"), paDettaglio);
    QFont font = titolo->font();
    font.setBold(true);
    titolo->setFont(font);
    riga->addWidget(titolo);
    riga->addStretch(1);
    riga->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Rigo"), paDettaglio));
    edRigo = new QLineEdit(paDettaglio);
    edRigo->setObjectName(QStringLiteral("edRigo"));
    edRigo->setReadOnly(true);
    edRigo->setMaximumWidth(90);
    riga->addWidget(edRigo);
    page->addLayout(riga);

    Campi(page, {{QStringLiteral("Fondo pensione"), layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO},
                 {QStringLiteral("Comparto di investimento"), layouts::TE1_FONDIPENSIONE::AN_E1XXX002_COD_COMPARTO},
                 {QStringLiteral("Data sottoscrizione domanda"), layouts::TE1_FONDIPENSIONE::DT_E1XXX003_DSOTTOSCR},
                 {QStringLiteral("Data inizio periodo"), layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO},
                 {QStringLiteral("Data fine periodo"), layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE}});
    Campi(page,
          {{QStringLiteral("A carico del lavoratore"), layouts::TE1_FONDIPENSIONE::PC_E1XXX006_PERC_LAVORATORE},
           {QStringLiteral("A carico del datore di lavoro"),
            layouts::TE1_FONDIPENSIONE::PC_E1XXX007_PERC_CARICO_DATORE},
           {QStringLiteral("Quota TFR"), layouts::TE1_FONDIPENSIONE::PC_E1XXX008_PERC_TFR}},
          QStringLiteral("ALIQUOTA CONTRIBUTIVA"), 3);
    Campi(page,
          {{QStringLiteral("Data della sospensione o della cessazione della contribuzione"),
            layouts::TE1_FONDIPENSIONE::DT_E1XXX009_DFINE_CONTRIBUZIONI},
           {QStringLiteral("Motivo di sospensione"), layouts::TE1_FONDIPENSIONE::NP_E1XXX010_MOTIVO_SOSPENSIONE},
           {QStringLiteral("Tipo di cessazione"), layouts::TE1_FONDIPENSIONE::NP_E1XXX011_TIPO_CESSAZIONE},
           {QStringLiteral("Totale retribuzione soggetta a contributo"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX012_TOT_RETRIBUZIONE}},
          {}, 1);
    chConguaglio = Casella(this, page, QStringLiteral("Conguaglio fiscale"),
                           layouts::TE1_FONDIPENSIONE::CB_E1XXX013_CONGUAGLIO_FISCALE);
    Campi(page,
          {{QStringLiteral("Contributo a carico del lavoratore"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX014_CONT_LAVORATORE},
           {QStringLiteral("Contributo calcolato e/o versato a carico del datore di lavoro"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX015_CONT_DATORE},
           {QStringLiteral("Contributo aggiuntivo/alternativo a carico del lavoratore"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX016_CONT_AGG_LAVORATORE},
           {QStringLiteral("Quota versata a carico dell’iscritto per reintegrazione di anticipazione"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX017_QUOTA_REINT},
           {QStringLiteral("Quota versata a carico dell'iscritto per iscrizione al F.P.C., una tantum"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX018_QUOTA_FPC_ISCRITTO},
           {QStringLiteral("Quota versata a carico del datore di lavoro per iscrizione al F.P.C., una tantum"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX019_QUOTA_FPC_DATORE},
           {QStringLiteral("Quota retribuzione decontribuita (Legge 135/97)"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX020_QUOTA_RET_DEC},
           {QStringLiteral("Versamenti TFR destinati a Previdenza Complementare"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX021_VERSAMENTI_TFR}},
          {}, 1);
    Campi(page,
          {{QStringLiteral("Data inizio periodo"), layouts::TE1_FONDIPENSIONE::DT_E1XXX022_DINIZIO_CONT_OMESSI},
           {QStringLiteral("Data fine periodo"), layouts::TE1_FONDIPENSIONE::DT_E1XXX023_DFINE_CONT_OMESSI},
           {QStringLiteral("Contributo a carico del datore di lavoro per mancato versamento"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX024_CONT_MV_DATORE},
           {QStringLiteral("Contributo a carico del lavoratore per mancato versamento"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX025_CONT_MV_LAVORATORE},
           {QStringLiteral("Importo a carico del datore di lavoro per la rifusione del danno subito dal lavoratore"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX026_IMP_DSLAVORATORE},
           {QStringLiteral("Quota sanzionatoria a carico del datore di lavoro"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX027_QUOTA_SANZ_DATORE},
           {QStringLiteral("Contribuzione indebitamente versata al F.P.C. a carico del datore di lavoro"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX028_CONT_IV_DATORE},
           {QStringLiteral("Contribuzione indebitamente versata al F.P.C. a carico del lavoratore"),
            layouts::TE1_FONDIPENSIONE::VP_E1XXX029_CONT_IV_LAVORATORE}},
          QStringLiteral("Dati relativi ai contributi omessi o indebitamente versati"), 1);
    chVersNonDich = Casella(this, page, QStringLiteral("Contributi versati e non dichiarati"),
                            layouts::TE1_FONDIPENSIONE::ContribVersNonDich);
    page->addStretch(1);
    Dettaglio->Ricerche(
        {{layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO, QStringLiteral("TTFP_TIPOFONDOPENSIONE.cds")},
         {layouts::TE1_FONDIPENSIONE::AN_E1XXX002_COD_COMPARTO, QStringLiteral("TFCM_COMPARTOFONDI.cds")},
         {layouts::TE1_FONDIPENSIONE::NP_E1XXX010_MOTIVO_SOSPENSIONE, QStringLiteral("TCTS_TIPOSOSPENSIONE.cds")},
         {layouts::TE1_FONDIPENSIONE::NP_E1XXX011_TIPO_CESSAZIONE, QStringLiteral("TCTC_TIPOCESSAZIONE.cds")}});
}

void TfrQuvE1::Prepara()
{
    TZepDma::PreparaQuadro(cdsMain, TDmaUtil::QuadroE1);
    TZepTabellaDenuncia::ImpostaColonne(
        cdsMain, {{layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO, QStringLiteral("Fondo pensione")},
                  {layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO, QStringLiteral("Data inizio periodo")},
                  {layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE, QStringLiteral("Data fine periodo")}});
    for (const auto &field : cdsMain.fields())
        if (field->dataType() == platform::FieldType::BCD)
            field->setOnGetText(&TfrTovBase::NumericFieldGetText);
    Dettaglio->AdattaLarghezze();
    Dettaglio->ImpostaEtichette();
    grModel->reload();
    // Each column as wide as its title and values.
    grFrame->resizeColumnsToContents();
    dsMainDataChange();
}

void TfrQuvE1::cdsMainNewRecord(DataSet &dataSet)
{
    TZepDma::NuovoE1(dataSet);
}

void TfrQuvE1::cdsMainBeforePost(DataSet &dataSet)
{
    TfrQuvBase::cdsMainBeforePost(dataSet);
    if (!TfmZepDmaInfo::Corrente().ControllaEChiedi({&dataSet}))
        throw platform::EAbort();
    TZepDma::ControllaQuadro(dataSet, TDmaUtil::QuadroE1, 0);
}

void TfrQuvE1::cdsMainBeforeDelete(DataSet &)
{
    if (UqMessageBox(platform::format(TZepDma::MsgCancellaQuadro, TDmaUtil::QuadroE1), QString(),
                     platform::Yes | platform::No, platform::MessageType::Warning)
        != platform::Yes)
        throw platform::EAbort();
}

void TfrQuvE1::dsMainDataChange()
{
    edRigo->setText(cdsMain.isActive() ? RecordPositionText(cdsMain) : QString());
}
