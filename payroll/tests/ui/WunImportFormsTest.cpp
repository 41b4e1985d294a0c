// The import windows on the offscreen platform: the wizard's pages and
// controls, the multi-select's counter and selection order, and the import
// dialog on the demo archive (a filter change, OK over a selection, the
// stop button).
#include "PayrollTestSupport.h"
#include "RecordingServices.h"
#include "WunUUtil.h"
#include "import/ui/WunFFiscImpMultiSelect.h"
#include "import/ui/wunFMultiSelect.h"
#include "import/ui/wunFWizard.h"
#include "wunMParams.h"

#include "DataSet.h"
#include "DataSetModel.h"
#include "FormRegistry.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace platform;

namespace {

// ---------------------------------------------------------------- wizard

QTemporaryDir *g_cartella = nullptr;

class Regole : public TwunWizard {
public:
    Regole() : TwunWizard(nullptr, &liquidazione) {}
    TwunAnnoFinanziario anno;
    TWunParametri liquidazione{g_cartella->path(), &anno};
    int gruppo = 1;
    int Gruppo() override { return gruppo; }
};

class WizProva : public TfmwunWizard {
public:
    explicit WizProva(QWidget *owner) : TfmwunWizard(owner, std::make_unique<Regole>())
    {
        Logica().SetControlloGruppo(true);
    }
    Regole &R() { return static_cast<Regole &>(Logica()); }
};

class WunWizardForm : public ::testing::Test {
protected:
    WunWizardForm()
    {
        Database::setGlobal(&tdb.db());
        g_cartella = &cartella;
        p.setFieldDefs({{"ICOTFONDAMENTALE", FieldType::Integer}, {"IREGSGRUPPO", FieldType::Integer}});
        p.createDataSet();
        p.appendRecord({Value(), Value()});
    }
    ~WunWizardForm() override
    {
        g_cartella = nullptr;
        Database::setGlobal(nullptr);
    }
    RecordingServicesScope services;
    TempDatabase tdb;
    QTemporaryDir cartella;
    ScopedFormClass<WizProva> classe{"TfmWizProva"};
    DataSet p;
};

} // namespace

TEST_F(WunWizardForm, ThreePagesTheKindsAndTheCurrentLiquidationBox)
{
    QStringList visti;
    services->onNextDialog([&](QDialog &d) {
        auto &w = static_cast<WizProva &>(d);
        w.show();
        EXPECT_EQ(w.windowTitle(), "Wizard");
        EXPECT_EQ(w.buOk->text(), "Applica");
        EXPECT_EQ(w.Path(), QStringList({"tsTipoCompenso", "tsMeseComp", "tsGruppo"}));
        EXPECT_EQ(w.ActivePageName(), "tsTipoCompenso");
        EXPECT_TRUE(w.rbTipoCompenso0->isChecked());
        EXPECT_TRUE(w.gbLIqCorrente->isHidden()) << "no current liquidation";
        EXPECT_FALSE(w.buOk->isEnabled());

        w.rbTipoCompenso1->click();
        visti << QString::number(p.fieldValue("ICOTFONDAMENTALE").toInt());

        // A current liquidation shown by the rules: its box, its text, and
        // its check choosing the liquidation's kind.
        w.R().DidascaliaCompensoCorrente = "Stipendio";
        w.R().TestoMeseGruppo = "Mese di Dicembre - Gruppo 1";
        w.R().LiquidazioneCorrenteVisibile = true;
        w.MostraStato();
        EXPECT_FALSE(w.gbLIqCorrente->isHidden());
        EXPECT_EQ(w.lbMeseGruppo->text(), "Mese di Dicembre - Gruppo 1");
        EXPECT_EQ(w.chCompensoCorrente->text(), "Stipendio");
        w.chCompensoCorrente->click();
        EXPECT_TRUE(w.chCompensoCorrente->isChecked());
        EXPECT_TRUE(w.rbTipoCompenso2->isChecked()) << "the liquidation's kind (none read: collaborators)";
        w.rbTipoCompenso0->click();
        EXPECT_FALSE(w.chCompensoCorrente->isChecked());
        visti << QString::number(p.fieldValue("ICOTFONDAMENTALE").toInt());

        w.buNext->click();
        w.buNext->click();
        EXPECT_EQ(w.ActivePageName(), "tsGruppo");
        EXPECT_TRUE(w.buOk->isEnabled());
        // No group: OK keeps the wizard open with its warning.
        w.R().gruppo = 0;
        w.buOk->click();
        EXPECT_EQ(services->messageTexts(), QStringList({"Gruppo non impostato."}));
        w.R().gruppo = 3;
        w.buOk->click();
        return w.result();
    });
    EXPECT_EQ(TfmwunWizard::Execute("TfmWizProva", p, nullptr), "Wizard");
    EXPECT_EQ(visti, QStringList({"3", "1"}));
    EXPECT_EQ(p.fieldValue("IREGSGRUPPO").toInt(), 3);

    // Cancelled: the empty caption, nothing saved.
    services->onNextDialog([](QDialog &d) {
        static_cast<WizProva &>(d).buCancel->click();
        return d.result();
    });
    EXPECT_EQ(TfmwunWizard::Execute("TfmWizProva", p, nullptr), QString());
}

// ---------------------------------------------------------------- multi-select

TEST(WunMultiSelectForm, TheCounterAndTheSelectionInTheOrderTheUserMadeIt)
{
    RecordingServicesScope services;
    DataSet ds;
    ds.setFieldDefs({{"CODICE", FieldType::Integer}, {"NOME", FieldType::String, 20}});
    ds.createDataSet();
    for (int i = 1; i <= 5; ++i)
        ds.appendRecord({i, QStringLiteral("Persona %1").arg(6 - i)});
    TfmwunMultiSelect f;
    f.SetDataSet(&ds);
    f.SetColumns({{"NOME", "Nome", 120}, {"CODICE", "Codice", 43}});
    f.show();
    EXPECT_EQ(f.paInfo->text(), "Prenotati: 5");

    auto clic = [&](int row, Qt::KeyboardModifiers mod) {
        const QRect r = f.grFrame->visualRect(f.Model().index(row, f.Model().columnOf("NOME")));
        QTest::mouseClick(f.grFrame->viewport(), Qt::LeftButton, mod, r.center());
    };
    clic(3, Qt::NoModifier);
    clic(1, Qt::ControlModifier);
    EXPECT_EQ(f.paInfo->text(), "Prenotati: 2");
    auto codici = [&] {
        QList<int> out;
        for (const Bookmark &b : f.SelectedRows())
            out << ds.rowValue(b, ds.fieldByName("CODICE").index()).toInt();
        return out;
    };
    EXPECT_EQ(codici(), QList<int>({4, 2}));

    // A click on a title orders the list; the selection and its order stay.
    f.OrdinaPerColonna("NOME");
    EXPECT_EQ(ds.indexFieldNames(), "NOME");
    EXPECT_EQ(codici(), QList<int>({4, 2}));
    EXPECT_EQ(f.grFrame->selectionModel()->selectedRows().size(), 2);
    clic(0, Qt::ControlModifier); // "Persona 1", code 5
    EXPECT_EQ(codici(), QList<int>({4, 2, 5}));
    clic(0, Qt::ControlModifier);
    EXPECT_EQ(codici(), QList<int>({4, 2}));

    // The search edit moves the current row, not the selection.
    QTest::keyClicks(f.edCerca, "persona 3");
    EXPECT_EQ(ds.fieldValue("CODICE").toInt(), 3);
    EXPECT_EQ(f.SelectedCount(), 2);

    f.ClearSelection();
    EXPECT_EQ(f.paInfo->text(), "Prenotati: 5");
}

// ---------------------------------------------------------------- the import dialog

namespace {

class Righe : public TwunFiscImpMultiSelect {
public:
    using TwunFiscImpMultiSelect::TwunFiscImpMultiSelect;
    QList<int> importati;
    std::function<void()> durante;
    void ImportaSostituto() override {}
    void ImportaRiga() override
    {
        importati << xqcMultiSelect.fieldValue("IACOMID").toInt();
        if (durante)
            durante();
    }
};

Righe *g_righe = nullptr;

class ImpProva : public TfmwunFiscImpMultiSelect {
public:
    explicit ImpProva(QWidget *owner) : TfmwunFiscImpMultiSelect(owner, std::make_unique<Righe>())
    {
        g_righe = static_cast<Righe *>(&Logica());
    }
};

} // namespace

TEST(WunFiscImpForm, AFilterClearsTheSelectionStopEndsTheRunAndOkImportsTheRowsChosenAndCloses)
{
    RecordingServicesScope services;
    auto tdb = payrolltest::demoArchive();
    Database::setGlobal(&tdb->db());
    payrolltest::loadCatalogueSource();
    wunAnnoFinanziario().Load(55);
    TdmWunParams params;
    params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
    ScopedFormClass<ImpProva> classe("TfmImpProva");
    DataSet p;
    p.setFieldDefs({{"IMESID", FieldType::Integer}, {"ICOTID", FieldType::Integer}});
    p.createDataSet();
    p.appendRecord({12, 1});

    services->onNextDialog([&](QDialog &d) {
        auto &f = static_cast<ImpProva &>(d);
        f.show();
        const int righe = g_righe->xqcMultiSelect.recordCount();
        EXPECT_EQ(f.paInfo->text(), QStringLiteral("Prenotati: %1").arg(righe));
        EXPECT_EQ(f.bgSovraScrivi->checkedId(), int(TwunFiscImpMultiSelect::ChiediConferma));
        EXPECT_TRUE(f.rgOrdine->isHidden());
        EXPECT_EQ(f.cbICALNUBRACODE->itemText(0), "(Tutte)");

        f.SelectRow(0);
        f.SelectRow(2);
        EXPECT_EQ(f.paInfo->text(), "Prenotati: 2");
        f.cbICALNUBRACODE->setCurrentIndex(1);
        EXPECT_EQ(f.SelectedCount(), 0);
        EXPECT_EQ(f.paInfo->text(), QStringLiteral("Prenotati: %1").arg(g_righe->xqcMultiSelect.recordCount()));
        f.cbICALNUBRACODE->setCurrentIndex(0);

        // Stop pressed while the first person is imported: only that one,
        // and the list stays open for the rest.
        g_righe->durante = [&] {
            EXPECT_TRUE(f.buStop->isEnabled());
            EXPECT_FALSE(f.buOk->isEnabled());
            f.buStop->click();
        };
        f.buOk->click();
        EXPECT_EQ(g_righe->importati.size(), 1);
        EXPECT_TRUE(services->messageTexts().filter("Importazione interrotta dall'utente.").size() == 1);
        EXPECT_FALSE(f.buStop->isEnabled());
        EXPECT_TRUE(f.buOk->isEnabled());
        EXPECT_TRUE(f.isVisible());

        // OK over two rows chosen, the third first: a run to its end closes
        // the list (a second OK would import them again).
        g_righe->importati.clear();
        g_righe->durante = nullptr;
        f.SelectRow(2);
        f.SelectRow(0);
        const QList<int> scelti{g_righe->xqcMultiSelect.rowValue(f.SelectedRows().at(0), 0).toInt(),
                                g_righe->xqcMultiSelect.rowValue(f.SelectedRows().at(1), 0).toInt()};
        f.buOk->click();
        EXPECT_EQ(g_righe->importati, scelti);
        EXPECT_EQ(services->messageTexts().last(), "Fine operazione");
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(d.result(), mrOk);
        return d.result();
    });
    TfmwunFiscImpMultiSelect::Execute("TfmImpProva", &p, nullptr);
    EXPECT_EQ(services->dialogs().size(), 1);
    Database::setGlobal(nullptr);
}
