#include "wunCTabFeste.h"

#include "Exceptions.h"
#include "Field.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include <QSet>

using platform::DataSet;
using platform::DataSetState;

const QString TWunTabFeste::Titolo = QStringLiteral("Elenco delle festività");
const QString TWunTabFeste::MsgDataObbligatoria = QStringLiteral("Data della festività obbligatoria.");
const QString TWunTabFeste::MsgDataFuoriAnno = QStringLiteral("La festività del %1 non è dell'anno %2.");
const QString TWunTabFeste::MsgDataDoppia = QStringLiteral("Il %1 è già nell'elenco delle festività.");
const QString TWunTabFeste::MsgTipoErrato = QStringLiteral(
    "Indicare i contratti a cui si applica la festività del %1.");
const QString TWunTabFeste::MsgAnnoErrato = QStringLiteral("Anno non valido: %1.");
const QString TWunTabFeste::MsgDescrizioneLunga = QStringLiteral("La descrizione ha %1 caratteri: al massimo %2.");

namespace {
QString testoData(const QDate &data)
{
    return data.toString(QStringLiteral("dd/MM/yyyy"));
}
} // namespace

TWunTabFeste::TWunTabFeste(platform::Database *database) : xqcChiusure(database, QStringLiteral("xqcChiusure"))
{
    TovQueryText().AssignQueryCollection(QStringLiteral("QRY_TAB_FESTE"), xqcChiusure);
    xqcChiusure.TableName = QStringLiteral("TFES_FESTIVITA");
    xqcChiusure.events().onNewRecord = [this](DataSet &dataSet) { NuovaFestivita(dataSet); };
}

void TWunTabFeste::Apri(int anno)
{
    if (anno < 1900 || anno > 2999)
        throw EUqError(MsgAnnoErrato.arg(anno));
    xqcChiusure.params().paramByName(QStringLiteral("DINIZIO")).setValue(QDate(anno, 1, 1));
    xqcChiusure.params().paramByName(QStringLiteral("DFINE")).setValue(QDate(anno, 12, 31));
    xqcChiusure.Open();
    xqcChiusure.fieldByName(QStringLiteral("IFESID")).setVisible(false);
    xqcChiusure.fieldByName(QStringLiteral("IFESTIPO")).setVisible(false);
    xqcChiusure.fieldByName(QStringLiteral("DFESDATA")).setDisplayLabel(QStringLiteral("Data"));
    xqcChiusure.fieldByName(QStringLiteral("SFESLDESC")).setDisplayLabel(QStringLiteral("Descrizione"));
    m_anno = anno;
}

bool TWunTabFeste::Modificato() const
{
    return xqcChiusure.isActive()
           && (xqcChiusure.state() == DataSetState::Edit || xqcChiusure.state() == DataSetState::Insert
               || xqcChiusure.changeCount() > 0);
}

QString TWunTabFeste::Controlla()
{
    // The walk leaves the window's cursor where it was and its grid still.
    DataSet &righe = xqcChiusure;
    const platform::Bookmark posizione = righe.bookmark();
    righe.disableControls();
    struct Ripristino {
        DataSet &righe;
        const platform::Bookmark &posizione;
        ~Ripristino()
        {
            if (righe.bookmarkValid(posizione))
                righe.gotoBookmark(posizione);
            righe.enableControls();
        }
    } ripristino{righe, posizione};
    QSet<QDate> date;
    for (righe.first(); !righe.eof(); righe.next()) {
        const platform::Field &campoData = righe.fieldByName(QStringLiteral("DFESDATA"));
        if (campoData.isNull())
            return MsgDataObbligatoria;
        const QDate data = campoData.asDate();
        if (data.year() != m_anno)
            return MsgDataFuoriAnno.arg(testoData(data)).arg(m_anno);
        if (date.contains(data))
            return MsgDataDoppia.arg(testoData(data));
        date.insert(data);
        const platform::Field &tipo = righe.fieldByName(QStringLiteral("IFESTIPO"));
        if (tipo.isNull() || (tipo.asInteger() & TipoTutti) == 0)
            return MsgTipoErrato.arg(testoData(data));
    }
    return {};
}

QString TWunTabFeste::ControllaDescrizione(const QString &testo) const
{
    const int massimo = xqcChiusure.isActive() ? xqcChiusure.fieldByName(QStringLiteral("SFESLDESC")).size() : 0;
    if (massimo > 0 && testo.size() > massimo)
        return MsgDescrizioneLunga.arg(testo.size()).arg(massimo);
    return {};
}

int TWunTabFeste::Salva()
{
    if (xqcChiusure.state() == DataSetState::Edit || xqcChiusure.state() == DataSetState::Insert)
        xqcChiusure.post();
    const QString errore = Controlla();
    if (!errore.isEmpty())
        throw ETovWarning(errore);
    const int righe = xqcChiusure.changeCount();
    if (righe > 0)
        xqcChiusure.ApplyUpdates();
    return righe;
}

void TWunTabFeste::Annulla()
{
    if (!xqcChiusure.isActive())
        return;
    if (xqcChiusure.state() == DataSetState::Edit || xqcChiusure.state() == DataSetState::Insert)
        xqcChiusure.cancel();
    xqcChiusure.cancelUpdates();
}

void TWunTabFeste::NuovaFestivita(DataSet &dataSet)
{
    dataSet.fieldByName(QStringLiteral("IFESID")).setValue(xqcChiusure.NewId());
    dataSet.fieldByName(QStringLiteral("IFESTIPO")).setValue(TipoTutti);
}
