// zepDemoDeclaration: does without windows what the user of zepUni does to
// declare a month, on the program's own code (no rule of its own):
//
//   1. "Parametri": the working period (TZepParametri);
//   2. "Importa": every candidate of the month, the wizard "Importa dati per
//      EMens" as it opens (the contribution type aside, see below), "Sovrascrivi
//      sempre" (TZepAttivazioni, TZepWiz, TZepImpMultiSelect);
//   3. "Importa iscritti FPLS" with --iscritti-fpls: every candidate, its
//      wizard as it opens (TZepWizFplsExEnpals, TZepImpFplsExEnpalsMultiSelect).
//      Off by default: the import leaves each worker's worked days to be
//      typed in "Iscritti FPLS ex Enpals", and until they are (or
//      --completa-demo completes them) the file is refused ("In presenza di
//      giorni retribuiti devono essere impostati i giorni lavorati");
//   4. "Importa (ex Dma)" with --ex-dma: once per legal position with
//      candidates in the month, in the order of the wizard's list, as an
//      office declares its public staff: every candidate, the wizard
//      "Importa dati per DMA" as it opens but for the position, the CCNL
//      tables by date, "Sovrascrivi sempre" (TZepDmaImporta, TZepWizDmaImp,
//      TZepDmaImpMultiSelect); the positions run are printed; a period
//      before October 2012 skips it with the command's message;
//   5. "File telematico" with "Tutti": the company declaration recomputed and
//      the UniEmens file written (TZepFile).
// With --programma zepdb or zep the same road runs through the earlier
// program's code (the default is zepUni): its working period (the years it
// accepts, its year folder), "Importa" making the E-Mens rows (no
// performing-arts import), and "File telematico" writing the E-Mens file
// (emens::TZepFile: "Tutti", no company declaration). zep keeps the
// declaration tables in the files of its year folder (TZepCdsLocale) under
// the installation's USR/ZEPDati, made from USR/ZEP/DbIniziale.
//
// For each step it prints the persons and the seconds taken, and names each
// paid person an import left out of the month with the reason. Without
// --output it stops before the file (a workstation that imports only); with
// --solo-periodo it sets the working period only.
//
// --completa-demo completes, after the imports, what they leave to the user
// in the windows before the file (TZepCompletaDemo: the declarant's sender
// and INPS office, the end of open collaborations, the performing-arts
// workers' worked days; with --ex-dma TZepCompletaDemoDma: the kind of
// cessation of pension-fund rows that stop on a date), so that the file of
// any demo month whose persons
// are all accepted is written; for tests and benchmarks. With --solo-periodo
// it sets the installation up as an office that has declared before (what
// scripts/run.sh does when it makes the demo archive): the parameters of
// "Importa" saved as its wizard saves them (--tipo-contribuzione) and the
// declarant of the year made by the import's declarant step and completed,
// no person imported.
//
//   zepDemoDeclaration [--programma zepUni|zepdb|zep] --archive FILE --period AAAA-MM --output FILE.xml
//                      [--tipo-contribuzione CODICE] [--persone PRIMA-ULTIMA]
//                      [--iscritti-fpls] [--ex-dma] [--completa-demo]
//   zepDemoDeclaration --archive FILE --period AAAA-MM --solo-periodo [--completa-demo]
//   zepDemoDeclaration --archive FILE --period AAAA-MM --output FILE.xml --solo-file [--completa-demo]
// (--solo-file: the file of the rows already imported, and completed in the
// windows where the import leaves fields to the user, without importing.)
//
// --persone imports only the candidates from the first to the last given, in
// the order of the list (from 1), as the user selects a run of rows in the
// list of "Importa"; two offices' workstations share an archive this way.
//
// Two workstations on one archive: each import takes the month first, as in
// zepUni (tovUDBCdsImportazione.h), so that a second workstation importing
// it at the same time is told who holds it ("ATTENZIONE: Un'altra
// postazione sta importando ...") and waits, then imports over what the
// first wrote. A run that completes the month or writes its file holds the
// month from its first import to its last step: the two runs of the same
// month then follow each other whole.
//
// The archive is a file, or "host:/path" on a Firebird server; user and
// password are those of the installation's connection file
// (etc/wun/Database.ini), never given on the command line. Like zepUni, the
// program works in its installation: the working period, the parameter file
// "TEMENSPAR.XML" and the code tables are those of the folder above its own.
//
// The contribution type: the wizard opens on the one of the last import, or
// "71" (without withholdings) the first time, which refuses every employee
// with an employee share; the user picks the one of the office, and so does
// this program ("00", ordinary, unless told otherwise).
//
// For the test of an import ended by the system: with the variable
// ZEP_ARRESTO_PERSONA=N the program kills itself (SIGKILL) inside the
// transaction of the N-th person, right after that person's first row was
// written; ZEP_ARRESTO_PERSONA_DMA=N does the same in "Importa (ex Dma)".
//
// SIGTERM and SIGINT end the run as they end zepUni: an import rolls back
// the person in progress and stops, a file not yet written is not written;
// the program says it was interrupted and ends with 128 + the signal's
// number.
//
// --stampa-pdf FILE.pdf prints the month's declaration ("Denuncia") into a
// PDF file, --stampa-dipendenti FILE.pdf and --stampa-collaboratori FILE.pdf
// the lists of "Dipendenti" and "Collaboratori" of the working month, every
// person; through the prints' own code, after the other steps (with
// --solo-file and no --output: the rows already imported). With --programma
// zepdb or zep they are the earlier program's prints: the reduced
// declaration of the E-Mens month ("Denuncia E-Mens": declarant, employees,
// collaborators) and the lists of its E-Mens rows.
// --stampa-cud FILE.pdf prints the CUD summary ("Riepilogo CUD") of the year
// of the working period, every public-sector person (zepUni only).
//
// Exit status: 0 done; 1 a step failed (its message on the standard error);
// 2 wrong options; 128 + the signal's number when ended by SIGTERM or SIGINT.
#include "WunUUtil.h"
#include "ZepCAttivazioni.h"
#include "ZepCCompletaDemo.h"
#include "ZepCCompletaDemoDma.h"
#include "Emens/ZepCFile.h"
#include "ZepCCdsLocale.h"
#include "ZepCFile.h"
#include "ZepCImpMultiSelect.h"
#include "ZepCParametri.h"
#include "ZepCReportPubblico.h"
#include "ZepCRiepilogoDatiCUD.h"
#include "ZepCTabellaDenuncia.h"
#include "ZepCWiz.h"
#include "ZepCWizDmaImp.h"
#include "ZePCImpDmaMultiSelect.h"
#include "zepCDmaImporta.h"
#include "zepCImpFplsExEnpalsMultiSelect.h"
#include "zepCImpSostituto.h"
#include "zepCWizFplsExEnpals.h"
#include "zepCRepBase.h"
#include "zepCReport.h"
#include "zepUStampa.h"
#include "ZepULayouts.h"
#include "ZepUMainState.h"
#include "ZepUUtil.h"
#include "wunCPaco.h"
#include "wunMConnessione.h"
#include "wunMParams.h"

#include "Database.h"
#include "Exceptions.h"
#include "Field.h"
#include "Services.h"
#include "TerminationSignals.h"
#include "UqConnection.h"
#include "tovUDBCds.h"
#include "tovUDBCdsImportazione.h"
#include "ZepULayoutNomi.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <csignal>
#include <exception>
#include <memory>

using platform::DataSet;
using platform::MessageType;

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// A step's line: name, persons, seconds, and what else it did.
void riga(const QString &passo, const QString &persone, const QString &secondi, const QString &nota = {})
{
    out() << passo.leftJustified(24) << persone.rightJustified(8) << secondi.rightJustified(10)
          << (nota.isEmpty() ? QString() : QStringLiteral("   ") + nota) << Qt::endl;
}

QString secondi(const QElapsedTimer &t)
{
    return QString::number(double(t.nsecsElapsed()) / 1e9, 'f', 2);
}

// What a step's runs did, added up; the persons left out of the month, with
// their reasons, under the step's line.
void somma(TwunFiscImpMultiSelect::Esito &totale, const TwunFiscImpMultiSelect::Esito &esito)
{
    totale.totale += esito.totale;
    totale.importati += esito.importati;
    totale.saltati += esito.saltati;
    totale.esclusi += esito.esclusi;
    totale.falliti += esito.falliti;
    totale.interrotto = totale.interrotto || esito.interrotto;
    totale.nonImportati += esito.nonImportati;
}

QString conteggi(int candidati, const TwunFiscImpMultiSelect::Esito &esito)
{
    return QStringLiteral("%1 candidati, %2 senza righe, %3 non importati")
        .arg(candidati)
        .arg(esito.saltati)
        .arg(esito.esclusi + esito.falliti);
}

void nonImportati(const TwunFiscImpMultiSelect::Esito &esito)
{
    for (const QString &persona : esito.nonImportati)
        out() << QStringLiteral("  non importato: ") << persona << Qt::endl;
}

// What the import loop shows: errors and warnings on the standard error as
// they come (the demo's person without a fiscal code among them); no
// question is expected with "Sovrascrivi sempre", and any is answered No.
class Messaggi : public IwunNotificaImport {
public:
    int persona = 0; // the person being imported, from 1
    void Messaggio(const QString &testo, MessageType tipo, const QString & = {}) override
    {
        // The end of a run: its persons left out are printed with the step.
        if (testo.startsWith(TwunFiscImpMultiSelect::MsgFineOperazione))
            return;
        err() << (tipo == MessageType::Error ? QStringLiteral("ERRORE: ") : QStringLiteral("ATTENZIONE: "))
              << QString(testo).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << Qt::endl;
    }
    bool Domanda(const QString &testo) override
    {
        err() << "DOMANDA (risposta No): " << testo << Qt::endl;
        return false;
    }
    void Avanzamento(const QString &, int n, int) override { persona = n; }
    bool StopRichiesto() override { return false; }
};

// The private-sector import with the stop point of the test: SIGKILL after
// the first row of the chosen person was written in its transaction.
class ImportaConArresto : public TZepImpMultiSelect {
public:
    ImportaConArresto(ITovDBCds &store, TZepDenuncia denuncia, const Messaggi &messaggi, int arresto)
        : TZepImpMultiSelect(store, denuncia), m_messaggi(messaggi), m_arresto(arresto)
    {
    }
    void SalvaTabella(DataSet &dataSet) override
    {
        TZepImpMultiSelect::SalvaTabella(dataSet);
        if (m_arresto > 0 && m_messaggi.persona == m_arresto) {
            const platform::Field *cf = dataSet.findField(layouts::TEMD_DIPENDENTI::CFLavoratore);
            if (!cf)
                cf = dataSet.findField(layouts::TEMC_COLLABORATORI::CFCollaboratore);
            err() << "Arresto simulato: " << (cf ? cf->asString() : QString()) << Qt::endl;
            std::raise(SIGKILL);
        }
    }

private:
    const Messaggi &m_messaggi;
    int m_arresto;
};

// The public-sector import with the same stop point.
class ImportaDmaConArresto : public TZepDmaImpMultiSelect {
public:
    ImportaDmaConArresto(TTovDBCds &store, const Messaggi &messaggi, int arresto)
        : TZepDmaImpMultiSelect(store), m_messaggi(messaggi), m_arresto(arresto)
    {
    }
    void SalvaTabella(DataSet &dataSet) override
    {
        TZepDmaImpMultiSelect::SalvaTabella(dataSet);
        if (m_arresto > 0 && m_messaggi.persona == m_arresto) {
            err() << "Arresto simulato: " << CodiceFiscale() << Qt::endl;
            std::raise(SIGKILL);
        }
    }

private:
    const Messaggi &m_messaggi;
    int m_arresto;
};

// The options, checked; EConvertError names the wrong one.
struct Opzioni {
    // The program whose road is run.
    TZepProgramma programma = TZepParametri::ProgrammaUniEmens();
    QString nomeProgramma = QStringLiteral("zepUni");
    QString archivio, output, tipoContribuzione;
    QString stampaDenuncia, stampaDipendenti, stampaCollaboratori, stampaCud;
    QString anno;
    int mese = 0;
    int prima = 0, ultima = 0; // the candidates to import, from 1; 0: all
    bool soloPeriodo = false;
    bool fpls = false;
    bool exDma = false;
    bool soloFile = false;
    bool completa = false;
};

Opzioni leggiOpzioni(const QCommandLineParser &parser)
{
    Opzioni o;
    o.nomeProgramma = parser.value(QStringLiteral("programma"));
    if (o.nomeProgramma == QLatin1String("zepdb"))
        o.programma = TZepParametri::ProgrammaEMens();
    else if (o.nomeProgramma == QLatin1String("zep"))
        o.programma = TZepParametri::ProgrammaEMensLocale();
    else if (o.nomeProgramma != QLatin1String("zepUni"))
        throw platform::EConvertError(
            QStringLiteral("Programma non valido: \"%1\" (zepUni, zepdb o zep)").arg(o.nomeProgramma));
    else
        TZepReportPubblico::Installa(o.programma);
    o.archivio = parser.value(QStringLiteral("archive"));
    o.output = parser.value(QStringLiteral("output"));
    o.tipoContribuzione = parser.value(QStringLiteral("tipo-contribuzione"));
    o.soloPeriodo = parser.isSet(QStringLiteral("solo-periodo"));
    o.fpls = parser.isSet(QStringLiteral("iscritti-fpls"));
    o.exDma = parser.isSet(QStringLiteral("ex-dma"));
    o.soloFile = parser.isSet(QStringLiteral("solo-file"));
    o.completa = parser.isSet(QStringLiteral("completa-demo"));
    o.stampaDenuncia = parser.value(QStringLiteral("stampa-pdf"));
    o.stampaDipendenti = parser.value(QStringLiteral("stampa-dipendenti"));
    o.stampaCollaboratori = parser.value(QStringLiteral("stampa-collaboratori"));
    o.stampaCud = parser.value(QStringLiteral("stampa-cud"));
    if (o.archivio.isEmpty())
        throw platform::EConvertError(QStringLiteral("Indicare l'archivio paghe con --archive FILE"));
    const QString periodo = parser.value(QStringLiteral("period"));
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d{4})-(\\d{2})$")).match(periodo);
    if (!m.hasMatch() || m.captured(2).toInt() < 1 || m.captured(2).toInt() > 12)
        throw platform::EConvertError(
            QStringLiteral("Periodo non valido: \"%1\" (atteso AAAA-MM, per esempio 2024-03)").arg(periodo));
    o.anno = m.captured(1);
    o.mese = m.captured(2).toInt();
    if (parser.isSet(QStringLiteral("persone"))) {
        const QString persone = parser.value(QStringLiteral("persone"));
        const QRegularExpressionMatch p = QRegularExpression(QStringLiteral("^(\\d+)-(\\d+)$")).match(persone);
        if (!p.hasMatch() || p.captured(1).toInt() < 1 || p.captured(2).toInt() < p.captured(1).toInt())
            throw platform::EConvertError(
                QStringLiteral("Persone non valide: \"%1\" (atteso PRIMA-ULTIMA, per esempio 1-20)").arg(persone));
        o.prima = p.captured(1).toInt();
        o.ultima = p.captured(2).toInt();
    }
    // A local archive that is not there would be made anew, empty.
    platform::ConnectionSettings s;
    s.database = o.archivio;
    if (!s.isRemote() && !QFileInfo::exists(o.archivio))
        throw platform::EConvertError(QStringLiteral("Archivio paghe inesistente: %1").arg(o.archivio));
    if (!s.isRemote())
        o.archivio = QFileInfo(o.archivio).absoluteFilePath();
    if (o.programma.Denuncia != TZepDenuncia::UniEmens && o.fpls)
        throw platform::EConvertError(
            QStringLiteral("--iscritti-fpls: %1 non ha gli iscritti FPLS").arg(o.nomeProgramma));
    if (o.programma.Denuncia != TZepDenuncia::UniEmens && !o.stampaCud.isEmpty())
        throw platform::EConvertError(
            QStringLiteral("--stampa-cud: %1 non ha il riepilogo CUD (settore pubblico)").arg(o.nomeProgramma));
    return o;
}

// The installation's connection file; empty when there is none.
QString fileConnessione()
{
    const QString file = TdmUqConnection::DefaultConnectionFile();
    return platform::ConnectionSettings::isPresent(file) ? file : QString();
}

// The archive's settings: those of the installation's connection file
// (user, password, role) with the archive given.
platform::ConnectionSettings impostazioni(const QString &archivio)
{
    const QString file = fileConnessione();
    platform::ConnectionSettings s = file.isEmpty() ? platform::ConnectionSettings::defaults()
                                                    : platform::ConnectionSettings::load(file);
    s.database = archivio;
    return s;
}

class Esecuzione {
public:
    Esecuzione(const Opzioni &o)
        : m_o(o), m_store(CreaStore(o.programma)), m_stato(*m_store, o.programma),
          m_emens(o.programma.Denuncia != TZepDenuncia::UniEmens)
    {
    }

    int Esegui()
    {
        QElapsedTimer totale;
        totale.start();
        m_segnali.Install();
        if (!Apri())
            return StatoFinale(1);
        // Again over the handlers the engine put in when the archive opened
        // (they would shut the engine down under the run).
        m_segnali.Install();
        out() << "Archivio: " << m_o.archivio << Qt::endl;
        riga(QStringLiteral("Passo"), QStringLiteral("Persone"), QStringLiteral("Secondi"));
        Periodo();
        // A run that goes on after its imports holds the month to its end.
        std::unique_ptr<TTovDBCdsImportazione> mese;
        if (m_o.completa || m_o.soloFile || !m_o.output.isEmpty()) {
            mese = m_store->Importazione(m_store->Year(), m_store->Month());
            if (mese && !TieniMese(*mese))
                return StatoFinale(1);
        }
        if (m_o.soloPeriodo)
            return StatoFinale(!m_o.completa || Completa() ? 0 : 1);
        if (!m_o.soloFile && !Importi())
            return StatoFinale(1);
        if (m_o.completa && !Completa())
            return StatoFinale(1);
        if (!m_o.output.isEmpty() && !File())
            return StatoFinale(1);
        if (!Stampe())
            return StatoFinale(1);
        riga(QStringLiteral("Totale"), QString(), secondi(totale));
        return StatoFinale(0);
    }

private:
    // The status of the run: that of a termination signal when one came.
    int StatoFinale(int status)
    {
        if (!platform::TerminationSignals::Requested())
            return status;
        const int segnale = platform::TerminationSignals::RequestedSignal();
        err() << "Interrotto da " << platform::TerminationSignals::SignalName(segnale) << "." << Qt::endl;
        return platform::TerminationSignals::ExitStatus(segnale);
    }

    // The archive opened as zepUni opens it (catalogue, upgrade, repairs).
    bool Apri()
    {
        // The declaration tables' layouts go into the archive as it opens.
        RegistraLayoutDenunce();
        m_connessione = std::make_unique<TdmwunConnessione>();
        m_connessione->DataModuleCreate();
        m_connessione->SetSettings(impostazioni(m_o.archivio), fileConnessione());
        if (!m_connessione->ApriDatabase()) {
            err() << "Impossibile aprire l'archivio " << m_o.archivio << Qt::endl;
            return false;
        }
        m_params = std::make_unique<TdmWunParams>();
        m_params->DataModuleCreate();
        if (auto *archivio = dynamic_cast<TTovDBCds *>(m_store.get())) {
            archivio->SetProgram(QStringLiteral("zep"));
            archivio->SetConnection(platform::Database::global());
        }
        IZepMainState::SetCurrent(&m_stato);
        return true;
    }

    // The month taken for the run, waiting while another workstation
    // imports it (said on the standard error); false when a termination
    // signal ended the wait.
    static bool TieniMese(TTovDBCdsImportazione &mese)
    {
        const bool preso = mese.Attendi(
            [](const QString &testo) {
                err() << "ATTENZIONE: " << QString(testo).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                      << Qt::endl;
            },
            [] { return platform::TerminationSignals::Requested(); });
        if (!preso)
            err() << mese.MsgNonEseguita() << Qt::endl;
        return preso;
    }

    // "Parametri": the period taken as the dialog takes it.
    void Periodo()
    {
        QElapsedTimer t;
        t.start();
        TZepParametri parametri(m_stato);
        parametri.Controlla(m_o.anno);
        parametri.Applica(m_o.anno, m_o.mese, QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        riga(QStringLiteral("Parametri"), QStringLiteral("-"), secondi(t), PeriodoDenuncia());
    }

    // The imports of the month: "Importa", then "Importa iscritti FPLS" and
    // "Importa (ex Dma)" when asked for. Each is a command of its own, as in
    // zepUni: a person one of them refuses does not keep the others from
    // importing theirs, and the file leaves that person out; a run ended by
    // no person's fault, or a termination signal, stops them all.
    bool Importi()
    {
        bool riuscite = Importa(TZepAttivazioni::TipoImport::Dipendenti);
        if (m_emens)
            return riuscite;
        const auto prosegui = [] { return !platform::TerminationSignals::Requested(); };
        if (!m_o.fpls)
            riga(QStringLiteral("Importa iscritti FPLS"), QStringLiteral("-"), QStringLiteral("-"),
                 QStringLiteral("non eseguito (--iscritti-fpls: poi i giorni lavorati, a mano o con --completa-demo)"));
        else if (prosegui())
            riuscite = Importa(TZepAttivazioni::TipoImport::FplsExEnpals) && riuscite;
        if (m_o.exDma && prosegui())
            riuscite = ImportaExDma() && riuscite;
        return riuscite;
    }

    // "Importa (ex Dma)": the command's flow with its wizard confirmed as it
    // opens, the CCNL tables by date and every candidate imported, replacing
    // rows already there.
    bool ImportaExDma()
    {
        QElapsedTimer t;
        t.start();
        if (!TZepDmaImporta::PeriodoAttivo(PeriodoDenuncia())) {
            riga(QStringLiteral("Importa (ex Dma)"), QStringLiteral("-"), QStringLiteral("-"),
                 TZepDmaImporta::MsgNonAttiva);
            return true;
        }
        // The public-sector positions are UniEmens's: its store is the archive.
        auto *archivio = dynamic_cast<TTovDBCds *>(m_store.get());
        if (m_emens || !archivio) {
            err() << "--ex-dma vale solo per zepUni." << Qt::endl;
            return false;
        }
        // One run per legal position of the wizard's list (cbPosGiu), each
        // imported when it has candidates in the month.
        TwunFiscImpMultiSelect::Esito esito;
        int candidati = 0;
        QStringList posizioni;
        qsizetype numeroPosizioni = 1;
        for (int indice = 0; indice < numeroPosizioni; ++indice) {
            if (platform::TerminationSignals::Requested() || esito.interrotto)
                break;
            TZepDmaImporta dma;
            dma.SetStore(archivio);
            dma.EseguiWizard = [&](const QString &, DataSet &parametri, TUqQueryCollection &sedi) {
                TZepWizDmaImp wiz;
                wiz.Imposta(&parametri, &sedi);
                wiz.Inizia();
                wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
                numeroPosizioni = wiz.Posizioni.size();
                wiz.PosizioneScelta = indice;
                return Conferma(wiz, parametri, sedi, false);
            };
            dma.ScegliTabellaCCNL = [] { return 0; };
            dma.EseguiImportazione = [&](const QString &, DataSet &parametri, TUqQueryCollection &sedi) {
                Messaggi messaggi;
                ImportaDmaConArresto imp(*archivio, messaggi, qEnvironmentVariableIntValue("ZEP_ARRESTO_PERSONA_DMA"));
                imp.SetNotifica(&messaggi);
                imp.Modo = TwunFiscImpMultiSelect::SovrascriviSempre;
                imp.Imposta(&parametri, &sedi, QString());
                // A position without candidates is not one the office runs.
                imp.PreparaElenco();
                if (!imp.xqcMultiSelect.isActive() || imp.xqcMultiSelect.isEmpty())
                    return;
                const int n = imp.xqcMultiSelect.recordCount();
                candidati += n;
                posizioni << QStringLiteral("%1 (%2)")
                                 .arg(parametri.fieldByName(QStringLiteral("ITNOID")).asInteger())
                                 .arg(n);
                somma(esito, imp.Importa());
            };
            try {
                if (!dma.ImportaDma()) {
                    err() << "Importazione ex DMA annullata: procedura guidata non confermata." << Qt::endl;
                    return false;
                }
            } catch (const platform::Exception &e) {
                err() << e.message() << Qt::endl;
                return false;
            }
        }
        riga(QStringLiteral("Importa (ex Dma)"), QString::number(esito.importati), secondi(t),
             conteggi(candidati, esito) + QStringLiteral("; posizioni giuridiche: ")
                 + (posizioni.isEmpty() ? QStringLiteral("nessuna con candidati")
                                        : posizioni.join(QStringLiteral(", "))));
        nonImportati(esito);
        if (platform::TerminationSignals::Requested())
            return false;
        return Concludi(esito, QStringLiteral("Importazione ex DMA"));
    }

    // What the imports leave to the user, completed as the windows would;
    // a year without declarant gets it first from the import's declarant
    // step ("Importa" with its box ticked, no person imported).
    bool Completa()
    {
        QElapsedTimer t;
        t.start();
        DataSet dichiarante;
        TZepTabellaDenuncia(*m_store, TZepParametri::TabellaDichiarante, true).Carica(dichiarante);
        if (dichiarante.isEmpty() && !Importa(TZepAttivazioni::TipoImport::Dipendenti, true))
            return false;
        TZepCompletaDemo completa(*m_store);
        const int mittente = completa.Dichiarante() + (m_o.exDma ? completa.DichiaranteExDma() : 0);
        const int collaboratori = completa.Collaboratori();
        const int fpls = m_emens ? 0 : completa.IscrittiFpls();
        const int cessazioni = m_o.exDma ? TZepCompletaDemoDma(*m_store).CessazioniE1() : 0;
        riga(QStringLiteral("Completa demo"), QString::number(collaboratori + fpls + cessazioni), secondi(t),
             QStringLiteral("dichiarante %1, collaborazioni chiuse %2, iscritti FPLS con i giorni lavorati %3, "
                            "quadri E1 con il tipo di cessazione %4")
                 .arg(mittente > 0 ? QStringLiteral("completato") : QStringLiteral("già completo"))
                 .arg(collaboratori)
                 .arg(fpls)
                 .arg(cessazioni));
        return true;
    }

    // "Importa" and "Importa iscritti FPLS": the command's flow with the
    // wizard's page confirmed as it opens (the contribution type of the
    // employees' one aside) and every candidate imported, replacing rows
    // already there; with `soloDichiarante` only the declarant step that
    // comes before the persons (when the wizard's box is ticked: the year
    // has none).
    bool Importa(TZepAttivazioni::TipoImport tipo, bool soloDichiarante = false)
    {
        const bool fpls = tipo == TZepAttivazioni::TipoImport::FplsExEnpals;
        QElapsedTimer t;
        t.start();
        TZepAttivazioni attivazioni;
        attivazioni.SetStore(m_store.get());
        attivazioni.ScegliGruppo = [](const platform::EnumItems &gruppi, qint64) -> qint64 {
            throw EUqError(QStringLiteral("L'archivio ha %1 datori di lavoro e nessuno è scelto: scegliere quello su "
                                          "cui importare con \"Importa\" in zepUni.")
                               .arg(gruppi.size()));
        };
        const QString tabellaTipi = TZepTabellaDenuncia::FileTabella(m_stato, TZepWiz::TabellaTipiContribuzione);
        attivazioni.EseguiWizard = [&](const QString &, DataSet &parametri, TUqQueryCollection &sedi) {
            if (fpls) {
                TZepWizFplsExEnpals wiz;
                wiz.FileContribuzione = tabellaTipi;
                return Conferma(wiz, parametri, sedi);
            }
            TWunPaco azienda;
            TZepWiz wiz;
            wiz.FileTipiContribuzione = tabellaTipi;
            wiz.SetAzienda(&azienda);
            wiz.Imposta(&parametri, &sedi);
            wiz.Inizia();
            wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
            const QString testo = TZepWiz::DescrizioneContribuzione(tabellaTipi, m_o.tipoContribuzione);
            if (testo.isEmpty())
                throw EUqError(QStringLiteral("Tipo contribuzione %1 assente dalla tabella %2")
                                   .arg(m_o.tipoContribuzione, wiz.FileTipiContribuzione));
            wiz.ScegliContribuzione(m_o.tipoContribuzione, testo.mid(m_o.tipoContribuzione.size() + 2));
            return Conferma(wiz, parametri, sedi, false);
        };
        TwunFiscImpMultiSelect::Esito esito;
        int candidati = 0;
        attivazioni.EseguiImportazione = [&](const QString &, DataSet &parametri, TUqQueryCollection &sedi) {
            Messaggi messaggi;
            std::unique_ptr<TZepFiscImpMultiSelect> imp;
            if (fpls)
                imp = std::make_unique<TZepImpFplsExEnpalsMultiSelect>(*m_store);
            else
                imp = std::make_unique<ImportaConArresto>(*m_store, m_o.programma.Denuncia, messaggi,
                                                          qEnvironmentVariableIntValue("ZEP_ARRESTO_PERSONA"));
            imp->FileSediInps = TZepTabellaDenuncia::FileTabella(m_stato, TZepImpSostituto::TabellaSediInps);
            imp->SetNotifica(&messaggi);
            imp->Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
            imp->Imposta(&parametri, &sedi, QString());
            if (soloDichiarante) {
                if (parametri.fieldByName(QStringLiteral("SOSTITUTO")).asBoolean())
                    imp->ImportaSostituto();
                return;
            }
            if (!imp->Prepara())
                return;
            candidati = imp->xqcMultiSelect.recordCount();
            const QList<platform::Bookmark> scelti = Selezione(imp->xqcMultiSelect);
            if (m_o.prima > 0 && scelti.isEmpty())
                return; // no candidate in the run asked for (an empty choice would be every one)
            esito = imp->Importa(scelti);
        };
        if (!attivazioni.Importa(tipo)) {
            err() << "Importazione annullata: nessun datore di lavoro o procedura guidata non confermata." << Qt::endl;
            return false;
        }
        if (soloDichiarante) {
            riga(QStringLiteral("Importa (dichiarante)"), QStringLiteral("-"), secondi(t),
                 QStringLiteral("parametri salvati, dichiarante dell'anno dalla sede del datore di lavoro"));
            return true;
        }
        const int persone = esito.importati + esito.saltati + esito.esclusi;
        riga(fpls ? QStringLiteral("Importa iscritti FPLS") : QStringLiteral("Importa"),
             QString::number(esito.importati), secondi(t),
             conteggi(candidati, esito)
                 + QStringLiteral("; %1 ms per persona")
                       .arg(persone > 0 ? double(t.nsecsElapsed()) / 1e6 / persone : 0.0, 0, 'f', 1));
        nonImportati(esito);
        if (platform::TerminationSignals::Requested())
            return false;
        return Concludi(esito, QStringLiteral("Importazione"));
    }

    // The end of an import step. A run ended by what is no person's fault
    // (the archive, a full disk, another workstation, "Interrompi") leaves
    // the month unfinished: no file. Persons refused for their own data are
    // named above and left out, as the clerk who has read their boxes goes
    // on to the file of the others.
    static bool Concludi(const TwunFiscImpMultiSelect::Esito &esito, const QString &passo)
    {
        if (esito.interrotto) {
            err() << passo << " interrotta (messaggi sopra): file telematico non creato." << Qt::endl;
            return false;
        }
        if (esito.falliti > 0)
            err() << passo << ": " << esito.falliti
                  << " persone rifiutate per i loro dati (sopra): il file telematico non le dichiara." << Qt::endl;
        return true;
    }

    // A wizard's page shown as it opens (unless `mostra` is false: the
    // caller showed it) and confirmed with OK.
    static QString Conferma(TwunWizard &wiz, DataSet &parametri, TUqQueryCollection &sedi, bool mostra = true)
    {
        if (mostra) {
            wiz.Imposta(&parametri, &sedi);
            wiz.Inizia();
            wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
        }
        if (!wiz.PuoChiudere(true))
            throw EUqError(QStringLiteral("Procedura guidata di importazione non conclusa"));
        return wiz.Conferma();
    }

    // The rows of the candidates asked for (none when the list is shorter);
    // without --persone none, which is every candidate.
    QList<platform::Bookmark> Selezione(TUqQueryCollection &candidati) const
    {
        QList<platform::Bookmark> righe;
        if (m_o.prima == 0)
            return righe;
        int n = 0;
        for (candidati.first(); !candidati.eof(); candidati.next())
            if (++n >= m_o.prima && n <= m_o.ultima)
                righe << candidati.bookmark();
        return righe;
    }

    // "File telematico" with "Tutti": the company declaration recomputed,
    // then the file.
    bool File()
    {
        if (m_emens)
            return FileEMens();
        QElapsedTimer t;
        t.start();
        DataSet denunciaAziendale;
        TZepFile file(*m_store, denunciaAziendale);
        try {
            file.CaricaTabelle();
            file.PreparaPrenota();
            file.RicalcolaDenunciaAziendale();
            file.Prenotazione = false;
            file.EliminaNonSelezionati({});
            file.NomeFile = CartellaOutput();
            file.GeneraDenunceMensili();
        } catch (const std::exception &e) {
            err() << TZepFile::TestoErrore(file.PersonaCorrente(), e) << Qt::endl;
            return false;
        }
        riga(QStringLiteral("File telematico"), QString::number(file.cdsPrenota.recordCount()), secondi(t),
             file.NomeFile);
        out() << TZepFile::MsgTerminata << Qt::endl;
        return true;
    }

    // The earlier program's "File telematico" with "Tutti": the E-Mens file
    // of the local-file form when the store is the year folder's.
    bool FileEMens()
    {
        QElapsedTimer t;
        t.start();
        emens::TZepFile file(*m_store, m_o.programma.FileLocali());
        try {
            file.CaricaTabelle();
            file.PreparaPrenota();
            file.EliminaNonSelezionati({});
            file.NomeFile = CartellaOutput();
            file.GeneraDenunceRetributiveMensili();
        } catch (const std::exception &e) {
            err() << emens::TZepFile::TestoErrore(file.PersonaCorrente(), e) << Qt::endl;
            return false;
        }
        riga(QStringLiteral("File telematico"), QString::number(file.cdsPrenota.recordCount()), secondi(t),
             file.NomeFile);
        out() << emens::TZepFile::MsgTerminata << Qt::endl;
        return true;
    }

    // The output file as a full path, its folder made.
    QString CartellaOutput() const
    {
        const QString cartella = QFileInfo(m_o.output).absolutePath();
        if (!QDir().mkpath(cartella))
            throw EUqError(
                QStringLiteral("Impossibile creare la cartella \"%1\"").arg(QDir::toNativeSeparators(cartella)));
        return QFileInfo(m_o.output).absoluteFilePath();
    }

    // The store of the program: the archive's, or the year folders' files
    // of the installation (the folder above the program's) for zep.
    static std::unique_ptr<ITovDBCds> CreaStore(const TZepProgramma &programma)
    {
        if (programma.FileLocali())
            return std::make_unique<TZepCdsLocale>(TZepStatoSenzaFinestra::CartellaBaseProgramma(),
                                                   programma.PrefissoCartellaAnno);
        return std::make_unique<TTovDBCds>();
    }

    // The prints asked for, each into its PDF file.
    bool Stampe()
    {
        const auto stampa = [this](const QString &passo, const QString &file, const auto &costruisci) {
            if (file.isEmpty())
                return true;
            QElapsedTimer t;
            t.start();
            try {
                TZepStampa stampa = costruisci();
                // Printed along the road of the program asked for.
                stampa.programma = m_o.nomeProgramma;
                const int pagine = TZepStampaRender::Pdf(stampa, QFileInfo(file).absoluteFilePath());
                riga(passo, (pagine == 1 ? QStringLiteral("%1 pagina") : QStringLiteral("%1 pagine")).arg(pagine),
                     secondi(t), QFileInfo(file).absoluteFilePath());
            } catch (const std::exception &e) {
                err() << passo << ": " << QString::fromUtf8(e.what()) << Qt::endl;
                return false;
            }
            return true;
        };
        const auto elenco = [this](TzepRepBase &rep) {
            rep.Carica();
            rep.Mese = m_o.mese;
            rep.Scegli({});
            return rep.Stampa();
        };
        TzepRepDip dipendenti(*m_store, m_o.programma.Denuncia);
        TzepRepColl collaboratori(*m_store, m_o.programma.Denuncia);
        return stampa(QStringLiteral("Stampa Denuncia"), m_o.stampaDenuncia,
                      [this] { return TZepReport::StampaDenuncia(m_stato); })
               && stampa(QStringLiteral("Stampa Dipendenti"), m_o.stampaDipendenti, [&] { return elenco(dipendenti); })
               && stampa(QStringLiteral("Stampa Collaboratori"), m_o.stampaCollaboratori,
                         [&] { return elenco(collaboratori); })
               && stampa(QStringLiteral("Stampa Riepilogo CUD"), m_o.stampaCud, [this] {
                      TZepRiepilogoDatiCUD cud(*m_store);
                      cud.CaricaPersone();
                      cud.Scegli({});
                      cud.CaricaSezioni();
                      return cud.Stampa();
                  });
    }

    Opzioni m_o;
    platform::TerminationSignals m_segnali;
    std::unique_ptr<ITovDBCds> m_store;
    TZepStatoSenzaFinestra m_stato;
    bool m_emens; // the earlier program's road
    std::unique_ptr<TdmwunConnessione> m_connessione;
    std::unique_ptr<TdmWunParams> m_params;
};

} // namespace

// Whether the command line asks for a print: the prints lay their pages out
// with Qt Gui's fonts, on the offscreen platform unless another is set.
bool chiedeStampe(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).startsWith("--stampa-"))
            return true;
    return false;
}

int main(int argc, char **argv)
{
    const bool stampe = chiedeStampe(argc, argv);
    if (stampe && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> applicazione = stampe ? std::make_unique<QGuiApplication>(argc, argv)
                                                            : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *applicazione;
    QCoreApplication::setApplicationName(QStringLiteral("zepDemoDeclaration"));
    // The catalogue names the least version of each program that may use it.
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    platform::Services::install(std::make_unique<platform::CoreServices>());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Importa un mese dall'archivio paghe e ne crea il file UniEmens (o E-Mens), come farebbe "
                       "l'utente di zepUni (o di zepdb, zep)."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("programma"),
         QStringLiteral("Il programma di cui seguire la strada: zepUni (UniEmens), zepdb (E-Mens 2008-2009) o zep "
                        "(E-Mens 2005-2007 su file locali)."),
         QStringLiteral("PROGRAMMA"), QStringLiteral("zepUni")},
        {QStringLiteral("archive"), QStringLiteral("Archivio paghe (file, o \"host:/percorso\")."),
         QStringLiteral("FILE")},
        {QStringLiteral("period"), QStringLiteral("Periodo di lavoro."), QStringLiteral("AAAA-MM")},
        {QStringLiteral("output"),
         QStringLiteral("File UniEmens da creare (senza: solo il periodo e le importazioni)."),
         QStringLiteral("FILE.xml")},
        {QStringLiteral("tipo-contribuzione"), QStringLiteral("Tipo contribuzione scelto nella procedura guidata."),
         QStringLiteral("CODICE"), QStringLiteral("00")},
        {QStringLiteral("persone"), QStringLiteral("Solo i candidati da PRIMA a ULTIMA dell'elenco (da 1)."),
         QStringLiteral("PRIMA-ULTIMA")},
        {QStringLiteral("iscritti-fpls"),
         QStringLiteral("Esegue anche \"Importa iscritti FPLS\" (il file vuole poi i loro giorni lavorati: "
                        "--completa-demo).")},
        {QStringLiteral("ex-dma"),
         QStringLiteral("Esegue anche \"Importa (ex Dma)\" (le posizioni del settore pubblico, da ottobre 2012).")},
        {QStringLiteral("solo-file"),
         QStringLiteral("Solo il periodo e il file, sulle righe già importate (e corrette nelle finestre).")},
        {QStringLiteral("solo-periodo"), QStringLiteral("Imposta solo il periodo di lavoro, come \"Parametri\".")},
        {QStringLiteral("stampa-pdf"), QStringLiteral("Stampa la denuncia del mese (\"Denuncia\") nel file PDF."),
         QStringLiteral("FILE.pdf")},
        {QStringLiteral("stampa-dipendenti"),
         QStringLiteral("Stampa i dipendenti del mese (\"Dipendenti\") nel file PDF."), QStringLiteral("FILE.pdf")},
        {QStringLiteral("stampa-collaboratori"),
         QStringLiteral("Stampa i collaboratori del mese (\"Collaboratori\") nel file PDF."),
         QStringLiteral("FILE.pdf")},
        {QStringLiteral("stampa-cud"),
         QStringLiteral(
             "Stampa il riepilogo CUD dell'anno (\"Riepilogo CUD\", tutti gli iscritti ex DMA) nel file PDF."),
         QStringLiteral("FILE.pdf")},
        {QStringLiteral("completa-demo"),
         QStringLiteral("Completa come nelle finestre ciò che le importazioni lasciano all'utente (dichiarante, "
                        "fine delle collaborazioni aperte, giorni lavorati degli iscritti FPLS, tipo di cessazione dei "
                        "quadri E1); con --solo-periodo "
                        "prepara l'installazione come un ufficio che ha già dichiarato.")},
    });
    parser.process(app);

    Opzioni opzioni;
    try {
        opzioni = leggiOpzioni(parser);
    } catch (const platform::Exception &e) {
        err() << e.message() << Qt::endl;
        return 2;
    }
    try {
        Esecuzione esecuzione(opzioni);
        return esecuzione.Esegui();
    } catch (const platform::Exception &e) {
        err() << e.message() << Qt::endl;
    } catch (const std::exception &e) {
        err() << e.what() << Qt::endl;
    }
    return 1;
}
