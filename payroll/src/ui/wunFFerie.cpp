#include "wunFFerie.h"

#include "UqMessages.h"
#include "wunMFondCalcola.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

TfmWunFerie::TfmWunFerie(QWidget *owner) : TfmUqDialog(owner)
{
    setObjectName(QStringLiteral("fmWunFerie"));
    setWindowTitle(TWunFerie::Titolo);
    auto *form = new QFormLayout;
    laSosp = new QLabel(paClient);
    laSosp->setObjectName(QStringLiteral("laSosp"));
    laMaturate = new QLabel(paClient);
    laFerieMat = new QLabel(paClient);
    laFerieMat->setObjectName(QStringLiteral("laFerieMat"));
    laFerieGodute = new QLabel(paClient);
    laFerieGodute->setObjectName(QStringLiteral("laFerieGodute"));
    edFerie = new QLineEdit(paClient);
    edFerie->setObjectName(QStringLiteral("edFerie"));
    edFerie->setAlignment(Qt::AlignRight);
    form->addRow(laSosp);
    form->addRow(laMaturate, laFerieMat);
    form->addRow(TWunFerie::EtichettaGodute, laFerieGodute);
    form->addRow(TWunFerie::EtichettaDaLiquidare, edFerie);
    ClientLayout()->addLayout(form);
    m_regole.emplace(platform::Currency(), platform::Currency());
}

void TfmWunFerie::Prepara(platform::Currency maturate, const QString &testo, const QDate &dataLimite,
                          platform::Currency godute)
{
    m_regole.emplace(maturate, godute, dataLimite);
    laMaturate->setText(m_regole->EtichettaMaturate());
    laFerieMat->setText(m_regole->TestoMaturate());
    laFerieGodute->setText(m_regole->TestoGodute());
    laSosp->setText(testo);
    edFerie->setText(m_regole->TestoIniziale());
    edFerie->setReadOnly(m_regole->SolaLettura());
}

int TfmWunFerie::Execute(platform::Currency &giorni, const QString &testo, const QDate &dataLimite,
                         platform::Currency godute)
{
    TfmWunFerie dialogo;
    dialogo.Prepara(giorni, testo, dataLimite, godute);
    const int esito = dialogo.ShowModal();
    if (esito == mrOk)
        giorni = dialogo.Giorni();
    return esito;
}

void TfmWunFerie::Installa()
{
    TdmWunFondCalcola::OnFerie = [](platform::Currency &giorni, const QString &testo, const QDate &dataLimite,
                                    platform::Currency godute) {
        return Execute(giorni, testo, dataLimite, godute) == mrOk;
    };
}

void TfmWunFerie::Disinstalla()
{
    TdmWunFondCalcola::OnFerie = nullptr;
}

bool TfmWunFerie::CanClose(int result)
{
    if (result != mrOk || m_regole->Accetta(edFerie->text()))
        return true;
    UqMessageBox(TWunFerie::MsgValoreErrato, QString(), platform::Ok, platform::MessageType::Error);
    edFerie->setText(m_regole->Testo());
    return false;
}
