#include "import/WunCFiscImpMultiSelect.h"

#include "TovUCdsUtil.h"
#include "tovUDBCdsImportazione.h"
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
const QString TwunFiscImpMultiSelect::MotivoSenzaCodiceFiscale = QStringLiteral("senza codice fiscale");
const QString TwunFiscImpMultiSelect::CampoPersona = QStringLiteral("IANAID");
const QString TwunFiscImpMultiSelect::MsgInterrotta = QStringLiteral("L'importazione è stata interrotta.");

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

// The first line of an error's message, for the list of the persons left
// out.
QString primaRiga(const std::exception &errore)
{
    const auto *nostro = dynamic_cast<const platform::Exception *>(&errore);
    const QString messaggio = nostro ? nostro->message() : QString::fromUtf8(errore.what());
    for (const QString &riga : messaggio.split(QLatin1Char('\n')))
        if (!riga.trimmed().isEmpty())
            return riga.trimmed();
    return messaggio.trimmed();
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

    m_nonImportati.clear();
    // The period is this run's from here to its end (another workstation
    // importing it is waited for), and its tables are read again: whatever
    // another workstation imported before is seen, and replaced or kept as
    // the replace choice says.
    const std::unique_ptr<TTovDBCdsImportazione> periodo = ImportazionePeriodo();
    if (periodo) {
        if (!AttendiPeriodo(*periodo)) {
            esito.interrotto = true;
            return esito;
        }
        RileggiTabelle();
    }
    PrimaDiImportare();
    const platform::Field *sostituto = campo(m_parametri, QStringLiteral("SOSTITUTO"));
    if (sostituto && !sostituto->isNull() && sostituto->asBoolean()) {
        // The declarant is the year's: another month's import may write it.
        const std::unique_ptr<TTovDBCdsImportazione> anno = ImportazioneDichiarante();
        if (anno && !AttendiPeriodo(*anno)) {
            esito.interrotto = true;
            return esito;
        }
        ImportaSostituto();
    }

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
        if (periodo && !periodo->Rinnova()) {
            esito.interrotto = true;
            Notifica().Messaggio(periodo->MsgPerso(), MessageType::Error);
            break;
        }
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
        else if (risultato == EsitoPersona::Escluso)
            ++esito.esclusi;
        else
            ++esito.falliti;
        if (risultato != EsitoPersona::Importato && risultato != EsitoPersona::Saltato && !m_motivoEscluso.isEmpty())
            m_nonImportati << Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed() + QStringLiteral(": ")
                                  + m_motivoEscluso;
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
    esito.nonImportati = m_nonImportati;
    FineOperazione();
    return esito;
}

TwunFiscImpMultiSelect::EsitoPersona TwunFiscImpMultiSelect::ImportaPersona()
{
    for (int tentativo = 1;; ++tentativo) {
        m_saltato = false;
        m_motivoEscluso.clear();
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
            if (!m_motivoEscluso.isEmpty())
                return EsitoPersona::Escluso;
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
            // The archive itself failed (disk full, I/O, connection lost), or a
            // file of the installation could not be written (the tables of the
            // local-file form): not this person's data, and every later person
            // would fail the same way. The person is undone and the run ends,
            // saying why.
            const auto *archivio = dynamic_cast<const platform::EDatabaseError *>(&e);
            const auto *file = dynamic_cast<const platform::EWriteError *>(&e);
            if ((archivio && archivio->archiveFailure()) || file) {
                QString testo = file ? file->message() : platform::Database::archiveFailureMessage(*archivio);
                try {
                    annulla();
                } catch (const std::exception &a) {
                    // The connection is gone with the archive's failure; the
                    // engine has dropped the person's writes with it. A table
                    // file the person had already written that cannot be put
                    // back is said.
                    if (file)
                        testo += CrLf + CrLf
                                 + QStringLiteral("I dati già scritti del dipendente %1 %2 non sono stati tolti: %3")
                                       .arg(Cognome().trimmed(), Nome().trimmed(), QString::fromUtf8(a.what()));
                }
                Notifica().Messaggio(testo + CrLf + CrLf + MsgInterrotta, MessageType::Error);
                return EsitoPersona::NonAvviato;
            }
            // Another workstation on the same archive wrote a row this person
            // needs (the store's row counter, a period's header) and committed
            // first: nothing of the person is wrong, the person is imported
            // again from the start.
            const auto *database = dynamic_cast<const platform::EDatabaseError *>(&e);
            const bool concorrente = (database
                                      && (database->cause() == platform::EDatabaseError::Cause::Conflict
                                          || database->cause() == platform::EDatabaseError::Cause::Duplicate))
                                     || platform::Database::isUpdateConflict(QString::fromUtf8(e.what()));
            if (tentativo < TentativiConflitto && concorrente) {
                annulla();
                continue;
            }
            // Not the person's data either: a concurrent write that went on
            // refusing, or a right the archive's user lacks. The person is
            // undone and the run ends, saying what happened without blaming
            // the person (the next ones would meet the same).
            if (concorrente || (database && database->cause() == platform::EDatabaseError::Cause::Permission)) {
                annulla();
                const auto *nostro = dynamic_cast<const platform::Exception *>(&e);
                Notifica().Messaggio((nostro ? nostro->message() : QString::fromUtf8(e.what())) + CrLf + CrLf
                                         + MsgInterrotta,
                                     MessageType::Error);
                return EsitoPersona::NonAvviato;
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
            m_motivoEscluso.clear();
            if (!dynamic_cast<const platform::EAbort *>(&e)) {
                m_motivoEscluso = primaRiga(e);
                Notifica().Messaggio(TestoErrore(e), MessageType::Error);
            }
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

bool TwunFiscImpMultiSelect::AttendiPeriodo(TTovDBCdsImportazione &periodo)
{
    const QString attesa = QStringLiteral("In attesa che l'altra postazione finisca di importare %1 (\"Interrompi\" "
                                          "per rinunciare)")
                               .arg(periodo.Periodo());
    const auto avviso = [this](const QString &testo) { Notifica().Messaggio(testo, MessageType::Warning); };
    const auto fermare = [&] {
        Notifica().Avanzamento(attesa, 0, 0);
        return platform::TerminationSignals::Requested() || Notifica().StopRichiesto();
    };
    if (periodo.Attendi(avviso, fermare))
        return true;
    Notifica().Messaggio(periodo.MsgNonEseguita(), MessageType::Information);
    return false;
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
    SegnaEscluso(MotivoSenzaCodiceFiscale);
    Notifica().Messaggio(MsgSenzaCodiceFiscale + Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed(),
                         MessageType::Error);
    return false;
}

bool TwunFiscImpMultiSelect::SostituireDati(const QStringList &altriCodici, const QString &codiceFiscale)
{
    bool sostituire = false;
    switch (Sovrascrittura) {
    case SovrascriviSempre: sostituire = true; break;
    case NonSovrascrivere: break;
    case ChiediConferma: {
        QString domanda = Cognome().trimmed() + QLatin1Char(' ') + Nome().trimmed() + QStringLiteral(" ")
                          + QStringLiteral(" :  ") + MsgGiaPresente;
        if (!altriCodici.isEmpty())
            domanda += CrLf
                       + QStringLiteral("Codice fiscale dei dati presenti: %1; codice fiscale attuale nelle paghe: %2.")
                             .arg(altriCodici.join(QStringLiteral(", ")), codiceFiscale);
        sostituire = Notifica().Domanda(domanda);
        break;
    }
    }
    if (!sostituire)
        SegnaSaltato();
    return sostituire;
}

platform::Value TwunFiscImpMultiSelect::PersonaPaghe() const
{
    const platform::Field *persona = xqcMultiSelect.findField(CampoPersona);
    return persona ? persona->value() : Value::null();
}

void TwunFiscImpMultiSelect::SegnaPersona(DataSet &dataSet) const
{
    if (platform::Field *campo = dataSet.findField(CampoPersona))
        campo->setValue(PersonaPaghe());
}

QStringList TwunFiscImpMultiSelect::AltriCodici(const DataSet &dataSet, const QString &campoCodice,
                                                const QString &campoPeriodo, const Value &periodo,
                                                const QString &codiceFiscale) const
{
    QStringList codici;
    const Value persona = PersonaPaghe();
    if (persona.isEmpty() || !dataSet.isActive() || !dataSet.findField(CampoPersona))
        return codici;
    // The person's column read whole (a search would scan the rows all the
    // same, and the person's rows may stand under more than one code); the
    // code and period columns only when the person has rows.
    const platform::ValueList persone = dataSet.fieldValues(CampoPersona);
    const int chi = persona.toInt();
    platform::ValueList codiciRighe, periodi;
    for (qsizetype i = 0; i < persone.size(); ++i) {
        if (persone.at(i).isEmpty() || persone.at(i).toInt() != chi)
            continue;
        if (codiciRighe.isEmpty()) {
            codiciRighe = dataSet.fieldValues(campoCodice);
            periodi = dataSet.fieldValues(campoPeriodo);
        }
        const QString codice = codiciRighe.at(i).toString().trimmed();
        if (periodi.at(i).toString() == periodo.toString() && codice != codiceFiscale && !codici.contains(codice))
            codici << codice;
    }
    return codici;
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

QString TwunFiscImpMultiSelect::TestoFineOperazione() const
{
    if (m_nonImportati.isEmpty())
        return MsgFineOperazione;
    QString testo = MsgFineOperazione + CrLf + CrLf
                    + QStringLiteral("Dipendenti retribuiti nel mese e non importati: %1").arg(m_nonImportati.size());
    for (const QString &persona : m_nonImportati)
        testo += CrLf + QStringLiteral(" - ") + persona;
    return testo;
}

void TwunFiscImpMultiSelect::FineOperazione()
{
    Notifica().Messaggio(TestoFineOperazione(), MessageType::Warning);
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

std::unique_ptr<TTovDBCdsImportazione> TwunFiscImpMultiSelect::ImportazionePeriodo()
{
    return nullptr;
}

std::unique_ptr<TTovDBCdsImportazione> TwunFiscImpMultiSelect::ImportazioneDichiarante()
{
    return nullptr;
}

void TwunFiscImpMultiSelect::RileggiTabelle()
{
    for (DataSet *tabella : TabelleInMemoria())
        tabella->close();
    cdsSostituto.close();
}

void TwunFiscImpMultiSelect::PrimaDelCommit() {}

void TwunFiscImpMultiSelect::TabellaRipristinata(DataSet &dataSet)
{
    if (&dataSet == &cdsImport && !NomeFileTabella.isEmpty() && cdsImport.isActive())
        SalvaTabella(cdsImport);
}
