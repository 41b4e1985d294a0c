#pragma once
// The E-Mens file of the working period, without any display: the rules of
// the earlier program's wizard "Generazione file telematico" and its writer
// GeneraDenunceRetributiveMensili. In namespace emens, beside the current
// program's UniEmens writer of the same unit name.
//
// The window works in the order of its pages: CaricaTabelle reads the
// period's employees and collaborators; PreparaPrenota lists them for the
// choice "su Prenotazione"; EliminaNonSelezionati drops from the in-memory
// copies the rows not chosen, each matched to its own selection row;
// CreaFile asks for the file and writes it (the tables, the steps and the
// run are TZepFileBase's, ZepCFileBase.h). Nothing is written to the
// declaration tables. Each element's children are set in the order of the
// element tree, because the document keeps the order in which they were
// first reached.
//
// The two forms: the database form (zepdb) writes the position leaves
// OrarioContrattuale, PercPartTime, NumMensilita and RetribTeorica; the
// local-file form (zep) writes none of them. Both name the person being
// written in every error box.
#include "Emens/ZepCEmensDataBinding.h"

#include "ZepCFileBase.h"

namespace emens {

class TZepFile : public TZepFileBase {
public:
    static const QString MsgCapIstat;     // "Dichiarante: \"CAP amministrazione\" o ..."
    static const QString CartellaDenunce; // "/INPS/Emens/Denunce-EMens"

    // `formaLocale`: the local-file form's document (no position leaves).
    TZepFile(ITovDBCds &store, bool formaLocale, IZepLogFile *log = nullptr);

    // Its selection list cdsPrenota has one more column, Riga, the position
    // of the person's row in its table.

    // ApriDipendenti and ApriCollaboratori: the period's rows, reloaded.
    void CaricaTabelle() override;
    // RiempiPrenotazioni, the first time only.
    void PreparaPrenota() override;
    // FiltraPrenotazioni: every row whose selection row is not among
    // `selezionati` is dropped from the copy in memory; none selected: all
    // stay.
    void EliminaNonSelezionati(const QList<platform::Bookmark> &selezionati) override;

    // "EMens" + "AAAA-MM" + ".Xml".
    static QString NomeFileDefault();
    // "ProgramFiles" (the home folder when unset) + CartellaDenunce.
    static QString CartellaDefault();

    // Builds the document and saves it to NomeFile (whole or not at all).
    void GeneraDenunceRetributiveMensili();
    IXMLDenunceRetributiveMensili CreaDocumento();
    // Before the document is made, as the UniEmens file does
    // (TZepControlliFile): the declarant's row and every person's row as
    // their windows check them before a post (the fiscal code required and
    // valid, the characters of every text, the fields of a fixed form:
    // TZepFormeCampi), since the rows may come from
    // elsewhere than the windows. The first fault raises EUqError naming
    // the field, with the person whose row holds it (or the declarant) as
    // PersonaCorrente.
    void ControllaRighe();
    void ScriviDipendenti(IXMLListaDenunceIndividualiList liste);
    void ScriviCollaboratori(IXMLListaCollaboratori lista);

protected:
    QString CartellaFile() const override { return CartellaDefault(); }
    QString NomeFileProposto() const override { return NomeFileDefault(); }
    void Genera() override { GeneraDenunceRetributiveMensili(); }

private:
    bool m_formaLocale;
};

} // namespace emens
