// The parameter manager's value dialog: the item chosen at opening, the
// check-value handler that keeps it open, the id answered.
#include "RecordingServices.h"
#include "UqParamDialog.h"
#include "UqParams.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

TEST(UqParamValue, OpensOnTheCurrentValueTheCheckKeepsItOpenOkAnswersTheId)
{
    RecordingServicesScope services;
    TUqParamManager manager;
    QStringList vagliati;
    manager.OnCheckValue = [&](QObject *sender, const QString &param, bool &valid) {
        auto *combo = qobject_cast<QComboBox *>(sender);
        vagliati << param + "=" + combo->currentText();
        valid = combo->currentData().toLongLong() != 2;
    };
    const platform::EnumItems voci{{"Primo", 1}, {"Secondo", 2}, {"Terzo", 3}};
    services->onNextDialog([](QDialog &d) {
        auto &dlg = static_cast<TfmUqParamValue &>(d);
        EXPECT_EQ(dlg.windowTitle(), "Datore di lavoro");
        EXPECT_EQ(dlg.cbValore->currentText(), "Secondo");
        dlg.buOk->click();
        EXPECT_TRUE(dlg.result() != mrOk) << "refused by the check";
        dlg.cbValore->setCurrentIndex(2);
        dlg.buOk->click();
        return dlg.result();
    });
    EXPECT_EQ(TfmUqParamValue::Execute(manager, "UQUP_DwgId", "Datore di lavoro", "Datore:", voci, 2), 3);
    EXPECT_EQ(vagliati, QStringList({"UQUP_DwgId=Secondo", "UQUP_DwgId=Terzo"}));
    EXPECT_FALSE(manager.HasParam("UQUP_DwgId")) << "the caller sets the value";

    services->onNextDialog([](QDialog &d) {
        static_cast<TfmUqParamValue &>(d).buCancel->click();
        return d.result();
    });
    EXPECT_EQ(TfmUqParamValue::Execute(manager, "UQUP_DwgId", "Datore di lavoro", "Datore:", voci, 9), 0);
}
