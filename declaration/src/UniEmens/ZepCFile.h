#pragma once
// The UniEmens file of the working period, without any display: the rules
// of the file window "Generazione file telematico" (ui/ZepFFile.h) and the
// generator GeneraDenunceMensili with its section writers.
//
// The window (or a program without windows) works in the order of its
// pages: CaricaTabelle reads the period's declaration tables into memory;
// PreparaPrenota lists the persons for the choice "su Prenotazione";
// RicalcolaDenunciaAziendale rebuilds the company declaration;
// EliminaNonSelezionati drops from the in-memory copies the persons not
// chosen; CreaFile asks for the file and runs GeneraDenunceMensili, which
// fills one UniEmens document (the sender, the company, one contribution
// position per INPS company number with its employees, performing-arts
// workers and company declaration, then the collaborators and the
// public-sector positions) and saves it whole or not at all (the tables
// both files share, the steps and the run are TZepFileBase's,
// ZepCFileBase.h). Its log lines go to an IZepLogFile. Generating never
// changes a stored table: only the recomputation saves, and only the
// company declaration.
//
// Every child is set in the order of its element's members (the order of
// the binding description), because the document keeps its children in the
// order they were first reached. Amounts are computed as Currency and
// written with "." as the decimal separator whatever the machine's locale,
// each element in one form whatever its value: two decimals where the
// element carries cents ("1773.50", never "1773.5"), digits alone where it
// carries whole euros (a collaborator's Imponibile; cents there are
// refused, naming the field).
//
// Configuration: the software house's fiscal code written into
// CFSoftwarehouse is the key "CFSoftwarehouse" of the section
// [FileTelematico] of "UniEmens.ini" in the etc folder (TWunUtil::
// CartellaEtc()); unset, the element is left out of the file.
#include "UniEmens/ZepCEmensDataBinding.h"

#include "ZepCFileBase.h"

#include "Currency.h"
#include "DataSet.h"
#include "ZepCIndiceIscritti.h"
#include "ZepULogFile.h"

#include <QDate>
#include <QHash>
#include <memory>
#include <vector>

class TZepFile : public TZepFileBase {
public:
    static const QString MsgGiorniLavorati;   // "In presenza di giorni retribuiti devono essere ..."
    static const QString MsgGiorniRetribuiti; // "Giorni retribuiti devono essere maggiori di zero"
    static const QString MsgCapIstat;         // "Dichiarante: \"CAP sede di lavoro\" o ..."
    static const QString MsgCFSoftwarehouse;  // a configured code that is not 11 digits
    static const QString CartellaDenunce;     // "/INPS/INPS uniEMens individuale/Denunce"
    static const QString TipoPubblico;        // "E", a public-sector person of the selection list
    static const QString MsgCessazioneE1;     // E1 stopping on a date (%1) with neither code

    // The tables of the store's period; `denunciaAziendale` is the company
    // declaration's dataset (the window's frame holds it); `log` may be
    // nullptr. CFSoftwarehouse is read from the configuration.
    TZepFile(ITovDBCds &store, platform::DataSet &denunciaAziendale, IZepLogFile *log = nullptr);
    ~TZepFile() override;

    // ---- the tables in memory, beside TZepFileBase's ----
    platform::DataSet cdsFplsExEnpals;       // performing-arts workers, index "Matricola;CFLavoratore"
    platform::DataSet &cdsDenunciaAziendale; // index "Matricola"
    platform::DataSet cdsDMA;                // public-sector persons, index "CF_D0001001_CODFIS"
    // The selection list cdsPrenota's Tipo: "D" employee, "F" performing-
    // arts worker, "E" public-sector person, "C" collaborator; Matricola and
    // Qualifica2 of employees and performing-arts workers only.

    // "su Prenotazione" chosen: every contribution position is written with
    // Composizione "FC" ("CP" for "Tutti"), whether or not persons were
    // dropped.
    bool Prenotazione = false;
    // The amount typed in the window's INPDAP box (blank: none), written as
    // the list's AltriImportiAConguaglio "001".
    QString ImportoInpdap;
    // CFSoftwarehouse, when set, must be 11 digits (MsgCFSoftwarehouse).

    // ---- the pages ----
    // Reloads the employees, performing-arts workers, public-sector persons
    // and collaborators and the company declaration of the store's period,
    // each with its index:
    // what a previous EliminaNonSelezionati dropped comes back.
    void CaricaTabelle() override;
    // Fills cdsPrenota from the tables the first time only: the employees,
    // the performing-arts workers, the public-sector persons, the
    // collaborators; then the first row.
    void PreparaPrenota() override;
    // The company declaration recomputed from the employees and performing-
    // arts workers (TZepDenunciaAziendale::Ricalcola) and its pending
    // changes saved to the store.
    void RicalcolaDenunciaAziendale();
    // Drops from the in-memory tables every person whose row of cdsPrenota
    // (matched by Tipo, CF, Matricola and Qualifica2) is not among the
    // selected ones; nothing when none is selected. A person missing from
    // the list is a programming error.
    // (Public-sector persons and collaborators are matched by Tipo and CF.)
    void EliminaNonSelezionati(const QList<platform::Bookmark> &selezionati) override;
    // Whether public-sector persons take part in the file: with no row
    // selected (everybody), when the list holds one; else when one of the
    // selected rows is one. The window shows its INPDAP box for them.
    bool PubbliciPresenti(const QList<platform::Bookmark> &selezionati) const;

    // "uniEMens" + "AAAA-MM" + ".Xml".
    static QString NomeFileDefault();
    // The environment variable "ProgramFiles" as a full path (the user's
    // home folder when it is unset) + CartellaDenunce.
    static QString CartellaDefault();
    // CreaFile (TZepFileBase) runs GeneraDenunceMensili.

    // ---- the generator ----
    // Builds the document and saves it to NomeFile; raises on the first
    // error, leaving an existing file as it was.
    void GeneraDenunceMensili();
    // The document GeneraDenunceMensili saves.
    uniemens::IXMLDenunceMensili CreaDocumento();
    // Before the document is made: every row of the declarant and of the
    // persons as the windows check it before a post (the fiscal codes, the
    // characters of every text: TZepControlliFile, the checks shared with
    // the E-Mens file), since rows may come from elsewhere than the windows
    // (an import, another program on the archive). The first fault raises
    // EUqError naming the field, with the person (or MsgDichiarante) as the
    // context line. The public-sector persons too, as the private ones, and
    // the rows of their sections, each under its person (the sections are
    // read afresh here for the run): the characters of every text, and a
    // pension-fund row (E1) whose contributions stop on a date needs the
    // reason of the suspension or the kind of the cessation
    // (MsgCessazioneE1).
    void ControllaRighe();

    // Whether a row of the dataset has exactly that Matricola (values
    // compared, no filter text built from them).
    static bool MatricolaPresente(const platform::DataSet &dataSet, const QString &matricola);
    // The amount with two decimals and "." ("1234.50", "-0.01").
    static QString Importo(platform::Currency importo);

    // ---- the section writers (public for their tests) ----
    void ScriviPosizioni(uniemens::IXMLAzienda azienda);
    void ScriviDipendenti(uniemens::IXMLDenunciaIndividualeList denunce, const QString &matricola);
    void ScriviFplsExEnpals(uniemens::IXMLDenunciaIndividualeList denunce, const QString &matricola);
    void ScriviGiorniDip(uniemens::IXMLDatiRetributivi dati, const QString &giorni);
    void ScriviGiorniFpls(uniemens::IXMLDatiRetributivi dati);
    void ScriviDatiParticolariFpls(uniemens::IXMLDatiRetributivi dati);
    void ScriviCausaleAggiuntiva(uniemens::IXMLDatiRetributivi dati, const QString &etichetta, int mese,
                                 const QString &causale, qint64 base, platform::Currency importo);
    void ScriviDenunciaAziendale(uniemens::IXMLPosContributiva posizione);
    void ScriviCollaboratori(uniemens::IXMLListaCollaboratori lista);
    // The public-sector positions: the list's head from the declarant
    // (raises on its missing fields), then ScriviListaPosPA.
    void ScriviDatiExDma(uniemens::IXMLListaPosPA lista);
    void ScriviListaPosPA(uniemens::IXMLListaPosPA lista);
    void ScriviQuadroE0(uniemens::IXMLD0_DenunciaIndividuale denuncia, int iscritto);
    void ScriviQuadroE1(uniemens::IXMLD0_DenunciaIndividuale denuncia, int iscritto);
    void ScriviQuadroV1(uniemens::IXMLD0_DenunciaIndividuale denuncia, int iscritto);
    void ScriviEntiVersantiE0(uniemens::IXMLE0_PeriodoNelMese periodo, int iscritto, int ordine);
    void ScriviEntiVersantiV1(uniemens::IXMLV1_PeriodoPrecedente periodo, int iscritto, int ordine);
    // From the current row of the current section (E0 or V1).
    void ScriviInquadramentoPA(uniemens::IXMLInquadramentoLavPA inquadramento);
    void ScriviGestioni(uniemens::IXMLGestioni gestioni);
    void ScriviRecuperoSgravi(uniemens::IXMLGestioni_GestPensionistica pensionistica);
    void ScriviMotivoUtilizzo(uniemens::IXMLV1_PeriodoPrecedente periodo, const QString &motivo);
    // Takes the child `nome` out of `nodo` when it holds nothing (no
    // attribute, no child, no text). The child must exist.
    static void RimuoviSeVuoto(const xmlbinding::Node &nodo, const QString &nome);
    // A registry code of the public sector: trimmed, zero-padded to 5
    // characters; longer is refused naming `etichetta`.
    static QString CodiceInpdap(const QString &valore, const QString &etichetta);
    // A percentage or month count in thousandths (12.5 gives 12500),
    // truncated, computed in fixed point.
    static int Millesimi(platform::Currency valore);
    // The INPDAP box's amount: digits with at most one "." or "," as the
    // decimal separator and at most two decimals; else EUqError.
    static platform::Currency ImportoBoxInpdap(const QString &testo);

    // A work period of the performing-arts worker being written: a run of
    // worked days, with its ordinary pay.
    struct PeriodoFpls {
        QDate DataInizio;
        QDate DataFine;
        int NumGiorniLavorati = 0;
        platform::Currency ImpRetrOrdinaria;
    };
    const std::vector<PeriodoFpls> &cdsPeriodiFplsExEnpals() const { return m_periodi; }

protected:
    QString CartellaFile() const override { return CartellaDefault(); }
    QString NomeFileProposto() const override { return NomeFileDefault(); }
    void Genera() override { GeneraDenunceMensili(); }

private:
    struct CampiPersona;
    struct CampiDipendente;
    struct CampiFpls;
    struct CampiCollaboratore;

    // The context line and the log line of the current row of `persone`.
    void IniziaPersona(const CampiPersona &campi, const QString &tipo, const QString &dettaglio);
    // The head of a declaration shared by employees and performing-arts
    // workers: Elimina to TipoCodiceContratto.
    void ScriviTesta(uniemens::IXMLDenunciaIndividuale denuncia, const CampiPersona &campi);
    void ScriviAssunzioneCessazione(uniemens::IXMLDenunciaIndividuale denuncia, const CampiPersona &campi);
    void ScriviCausaliAggiuntive(uniemens::IXMLDatiRetributivi dati);
    void ScriviANF(uniemens::IXMLDenunciaIndividuale denuncia);
    void ScriviRispettoMinimale(uniemens::IXMLDatiRetributivi dati, const CampiPersona &campi);

    std::vector<PeriodoFpls> m_periodi;
    std::unique_ptr<CampiDipendente> m_dip;
    std::unique_ptr<CampiFpls> m_fpls;
    // The public-sector sections, loaded once per generation.
    platform::DataSet m_e0, m_v1, m_e1, m_evE0, m_evV1;
    // Their rows by person (the paying entities by person and ORDINE), in
    // the table's order.
    TZepIndiceIscritti m_indice;
    bool m_sezioniCaricate = false;
    // The current section row and its code (E0 or V1).
    platform::DataSet *m_sezione = nullptr;
    QString m_quadro;
    // The person row of cdsDMA being written.
    void CaricaSezioni();
    void ControllaRighePubbliche();
    const platform::Field &campoSezione(const QString &nomeE0) const;
};
