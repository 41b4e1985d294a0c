#include "ZepRDmaEv.h"

#include "ZepCDma.h"
#include "ZepCFormeCampi.h"
#include "ZepFAnnoMese.h"
#include "ZepUUtil.h"

#include "DBControls.h"
#include "Exceptions.h"
#include "Field.h"
#include "UqMessages.h"
#include "ZepULayoutNomi.h"

#include <QGridLayout>
#include <QVBoxLayout>

using platform::DataSet;

TfrZepEv::TfrZepEv(bool v1, QWidget *parent) : TfrZepDatiDenuncia(parent), m_v1(v1)
{
    setObjectName(v1 ? QStringLiteral("frZepEvV1") : QStringLiteral("frZepEvE0"));
    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);
    QGridLayout *g = TZepDettaglio::Riquadro(page, paDettaglio);
    d.Testo(g, 0, 0, QStringLiteral("Tipo contribuzione"), layouts::TEV_ENTEVERSANTEE0::TipoContributo);
    d.Testo(g, 1, 0, QStringLiteral("Cod. Fisc. Amm. Versante"), layouts::TEV_ENTEVERSANTEE0::CFAzienda);
    d.Testo(g, 1, 2, QStringLiteral("Cod. INPDAP Amm."), layouts::TEV_ENTEVERSANTEE0::PRGAZIENDA);
    d.Testo(g, 2, 0, QStringLiteral("Imponibile"), layouts::TEV_ENTEVERSANTEE0::Imponibile);
    d.Testo(g, 2, 2, QStringLiteral("Contributo"), layouts::TEV_ENTEVERSANTEE0::Contributo);
    QList<TZepRicerca> ricerche = {
        {layouts::TEV_ENTEVERSANTEE0::TipoContributo, QStringLiteral("TTCO_TIPOCONTRIB.cds")}};
    if (v1) {
        platform::DBEdit *mese = d.Testo(g, 3, 0, QStringLiteral("Mese Anno Erog."),
                                         layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione);
        mese->SetButtonVisible(true);
        connect(mese, &platform::DBEdit::ButtonClick, this, [this] {
            try {
                ScegliAnnoMese();
            } catch (const platform::EAbort &) {
            } catch (const std::exception &e) {
                UqShowException(e);
            }
        });
        d.Testo(g, 3, 2, QStringLiteral("Aliquota"), layouts::TEV_ENTEVERSANTEV1::Aliquota);
        ricerche << TZepRicerca{layouts::TEV_ENTEVERSANTEV1::Aliquota, QStringLiteral("TCAS_CASSACOMPET.cds")};
    }
    page->addStretch(1);
    d.Ricerche(ricerche);
    // A row needs its section row: refused before it is begun.
    cdsMain.events().beforeInsert = [this](DataSet &) { TZepDma::ControllaNuovoVersante(m_ordine); };
}

TfrZepEv::~TfrZepEv()
{
    cdsMain.events().beforeInsert = nullptr;
}

QList<TZepColonna> TfrZepEv::Colonne() const
{
    QList<TZepColonna> colonne = {{layouts::TEV_ENTEVERSANTEE0::TipoContributo, QStringLiteral("Tipo contribuzione")},
                                  {layouts::TEV_ENTEVERSANTEE0::CFAzienda, QStringLiteral("Cod. Fisc. Amm. Versante")},
                                  {layouts::TEV_ENTEVERSANTEE0::PRGAZIENDA, QStringLiteral("Cod. INPDAP Amm.")},
                                  {layouts::TEV_ENTEVERSANTEE0::Imponibile, QStringLiteral("Imponibile")},
                                  {layouts::TEV_ENTEVERSANTEE0::Contributo, QStringLiteral("Contributo")}};
    if (m_v1)
        colonne << TZepColonna{layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione, QStringLiteral("Mese Anno Erog.")}
                << TZepColonna{layouts::TEV_ENTEVERSANTEV1::Aliquota, QStringLiteral("Aliquota")};
    return colonne;
}

void TfrZepEv::Filtra()
{
    if (!cdsMain.isActive())
        return;
    cdsMain.setFiltered(false);
    cdsMain.setFilter(TZepDma::FiltroVersanti(TZepDma::IscrittoCorrente(), m_ordine));
    cdsMain.setFiltered(true);
}

void TfrZepEv::cdsMainBeforePost(DataSet &dataSet)
{
    // The paying entity's own checks come before the fixed forms, so that a
    // payment month it refuses is told with its own message.
    TfrTovBase::cdsMainBeforePost(dataSet);
    TZepDma::ControllaVersante(dataSet, m_v1, m_ordine);
    TZepFormeCampi::Controlla(dataSet);
}

void TfrZepEv::cdsMainBeforeDelete(DataSet &)
{
    if (UqMessageBox(TZepDma::MsgCancellaVersante, QString(), platform::Yes | platform::No,
                     platform::MessageType::Warning)
        != platform::Yes)
        throw platform::EAbort();
}

void TfrZepEv::ScegliAnnoMese()
{
    platform::Field &campo = cdsMain.fieldByName(layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione);
    QString periodo = campo.asString();
    if (!PeriodoValido(periodo))
        periodo = TZepDma::AnnoMeseErogazionePredefinito(InizioQuadro ? InizioQuadro() : QDate());
    if (!TfmZepAnnoMese::Execute(periodo))
        return;
    if (cdsMain.state() == platform::DataSetState::Browse && !cdsMain.isReadOnly() && !cdsMain.isEmpty())
        cdsMain.edit();
    if (cdsMain.isEditing())
        campo.setAsString(periodo);
}
