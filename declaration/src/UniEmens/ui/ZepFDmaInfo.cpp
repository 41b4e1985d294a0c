#include "ZepFDmaInfo.h"

#include "ZepCDmaInfo.h"

#include "UqMessages.h"

#include <memory>

namespace {
TfmZepDmaInfo *g_corrente = nullptr;
std::unique_ptr<TfmZepDmaInfo> g_proprio; // made on first use without start-up
} // namespace

TfmZepDmaInfo::TfmZepDmaInfo(QWidget *parent) : TfmTovInfo(parent)
{
    setObjectName(QStringLiteral("fmZepDmaInfo"));
    Init();
    if (!g_corrente)
        g_corrente = this;
}

TfmZepDmaInfo::~TfmZepDmaInfo()
{
    if (g_corrente == this)
        g_corrente = nullptr;
}

TfmZepDmaInfo &TfmZepDmaInfo::Corrente()
{
    if (!g_corrente) {
        g_proprio = std::make_unique<TfmZepDmaInfo>();
        g_corrente = g_proprio.get();
    }
    return *g_corrente;
}

void TfmZepDmaInfo::LoadFieldLabels()
{
    SetFieldLabels(TZepDmaInfo::Etichette());
}

QString TfmZepDmaInfo::CheckField(const QString &fieldName, platform::DataSet &dataSet)
{
    const QString base = TfmTovInfo::CheckField(fieldName, dataSet);
    return base.isEmpty() ? TZepDmaInfo::ControllaCampo(fieldName, dataSet) : base;
}

bool TfmZepDmaInfo::ControllaQuadri(const QList<platform::DataSet *> &sets)
{
    bool ok = true;
    for (platform::DataSet *ds : sets) {
        SetFieldLabels(TZepDmaInfo::EtichettePer(*ds));
        ok = CheckDataSets({ds}) && ok;
    }
    SetFieldLabels(TZepDmaInfo::Etichette());
    return ok;
}

bool TfmZepDmaInfo::ControllaEChiedi(const QList<platform::DataSet *> &sets)
{
    Clear();
    if (ControllaQuadri(sets))
        return true;
    // Only "Si" goes on.
    return ShowInfo(true) == mrYes;
}

void TfmZepDmaInfo::MostraFineOperazione()
{
    if (Messages().isEmpty())
        UqShowInfo(QStringLiteral("Fine operazione"));
    else
        ShowInfo(false);
}
