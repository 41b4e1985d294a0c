#include "WunFDaPagare66.h"

#include "UqMessages.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TfmWunDaPagare66 *fmWunDaPagare66 = nullptr;

TfmWunDaPagare66::TfmWunDaPagare66(QWidget *owner) : TfmUqDialog(owner)
{
    setObjectName(QStringLiteral("fmWunDaPagare66"));
    setWindowTitle(TWunDaPagare66::Titolo);
    laDipendente = new QLabel(paClient);
    laDipendente->setObjectName(QStringLiteral("laDipendente"));
    auto *etichetta = new QLabel(TWunDaPagare66::Etichetta, paClient);
    edLiq = new QLineEdit(paClient);
    edLiq->setObjectName(QStringLiteral("edLiq"));
    ClientLayout()->addWidget(laDipendente);
    ClientLayout()->addWidget(etichetta);
    ClientLayout()->addWidget(edLiq);
    fmWunDaPagare66 = this;
}

TfmWunDaPagare66::~TfmWunDaPagare66()
{
    if (fmWunDaPagare66 == this)
        fmWunDaPagare66 = nullptr;
}

void TfmWunDaPagare66::Prepara(const platform::DataSet &persona, int numero)
{
    m_regole = TWunDaPagare66(numero);
    laDipendente->setText(TWunDaPagare66::Dipendente(persona));
    edLiq->setText(m_regole.Testo());
}

int TfmWunDaPagare66::Execute(const platform::DataSet &persona, int &numero)
{
    std::unique_ptr<TfmWunDaPagare66> proprio;
    TfmWunDaPagare66 *dialogo = fmWunDaPagare66;
    if (!dialogo) {
        proprio = std::make_unique<TfmWunDaPagare66>();
        dialogo = proprio.get();
    }
    dialogo->Prepara(persona, numero);
    const int esito = dialogo->ShowModal();
    if (esito == mrOk)
        numero = dialogo->m_regole.Numero();
    return esito;
}

void TfmWunDaPagare66::Installa()
{
    TWunDaPagare66::OnConferma = [](const platform::DataSet &persona, int &numero) { Execute(persona, numero); };
}

void TfmWunDaPagare66::Disinstalla()
{
    TWunDaPagare66::OnConferma = nullptr;
}

bool TfmWunDaPagare66::CanClose(int result)
{
    if (result != mrOk || m_regole.Accetta(edLiq->text()))
        return true;
    UqMessageBox(TWunDaPagare66::MsgValoreErrato, QString(), platform::Ok, platform::MessageType::Error);
    edLiq->setText(m_regole.Testo());
    return false;
}
