#include "import/WunCFiscImpMultiSelect.h"

#include "TovUCdsUtil.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"

#include "Database.h"
#include "Exceptions.h"
#include "Field.h"
#include "TerminationSignals.h"
#include "UqMessages.h"
#include "UqQueryCollection.h"
#include "UqTransaction.h"

#include <vector>

using platform::Bookmark;
using platform::DataSet;
using platform::MessageType;
using platform::Value;

const QStringList TwunFiscImpMultiSelect::VociSovrascrivi{QStringLiteral("Sovrascrivi sempre"),
                                                          QStringLiteral("Non sovrascrivere"),
                                                          QStringLiteral("Chiedi conferma")};
const QString TwunFiscImpMultiSelect::MsgNessunDato = QStringLiteral("Nessuna dato da importare!");
const QString TwunFiscImpMultiSelect::MsgControllareDati = QStringLiteral("Controllare i dati del dipendente:");
const QString TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale = QStringLiteral(
    "ATTENZIONE!!! Dipendente senza codice fiscale : ");
const QString TwunFiscImpMultiSelect::MsgGiaPresente = QStringLiteral(
    "Dipendente già presente in archivio, si vogliono sostituire i dati?");
const QString TwunFiscImpMultiSelect::MsgFineOperazione = QStringLiteral("Fine operazione");

namespace {
const QString CrLf = QStringLiteral("\r\n");
const QString Execute = QStringLiteral("EXECUTE");

// The field of the dataset, or nullptr when there is no dataset or no such
// field.
const platform::Field *campo(const DataSet *dataSet, const QString &nome)
{
    return dataSet ? dataSet->findField(nome) : nullptr;
}

// The first column of a one-row lookup, closed afterwards; empty when it
// finds no row.
QString primoTesto(platform::SqlQuery &query, const QString &statement, const QString &parametro, const Value &valore)
{
    TovQueryText().AssignSQL(statement, query);
    query.bind(parametro, valore);
    query.open();
    const QString testo = query.eof() ? QString() : query.value(0).toString();
    query.close();
    return testo;
}
} // namespace

// ---------------------------------------------------------------- notifier

IwunNotificaImport::~IwunNotificaImport() = default;

void TwunNotificaServizi::Messaggio(const QString &testo, MessageType tipo, const QString &titolo)
{
    UqMessageBox(testo, titolo, platform::Ok, tipo);
}

bool TwunNotificaServizi::Domanda(const QString &testo)
{
    return UqMessageBox(testo, {}, platform::Yes | platform::No, MessageType::Question) == platform::Yes;
}

void TwunNotificaServizi::Avanzamento(const QString &, int, int) {}

bool TwunNotificaServizi::StopRichiesto()
{
    return false;
}

// ---------------------------------------------------------------- snapshots

// A table as it was before a person: its rows and change log, or only
// whether it was closed (a closed table is loaded again by whoever opens
// it). A savepoint, not a copy of the table: it is taken before every
// person, and a whole copy cost some milliseconds a person once thousands
// of rows were imported (a savepoint is a small struct per row).
struct TwunFiscImpMultiSelect::Copia {
    DataSet *tabella = nullptr;
    bool attiva = false;
    DataSet::Savepoint dati;
};

std::vector<TwunFiscImpMultiSelect::Copia> TwunFiscImpMultiSelect::CopiaTabelle()
{
    std::vector<Copia> copie;
    for (DataSet *tabella : TabelleInMemoria()) {
        Copia c;
        c.tabella = tabella;
        c.attiva = tabella->isActive();
        if (c.attiva)
            c.dati = tabella->savepoint();
        copie.push_back(std::move(c));
    }
    return copie;
}

void TwunFiscImpMultiSelect::Ripristina(std::vector<Copia> &copie)
{
    for (Copia &c : copie) {
        if (c.tabella->isEditing())
            c.tabella->cancel();
        if (c.attiva)
            c.tabella->restore(c.dati);
        else
            c.tabella->close();
    }
    for (Copia &c : copie)
        TabellaRipristinata(*c.tabella);
}

// ---------------------------------------------------------------- the loop

TwunFiscImpMultiSelect::TwunFiscImpMultiSelect(platform::Database *connessione)
    : TwunAnaMultiSelect(connessione), cdsImport(QStringLiteral("cdsImport")),
      cdsSostituto(QStringLiteral("cdsSostituto")), qquAnaAbt(Connessione()), qquAcom(Connessione()),
      qquAppoggio(Connessione())
{
    // Every posted or deleted row writes the table at once.
    cdsImport.events().afterPost = [this](DataSet &ds) { SalvaTabella(ds); };
    cdsImport.events().afterDelete = [this](DataSet &ds) { SalvaTabella(ds); };
}

TwunFiscImpMultiSelect::~TwunFiscImpMultiSelect() = default;

IwunNotificaImport &TwunFiscImpMultiSelect::Notifica()
{
    return m_notifica ? *m_notifica : m_notificaServizi;
}

void TwunFiscImpMultiSelect::Imposta(DataSet *parametri, TUqQueryCollection *sedi, const QString &testo)
{
    m_parametri = parametri;
    m_sedi = sedi;
    m_testo = testo;
}

bool TwunFiscImpMultiSelect::Prepara()
{
    PreparaElenco();
    if (!xqcMultiSelect.isActive() || xqcMultiSelect.isEmpty()) {
        Notifica().Messaggio(MsgNessunDato, MessageType::Warning);
        return false;
    }
    return true;
}

TwunFiscImpMultiSelect::Esito TwunFiscImpMultiSelect::Importa(const QList<Bookmark> &selezione)
{
    platform::WaitCursor cursore;
    Esito esito;

    PrimaDiImportare();
    const platform::Field *sostituto = campo(m_parametri, QStringLiteral("SOSTITUTO"));
    if (sostituto && !sostituto->isNull() && sostituto->asBoolean())
        ImportaSostituto();

    QList<int> chiavi;
    {
        xqcMultiSelect.disableControls();
        struct Enable {
            DataSet &ds;
            ~Enable() { ds.enableControls(); }
        } enable{xqcMultiSelect};
        if (selezione.isEmpty()) {
            for (xqcMultiSelect.first(); !xqcMultiSelect.eof(); xqcMultiSelect.next())
                AggiungiSelezionato(chiavi);
        } else {
            for (const Bookmark &riga : selezione) {
                xqcMultiSelect.gotoBookmark(riga);
                AggiungiSelezionato(chiavi);
            }
        }
        DopoSelezione(chiavi);
    }

    esito.totale = int(chiavi.size());
    const QHash<int, int> righe = RigheDelleChiavi();
    // A termination signal is seen between two persons, and before a
    // person's commit (the person then rolled back).
    const platform::LongOperation inCorso;
    bool fermato = false;
    for (int i = 0; i < chiavi.size(); ++i) {
        if (platform::TerminationSignals::Requested())
            break;
        if (i > 0 && Notifica().StopRichiesto()) {
            fermato = true;
            break;
        }
        if (!VaiAllaRiga(righe, chiavi.at(i))) {
            ++esito.falliti;
            Notifica().Messaggio(QStringLiteral("Dipendente non trovato nell'elenco da importare (%1 = %2): non "
                                                "importato.")
                                     .arg(CampoChiave())
                                     .arg(chiavi.at(i)),
                                 MessageType::Warning);
            continue;
        }
        const QString nome = xqcMultiSelect.fieldByName(QStringLiteral("SANACOGNOMENOME")).asString();
        Notifica().Avanzamento(QStringLiteral("%1 (%2 di %3)").arg(nome).arg(i + 1).arg(chiavi.size()), i + 1,
                               int(chiavi.size()));
        const EsitoPersona risultato = ImportaPersona();
        if (risultato == EsitoPersona::Importato)
            ++esito.importati;
        else if (risultato == EsitoPersona::Saltato)
            ++esito.saltati;
        else
            ++esito.falliti;
        if (risultato == EsitoPersona::NonAvviato) {
            esito.interrotto = true;
            break;
        }
    }
    if (platform::TerminationSignals::Requested()) {
        esito.interrotto = true;
        Notifica().Messaggio(
            QStringLiteral("Importazione interrotta: il programma è stato chiuso (%1).%2Dipendenti importati: %3 su "
                           "%4; il dipendente in corso non è stato importato.")
                .arg(platform::TerminationSignals::SignalName(platform::TerminationSignals::RequestedSignal()))
                .arg(CrLf)
                .arg(esito.importati)
                .arg(esito.totale),
            MessageType::Warning);
    } else if (fermato) {
        esito.interrotto = true;
        Notifica().Messaggio(QStringLiteral("Importazione interrotta dall'utente.%1Dipendenti importati: %2 su %3.")
                                 .arg(CrLf)
                                 .arg(esito.importati)
                                 .arg(esito.totale),
                             MessageType::Information);
    }
    FineOperazione();
    return esito;
}

TwunFiscImpMultiSelect::EsitoPersona TwunFiscImpMultiSelect::ImportaPersona()
{
    for (int tentativo = 1;; ++tentativo) {
        m_saltato = false;
        std::vector<Copia> copie = CopiaTabelle();
        TUqTransaction transazione(&Connessione());
        try {
            transazione.Start();
        } catch (const std::exception &e) {
            // Reported, never skipped in silence: whatever holds the connection
            // would refuse every later person too, so the run ends here.
            Notifica().Messaggio(QStringLiteral("Impossibile avviare la transazione per il dipendente %1 %2:%3%3%4%3%3"
                                                "L'importazione è stata interrotta.")
                                     .arg(Cognome().trimmed(), Nome().trimmed(), CrLf, QString::fromUtf8(e.what())),
                                 MessageType::Error);
            return EsitoPersona::NonAvviato;
        }

        try {
            m_personaInCorso = true;
            ApriAnagrafica();
            ImportaRiga();
            PrimaDelCommit();
            m_personaInCorso = false;
            // The program was asked to end meanwhile: the person is rolled
            // back rather than committed while it closes.
            if (platform::TerminationSignals::Requested())
                throw platform::EAbort();
            transazione.Commit();
            return m_saltato ? EsitoPersona::Saltato : EsitoPersona::Importato;
        } catch (const std::exception &e) {
            m_personaInCorso = false;
            if (cdsImport.isEditing())
                cdsImport.cancel();
            // The person's writes rolled back and its tables put back (also
            // when the rollback fails, which then passes on).
            const auto annulla = [&] {
                try {
                    if (transazione.InTransaction())
                        transazione.Rollback();
                } catch (...) {
                    Ripristina(copie);
                    throw;
                }
                Ripristina(copie);
            };
            // The archive itself failed (disk full, I/O, connection lost): not
            // this person's data, and every later person would fail the same
            // way. The person is undone and the run ends, saying why.
            if (const auto *archivio = dynamic_cast<const platform::EDatabaseError *>(&e);
                archivio && archivio->archiveFailure()) {
                const QString testo = platform::Database::archiveFailureMessage(*archivio);
                try {
                    annulla();
                } catch (const std::exception &) {
                    // The connection is gone with the archive's failure; the
                    // engine has dropped the person's writes with it.
                }
                Notifica().Messaggio(testo + CrLf + CrLf + QStringLiteral("L'importazione è stata interrotta."),
                                     MessageType::Error);
                return EsitoPersona::NonAvviato;
            }
            // Another workstation on the same archive wrote a row this person
            // needs (the store's row counter) and committed first: nothing of
            // the person is wrong, the person is imported again from the start.
            if (tentativo < TentativiConflitto && platform::Database::isUpdateConflict(QString::fromUtf8(e.what()))) {
                annulla();
                continue;
            }
            // A failing ErroreImportazione must not leave the person's writes or
            // rows behind: it is raised again once they are undone.
            std::exception_ptr guasto;
            try {
                ErroreImportazione(e);
            } catch (...) {
                guasto = std::current_exception();
            }
            annulla();
            if (!dynamic_cast<const platform::EAbort *>(&e))
                Notifica().Messaggio(TestoErrore(e), MessageType::Error);
            if (guasto)
                std::rethrow_exception(guasto);
            return EsitoPersona::Fallito;
        } catch (...) {
            // Not an error of ours: it passes through, the transaction is
            // rolled back by its guard, the tables put back here.
            m_personaInCorso = false;
            Ripristina(copie);
            throw;
        }
    }
}

QString TwunFiscImpMultiSelect::TestoErrore(const std::exception &errore) const
{
    const auto *nostro = dynamic_cast<const platform::Exception *>(&errore);
    const QString messaggio = nostro ? nostro->message() : QString::fromUtf8(errore.what());
    return MsgControllareDati + Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed() + CrLf + CrLf + messaggio
           + TovQueryText().LastOperation(errore);
}

// ---------------------------------------------------------------- helpers

QString TwunFiscImpMultiSelect::Telefono()
{
    return primoTesto(qquAppoggio, QStringLiteral("QRY_ATEL"), QStringLiteral("IANAID"),
                      xqcMultiSelect.fieldValue(QStringLiteral("IANAID")));
}

QString TwunFiscImpMultiSelect::Email()
{
    return primoTesto(qquAppoggio, QStringLiteral("QRY_AEMAIL"), QStringLiteral("IANAID"),
                      xqcMultiSelect.fieldValue(QStringLiteral("IANAID")));
}

bool TwunFiscImpMultiSelect::CodiceFiscalePresente(const QString &codiceFiscale)
{
    if (!codiceFiscale.trimmed().isEmpty())
        return true;
    SegnaSaltato();
    Notifica().Messaggio(MsgSenzaCodiceFiscale + Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed(),
                         MessageType::Error);
    return false;
}

bool TwunFiscImpMultiSelect::SostituireDati()
{
    bool sostituire = false;
    switch (Sovrascrittura) {
    case SovrascriviSempre: sostituire = true; break;
    case NonSovrascrivere: break;
    case ChiediConferma:
        sostituire = Notifica().Domanda(Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed() + QStringLiteral(" ")
                                        + QStringLiteral(" :  ") + MsgGiaPresente);
        break;
    }
    if (!sostituire)
        SegnaSaltato();
    return sostituire;
}

int TwunFiscImpMultiSelect::CancellaRighe(DataSet &dataSet, const QString &campi, const platform::ValueList &valori)
{
    int cancellate = 0;
    while (dataSet.locate(campi, valori)) {
        dataSet.deleteRecord();
        ++cancellate;
    }
    return cancellate;
}

// ---------------------------------------------------------------- virtual operations

void TwunFiscImpMultiSelect::PrimaDiImportare() {}

void TwunFiscImpMultiSelect::ApriCompenso()
{
    qquAcom.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_CED_ACOM"), qquAcom);
    qquAcom.bind(CampoChiave(), xqcMultiSelect.fieldValue(CampoChiave()));
    qquAcom.open();
}

void TwunFiscImpMultiSelect::ApriAnagrafica()
{
    ApriCompenso();
    qquAnaAbt.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANAABT"), qquAnaAbt);
    qquAnaAbt.bind(QStringLiteral("IANAID"), xqcMultiSelect.fieldValue(QStringLiteral("IANAID")));
    qquAnaAbt.bind(QStringLiteral("ILOCID"), Value(2));
    qquAnaAbt.open();
}

QHash<int, int> TwunFiscImpMultiSelect::RigheDelleChiavi() const
{
    // The list's first row with each key, noted once before the loop: a
    // search of the list for every person read the whole list each time (a
    // thousand persons, some 350,000 rows read).
    QHash<int, int> righe;
    const platform::Field *campoChiave = xqcMultiSelect.findField(CampoChiave());
    if (!campoChiave || !xqcMultiSelect.isActive()
        || (campoChiave->dataType() != platform::FieldType::Integer
            && campoChiave->dataType() != platform::FieldType::SmallInt))
        return righe;
    const QList<Bookmark> elenco = xqcMultiSelect.rowBookmarks();
    for (int i = 0; i < elenco.size(); ++i) {
        const Value v = xqcMultiSelect.rowValue(elenco.at(i), campoChiave->index());
        if (!v.isEmpty() && !righe.contains(v.toInt()))
            righe.insert(v.toInt(), i);
    }
    return righe;
}

bool TwunFiscImpMultiSelect::VaiAllaRiga(const QHash<int, int> &righe, int chiave)
{
    // The row noted is taken when it still holds the key; otherwise (the
    // list changed since) the list is searched.
    const auto riga = righe.constFind(chiave);
    if (riga != righe.constEnd() && riga.value() < xqcMultiSelect.recordCount()) {
        xqcMultiSelect.setRecNo(riga.value() + 1);
        const platform::Field &campo = xqcMultiSelect.fieldByName(CampoChiave());
        if (!campo.isNull() && campo.asInteger() == chiave)
            return true;
    }
    return xqcMultiSelect.locate(CampoChiave(), Value(chiave));
}

QString TwunFiscImpMultiSelect::CampoChiave() const
{
    return QStringLiteral("IACOMID");
}

void TwunFiscImpMultiSelect::SalvaTabella(DataSet &dataSet)
{
    ZEP_ASSERT(!NomeFileTabella.isEmpty(), QStringLiteral("SalvaTabella: file della tabella non impostato"));
    TTovCds::SaveToFile(dataSet, NomeFileTabella);
}

QString TwunFiscImpMultiSelect::Cognome() const
{
    return xqcMultiSelect.fieldByName(QStringLiteral("SANACOGNOME")).asString();
}

QString TwunFiscImpMultiSelect::Nome() const
{
    return xqcMultiSelect.fieldByName(QStringLiteral("SANANOME")).asString();
}

int TwunFiscImpMultiSelect::Mese() const
{
    ZEP_ASSERT(m_parametri, QStringLiteral("Mese: parametri dell'importazione non impostati"));
    return m_parametri->fieldByName(QStringLiteral("IMESID")).asInteger();
}

void TwunFiscImpMultiSelect::PreparaElenco()
{
    xqcMultiSelect.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_FISC_IMP"), xqcMultiSelect, Execute);
    platform::Params &p = xqcMultiSelect.params();
    p.paramByName(QStringLiteral("IANFID")).setValue(wunAnnoFinanziario().Id());
    p.paramByName(QStringLiteral("IMESID")).setValue(Mese());
    const platform::Field *compenso = campo(m_parametri, QStringLiteral("ICOTID"));
    p.paramByName(QStringLiteral("ICOTID")).setValue(compenso ? compenso->value() : Value::null());
    p.paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    ApriElenco();
}

void TwunFiscImpMultiSelect::ErroreImportazione(const std::exception &) {}

void TwunFiscImpMultiSelect::FineOperazione()
{
    Notifica().Messaggio(MsgFineOperazione, MessageType::Warning);
}

void TwunFiscImpMultiSelect::DopoSelezione(QList<int> &) {}

void TwunFiscImpMultiSelect::AggiungiSelezionato(QList<int> &chiavi)
{
    chiavi.append(xqcMultiSelect.fieldByName(CampoChiave()).asInteger());
}

QList<DataSet *> TwunFiscImpMultiSelect::TabelleInMemoria()
{
    return {&cdsImport};
}

void TwunFiscImpMultiSelect::PrimaDelCommit() {}

void TwunFiscImpMultiSelect::TabellaRipristinata(DataSet &dataSet)
{
    if (&dataSet == &cdsImport && !NomeFileTabella.isEmpty() && cdsImport.isActive())
        SalvaTabella(cdsImport);
}
