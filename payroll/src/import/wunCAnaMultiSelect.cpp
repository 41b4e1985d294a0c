#include "import/wunCAnaMultiSelect.h"

#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUUtil.h"

#include "Database.h"
#include "DataSet.h"
#include "Field.h"

using platform::DataSet;
using platform::EnumItems;

const QString TwunAnaMultiSelect::Titolo = QStringLiteral("Scelta dipendenti");
const QString TwunAnaMultiSelect::Tutte = QStringLiteral("(Tutte)");

namespace {
const QString Codice = QStringLiteral("CODICE");
const QString CognomeNome = QStringLiteral("SANACOGNOMENOME");
const QString InServizio = QStringLiteral("ISTABID");
} // namespace

const QList<TwunAnaMultiSelect::Colonna> &TwunAnaMultiSelect::Colonne()
{
    static const QList<Colonna> colonne{
        {Codice, QStringLiteral("Codice"), 43},
        {CognomeNome, QStringLiteral("Dipendente"), 290},
        {QStringLiteral("ICALNUBRACODE"), QStringLiteral("Cat."), 30},
        {QStringLiteral("ITNONUBRACODE"), QStringLiteral("P.g."), 30},
        {QStringLiteral("IQARNUBRACODE"), QStringLiteral("Qual."), 30},
    };
    return colonne;
}

const QList<TwunAnaMultiSelect::Filtro> &TwunAnaMultiSelect::Filtri()
{
    static const QList<Filtro> filtri{
        {QStringLiteral("ICALNUBRACODE"), QStringLiteral("Categoria"), QStringLiteral("QRY_CAL_FILTRO")},
        {QStringLiteral("ITNONUBRACODE"), QStringLiteral("Pos.Giur."), QStringLiteral("QRY_TNO_FILTRO")},
        {QStringLiteral("IQARNUBRACODE"), QStringLiteral("Qualifica"), QStringLiteral("QRY_QAR_FILTRO")},
    };
    return filtri;
}

TwunAnaMultiSelect::TwunAnaMultiSelect(platform::Database *connessione)
    : xqcMultiSelect(connessione, QStringLiteral("xqcMultiSelect")),
      m_connessione(connessione ? connessione : &platform::Database::requireGlobal())
{
    xqcMultiSelect.SetConnection(m_connessione);
    xqcMultiSelect.PacketRecords = -1;
}

TwunAnaMultiSelect::~TwunAnaMultiSelect() = default;

void TwunAnaMultiSelect::ApriElenco()
{
    xqcMultiSelect.Open();
    for (const auto &field : xqcMultiSelect.fields())
        field->setRequired(false);
    if (xqcMultiSelect.findField(CognomeNome))
        xqcMultiSelect.setIndexFieldNames(CognomeNome);
    ImpostaCodici(xqcMultiSelect);
}

QString TwunAnaMultiSelect::OrdineColonna(const QString &campo)
{
    for (const Filtro &f : Filtri())
        if (campo.compare(f.campo, Qt::CaseInsensitive) == 0)
            return f.campo + QLatin1Char(';') + CognomeNome;
    return campo;
}

EnumItems TwunAnaMultiSelect::VociFiltro(const QString &statement) const
{
    EnumItems voci{{Tutte, 0}};
    voci += platform::loadEnumeration(Connessione(), TovQueryText().GetSQL(statement, QStringLiteral("EXECUTE")));
    return voci;
}

QString TwunAnaMultiSelect::ApplicaFiltro(const QList<QPair<QString, qint64>> &scelte, bool inServizio)
{
    QString filtro;
    for (const auto &[campo, id] : scelte)
        if (id != 0)
            TTovUtil::AddAnd(campo + QLatin1Char('=') + QString::number(id), filtro);
    if (inServizio)
        TTovUtil::AddAnd(InServizio + QStringLiteral("=1"), filtro);
    CompletaFiltro(filtro);

    xqcMultiSelect.disableControls();
    struct Enable {
        DataSet &ds;
        ~Enable() { ds.enableControls(); }
    } enable{xqcMultiSelect};
    if (filtro.trimmed().isEmpty()) {
        xqcMultiSelect.setFiltered(false);
        xqcMultiSelect.setFilter(QString());
    } else {
        xqcMultiSelect.setFilter(filtro);
        xqcMultiSelect.setFiltered(true);
    }
    xqcMultiSelect.first();
    return filtro;
}

bool TwunAnaMultiSelect::CercaValore(const QString &campo, const QString &testo)
{
    if (campo.compare(Codice, Qt::CaseInsensitive) != 0)
        return false;
    xqcMultiSelect.locate(campo, platform::Value(testo.trimmed()));
    return true;
}

void TwunAnaMultiSelect::ImpostaCodici(DataSet &dataSet)
{
    TWunUtil::CodiceDaCodiceAnagrafico(dataSet);
}

void TwunAnaMultiSelect::CompletaFiltro(QString &) {}
