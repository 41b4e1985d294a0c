#pragma once
// The base of the frames of the declaration tables (employees,
// collaborators, declarant, performing-arts workers): the base data-entry
// frame with a scrolled detail page, its labelled controls and lookups
// (TZepDettaglio), the table of the working period that every post and
// every delete writes back, the fixed forms of its fields and the delete
// question.
#include "TovRBase.h"

#include "ZepUDettaglio.h"

class QScrollArea;

class TfrZepDatiDenuncia : public TfrTovBase {
    Q_OBJECT
public:
    explicit TfrZepDatiDenuncia(QWidget *parent = nullptr);
    ~TfrZepDatiDenuncia() override;

    QScrollArea *sbDettaglio; // the detail page's scrolled area
    QWidget *paDettaglio;     // its content, for the subclass's controls
    TZepDettaglio *Dettaglio;

    // The table the frame's dataset holds (set by the window; not owned).
    void SetTabella(TZepTabellaDenuncia *tabella) { m_tabella = tabella; }
    TZepTabellaDenuncia *Tabella() const { return m_tabella; }

    // After the table was loaded into cdsMain: the grid's columns and the
    // text rule of the amounts (empty for 0). Subclasses add their own.
    virtual void Prepara();
    // The grid's columns; none by default.
    virtual QList<TZepColonna> Colonne() const { return {}; }

    // Handlers. Before a post, after the base frame's guard, every field of
    // a fixed form must fit it (TZepFormeCampi: a CAP of five digits, a
    // province of two letters, ...), the first that does not is refused
    // naming it; after a post and after a delete the whole table is written
    // back; before a delete the user confirms.
    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    virtual void cdsMainAfterPost(platform::DataSet &dataSet);
    virtual void cdsMainBeforeDelete(platform::DataSet &dataSet);
    virtual void cdsMainAfterDelete(platform::DataSet &dataSet);
    virtual void cdsMainNewRecord(platform::DataSet &dataSet);
    // Every data change that is not the change of a single field (another
    // row, a cancel, a load, a post): nothing by default.
    virtual void dsMainDataChange() {}

private:
    TZepTabellaDenuncia *m_tabella = nullptr;
    int m_observer = 0;
};
