#pragma once
// The pay sections of the current enrolled person: E0 (page "Quadro E0":
// the service periods of the month) and V1 (page "Quadro V1": variations
// of earlier periods), each with the other paying entities of its current
// row. V1 has E0's fields under their V1 names (TDmaUtil::NomeCampo), the
// penalties, and the page of the use reason, enabled for the variation
// cause "7" only.
#include "ZepRDmaBase.h"

class QLineEdit;
class QTabWidget;
class TfrZepEv;

class TfrQuvSezione : public TfrQuvBase {
    Q_OBJECT
public:
    TfrQuvSezione(const QString &sezione, QWidget *parent);
    ~TfrQuvSezione() override;

    const QString &Sezione() const { return m_sezione; }
    QTabWidget *pcQuadro;   // "Pagina 1", "Pagina 2", the paying entities (V1: and the use reason)
    QWidget *tsVersanti;    // the paying entities' page
    TfrZepEv *frVersanti;   // its frame
    QLineEdit *edContratto; // "Contratto": sector and sub-sector
    QLineEdit *edRigo;      // the row counter

    // The frame's table and its paying entities' (set by the window).
    void SetTabelle(TZepTabellaDenuncia *quadro, TZepTabellaDenuncia *versanti);
    // After the table was loaded: ordered by start date, the computed
    // contract, the decimal formats.
    void Prepara() override;
    // The name of an E0 field in this section.
    QString Campo(const QString &campoE0) const;

    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainAfterPost(platform::DataSet &dataSet) override;
    void cdsMainBeforeDelete(platform::DataSet &dataSet) override;
    void cdsMainAfterDelete(platform::DataSet &dataSet) override;
    void dsMainDataChange() override;
    // The page change of pcQuadro: leaving the paying entities while one
    // is being edited is refused.
    bool PuoLasciareVersanti();

protected:
    void CaricaPagine(const QString &titolo1, const QString &titolo2, const QString &paginaVersanti);

private:
    void ScegliQualifica();
    void AggiornaVersanti();
    QString m_sezione;
    int m_ordineNuovo = 0;
    int m_ordineCancellato = 0;
    int m_paginaPrima = 0;
};

class TfrQuvE0 : public TfrQuvSezione {
    Q_OBJECT
public:
    explicit TfrQuvE0(QWidget *parent = nullptr);
};

class TfrQuvV1 : public TfrQuvSezione {
    Q_OBJECT
public:
    explicit TfrQuvV1(QWidget *parent = nullptr);
    QWidget *tsMotivoUtilizzo; // "Motivo utilizzo (Caus. variazione = 7)"
    // Enables the use-reason page by the variation cause's box.
    void AggiornaMotivoUtilizzo();
};
