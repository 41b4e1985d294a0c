#include "WunCDBES.h"

#include "Exceptions.h"
#include "SearchStatement.h"
#include "SqlQuery.h"
#include "UqMessages.h"
#include "UqTransaction.h"
#include "tovUUtil.h"

#include <QHash>

using platform::DataSet;
using platform::DeltaRecord;
using platform::Field;
using platform::UpdateKind;
using platform::Value;

const QString TWunDBES::MsgDatiCorrelati = QStringLiteral(
    "Impossibile eseguire la cancellazione in quanto esistono dati correlati:");

namespace {

bool carattereNome(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The word at `i` (whole, any case); the position after it, or -1.
int parola(const QString &testo, int i, QLatin1String parola)
{
    if (i > 0 && carattereNome(testo.at(i - 1)))
        return -1;
    if (QStringView(testo).mid(i, parola.size()).compare(parola, Qt::CaseInsensitive) != 0)
        return -1;
    const int fine = i + int(parola.size());
    return fine < testo.size() && carattereNome(testo.at(fine)) ? -1 : fine;
}

int saltaSpazi(const QString &testo, int i)
{
    while (i < testo.size() && testo.at(i).isSpace())
        ++i;
    return i;
}

// Where the statement's own ORDER BY begins: outside quoted texts and
// comments, at no depth of parentheses (a subquery's or a function's order
// is not the statement's); the last when a statement has several (the order
// of a union). -1 when it has none.
int ordineDellaIstruzione(const QString &testo)
{
    int profondita = 0;
    int trovato = -1;
    for (int i = 0; i < testo.size();) {
        const int saltato = platform::SqlStatement::skipQuotedOrComment(testo, i);
        if (saltato >= 0) {
            i = saltato;
            continue;
        }
        const QChar c = testo.at(i);
        if (c == QLatin1Char('('))
            ++profondita;
        else if (c == QLatin1Char(')'))
            --profondita;
        else if (profondita == 0) {
            const int dopoOrder = parola(testo, i, QLatin1String("ORDER"));
            if (dopoOrder > i) {
                const int by = saltaSpazi(testo, dopoOrder);
                if (by > dopoOrder && parola(testo, by, QLatin1String("BY")) > by)
                    trovato = i;
            }
        }
        ++i;
    }
    return trovato;
}

// Where "WHERE ##WHERE##" begins (blanks of any kind between the two), -1
// when the text has none.
int condizioneDiRicerca(const QString &testo)
{
    for (int segno = testo.indexOf(platform::SearchWherePlaceholder); segno >= 0;
         segno = testo.indexOf(platform::SearchWherePlaceholder, segno + 1)) {
        int i = segno;
        while (i > 0 && testo.at(i - 1).isSpace())
            --i;
        if (i == segno || i < 5)
            continue;
        if (parola(testo, i - 5, QLatin1String("WHERE")) == i)
            return i - 5;
    }
    return -1;
}

} // namespace

TWunDBES::TWunDBES(platform::Database *database)
    : xqcMain(database, QStringLiteral("xqcMain")), dsMain(nullptr, &xqcMain)
{
    xqcMain.PacketRecords = 25;
    platform::DataSetEvents &e = xqcMain.events();
    e.afterOpen = [this](DataSet &ds) { xqcMainAfterOpen(ds); };
    e.beforeInsert = [this](DataSet &ds) { xqcMainBeforeInsert(ds); };
    e.onNewRecord = [this](DataSet &ds) { xqcMainNewRecord(ds); };
    e.beforePost = [this](DataSet &ds) { xqcMainBeforePost(ds); };
    e.afterPost = [this](DataSet &ds) { xqcMainAfterPost(ds); };
    e.beforeDelete = [this](DataSet &ds) { xqcMainBeforeDelete(ds); };
    e.afterDelete = [this](DataSet &ds) { xqcMainAfterDelete(ds); };
    e.afterCancel = [this](DataSet &ds) { xqcMainAfterCancel(ds); };
    e.beforeScroll = [this](DataSet &ds) { xqcMainBeforeScroll(ds); };
    xqcMain.OnReconcileError = [this](const DeltaRecord &riga, UpdateKind tipo, const QString &messaggio) {
        xqcMainReconcileError(riga, tipo, messaggio);
    };
}

TWunDBES::~TWunDBES()
{
    // The collection goes after this object's members: no event may reach
    // a half-destroyed object.
    xqcMain.events() = platform::DataSetEvents();
    xqcMain.OnReconcileError = nullptr;
    xqcMain.BeforeUpdateRecord = nullptr;
}

bool TWunDBES::CampoDaDuplicare(const Field &campo) const
{
    return campo.isVisible() && campo.providerFlags().testFlag(platform::ProviderFlag::InUpdate);
}

void TWunDBES::Duplica()
{
    xqcMain.checkBrowseMode();
    if (!xqcMain.isActive() || xqcMain.isEmpty())
        return;
    QHash<int, Value> copia;
    for (const auto &campo : xqcMain.fields())
        if (CampoDaDuplicare(*campo))
            copia.insert(campo->index(), campo->value());
    if (DuplicaComeNuovo()) {
        xqcMain.insert();
    } else {
        if (xqcMain.recNo() >= xqcMain.recordCount())
            return;
        xqcMain.next();
        xqcMain.edit();
    }
    for (auto it = copia.cbegin(); it != copia.cend(); ++it)
        xqcMain.field(it.key())->setValue(it.value());
}

void TWunDBES::ApriPerParametro(const QString &nome, int valore, bool forza)
{
    TTovDataSet::RefreshByParam(xqcMain, nome, forza, valore);
}

void TWunDBES::ChiudiDati()
{
    xqcMain.close();
}

QString TWunDBES::TestoCerca(const QString &testo)
{
    QString risultato = testo;
    const int ordine = ordineDellaIstruzione(risultato);
    if (ordine >= 0)
        risultato.truncate(ordine);
    const int condizione = condizioneDiRicerca(risultato);
    if (condizione >= 0)
        risultato.truncate(condizione);
    return risultato + QStringLiteral(" ORDER BY ") + platform::SearchOrderPlaceholder;
}

int TWunDBES::NuovoId(const QString &tabella) const
{
    return int(GenerateID(tabella, &xqcMain.Connection()));
}

void TWunDBES::AssegnaIdInserimento(UpdateKind tipo, DeltaRecord &riga) const
{
    if (tipo != UpdateKind::Insert || xqcMain.fieldCount() == 0)
        return;
    riga.setNewValue(xqcMain.field(0)->fieldName(), Value(qint64(xqcMain.NewId())));
}

Field *TWunDBES::ImpostaFlagAggiornamento(DataSet &dataSet, platform::ProviderFlags flags)
{
    for (const auto &campo : dataSet.fields()) {
        campo->setProviderFlags(flags);
        campo->setRequired(false);
    }
    if (dataSet.fieldCount() == 0)
        return nullptr;
    Field *primo = dataSet.field(0);
    primo->setProviderFlags(primo->providerFlags() | platform::ProviderFlag::InUpdate
                            | platform::ProviderFlag::InWhere);
    return primo;
}

QString TWunDBES::TestoNumero(const Field &campo, bool)
{
    return TTovDataSet::NumericText(campo, true);
}

QString TWunDBES::TestoVuoto(const Field &, bool)
{
    return {};
}

void TWunDBES::Salva()
{
    m_errore.clear();
    if (xqcMain.ApplyUpdates() == 0 || m_errore.isEmpty())
        return;
    const QString messaggio = m_errore;
    if (m_tipoErrore == UpdateKind::Delete) {
        // The row is back, current again; nothing is left to correct, so
        // nothing is kept.
        m_errore.clear();
        xqcMain.cancelUpdates();
        if (xqcMain.bookmarkValid(m_rigaErrore))
            xqcMain.gotoBookmark(m_rigaErrore);
        throw EUqError(MessaggioDatiCorrelati() + QStringLiteral("\r\n\r\n") + messaggio);
    }
    if (xqcMain.bookmarkValid(m_rigaErrore)) {
        // Back to the refused row, in edit with the values it was refused
        // with, for the user to correct or cancel.
        Sospensione sospensione(*this);
        xqcMain.gotoBookmark(m_rigaErrore);
        xqcMain.edit();
    }
    throw EUqError(messaggio);
}

void TWunDBES::xqcMainAfterPost(DataSet &)
{
    if (!SalvataggioSospeso())
        Salva();
}

void TWunDBES::xqcMainBeforeDelete(DataSet &)
{
    if (!UqConfirmDelete())
        throw platform::EAbort();
}

void TWunDBES::xqcMainAfterDelete(DataSet &)
{
    if (!SalvataggioSospeso())
        Salva();
}

void TWunDBES::xqcMainAfterCancel(DataSet &)
{
    if (SalvataggioSospeso())
        return;
    m_errore.clear();
    if (xqcMain.changeCount() > 0)
        xqcMain.cancelUpdates();
}

void TWunDBES::xqcMainBeforeScroll(DataSet &)
{
    if (!m_errore.isEmpty() && !SalvataggioSospeso())
        throw EUqError(m_errore);
}

void TWunDBES::xqcMainReconcileError(const DeltaRecord &riga, UpdateKind tipo, const QString &messaggio)
{
    m_errore = messaggio;
    m_tipoErrore = tipo;
    m_rigaErrore = riga.bookmark();
}
