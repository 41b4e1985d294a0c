#include "import/ui/WunFFiscImpMultiSelect.h"

#include "Exceptions.h"
#include "FormRegistry.h"
#include "Services.h"
#include "UqMessages.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QLineEdit>
#include <QTableView>

namespace {
// The rules an import window cannot do without.
std::unique_ptr<TwunAnaMultiSelect> richieste(std::unique_ptr<TwunFiscImpMultiSelect> logica)
{
    ZEP_ASSERT(logica != nullptr, QStringLiteral("TfmwunFiscImpMultiSelect: regole dell'importazione mancanti"));
    return logica;
}
} // namespace

TfmwunFiscImpMultiSelect::TfmwunFiscImpMultiSelect(QWidget *owner, std::unique_ptr<TwunFiscImpMultiSelect> logica)
    : TfmwunAnaMultiSelect(owner, richieste(std::move(logica))),
      m_import(static_cast<TwunFiscImpMultiSelect &>(TfmwunAnaMultiSelect::Logica()))
{
    m_import.SetNotifica(this);
    rgOrdine->hide();
    buOk->setDefault(false);
    buOk->setAutoDefault(false);
    SetModalResult(buOk, mrNone);
    connect(buOk, &QPushButton::clicked, this, [this] {
        try {
            // A run to its end closes the list: "Fine operazione" said the
            // operation is over, and a second OK would import everyone
            // again. A run the user stopped leaves it open for the rest.
            if (!buOkClick().interrotto)
                done(mrOk);
        } catch (const std::exception &e) {
            // What the loop does not catch (the declarant, the selection,
            // the end) ends the run and is shown as it stands.
            UqShowException(e);
        }
    });

    rgSovraScrivi = new QGroupBox(paClient);
    rgSovraScrivi->setObjectName(QStringLiteral("rgSovraScrivi"));
    auto *voci = new QHBoxLayout(rgSovraScrivi);
    bgSovraScrivi = new QButtonGroup(rgSovraScrivi);
    for (int i = 0; i < TwunFiscImpMultiSelect::VociSovrascrivi.size(); ++i) {
        auto *rb = new QRadioButton(TwunFiscImpMultiSelect::VociSovrascrivi.at(i), rgSovraScrivi);
        bgSovraScrivi->addButton(rb, i);
        voci->addWidget(rb);
    }
    bgSovraScrivi->button(TwunFiscImpMultiSelect::ChiediConferma)->setChecked(true);
    ClientLayout()->addWidget(rgSovraScrivi);

    buStop = new QPushButton(QStringLiteral("Interrompi"));
    buStop->setObjectName(QStringLiteral("buStop"));
    buStop->setEnabled(false);
    AddButton(buStop, true);
    connect(buStop, &QPushButton::clicked, this, [this] { m_stop = true; });
}

TfmwunFiscImpMultiSelect::~TfmwunFiscImpMultiSelect()
{
    m_import.SetNotifica(nullptr);
}

void TfmwunFiscImpMultiSelect::Execute(const QString &classe, platform::DataSet *parametri, TUqQueryCollection *sedi,
                                       const QString &testo)
{
    std::unique_ptr<QWidget> form(platform::FormRegistry::Create(classe));
    auto *dialogo = qobject_cast<TfmwunFiscImpMultiSelect *>(form.get());
    ZEP_ASSERT(dialogo, QStringLiteral("La classe %1 non è un'importazione per dipendente").arg(classe));
    TwunFiscImpMultiSelect &import = dialogo->Logica();
    import.Imposta(parametri, sedi, testo);
    if (!import.Prepara())
        return;
    dialogo->MostraElenco();
    dialogo->ShowModal();
}

TwunFiscImpMultiSelect::Esito TfmwunFiscImpMultiSelect::buOkClick()
{
    m_import.Sovrascrittura = TwunFiscImpMultiSelect::TSovrascrivi(bgSovraScrivi->checkedId());
    m_stop = false;
    m_inCorso = true;
    // While the loop runs only "Interrompi" answers: the list, its filters,
    // the replace choice and the dialog's closing wait for the end; the
    // progress stays readable.
    const QList<QWidget *> fermi{pnlFiltro, grFrame, edCerca, rgSovraScrivi, buOk, buCancel};
    for (QWidget *w : fermi)
        w->setEnabled(false);
    buStop->setEnabled(true);
    struct Fine {
        TfmwunFiscImpMultiSelect *f;
        QList<QWidget *> fermi;
        ~Fine()
        {
            f->m_inCorso = false;
            f->buStop->setEnabled(false);
            for (QWidget *w : fermi)
                w->setEnabled(true);
            f->laProgress->clear();
        }
    } fine{this, fermi};
    return m_import.Importa(SelectedRows());
}

void TfmwunFiscImpMultiSelect::Messaggio(const QString &testo, platform::MessageType tipo, const QString &titolo)
{
    // An error about a person carries the program's title.
    const QString caption = titolo.isEmpty() && tipo == platform::MessageType::Error
                                ? QGuiApplication::applicationDisplayName()
                                : titolo;
    UqMessageBox(testo, caption, platform::Ok, tipo);
}

bool TfmwunFiscImpMultiSelect::Domanda(const QString &testo)
{
    return UqMessageBox(testo, {}, platform::Yes | platform::No, platform::MessageType::Question) == platform::Yes;
}

void TfmwunFiscImpMultiSelect::Avanzamento(const QString &testo, int, int)
{
    laProgress->setText(testo);
    platform::Services::instance().processEvents();
}

bool TfmwunFiscImpMultiSelect::StopRichiesto()
{
    // The clicks on "Interrompi" arrive here, between two persons.
    grFrame->viewport()->update();
    platform::Services::instance().processEvents();
    return m_stop;
}

bool TfmwunFiscImpMultiSelect::CanClose(int result)
{
    return !m_inCorso && TfmwunAnaMultiSelect::CanClose(result);
}

void TfmwunFiscImpMultiSelect::showEvent(QShowEvent *event)
{
    TfmwunAnaMultiSelect::showEvent(event);
    if (grFrame->isEnabled())
        grFrame->setFocus();
}
