#pragma once
// The person choice "Scelta dipendenti": the multi-select over the
// candidate persons with their columns ("Codice", "Dipendente", "Cat.",
// "P.g.", "Qual."), the order by column title, the three filter lists
// ("Categoria", "Pos.Giur.", "Qualifica") and the in-service box. The rules
// are TwunAnaMultiSelect's (wunCAnaMultiSelect.h); a filter change clears the
// selection, so the count shows every row of the new filter.
#include "import/ui/wunFMultiSelect.h"

#include "import/wunCAnaMultiSelect.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;

class TfmwunAnaMultiSelect : public TfmwunMultiSelect {
    Q_OBJECT
public:
    // `logica`: the rules and the candidate list (none: TwunAnaMultiSelect's
    // own on the global connection).
    explicit TfmwunAnaMultiSelect(QWidget *owner = nullptr, std::unique_ptr<TwunAnaMultiSelect> logica = {});
    ~TfmwunAnaMultiSelect() override;

    TwunAnaMultiSelect &Logica() const { return *m_logica; }

    QWidget *pnlFiltro;
    QComboBox *cbICALNUBRACODE; // "Categoria"
    QComboBox *cbITNONUBRACODE; // "Pos.Giur."
    QComboBox *cbIQARNUBRACODE; // "Qualifica"
    QCheckBox *chServizio;      // "In servizio" (hidden)
    QGroupBox *rgOrdine;        // " Ordine di stampa "
    QRadioButton *rbAlfabetico; // "alfabetico"
    QRadioButton *rbPerCodice;  // "per codice"

    // The grid shows the candidate list the rules opened.
    void MostraElenco();
    // Fills the three lists ("(Tutte)" first and chosen).
    void CaricaFiltri();
    // The lists' and the box's choice filters the list; the selection is
    // cleared.
    void ApplicaFiltro();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<QComboBox *> Liste() const { return {cbICALNUBRACODE, cbITNONUBRACODE, cbIQARNUBRACODE}; }

    std::unique_ptr<TwunAnaMultiSelect> m_logica;
    bool m_filtriCaricati = false;
};
