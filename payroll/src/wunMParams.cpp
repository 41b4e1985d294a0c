#include "wunMParams.h"

#include "WunUUtil.h"

#include "Database.h"
#include "Exceptions.h"
#include "IniFile.h"
#include "Services.h"
#include "SqlQuery.h"
#include "UqMessages.h"
#include "tovCQueryText.h"

#include <QDir>
#include <QVariant>

using platform::Value;

TdmWunParams *dmWunParams = nullptr;

const QString TdmWunParams::ParamsGroup = QStringLiteral("UQUC_Params");
const QString TdmWunParams::AnfIdParam = QStringLiteral("UQUP_AnfId");
const QString TdmWunParams::DwgIdParam = QStringLiteral("UQUP_DwgId");
const QString TdmWunParams::UltimoAnno = QStringLiteral("2025");
const QString TdmWunParams::PrimoAnnoPianoConti = QStringLiteral("2019");
const QString TdmWunParams::MsgNessunDatore = QStringLiteral(
    "Nessun datore di lavoro nell'archivio: impossibile importare.");

namespace {
const QString SettingsFile = QStringLiteral("Aggiornamenti.ini");
const QString ToolSection = QStringLiteral("PianoConti2019");
const QString ToolKey = QStringLiteral("Programma");
} // namespace

TdmWunParams::TdmWunParams(QObject *parent) : TdmUquParams(parent)
{
    setObjectName(QStringLiteral("dmWunParams"));
    xpmUquParams->ApplCodeList = {QStringLiteral("WUN=1.0"), QStringLiteral("VEK=1.0"), QStringLiteral("UQ=1.0")};
    xpmUquParams->OnCheckValue = [this](QObject *sender, const QString &param, bool &valid) {
        xpmUquParamsCheckValue(sender, param, valid);
    };
    dmWunParams = this;
}

TdmWunParams::~TdmWunParams()
{
    wunScollegaParametri(this);
    if (dmWunParams == this)
        dmWunParams = nullptr;
}

void TdmWunParams::DataModuleCreate()
{
    SetShowAggregate(true);
    SetOnlyAggregate(true);
    platform::Database &db = platform::Database::requireGlobal();
    m_qquPaco = std::make_unique<platform::SqlQuery>(db);
    m_qquAppoggio = std::make_unique<platform::SqlQuery>(db);
    TovQueryText().AssignSQL(QStringLiteral("QRY_PACO_ANF"), *m_qquPaco, 0, QStringLiteral("SELECT"));
}

platform::SqlQuery &TdmWunParams::qquPaco() const
{
    ZEP_ASSERT(m_qquPaco != nullptr, QStringLiteral("TdmWunParams: modulo non creato (DataModuleCreate)"));
    return *m_qquPaco;
}

platform::SqlQuery &TdmWunParams::qquAppoggio() const
{
    ZEP_ASSERT(m_qquAppoggio != nullptr, QStringLiteral("TdmWunParams: modulo non creato (DataModuleCreate)"));
    return *m_qquAppoggio;
}

// The row is kept in memory, never the statement open: outside a
// transaction of ours an open SELECT holds a snapshot transaction of its own,
// and one held for the whole session keeps Firebird from clearing the old
// versions of every row written meanwhile (an import's row-number updates
// grew slower with each person imported).
void TdmWunParams::LeggiPaco()
{
    platform::SqlQuery &q = qquPaco();
    m_pacoLetto = false;
    m_paco.clear();
    q.open();
    if (!q.eof())
        for (int i = 0; i < q.fieldCount(); ++i)
            m_paco << q.value(i);
    q.close();
    m_pacoLetto = true;
}

Value TdmWunParams::CampoPaco(const QString &name)
{
    if (!m_pacoLetto)
        LeggiPaco();
    const int i = qquPaco().fieldIndex(name);
    if (i < 0)
        throw platform::EDatabaseError(QStringLiteral("Campo '%1' non trovato").arg(name));
    return m_paco.isEmpty() ? Value::null() : m_paco.at(i);
}

void TdmWunParams::CambiaAnno(int annoId)
{
    qquPaco().bind(QStringLiteral("IANFID"), annoId);
    LeggiPaco();
    const Value project = CampoPaco(QStringLiteral("IDWGANFID"));
    WunProgetto().SetId(project.isEmpty() ? 0 : project.toInt());
}

bool TdmWunParams::ContoPresente(int tipoConto)
{
    platform::SqlQuery &q = qquAppoggio();
    q.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_NAF_CONTI_TEST"), q);
    q.bind(QStringLiteral("ITIMID"), tipoConto);
    q.open();
    const bool found = !q.eof();
    q.close();
    return found;
}

bool TdmWunParams::VerificaPianoConti()
{
    const Value afam = CampoPaco(QStringLiteral("LPACOAFAM"));
    if (!afam.isEmpty() && afam.toInt() == 1)
        return true;
    if (ContoPresente(ContoAmministrazione))
        return true;
    if (ContoPresente(ContoPianoConti2019))
        return true;
    AvviaPianoConti2019();
    return ContoPresente(ContoPianoConti2019);
}

QString TdmWunParams::FileImpostazioni()
{
    return TWunUtil::CercaPercorso(TWunUtil::CartellaEtc() + SettingsFile);
}

QString TdmWunParams::ComandoPianoConti2019()
{
    return platform::IniFile(FileImpostazioni()).value(ToolSection, ToolKey).value_or(QString()).trimmed();
}

void TdmWunParams::AvviaPianoConti2019()
{
    const QString command = ComandoPianoConti2019();
    if (command.isEmpty()) {
        UqShowWarning(QStringLiteral("Il piano dei conti 2019 non è presente nell'archivio e il programma che lo "
                                     "aggiorna non è impostato (chiave \"%1\" della sezione [%2] del file \"%3\").")
                          .arg(ToolKey, ToolSection, QDir::toNativeSeparators(FileImpostazioni())));
        return;
    }
    QString program = QDir::fromNativeSeparators(command);
    if (QDir::isRelativePath(program))
        program = QDir(platform::mainFolder()).absoluteFilePath(program);

    platform::ShellRequest request;
    request.file = program;
    request.parameters = QLatin1Char('"') + platform::Database::requireGlobal().settings().database + QLatin1Char('"');
    request.wait = true;
    try {
        platform::WaitCursor wait;
        platform::Services::instance().openDocument(request);
    } catch (const platform::Exception &e) {
        // The tool's own failure is judged by the account check that
        // follows; the user is told why it did not run.
        UqShowError(
            QStringLiteral("Impossibile avviare l'aggiornamento del piano dei conti 2019.\n%1").arg(e.message()));
    }
}

void TdmWunParams::xpmUquParamsCheckValue(QObject *sender, const QString &param, bool &valid)
{
    if (xpmUquParams->Group(param).compare(ParamsGroup, Qt::CaseInsensitive) != 0)
        return;
    // The editor is the parameter dialog's combo box, read through its
    // properties: this module links no widgets library.
    valid = sender && sender->inherits("QComboBox") && sender->property("currentIndex").toInt() >= 0;
    if (!valid || param.compare(AnfIdParam, Qt::CaseInsensitive) != 0)
        return;
    const QString year = sender->property("currentText").toString();
    valid = year <= UltimoAnno;
    if (valid && year >= PrimoAnnoPianoConti && !TWunUtil::AggiornamentoEffettuato(qquAppoggio(), AnnoIdPianoConti))
        valid = VerificaPianoConti();
}

int TdmWunParams::GruppoPerImportazione(const SceltaGruppo &scegli)
{
    const platform::EnumItems gruppi = platform::loadEnumeration(platform::Database::requireGlobal(),
                                                                 TovQueryText().GetSQL(QStringLiteral("QRY_DWG_ELENCO"),
                                                                                       QStringLiteral("EXECUTE")));
    if (gruppi.isEmpty())
        throw EUqWarning(MsgNessunDatore);
    const Value valore = xpmUquParams->GetParams(DwgIdParam);
    const qint64 attuale = valore.isEmpty() ? 0 : valore.toInt64();
    for (const platform::EnumItem &g : gruppi)
        if (g.id == attuale)
            return int(attuale);
    const qint64 scelto = gruppi.size() == 1 ? gruppi.first().id : scegli(gruppi, attuale);
    if (scelto == 0)
        return 0;
    xpmUquParams->SetParams(DwgIdParam, Value(int(scelto)), ParamsGroup);
    return int(scelto);
}

Value TdmWunParams::GetParams(const QString &name) const
{
    return xpmUquParams->GetParams(name);
}
