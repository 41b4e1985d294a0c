#include "ZepUControlliFile.h"

#include "ZepCMittente.h"
#include "ZepCTabellaDenuncia.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"

using platform::DataSet;
using platform::Field;

const QString TZepControlliFile::MsgCampoNonImpostato = QStringLiteral("Campo non impostato: ");
const QString TZepControlliFile::MsgDichiarante = QStringLiteral("Dichiarante");

QString TZepControlliFile::Persona(const QString &cognome, const QString &nome, const QString &codiceFiscale)
{
    return cognome + QLatin1Char(' ') + nome + QStringLiteral(" - CF: ") + codiceFiscale;
}

const QString &TZepControlliFile::CampoObbligatorio(const QString &valore, const QString &etichetta)
{
    if (valore.trimmed().isEmpty())
        throw EUqError(MsgCampoNonImpostato + etichetta);
    return valore;
}

void TZepControlliFile::ControllaDichiarante(const DataSet &dichiarante, QString &persona)
{
    if (!dichiarante.isActive() || dichiarante.isEmpty())
        return;
    persona = MsgDichiarante;
    TZepMittente::PrimaDelPost(dichiarante);
}

void TZepControlliFile::ControllaPersona(const DataSet &persone, const QString &campoCodiceFiscale)
{
    CampoObbligatorio(persone.fieldByName(campoCodiceFiscale).asString(), campoCodiceFiscale);
    TZepTabellaDenuncia::ControllaRiga(persone, {campoCodiceFiscale});
}

void TZepControlliFile::ControllaPersone(DataSet &persone, const QString &campoCodiceFiscale, QString &persona)
{
    if (!persone.isActive())
        return;
    const Field &cf = persone.fieldByName(campoCodiceFiscale);
    const Field &cognome = persone.fieldByName(QStringLiteral("COGNOME"));
    const Field &nome = persone.fieldByName(QStringLiteral("NOME"));
    for (persone.first(); !persone.eof(); persone.next()) {
        persona = Persona(cognome.asString(), nome.asString(), cf.asString());
        ControllaPersona(persone, campoCodiceFiscale);
    }
    persone.first();
}
