#pragma once
// The supplementary-pension-fund sections of the current enrolled person
// (TE1_FONDIPENSIONE), on the page "Quadro E1": one row per fund
// membership period with the contributions paid to the fund.
#include "ZepRDmaBase.h"

class QLineEdit;

namespace platform {
class DBCheckBox;
}

class TfrQuvE1 : public TfrQuvBase {
    Q_OBJECT
public:
    explicit TfrQuvE1(QWidget *parent = nullptr);

    QLineEdit *edRigo;
    platform::DBCheckBox *chConguaglio;  // "Conguaglio fiscale"
    platform::DBCheckBox *chVersNonDich; // "Contributi versati e non dichiarati"

    void Prepara() override;
    void cdsMainNewRecord(platform::DataSet &dataSet) override;
    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainBeforeDelete(platform::DataSet &dataSet) override;
    void dsMainDataChange() override;
};
