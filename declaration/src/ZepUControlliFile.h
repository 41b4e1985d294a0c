#pragma once
// The checks that both declaration files' writers (UniEmens and E-Mens) run
// on the month's rows before anything is written. The rows may come from
// elsewhere than the windows (an import, another program on the archive, a
// year folder's files), so each is checked here as its window checks it
// before a post; the first fault is refused naming the field, and the
// context line of the error box names the person whose row holds it (or the
// declarant), not the last one written. A check the rows of both files need
// belongs here, once.
#include <QString>

namespace platform {
class DataSet;
}

class TZepControlliFile {
public:
    static const QString MsgCampoNonImpostato; // "Campo non impostato: "
    static const QString MsgDichiarante;       // "Dichiarante": the context line of the declarant's row

    // The context line of a person: surname, a blank, name, " - CF: " and
    // the fiscal code.
    static QString Persona(const QString &cognome, const QString &nome, const QString &codiceFiscale);

    // The value when it holds more than blanks; else EUqError
    // MsgCampoNonImpostato + etichetta.
    static const QString &CampoObbligatorio(const QString &valore, const QString &etichetta);

    // The current row of the year's declarant, when there is one, as its
    // window checks it (TZepMittente::PrimaDelPost); `persona` is
    // MsgDichiarante meanwhile.
    static void ControllaDichiarante(const platform::DataSet &dichiarante, QString &persona);

    // The current row of a person: the fiscal code of `campoCodiceFiscale`
    // required (MsgCampoNonImpostato + the field's name) and a valid one,
    // every text of characters the declaration can carry
    // (TZepTabellaDenuncia::ControllaRiga).
    static void ControllaPersona(const platform::DataSet &persone, const QString &campoCodiceFiscale);

    // Every row of `persone` (none when it is not open) by ControllaPersona,
    // with `persona` naming the row's person (its COGNOME, NOME and code)
    // while it is checked: after a fault, the one refused.
    static void ControllaPersone(platform::DataSet &persone, const QString &campoCodiceFiscale, QString &persona);
};
