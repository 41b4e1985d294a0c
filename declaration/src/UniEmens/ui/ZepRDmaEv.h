#pragma once
// The other paying entities of one E0 or V1 row (TEV_ENTEVERSANTEE0,
// TEV_ENTEVERSANTEV1), on the page "Altro Ente Versante" of the E0 frame
// and "Ente versante" of the V1 frame: only the rows of the current person
// and of the section row's ORDINE are shown. A row needs its section row
// saved first; the V1 frame's rows carry a rate and a payment month.
#include "ZepRDatiDenuncia.h"

class TfrZepEv : public TfrZepDatiDenuncia {
    Q_OBJECT
public:
    TfrZepEv(bool v1, QWidget *parent);
    ~TfrZepEv() override;

    // The owning section row's ORDINE (0: none saved yet).
    void SetOrdine(int ordine) { m_ordine = ordine; }
    int Ordine() const { return m_ordine; }
    // Shows the rows of the current person and of the ORDINE.
    void Filtra();

    QList<TZepColonna> Colonne() const override;
    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainBeforeDelete(platform::DataSet &dataSet) override;
    // The payment month's ellipsis: the year-month dialog (V1).
    void ScegliAnnoMese();
    // The default payment month (set by the V1 frame: its row's start).
    std::function<QDate()> InizioQuadro;

private:
    bool m_v1;
    int m_ordine = 0;
};

class TfrZepEvE0 : public TfrZepEv {
    Q_OBJECT
public:
    explicit TfrZepEvE0(QWidget *parent = nullptr) : TfrZepEv(false, parent) {}
};

class TfrZepEvV1 : public TfrZepEv {
    Q_OBJECT
public:
    explicit TfrZepEvV1(QWidget *parent = nullptr) : TfrZepEv(true, parent) {}
};
