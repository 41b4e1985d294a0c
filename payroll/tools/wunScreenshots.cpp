// Takes a picture of each import window on a demo archive of December 2024
// made in a temporary folder, so that a reader can see that they render
// with their Italian texts:
//
//     wunScreenshots [output folder]        (default: build/screenshots)
//
// writes
//   wizard.png                 the import wizard's first page: the kinds of
//                              compensation and the current liquidation
//   scelta-dipendenti.png      the import dialog: the persons paid in the
//                              month, three of them selected, the filters and
//                              the replace choice
//   importazione-in-corso.png  the same dialog while it imports the second
//                              of the persons chosen, with "Interrompi"
//   datore-di-lavoro.png       the choice of the employer group
//
// Run it on a display or under Xvfb (scripts/screenshots.sh).
#include "ScreenshotSupport.h"

#include "WunFFiscImpMultiSelect.h"
#include "WunUUtil.h"
#include "DemoArchive.h"
#include "tovCQueryText.h"
#include "wunFWizard.h"
#include "wunMParams.h"

#include "Database.h"
#include "DatabaseCreator.h"
#include "FormRegistry.h"
#include "UqParamDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

using namespace screenshots;
using platform::DataSet;
using platform::FieldType;

namespace {

// ---- the wizard ----

void wizard(PictureServices &services, const QString &folder)
{
    TwunAnnoFinanziario anno;
    anno.Load(55);
    TWunParametri liquidazione(folder, &anno);
    liquidazione.SetId(1);
    liquidazione.SetMese(12);
    liquidazione.SetGruppo(1);
    platform::FormRegistry::Register(QStringLiteral("TfmwunWizard"), [&liquidazione](QWidget *owner) {
        return new TfmwunWizard(owner, std::make_unique<TwunWizard>(nullptr, &liquidazione));
    });
    DataSet parametri;
    parametri.setFieldDefs({{QStringLiteral("ICOTFONDAMENTALE"), FieldType::Integer}});
    parametri.createDataSet();
    parametri.appendRecord({platform::Value()});
    services.onDialog = [](QDialog &dialog) {
        dialog.resize(460, 330);
        settle();
        save(withTitleBar(dialog), QStringLiteral("wizard.png"));
        return int(mrCancel);
    };
    TfmwunWizard::Execute(QStringLiteral("TfmwunWizard"), parametri, nullptr);
    platform::FormRegistry::Unregister(QStringLiteral("TfmwunWizard"));
}

// ---- the import dialog ----

// An import that writes nothing: the picture of the dialog while the second
// person is imported is taken from inside the loop.
class Importazione : public TwunFiscImpMultiSelect {
public:
    std::function<void(int)> durante;
    int n = 0;
    void ImportaSostituto() override {}
    void ImportaRiga() override
    {
        if (durante)
            durante(++n);
    }
    void FineOperazione() override {}
};

class Dialogo : public TfmwunFiscImpMultiSelect {
public:
    explicit Dialogo(QWidget *owner) : TfmwunFiscImpMultiSelect(owner, std::make_unique<Importazione>()) {}
};

void importDialog(PictureServices &services)
{
    platform::FormRegistry::Register(QStringLiteral("TfmProvaImport"),
                                     [](QWidget *owner) { return new Dialogo(owner); });
    DataSet parametri;
    parametri.setFieldDefs(
        {{QStringLiteral("IMESID"), FieldType::Integer}, {QStringLiteral("ICOTID"), FieldType::Integer}});
    parametri.createDataSet();
    parametri.appendRecord({12, 1});
    services.onDialog = [](QDialog &dialog) {
        auto &d = static_cast<Dialogo &>(dialog);
        d.resize(560, 560);
        for (int row : {1, 4, 2})
            d.SelectRow(row);
        settle();
        save(withTitleBar(d), QStringLiteral("scelta-dipendenti.png"));
        static_cast<Importazione &>(d.Logica()).durante = [&d](int n) {
            if (n != 2)
                return;
            settle();
            save(withTitleBar(d), QStringLiteral("importazione-in-corso.png"));
        };
        d.buOkClick();
        return int(mrCancel);
    };
    TfmwunFiscImpMultiSelect::Execute(QStringLiteral("TfmProvaImport"), &parametri, nullptr);
    platform::FormRegistry::Unregister(QStringLiteral("TfmProvaImport"));
}

// ---- the employer group ----

void employerGroup(PictureServices &services, platform::Database &db)
{
    db.execute(QStringLiteral("INSERT INTO TDWG_DATORI (IDWGID, SDWGRAGSOC, SDWGCODFISCALE) "
                              "VALUES (2, 'COOPERATIVA SERVIZI TEATRALI VALLEVERDE', '01234567897')"));
    TdmWunParams params;
    services.onDialog = [](QDialog &dialog) {
        save(withTitleBar(dialog), QStringLiteral("datore-di-lavoro.png"));
        return int(mrCancel);
    };
    params.GruppoPerImportazione([&params](const platform::EnumItems &gruppi, qint64 attuale) {
        return TfmUqParamValue::Execute(*params.xpmUquParams, TdmWunParams::DwgIdParam,
                                        QStringLiteral("Datore di lavoro"),
                                        QStringLiteral("Datore di lavoro su cui importare:"), gruppi, attuale);
    });
}

} // namespace

int main(int argc, char **argv)
{
    return run(argc, argv, "wunScreenshots", [](PictureServices &services) {
        QApplication::setApplicationDisplayName(QStringLiteral("zepUni"));
        QTemporaryDir folder;
        payroll::DemoArchiveOptions o;
        o.output = folder.filePath(QStringLiteral("demo.fdb"));
        o.persons = 12;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 12;
        payroll::DemoArchive::create(o);
        platform::ConnectionSettings settings;
        settings.database = o.output;
        platform::Database db(settings);
        db.open();
        platform::Database::setGlobal(&db);
        struct Global {
            ~Global() { platform::Database::setGlobal(nullptr); }
        } global;
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        wunAnnoFinanziario().Load(55);
        {
            TdmWunParams params;
            params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
            wizard(services, folder.path());
            importDialog(services);
        }
        employerGroup(services, db);
    });
}
