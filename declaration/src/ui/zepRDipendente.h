#pragma once
// The employee frame: the month's declaration rows of the private-sector
// employees (TEMD_DIPENDENTI) in a grid ("Codice fiscale", Cognome, Nome,
// "Matricola INPS", "Intero/PT") and on a detail page with every field of
// the row, the code lookups, the citizenship search, the month day grid
// (from 2011), the 2022 bonus group and the IVS exemption groups. The rules
// are TZepDipendente's (ZepCDipendente.h).
#include "ZepRDatiDenuncia.h"

#include "ZepCDipendente.h"

class QGroupBox;
class QLabel;
class TfrZepMese;

namespace platform {
class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBRadioGroup;
} // namespace platform

class TfrZepDipendente : public TfrZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfrZepDipendente(QWidget *parent = nullptr);

    QGroupBox *gbAssunzione;                    // " Assunzione "
    QGroupBox *gbCessazione;                    // " Cessazione "
    QGroupBox *gbSettimane;                     // " Settimane "
    platform::DBRadioGroup *rgRispettoMinimale; // " Rispetto Minimale "
    platform::DBComboBox *cbRegimePost95;
    TfrZepMese *frMese; // the month day grid, from 2011
    QGroupBox *gbElimina;
    platform::DBCheckBox *chElimina;
    QGroupBox *gbBonus; // the 2022 bonus, titled by the month
    platform::DBEdit *edBonusUTMese;
    QLabel *lbBonusUTBaseRif; // "Riferimento base"
    platform::DBEdit *edBonusUTBaseRif;
    QGroupBox *gbEsoneroIVS;   // " Esonero IVS stipendio "
    QGroupBox *gbEsoneroIVS13; // " Esonero IVS 13ma"

    QList<TZepColonna> Colonne() const override { return TZepDipendente::Colonne(); }
    // Also the month day grid: from 2011 tied to the row's GIORNI (shown
    // and written day by day); before, hidden and never written.
    void Prepara() override;
    bool GrigliaGiorni() const { return m_griglia; }

    // Handlers (public so that the window and the tests can run them).
    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainNewRecord(platform::DataSet &dataSet) override;
    // Every data change: the bonus group by the working period.
    void dsMainDataChange() override;

private:
    bool m_griglia = false;
};
