#pragma once
// The company-parameter frame of the declaration's imports: the INPS
// company number of the pay and, when different, that of the accessory
// pay.
#include "wunRPacoBase.h"

#include <memory>

class QLineEdit;

class TfrWunPacoDm10 : public TfrWunPacoBase {
    Q_OBJECT
public:
    explicit TfrWunPacoDm10(QWidget *parent = nullptr);
    ~TfrWunPacoDm10() override;

    QLineEdit *xdeMatAzienda;    // SPACOMATRAZIENDA, "Matricola azienda"
    QLineEdit *xdeMatAziendaAcc; // SPACOMATRAZACC, "Matricola compensi acc." "(se diversa)"

private:
    class Legame;
    std::unique_ptr<Legame> m_legame;
};
