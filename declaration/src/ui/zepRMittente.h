#pragma once
// The declarant frame: the one row of the year's declarant
// (TAMM_AMMINISTRAZIONE) on the detail page alone, without tabs: the sender,
// the employer or administration, the other data of the work site and, for
// a public administration (a "Codice INPDAP" other than 0), its service site
// and parent body. Before a post, after the base frame's check, the texts
// and fiscal codes are refused where the declaration could not carry them
// (nothing is required here: the file requires its own). It inserts a row
// only into an empty table and never deletes.
#include "ZepRDatiDenuncia.h"

#include "ZepCMittente.h"

class QGroupBox;

namespace platform {
class DBEdit;
}

class TfrZepMittente : public TfrZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfrZepMittente(QWidget *parent = nullptr);

    QGroupBox *gbSedeLavoro;   // " Altri dati sede di lavoro "
    QGroupBox *gbSedeServizio; // " Sede di servizio"
    QGroupBox *gbEnte;         // " Ente di appartenenza"
    platform::DBEdit *edCodiceINPDAP;

    // Every change of the text of "Codice INPDAP": the two public
    // administration groups shown or hidden, then the window repainted.
    void edCodiceINPDAPChange(const QString &text);

    // Insert only into an empty table, silently refused otherwise; delete
    // always silently refused; no save after a delete.
    void cdsMainBeforeInsert(platform::DataSet &dataSet);
    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainBeforeDelete(platform::DataSet &dataSet) override;
    void cdsMainAfterDelete(platform::DataSet &dataSet) override;
};
