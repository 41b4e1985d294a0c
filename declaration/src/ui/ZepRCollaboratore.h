#pragma once
// The collaborator frame: the month's collaborator rows (TEMC_COLLABORATORI)
// in a grid ("Codice fiscale", Cognome, Nome, "Tipo rapporto", Aliquota) and
// on a detail page with the code lookups. The rules are TZepCollaboratore's
// (ZepCCollaboratore.h).
#include "ZepRDatiDenuncia.h"

#include "ZepCCollaboratore.h"

class QGroupBox;
class QLabel;

namespace platform {
class DBCheckBox;
}

class TfrZepCollaboratore : public TfrZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfrZepCollaboratore(QWidget *parent = nullptr);

    QLabel *lbAgevolazione; // "Indicare 04 per ex L.S.U."
    QGroupBox *gbElimina;
    platform::DBCheckBox *chElimina;

    QList<TZepColonna> Colonne() const override { return TZepCollaboratore::Colonne(); }
    void Prepara() override;

    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainNewRecord(platform::DataSet &dataSet) override;
};
