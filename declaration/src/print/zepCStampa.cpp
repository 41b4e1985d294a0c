#include "zepCStampa.h"

#include "DataSet.h"
#include "Field.h"
#include "ZepUCreaFile.h"
#include "ZepUMainState.h"

#include <QDate>
#include <QLocale>

using platform::Currency;

QString TZepStampa::Stampato() const
{
    return QStringLiteral("Stampato il ") + data.toString(QStringLiteral("dd/MM/yyyy"));
}

QString TZepStampa::Testo() const
{
    QStringList out{titolo, ufficio, periodo, Stampato()};
    for (const TZepStampaBlocco &b : blocchi) {
        out << b.titolo;
        for (const auto &[etichetta, valore] : b.campi)
            out << etichetta + QLatin1Char(' ') + valore;
        for (const TZepStampaTabella &t : b.tabelle) {
            if (!t.titolo.isEmpty())
                out << t.titolo;
            out << t.colonne.join(QLatin1Char(' '));
            for (const QStringList &r : t.righe)
                out << r.join(QLatin1Char(' '));
            if (!t.totali.isEmpty())
                out << t.totali.join(QLatin1Char(' '));
        }
        out << b.righeFisse;
    }
    return out.join(QLatin1Char('\n'));
}

QString ZepImporto(const Currency &importo)
{
    const qint64 centesimi = importo.rounded(2).raw() / (Currency::Scale / 100);
    const qint64 assoluto = centesimi < 0 ? -centesimi : centesimi;
    const QString interi = QLocale(QLocale::Italian, QLocale::Italy).toString(assoluto / 100);
    return (centesimi < 0 ? QStringLiteral("-") : QString()) + interi + QLatin1Char(',')
           + QStringLiteral("%1").arg(assoluto % 100, 2, 10, QLatin1Char('0'));
}

QString ZepAliquota(const Currency &percentuale)
{
    return ZepImporto(percentuale) + QStringLiteral(" %");
}

QString ZepAliquotaCampo(const platform::DataSet &ds, const QString &campo)
{
    const platform::Field &f = ds.fieldByName(campo);
    if (f.isNull())
        return QString();
    switch (f.dataType()) {
    case platform::FieldType::Integer:
    case platform::FieldType::SmallInt:
    case platform::FieldType::LargeInt: return ZepAliquota(Currency::fromRaw(f.asLargeInt() * (Currency::Scale / 100)));
    default: return ZepAliquota(f.asCurrency());
    }
}

QString ZepTestoCampo(const platform::DataSet &ds, const QString &campo)
{
    const platform::Field &f = ds.fieldByName(campo);
    if (f.isNull())
        return QString();
    switch (f.dataType()) {
    case platform::FieldType::Currency:
    case platform::FieldType::BCD: return ZepImporto(f.asCurrency());
    case platform::FieldType::Date:
    case platform::FieldType::DateTime: return f.asDate().toString(QStringLiteral("dd/MM/yyyy"));
    default: return f.asString().trimmed();
    }
}

QString ZepTestoSeCampo(const platform::DataSet &ds, const QString &campo)
{
    return ds.findField(campo) ? ZepTestoCampo(ds, campo) : QString();
}

QString ZepAliquotaSeCampo(const platform::DataSet &ds, const QString &campo)
{
    return ds.findField(campo) ? ZepAliquotaCampo(ds, campo) : QString();
}

Currency ZepImportoCampo(const platform::DataSet &ds, const QString &campo)
{
    const platform::Field &f = ds.fieldByName(campo);
    return f.isNull() ? Currency() : f.asCurrency();
}

Currency ZepImportoDichiarato(const platform::DataSet &ds, const QString &campo, TZepDenuncia denuncia)
{
    const platform::Field &f = ds.fieldByName(campo);
    if (denuncia == TZepDenuncia::UniEmens || f.isNull())
        return ZepImportoCampo(ds, campo);
    return Currency::fromInt(TZepCreaFile::InteroDichiarato(f));
}

QString ZepTestoDichiarato(const platform::DataSet &ds, const QString &campo, TZepDenuncia denuncia)
{
    const platform::Field &f = ds.fieldByName(campo);
    if (denuncia == TZepDenuncia::UniEmens || f.isNull() || f.dataType() != platform::FieldType::Currency)
        return ZepTestoCampo(ds, campo);
    return ZepImporto(ZepImportoDichiarato(ds, campo, denuncia));
}

void ZepAccodaRiga(const platform::DataSet &origine, platform::DataSet &destinazione)
{
    destinazione.append();
    for (const auto &f : destinazione.fields())
        if (const platform::Field *sorgente = origine.findField(f->fieldName()))
            f->setValue(sorgente->value());
    destinazione.post();
}

void ZepAccodaScelte(platform::DataSet &origine, const QList<platform::Bookmark> &scelte,
                     platform::DataSet &destinazione)
{
    const platform::Bookmark corrente = origine.bookmark();
    if (scelte.isEmpty()) {
        for (origine.first(); !origine.eof(); origine.next())
            ZepAccodaRiga(origine, destinazione);
    } else {
        for (const platform::Bookmark &b : scelte) {
            origine.gotoBookmark(b);
            ZepAccodaRiga(origine, destinazione);
        }
    }
    if (corrente.isValid() && origine.bookmarkValid(corrente))
        origine.gotoBookmark(corrente);
}
