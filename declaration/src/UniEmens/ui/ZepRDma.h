#pragma once
// The enrolled person frame of the public-sector window: the month's
// persons (TD0_ANAG) in a grid ("Codice fiscale", "Cognome", "Nome",
// "Mese") and on a detail page with the person's name, year and month over
// the pages "Quadro D0 " (the registry row), "Quadro E0", "Quadro E1" and
// "Quadro V1", which show the sections of the current person only.
//
// A person whose declaration was printed or sent (ISTATO above 0) is
// locked: the row is drawn red, it cannot be edited and its sections are
// read-only, until "&Sblocca" opens it again.
#include "ZepRDmaBase.h"

#include <QStyledItemDelegate>

class QAction;
class QLineEdit;
class QTabWidget;
class TfrQuvE0;
class TfrQuvE1;
class TfrQuvV1;
class TfrZepEv;
namespace platform {
class DataSetModel;
}

// The rows of a grid of public-sector persons (TD0_ANAG rows) whose
// declaration was printed or sent, drawn red: ISTATO above 0. An empty
// ISTATO, as the public-sector import leaves it, is an open person. This
// frame's grid and the CUD summary's person list draw their rows with it.
class TQuvRigheBloccate : public QStyledItemDelegate {
public:
    TQuvRigheBloccate(platform::DataSetModel *model, QObject *parent);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    platform::DataSetModel *m_model;
};

class TfrQuvIscritto : public TfrQuvBase {
    Q_OBJECT
public:
    explicit TfrQuvIscritto(QWidget *parent = nullptr);
    ~TfrQuvIscritto() override;

    QTabWidget *pcDma; // the pages of the detail
    QWidget *tsD0;     // "Quadro D0 "
    QWidget *tsE0, *tsE1, *tsV1;
    TfrQuvE0 *frE0;
    TfrQuvE1 *frE1;
    TfrQuvV1 *frV1;
    QLineEdit *edAnno;  // the working year
    QAction *acSblocca; // "&Sblocca"

    int Blocco() const { return m_blocco; }
    // The sections' datasets and the paying entities' (for the deletes).
    QList<platform::DataSet *> Sezioni() const;

    void Prepara() override;
    // The person of the current row becomes the current one; the sections
    // show its rows (none when there is no person).
    void AggiornaFiltri();

    void cdsMainNewRecord(platform::DataSet &dataSet) override;
    void cdsMainBeforePost(platform::DataSet &dataSet) override;
    void cdsMainAfterPost(platform::DataSet &dataSet) override;
    void cdsMainBeforeDelete(platform::DataSet &dataSet) override;
    void cdsMainAfterDelete(platform::DataSet &dataSet) override;
    void dsMainDataChange() override;
    void acSbloccaExecute();

private:
    void StatoCambiato();
    void SezioniInSolaLettura();
    int m_blocco = 0;
    int m_osservatore = 0;
    int m_cancellato = 0;
    platform::DataSetState m_stato = platform::DataSetState::Inactive;
};
