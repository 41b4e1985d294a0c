#include "wunRPacoDm10.h"

#include "DataSet.h"
#include "tovUUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

// The two edits show the fields of the current row and write what the user
// types into them (the row put in edit first).
class TfrWunPacoDm10::Legame {
public:
    Legame(platform::DataSet &dati, QList<std::pair<QLineEdit *, QString>> campi) : m_dati(&dati), m_campi(campi)
    {
        for (const auto &[edit, campo] : m_campi)
            QObject::connect(edit, &QLineEdit::textEdited, edit,
                             [this, campo = campo](const QString &testo) { Scrivi(campo, testo); });
        m_osservatore = dati.addObserver([this](const platform::DataChange &cambio) {
            if (cambio.kind == platform::DataChange::Destroyed)
                m_dati = nullptr;
            else
                Mostra();
        });
        Mostra();
    }
    ~Legame()
    {
        if (m_dati)
            m_dati->removeObserver(m_osservatore);
    }

private:
    void Mostra()
    {
        for (const auto &[edit, campo] : m_campi) {
            const platform::Field *f = m_dati->isActive() && !m_dati->isEmpty() ? m_dati->findField(campo) : nullptr;
            const QString testo = f ? f->asString() : QString();
            if (edit->text() != testo)
                edit->setText(testo);
            edit->setEnabled(f != nullptr);
        }
    }
    void Scrivi(const QString &campo, const QString &testo)
    {
        if (!m_dati || !m_dati->canModify())
            return;
        TTovUtil::EditDataSet(m_dati);
        m_dati->fieldByName(campo).setAsString(testo);
    }

    platform::DataSet *m_dati;
    QList<std::pair<QLineEdit *, QString>> m_campi;
    int m_osservatore = 0;
};

TfrWunPacoDm10::TfrWunPacoDm10(QWidget *parent) : TfrWunPacoBase(parent)
{
    setObjectName(QStringLiteral("frWunPacoDm10"));
    auto *griglia = new QGridLayout;
    xdeMatAzienda = new QLineEdit(paClient);
    xdeMatAzienda->setObjectName(QStringLiteral("xdeMatAzienda"));
    xdeMatAzienda->setMaxLength(10);
    xdeMatAziendaAcc = new QLineEdit(paClient);
    xdeMatAziendaAcc->setObjectName(QStringLiteral("xdeMatAziendaAcc"));
    xdeMatAziendaAcc->setMaxLength(10);
    griglia->addWidget(new QLabel(QStringLiteral("Matricola azienda"), paClient), 0, 0);
    griglia->addWidget(xdeMatAzienda, 0, 1);
    griglia->addWidget(new QLabel(QStringLiteral("Matricola compensi acc."), paClient), 1, 0);
    griglia->addWidget(xdeMatAziendaAcc, 1, 1);
    griglia->addWidget(new QLabel(QStringLiteral("(se diversa)"), paClient), 1, 2);
    ClientLayout()->addLayout(griglia);
    m_legame = std::make_unique<Legame>(
        xqcMain, QList<std::pair<QLineEdit *, QString>>{{xdeMatAzienda, QStringLiteral("SPACOMATRAZIENDA")},
                                                        {xdeMatAziendaAcc, QStringLiteral("SPACOMATRAZACC")}});
}

TfrWunPacoDm10::~TfrWunPacoDm10() = default;
