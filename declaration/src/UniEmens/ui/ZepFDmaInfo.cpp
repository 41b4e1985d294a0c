#include "ZepFDmaInfo.h"

#include "ZepCDmaInfo.h"

#include "UqMessages.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
TfmZepDmaInfo *g_corrente = nullptr;
// Made on first use without start-up: a window with no owner, freed when
// the program's message loop ends while the application still stands, and
// never after it (a dialog freed once the application is gone crashes).
QPointer<TfmZepDmaInfo> g_proprio;
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
        g_proprio = new TfmZepDmaInfo;
        if (auto *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, g_proprio.data(), [] { delete g_proprio.data(); });
        g_corrente = g_proprio.data();
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
