#pragma once
// The company declaration frame: the rows of TEMA_DENAZIENDALE of the
// working period (one per INPS company number) in a grid and on a detail
// page. The rules are TZepDenunciaAziendale's (ZepCDenunciaAziendale.h).
// The window "Denuncia Aziendale" shows it read-only; the file window
// recomputes it on its company page, where the user may enter SommaACredito.
#include "ZepRDatiDenuncia.h"

#include "ZepCDenunciaAziendale.h"

class QGroupBox;

namespace platform {
class DBCheckBox;
class DBEdit;
} // namespace platform

class TfrZepDenunciaAziendale : public TfrZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfrZepDenunciaAziendale(QWidget *parent = nullptr);

    platform::DBCheckBox *chTrattQuotaLav; // "Trattenute contributive"
    QGroupBox *gbQuadratura;               // " Dati quadratura "
    QGroupBox *gbRecupero;                 // " Recupero bonus di cui all’articolo 13 (DL n. 66/2014)"
    platform::DBEdit *edSommaACredito;

    // The grid's columns: those of the window unless set (the file window's).
    QList<TZepColonna> Colonne() const override { return m_colonne; }
    void SetColonne(const QList<TZepColonna> &colonne) { m_colonne = colonne; }
    // The base's preparation; the totals in whole euros read as the other
    // amounts do, with the thousands separator ("31.512").
    void Prepara() override;

    // The company declaration recomputed from the employees and performing-
    // arts workers (each delete and post saving the table), the post guard
    // open meanwhile.
    void Ricalcola(platform::DataSet &dipendenti, platform::DataSet &fpls, platform::DataSet &aziendale);
    // Posts the current row through the post guard.
    void Registra();

    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainBeforeDelete(platform::DataSet &dataSet) override;

    // Lets only digits, "," and "." be typed into an amount box, and every
    // key that types nothing (Backspace, Delete, the arrows) or comes with
    // Ctrl or Alt.
    static void FiltraTastiImporto(QWidget *box);

private:
    QList<TZepColonna> m_colonne;
};
