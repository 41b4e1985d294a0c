#include "import/wunCWizard.h"

#include "WunUUtil.h"
#include "tovCQueryText.h"

#include "Database.h"
#include "Exceptions.h"
#include "Format.h"
#include "Field.h"
#include "UqMessages.h"

using platform::DataSet;
using platform::Value;

const QString TwunWizard::Titolo = QStringLiteral("Wizard");
const QStringList TwunWizard::VociTipoCompenso{QStringLiteral("Compensi fondamentali"),
                                               QStringLiteral("Compensi accessori"),
                                               QStringLiteral("Compensi ai collaboratori")};
const QString TwunWizard::DidascaliaCorrente = QStringLiteral("Liquidazione Corrente");
const QString TwunWizard::MsgGruppoNonImpostato = QStringLiteral("Gruppo non impostato.");
const QString TwunWizard::MsgErroreLettura = QStringLiteral("Errore nella lettura della liquidazione corrente:");

namespace {
const QString Fondamentale = QStringLiteral("ICOTFONDAMENTALE");
const QString CampoGruppo = QStringLiteral("IREGSGRUPPO");
} // namespace

TwunMeseCompenso::~TwunMeseCompenso() = default;

int TwunWizard::FondamentaleDaTipo(int tipo)
{
    switch (tipo) {
    case 0: return 1;
    case 1: return 3;
    default: return 2;
    }
}

int TwunWizard::TipoDaFondamentale(int fondamentale)
{
    switch (fondamentale) {
    case 1: return 0;
    case 3: return 1;
    default: return 2;
    }
}

TwunWizard::TwunWizard(platform::Database *connessione, TWunParametri *liquidazione)
    : qquAppoggio(connessione ? *connessione : platform::Database::requireGlobal()),
      m_liquidazione(liquidazione ? *liquidazione : WunParametri())
{
}

TwunWizard::~TwunWizard() = default;

void TwunWizard::Imposta(DataSet *parametri, TUqQueryCollection *collezione)
{
    m_parametri = parametri;
    m_collezione = collezione;
}

bool TwunWizard::InailLul() const
{
    const platform::Field *f = m_parametri ? m_parametri->findField(QStringLiteral("INAIL_LUL")) : nullptr;
    return f && !f->isNull() && f->asBoolean();
}

void TwunWizard::ScriviFondamentale()
{
    if (!m_parametri)
        return;
    platform::Field *f = m_parametri->findField(Fondamentale);
    if (!f)
        return;
    if (!m_parametri->isEditing())
        m_parametri->edit();
    f->setValue(FondamentaleDaTipo(TipoCompenso));
}

void TwunWizard::Inizia()
{
    Inizializza();
    m_captionBase = Caption;
    if (InailLul())
        TipoCompensoAbilitato = false;
    ScegliTipo(InailLul() ? 2 : TipoCompenso);
}

void TwunWizard::ScegliTipo(int tipo, bool daCompensoCorrente)
{
    TipoCompenso = tipo;
    ScriviFondamentale();
    if (!daCompensoCorrente)
        CompensoCorrente = false;
}

void TwunWizard::ScegliCompensoCorrente(bool spuntato)
{
    CompensoCorrente = spuntato;
    if (spuntato)
        ScegliTipo(TipoDaFondamentale(m_liquidazione.Fondamentale), true);
}

void TwunWizard::LeggiLiquidazioneCorrente()
{
    try {
        const QSet<int> tipi = InailLul() ? QSet<int>{2} : TipiCompensoAmmessi();
        TWunParametri &liquidazione = m_liquidazione;
        const QString caption = liquidazione.DescrizioneLiquidazione(qquAppoggio, m_controlloGruppo, tipi);
        if (caption.isEmpty())
            return;
        DidascaliaCompensoCorrente = caption;
        TestoMeseGruppo = platform::format(QStringLiteral("Mese di %s - Gruppo %d"),
                                           {Value(TestoMese(liquidazione.Mese())), Value(liquidazione.Gruppo())});
        LiquidazioneCorrenteVisibile = true;
    } catch (const std::exception &e) {
        const auto *nostro = dynamic_cast<const platform::Exception *>(&e);
        UqShowWarning(MsgErroreLettura + QStringLiteral("\r\n")
                      + (nostro ? nostro->message() : QString::fromUtf8(e.what())));
    }
}

int TwunWizard::GruppoMassimo()
{
    if (!m_frame)
        return 1;
    qquAppoggio.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_REGS_GRUPPO_MAX"), qquAppoggio);
    qquAppoggio.bind(QStringLiteral("ICOTID"), m_frame->CompensoId())
        .bind(QStringLiteral("IMESID"), m_frame->MeseId())
        .bind(QStringLiteral("IANFID"), wunAnnoFinanziario().Id());
    qquAppoggio.open();
    const int gruppo = qquAppoggio.eof() ? 0 : qquAppoggio.value(0).toInt();
    qquAppoggio.close();
    return gruppo == 0 ? 1 : gruppo;
}

void TwunWizard::MostraGruppo()
{
    ImpostaGruppo(GruppoMassimo());
}

QString TwunWizard::TestoMese(int meseId)
{
    return TWunUtil::DescrizioneMese(meseId, qquAppoggio);
}

QString TwunWizard::DidascaliaLiquidazione(const QString &testo)
{
    if (!m_frame || !m_frame->Compenso().isActive() || m_frame->Compenso().isEmpty())
        return testo;
    return testo + QStringLiteral(": ") + m_frame->Compenso().fieldByName(QStringLiteral("SCOTLDESC")).asString()
           + QStringLiteral(" di ") + TestoMese(m_frame->MeseId());
}

void TwunWizard::LasciaPagina(Pagina da)
{
    if (da != Pagina::MeseComp || !m_frame)
        return;
    // Built from the caption the wizard opened with, so that going back and
    // forth does not pile the liquidation up in the caption.
    if (CompensoCorrente)
        Caption = m_captionBase + QStringLiteral(": ") + DidascaliaCompensoCorrente + QStringLiteral(" di ")
                  + TestoMese(m_frame->MeseId());
    else
        Caption = DidascaliaLiquidazione(m_captionBase);
}

bool TwunWizard::PuoChiudere(bool ok)
{
    if (ok && m_controlloGruppo && Gruppo() == 0) {
        UqShowWarning(MsgGruppoNonImpostato);
        return false;
    }
    return true;
}

QString TwunWizard::Conferma()
{
    SalvaLiquidazioneCorrente();
    return Caption;
}

// ---------------------------------------------------------------- virtual operations

void TwunWizard::AttivaPagina(Pagina pagina)
{
    switch (pagina) {
    case Pagina::MeseComp:
        if (m_frame) {
            m_frame->ImpostaFondamentale(FondamentaleDaTipo(TipoCompenso));
            if (CompensoCorrente)
                m_frame->ImpostaLiquidazione(m_liquidazione.Id(), m_liquidazione.Mese());
        }
        break;
    case Pagina::TipoCompenso: LeggiLiquidazioneCorrente(); break;
    case Pagina::Gruppo:
        if (CompensoCorrente && m_controlloGruppo)
            ImpostaGruppo(m_liquidazione.Gruppo());
        break;
    }
}

int TwunWizard::Gruppo()
{
    return 1;
}

void TwunWizard::ImpostaGruppo(int) {}

void TwunWizard::SalvaLiquidazioneCorrente()
{
    if (!m_parametri)
        return;
    const bool editing = m_parametri->isEditing();
    if (!editing)
        m_parametri->edit();
    if (m_frame) {
        m_parametri->setFieldValue(QStringLiteral("IMESID"), m_frame->MeseId());
        m_parametri->setFieldValue(QStringLiteral("ICOTID"), m_frame->CompensoId());
    }
    platform::Field *gruppo = m_parametri->findField(CampoGruppo);
    if (gruppo)
        gruppo->setValue(this->Gruppo());
    if (m_frame && gruppo) {
        TWunParametri &liquidazione = m_liquidazione;
        liquidazione.SetMese(m_frame->MeseId());
        liquidazione.SetId(m_frame->CompensoId());
        liquidazione.SetGruppo(gruppo->asInteger());
    }
}

void TwunWizard::Inizializza() {}

QSet<int> TwunWizard::TipiCompensoAmmessi()
{
    return {1, 2, 3};
}
