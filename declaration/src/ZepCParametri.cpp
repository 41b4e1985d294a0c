#include "ZepCParametri.h"

#include "Exceptions.h"
#include "Field.h"
#include "Paths.h"
#include "TovUCdsUtil.h"
#include "UqMessages.h"
#include "ZepCFormeCampi.h"
#include "ZepCKax.h"
#include "ZepUMainState.h"
#include "ZepUUtil.h"
#include "tovUDBCds.h"
#include "ZepULayoutNomi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>

using platform::DataSet;
using platform::Field;
using platform::FieldType;

const QString ZepTitoloUniEmens = QStringLiteral("zepUni - Denunce UniEmens");
const QString ZepTitoloEMens = QStringLiteral("zepdb - Denunce E-Mens");
const QString ZepTitoloEMensLocale = QStringLiteral("zep - Denunce E-Mens 2005-2007");
const QString ZepAvvioEMensLocale = QStringLiteral("bash scripts/run.sh zep   (il programma \"") + ZepTitoloEMensLocale
                                    + QStringLiteral("\")");

const QString TZepParametri::FileAnnoMese = QStringLiteral("TEAM_ANNOMESE.cds");
const QString TZepParametri::TabellaDichiarante = layouts::TAMM_AMMINISTRAZIONE::Tabella;

namespace {
const QString CampoAnno = QStringLiteral("SEAMANNOFIN");
const QString CampoMese = QStringLiteral("SEAMMESE");
const QString FormatoData = QStringLiteral("dd/MM/yyyy");

QString testoCampo(const DataSet &ds, const QString &name)
{
    const Field *f = ds.findField(name);
    return f && !f->isNull() ? f->asString().trimmed() : QString();
}
} // namespace

TZepParametri::TZepParametri(IZepMainState &main) : m_main(main) {}

const QStringList &TZepParametri::Mesi()
{
    static const QStringList mesi{QStringLiteral("gennaio"), QStringLiteral("febbraio"), QStringLiteral("marzo"),
                                  QStringLiteral("aprile"),  QStringLiteral("maggio"),   QStringLiteral("giugno"),
                                  QStringLiteral("luglio"),  QStringLiteral("agosto"),   QStringLiteral("settembre"),
                                  QStringLiteral("ottobre"), QStringLiteral("novembre"), QStringLiteral("dicembre")};
    return mesi;
}

void TZepParametri::ControllaAnnoUniEmens(int anno)
{
    if (anno < 2008)
        throw EUqError(QStringLiteral("Per gestire i dati degli anni finanziari precedenti al 2008 eseguire il "
                                      "programma da:")
                       + QStringLiteral("\n\n") + ZepAvvioEMensLocale);
    if (anno < 2010)
        throw EUqError(QStringLiteral("Per gestire i dati degli anni finanziari precedenti al 2010 utilizzare il "
                                      "programma ")
                       + QLatin1Char('"') + ZepTitoloEMens + QStringLiteral("\"."));
}

const QString TZepParametri::MsgAnnoEMensLocale = QStringLiteral(
    "Anno finanziario deve essere compreso tra 2005 e 2007");
const QString TZepParametri::EtichettaAnno = QStringLiteral("Anno finanziario");

namespace {
QString UsareProgrammaSuccessivo(int ultimo, const QString &titolo)
{
    return QStringLiteral("Per gestire i dati degli anni finanziari successivi al %1 utilizzare il programma \"%2\".")
        .arg(ultimo)
        .arg(titolo);
}
} // namespace

void TZepParametri::ControllaAnnoEMens(int anno)
{
    if (anno < 2008)
        throw EUqError(QStringLiteral("Per gestire i dati degli anni finanziari precedenti al 2008 eseguire il "
                                      "programma da:")
                       + QStringLiteral("\n\n") + ZepAvvioEMensLocale);
    if (anno > 2009)
        throw EUqError(UsareProgrammaSuccessivo(2009, ZepTitoloUniEmens));
}

void TZepParametri::ControllaAnnoEMensLocale(int anno)
{
    if (anno < 2005)
        throw EUqError(MsgAnnoEMensLocale);
    if (anno > 2009)
        throw EUqError(UsareProgrammaSuccessivo(2009, ZepTitoloUniEmens));
    if (anno > 2007)
        throw EUqError(UsareProgrammaSuccessivo(2007, ZepTitoloEMens));
}

TZepProgramma TZepParametri::ProgrammaEMens()
{
    TZepProgramma p;
    p.Titolo = ZepTitoloEMens;
    p.CartellaRisorse = QStringLiteral("USR/ZEP/Res/");
    p.PrefissoCartellaAnno = QStringLiteral("USR/ZEPDati/ZEP");
    p.ControllaAnno = &TZepParametri::ControllaAnnoEMens;
    p.Denuncia = TZepDenuncia::EMens;
    return p;
}

TZepProgramma TZepParametri::ProgrammaEMensLocale()
{
    TZepProgramma p = ProgrammaEMens();
    p.Titolo = ZepTitoloEMensLocale;
    p.ControllaAnno = &TZepParametri::ControllaAnnoEMensLocale;
    p.CartellaIniziale = QStringLiteral("USR/ZEP/DbIniziale/");
    p.Denuncia = TZepDenuncia::EMensLocale;
    return p;
}

TZepProgramma TZepParametri::ProgrammaUniEmens()
{
    TZepProgramma p;
    p.Titolo = ZepTitoloUniEmens;
    p.CartellaRisorse = QStringLiteral("USR/UniEmens/Res/");
    p.PrefissoCartellaAnno = QStringLiteral("USR/UniEmensDati/UniEmens");
    p.ControllaAnno = &TZepParametri::ControllaAnnoUniEmens;
    return p;
}

QString TZepParametri::FilePeriodo() const
{
    return platform::findPath(m_main.CartellaBase(), m_main.Programma().CartellaRisorse + FileAnnoMese);
}

TZepParametri::Scelta TZepParametri::Iniziale(const QDate &oggi)
{
    Scelta scelta;
    const QString file = FilePeriodo();
    if (TTovCds::FileExists(file)) {
        try {
            DataSet ds;
            TTovCds::LoadFromFile(ds, file);
            if (!ds.isEmpty()) {
                ds.last();
                scelta.anno = testoCampo(ds, CampoAnno);
                bool ok = false;
                const int mese = testoCampo(ds, CampoMese).toInt(&ok);
                if (ok && mese >= 1 && mese <= 12)
                    scelta.mese = mese;
            }
        } catch (const platform::Exception &e) {
            // The file is rewritten when the dialog closes: the user is told
            // and starts from the defaults instead of being locked out.
            UqShowException(e);
        }
    }
    if (scelta.anno.isEmpty())
        scelta.anno = QString::number(oggi.year());
    const QDate modello = QDate::fromString(m_main.DataModello(), FormatoData);
    scelta.dataModello = modello.isValid() ? modello : oggi;
    return scelta;
}

int TZepParametri::AnnoDaTesto(const QString &testo)
{
    bool ok = false;
    const int anno = testo.trimmed().toInt(&ok);
    return ok ? anno : 0;
}

void TZepParametri::Controlla(const QString &annoTesto) const
{
    // A year that is not one is refused as such, not taken for year 0.
    const QString testo = annoTesto.trimmed();
    const QString problema = testo.isEmpty() ? QStringLiteral("indicare l'anno: servono 4 cifre")
                                             : TZepFormeCampi::Problema({TZepFormeCampi::Forma::Anno}, testo);
    if (!problema.isEmpty())
        throw EUqError(platform::fieldMessage(EtichettaAnno, problema));
    const int anno = AnnoDaTesto(testo);
    const TZepProgramma &programma = m_main.Programma();
    if (programma.ControllaAnno)
        programma.ControllaAnno(anno);
    else
        ControllaAnnoUniEmens(anno);
}

void TZepParametri::Applica(const QString &annoTesto, int mese, const QString &dataModello)
{
    ZEP_ASSERT(mese >= 1 && mese <= 12, QStringLiteral("Mese fuori intervallo: %1").arg(mese));
    const int anno = AnnoDaTesto(annoTesto);
    // The year from its number: a text with blanks would make a period
    // ("2010 -03") that no comparison or folder name would match.
    SetPeriodoDenuncia(QString::number(anno), QString::asprintf("%.2d", mese));
    m_main.SetDataModello(dataModello);
    // What lives in memory is set before any file is touched, so that a
    // failing save never leaves the period half taken.
    m_main.SetTestoStato(TestoStato(AnnoDenuncia, mese));
    m_main.SetTitolo(Titolo(m_main.Programma().Titolo, AnnoDenuncia, mese));
    ITovDBCds &store = m_main.Store();
    store.SetYear(AnnoDenuncia.toInt());
    store.SetMonth(MeseDenuncia.toInt());

    std::exception_ptr failure;
    try {
        SalvaPeriodo();
    } catch (...) {
        failure = std::current_exception();
    }
    const auto prepara = [this] {
        if (m_main.Programma().FileLocali())
            CreaCartellaAnno();
        else
            PreparaCartellaAnno();
    };
    if (!failure) {
        prepara();
        return;
    }
    // The period file was not written: the year folder is still prepared,
    // and a failure there too is told together with the first, never in
    // its place.
    try {
        prepara();
    } catch (const std::exception &second) {
        QString first;
        try {
            std::rethrow_exception(failure);
        } catch (const platform::Exception &e) {
            first = e.message();
        } catch (const std::exception &e) {
            first = QString::fromUtf8(e.what());
        }
        const auto *p = dynamic_cast<const platform::Exception *>(&second);
        throw EUqError(first + QLatin1Char('\n') + (p ? p->message() : QString::fromUtf8(second.what())));
    }
    std::rethrow_exception(failure);
}

void TZepParametri::SalvaPeriodo()
{
    DataSet cdsAnnoFin;
    cdsAnnoFin.setFieldDefs({{CampoAnno, FieldType::String, 4}, {CampoMese, FieldType::String, 2}});
    cdsAnnoFin.createDataSet();
    cdsAnnoFin.append();
    cdsAnnoFin.fieldByName(CampoAnno).setAsString(AnnoDenuncia);
    cdsAnnoFin.fieldByName(CampoMese).setAsString(MeseDenuncia);
    cdsAnnoFin.post();
    const QString file = FilePeriodo();
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        throw EUqError(QStringLiteral("Impossibile creare la cartella: ") + QDir::toNativeSeparators(folder));
    TTovCds::SaveToFile(cdsAnnoFin, file);
}

void TZepParametri::PreparaCartellaAnno()
{
    if (AnnoDenuncia.isEmpty())
        return;
    const QString relativa = m_main.Programma().PrefissoCartellaAnno + AnnoDenuncia + QLatin1Char('/');
    m_main.SetCartellaDatiAnno(relativa);
    const QString cartella = platform::findPath(m_main.CartellaBase(), relativa);
    if (QFileInfo(cartella).isDir())
        return;

    // The first opening of the year on this installation: an empty
    // declarant table takes the previous year's declarant.
    const int anno = AnnoDenuncia.toInt();
    ITovDBCds &store = m_main.Store();
    store.LoadPeriod(cdsNew, TabellaDichiarante, anno, 0);
    if (cdsNew.isEmpty()) {
        store.LoadPeriod(cdsOld, TabellaDichiarante, anno - 1, 0);
        ZEP_ASSERT(
            cdsOld.findField(layouts::TAMM_AMMINISTRAZIONE::CFMittente),
            QStringLiteral("%1 senza il campo %2").arg(TabellaDichiarante, layouts::TAMM_AMMINISTRAZIONE::CFMittente));
        cdsOld.first();
        if (!testoCampo(cdsOld, layouts::TAMM_AMMINISTRAZIONE::CFMittente).isEmpty()) {
            cdsNew.append();
            // The first field is the table's own key. The store's row number
            // and registry id belong to the previous year's record: the
            // store gives the new record its own.
            for (int i = 1; i < cdsOld.fieldCount(); ++i) {
                const Field *source = cdsOld.field(i);
                const QString &name = source->fieldName();
                if (name.compare(TTovDBCds::FieldRigo, Qt::CaseInsensitive) == 0
                    || name.compare(TTovDBCds::FieldAfi, Qt::CaseInsensitive) == 0 || source->isCalculated())
                    continue;
                if (Field *target = cdsNew.findField(name); target && !target->isCalculated())
                    target->setValue(source->value());
            }
            cdsNew.post();
            store.SavePeriod(cdsNew, TabellaDichiarante, anno, 0);
        }
        cdsOld.close();
    }
    cdsNew.close();
    if (!QDir().mkpath(cartella))
        throw EUqError(QStringLiteral("Impossibile creare la cartella: ") + QDir::toNativeSeparators(cartella));
}

void TZepParametri::CreaCartellaAnno()
{
    if (AnnoDenuncia.isEmpty())
        return;
    const TZepProgramma &programma = m_main.Programma();
    const QString relativa = programma.PrefissoCartellaAnno + AnnoDenuncia + QLatin1Char('/');
    m_main.SetCartellaDatiAnno(relativa);
    const QString base = m_main.CartellaBase();
    const QString cartella = platform::findPath(base, relativa);
    const QString iniziale = platform::findPath(base, programma.CartellaIniziale);
    if (!QFileInfo(cartella).isDir()) {
        // The folder is made whole under a name of its own beside it, then
        // renamed into place in one step: a process killed meanwhile leaves
        // no half folder that the next opening would take as made (it
        // copies nothing into a folder it finds), only the temporary one,
        // which the next creation removes.
        const QString finale = QDir::cleanPath(cartella);
        const QFileInfo info(finale);
        const QString prefissoTemporanea = info.fileName() + QStringLiteral(".nuova-");
        if (!QDir().mkpath(info.absolutePath()))
            throw EUqError(QStringLiteral("Impossibile creare la cartella: ")
                           + QDir::toNativeSeparators(info.absolutePath()));
        QDir genitore(info.absolutePath());
        for (const QString &resto : genitore.entryList({prefissoTemporanea + QLatin1Char('*')},
                                                       QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
            QDir(genitore.filePath(resto)).removeRecursively();
        QTemporaryDir nuova(genitore.filePath(prefissoTemporanea + QStringLiteral("XXXXXX")));
        if (!nuova.isValid())
            throw EUqError(QStringLiteral("Impossibile creare la cartella: ") + QDir::toNativeSeparators(cartella)
                           + QStringLiteral(": ") + nuova.errorString());
        const auto copia = [&](const QString &origine, const QString &nome) {
            const QString sorgente = platform::findPath(origine, nome);
            QFile file(sorgente);
            if (!file.copy(QDir(nuova.path()).filePath(nome)))
                throw EUqError(QStringLiteral("Errore nella generazione del file, operazione non conclusasi con "
                                              "successo")
                               + QStringLiteral("\n") + QDir::toNativeSeparators(sorgente) + QStringLiteral(": ")
                               + file.errorString());
        };
        copia(iniziale, TZepKax::FileDipendenti);
        copia(iniziale, TZepKax::FileCollaboratori);
        bool numero = false;
        const int anno = AnnoDenuncia.toInt(&numero);
        const QString precedente = numero ? platform::findPath(base, programma.PrefissoCartellaAnno
                                                                         + QString::number(anno - 1) + QLatin1Char('/'))
                                          : QString();
        const bool dichiarante = !precedente.isEmpty()
                                 && QFileInfo(platform::findPath(precedente, TZepKax::FileDichiarante)).isFile();
        copia(dichiarante ? precedente : iniziale, TZepKax::FileDichiarante);
        // The folder's permissions as a folder made in place would have.
        QFile::setPermissions(nuova.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                                | QFileDevice::ReadOther | QFileDevice::ExeOther);
        if (std::rename(QFile::encodeName(nuova.path()).constData(), QFile::encodeName(finale).constData()) != 0)
            throw EUqError(QStringLiteral("Impossibile creare la cartella: ") + QDir::toNativeSeparators(cartella)
                           + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)));
        nuova.setAutoRemove(false);
    }
    TZepKax(cartella, iniziale).AllineaTabelleLocali();
}

QString TZepParametri::TestoStato(const QString &anno, int mese)
{
    return QStringLiteral("Anno/Mese Denuncia: ") + anno + QLatin1Char('/') + Mesi().value(mese - 1)
           + QStringLiteral("    ") + QStringLiteral("Circolare INPS n. 152 del 22/11/2004");
}

QString TZepParametri::Titolo(const QString &titoloProgramma, const QString &anno, int mese)
{
    return titoloProgramma + QStringLiteral(" (") + Mesi().value(mese - 1) + QLatin1Char(' ') + anno + QLatin1Char(')');
}
