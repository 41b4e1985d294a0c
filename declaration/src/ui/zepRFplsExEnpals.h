#pragma once
// The performing-arts worker frame: the month's rows of the workers enrolled
// in the performing-arts fund (TEFE_FPLSEXENPALS), with the grid of the
// employee frame and a detail page of its own: the fund's amounts, the kind
// of relationship and qualification, the family unit (its three fields are
// checked before every post, so they are on the page to be corrected) and,
// from 2011, the day grid of days worked and their coverage. The checks and
// defaults are the employee frame's (TZepDipendente).
#include "ZepRDatiDenuncia.h"

#include "ZepCDipendente.h"
#include "ZepCFplsExEnpals.h"

class QGroupBox;
class TfrZepMeseFplsExEnpals;

namespace platform {
class DBCheckBox;
class DBComboBox;
class DBRadioGroup;
} // namespace platform

class TfrZepFplsExEnpals : public TfrZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfrZepFplsExEnpals(QWidget *parent = nullptr);

    QGroupBox *gbAssunzione;
    QGroupBox *gbCessazione;
    QGroupBox *gbContribAgg;   // "Contribuzione aggiuntiva 1%"
    QGroupBox *gbEccMassimale; // "Eccedenza massimale"
    QGroupBox *gbNucleo;       // the family unit
    platform::DBRadioGroup *rgRispettoMinimale;
    platform::DBComboBox *cbRegimePost95;
    TfrZepMeseFplsExEnpals *frMese;
    QGroupBox *gbElimina;
    platform::DBCheckBox *chElimina;

    QList<TZepColonna> Colonne() const override { return TZepDipendente::Colonne(); }
    // Also the day grid: prepared from 2011, hidden before.
    void Prepara() override;
    bool GrigliaGiorni() const { return m_griglia; }

    // The day grid's texts written back (from 2011), then the checks of the
    // employee frame.
    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainNewRecord(platform::DataSet &dataSet) override;
    // Another row: the day grid loads its texts.
    void dsMainDataChange() override;

private:
    bool m_griglia = false;
};
