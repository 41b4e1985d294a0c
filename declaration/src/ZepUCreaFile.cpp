#include "ZepUCreaFile.h"

#include "Database.h"
#include "Exceptions.h"
#include "Field.h"
#include "IniFile.h"
#include "Services.h"
#include "UqMessages.h"
#include "WunUUtil.h"

#include <QDir>
#include <QFileInfo>

const QString TZepCreaFile::MsgAnnullata = QStringLiteral("Operazione annullata dall'utente.");
const QString TZepCreaFile::MsgTerminata = QStringLiteral("Operazione terminata con successo.");
const QString TZepCreaFile::MsgErrore = QStringLiteral(
    "Errore nella generazione del file, operazione non conclusasi con successo");
const QString TZepCreaFile::MsgSovrascrivere = QStringLiteral("Il file \"%1\" esiste già. Sostituirlo?");

const QString TZepCreaFile::FileConfigurazione = QStringLiteral("UniEmens.ini");
const QString TZepCreaFile::SezioneConfigurazione = QStringLiteral("FileTelematico");

QString TZepCreaFile::CFSoftwarehouseConfigurato()
{
    return platform::IniFile(TWunUtil::CercaPercorso(TWunUtil::CartellaEtc() + FileConfigurazione))
        .value(SezioneConfigurazione, QStringLiteral("CFSoftwarehouse"))
        .value_or(QString())
        .trimmed();
}

int TZepCreaFile::InteroDichiarato(const platform::Field &f)
{
    if (f.isNull())
        return 0;
    if (f.dataType() == platform::FieldType::Currency)
        return int(f.asCurrency().rounded(0).truncated());
    return f.asInteger();
}

QString TZepCreaFile::CartellaProgrammi(const QString &sottocartella)
{
    const QString programmi = qEnvironmentVariable("ProgramFiles");
    const QString base = programmi.isEmpty() ? QDir::homePath() : QDir(programmi).absolutePath();
    return QDir::cleanPath(base + sottocartella);
}

QString TZepCreaFile::TestoErrore(const QString &persona, const QString &messaggio)
{
    return MsgErrore + QStringLiteral("\n\n") + persona + QStringLiteral("\n***  ") + messaggio;
}

QString TZepCreaFile::TestoErrore(const QString &persona, const std::exception &errore)
{
    if (const auto *archivio = dynamic_cast<const platform::EDatabaseError *>(&errore);
        archivio && archivio->archiveFailure())
        return MsgErrore + QStringLiteral("\n\n") + platform::Database::archiveFailureMessage(*archivio);
    if (const auto *file = dynamic_cast<const platform::EWriteError *>(&errore))
        return MsgErrore + QStringLiteral("\n\n") + file->message();
    return TestoErrore(persona, QString::fromUtf8(errore.what()));
}

bool TZepCreaFile::Esegui(const QString &cartella, const QString &nome, const SceltaFile &scegli,
                          const std::function<void(const QString &file)> &genera,
                          const std::function<QString()> &persona, IZepLogFile *log)
{
    const auto scrivi = [log](const QString &riga) {
        if (log)
            log->Log(riga);
    };
    platform::WaitCursor attesa;
    try {
        if (!QDir().mkpath(cartella))
            throw EUqError(
                QStringLiteral("Impossibile creare la cartella \"%1\"").arg(QDir::toNativeSeparators(cartella)));
        const QString scelto = scegli(cartella, nome);
        if (scelto.isEmpty())
            throw EUqError(MsgAnnullata);
        if (QFileInfo::exists(scelto)
            && UqMessageBox(MsgSovrascrivere.arg(QDir::toNativeSeparators(scelto)), QString(),
                            platform::Yes | platform::No, platform::MessageType::Warning, platform::No)
                   != platform::Yes)
            throw EUqError(MsgAnnullata);
        genera(scelto);
    } catch (const std::exception &e) {
        scrivi(QStringLiteral("***  ") + QString::fromUtf8(e.what()));
        UqShowError(TestoErrore(persona(), e));
        return false;
    }
    scrivi(QString());
    scrivi(MsgTerminata);
    UqMessageBox(MsgTerminata, QString(), platform::Ok, platform::MessageType::Information);
    return true;
}
