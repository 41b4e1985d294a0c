#include "ZepRDenunciaAzieldale.h"

#include "DBControls.h"
#include "Field.h"
#include "ZepULayoutNomi.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QVBoxLayout>

using platform::DataSet;

namespace {

// The post guard open for the lifetime of the object.
struct PostAmmesso {
    explicit PostAmmesso(TfrTovBase *frame) : frame(frame) { frame->SetPostAllowed(true); }
    ~PostAmmesso() { frame->SetPostAllowed(false); }
    TfrTovBase *frame;
};

class FiltroImporto : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        const QChar c = text.at(0);
        if (c.category() == QChar::Other_Control || c.isDigit() || c == QLatin1Char(',') || c == QLatin1Char('.'))
            return false;
        return true; // swallowed
    }
};

} // namespace

TfrZepDenunciaAziendale::TfrZepDenunciaAziendale(QWidget *parent)
    : TfrZepDatiDenuncia(parent), m_colonne(TZepDenunciaAziendale::Colonne())
{
    setObjectName(QStringLiteral("frZepDenunciaAziendale"));
    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);
    QGridLayout *g = TZepDettaglio::Riquadro(page, paDettaglio);
    d.Testo(g, 0, 0, QStringLiteral("Matricola"), layouts::TEMA_DENAZIENDALE::Matricola);
    d.Testo(g, 1, 0, QStringLiteral("Numero lavoratori"), layouts::TEMA_DENAZIENDALE::NumLavoratori);
    d.Testo(g, 2, 0, QStringLiteral("Forza aziendale"), layouts::TEMA_DENAZIENDALE::ForzaAziendale);
    chTrattQuotaLav = new platform::DBCheckBox(QStringLiteral("Trattenute contributive"), g->parentWidget());
    chTrattQuotaLav->setObjectName(QStringLiteral("chTrattQuotaLav"));
    chTrattQuotaLav->ValueChecked = QStringLiteral("S");
    chTrattQuotaLav->ValueUnchecked = QStringLiteral("N");
    chTrattQuotaLav->SetDataSource(dsMain);
    chTrattQuotaLav->SetDataField(layouts::TEMA_DENAZIENDALE::TrattQuotaLav);
    g->addWidget(chTrattQuotaLav, 3, 1);

    QGridLayout *gq = nullptr;
    gbQuadratura = TZepDettaglio::Gruppo(QStringLiteral(" Dati quadratura "), page, paDettaglio, gq);
    gbQuadratura->setObjectName(QStringLiteral("gbQuadratura"));
    d.Testo(gq, 0, 0, QStringLiteral("Numero denunce individuali"), layouts::TEMA_DENAZIENDALE::NumDenIndiv);
    d.Testo(gq, 1, 0, QStringLiteral("Totale delle contribuzioni"), layouts::TEMA_DENAZIENDALE::TotaleADebito);
    d.Testo(gq, 2, 0, QStringLiteral("Totale dei conguagli"), layouts::TEMA_DENAZIENDALE::TotaleACredito);

    QGridLayout *gr = nullptr;
    gbRecupero = TZepDettaglio::Gruppo(QStringLiteral(" Recupero bonus di cui all’articolo 13 (DL n. 66/2014)"), page,
                                       paDettaglio, gr);
    gbRecupero->setObjectName(QStringLiteral("gbRecupero"));
    edSommaACredito = d.Testo(gr, 0, 0, QStringLiteral("Somma a credito"), layouts::TEMA_DENAZIENDALE::SommaACredito);
    FiltraTastiImporto(edSommaACredito);
    page->addStretch(1);
}

void TfrZepDenunciaAziendale::Prepara()
{
    for (const QString &campo : {layouts::TEMA_DENAZIENDALE::TotaleADebito, layouts::TEMA_DENAZIENDALE::TotaleACredito})
        if (platform::Field *f = cdsMain.findField(campo)) {
            f->setDisplayFormat(QStringLiteral("#,##0"));
            f->setEditFormat(QStringLiteral("0"));
        }
    TfrZepDatiDenuncia::Prepara();
}

void TfrZepDenunciaAziendale::Ricalcola(DataSet &dipendenti, DataSet &fpls, DataSet &aziendale)
{
    // The grid and boxes catch up once at the end: row by row they would
    // flicker, and the inserts would turn the frame to its detail page.
    struct Controlli {
        DataSet &ds;
        ~Controlli() { ds.enableControls(); }
    } controlli{aziendale};
    aziendale.disableControls();
    PostAmmesso guard(this);
    TZepDenunciaAziendale::Ricalcola(dipendenti, fpls, aziendale);
}

void TfrZepDenunciaAziendale::Registra()
{
    PostAmmesso guard(this);
    cdsMain.post();
}

void TfrZepDenunciaAziendale::cdsMainBeforePost(DataSet &dataSet)
{
    TfrZepDatiDenuncia::cdsMainBeforePost(dataSet);
    TZepDenunciaAziendale::PrimaDelPost(dataSet);
}

void TfrZepDenunciaAziendale::cdsMainBeforeDelete(DataSet &dataSet)
{
    if (!PostAllowed())
        TfrZepDatiDenuncia::cdsMainBeforeDelete(dataSet);
}

void TfrZepDenunciaAziendale::FiltraTastiImporto(QWidget *box)
{
    box->installEventFilter(new FiltroImporto(box));
}
