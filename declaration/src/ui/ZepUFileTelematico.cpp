#include "ZepUFileTelematico.h"

#include "DataSet.h"
#include "DataSetModel.h"
#include "Field.h"
#include "Services.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTableView>

QTableView *TZepFileTelematicoUi::CreaGrigliaPrenota(QWidget *parent, platform::DataSetModel *&modello)
{
    auto *griglia = new QTableView(parent);
    griglia->setObjectName(QStringLiteral("grPrenota"));
    griglia->setSelectionBehavior(QAbstractItemView::SelectRows);
    griglia->setSelectionMode(QAbstractItemView::ExtendedSelection);
    griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    griglia->verticalHeader()->hide();
    griglia->horizontalHeader()->setStretchLastSection(true);
    griglia->setEnabled(false);
    modello = new platform::DataSetModel(nullptr, griglia);
    griglia->setModel(modello);
    return griglia;
}

void TZepFileTelematicoUi::MostraPrenota(QTableView *griglia, platform::DataSetModel &modello,
                                         platform::DataSet &prenota)
{
    prenota.fieldByName(QStringLiteral("CF")).setDisplayLabel(QStringLiteral("Codice fiscale"));
    prenota.fieldByName(QStringLiteral("Matricola")).setDisplayLabel(QStringLiteral("Matricola INPS"));
    prenota.fieldByName(QStringLiteral("Qualifica2")).setDisplayLabel(QStringLiteral("Orario Intero / PT"));
    modello.setDataSet(&prenota);
    griglia->resizeColumnsToContents();
}

QString TZepFileTelematicoUi::ScegliFile(QWidget *owner, const QString &cartella, const QString &nome)
{
    QFileDialog dialogo(owner, QStringLiteral("Salva il file telematico"), cartella,
                        QStringLiteral("XML (*.xml);;Tutti i file (*)"));
    dialogo.setObjectName(QStringLiteral("s_FileTel"));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.selectFile(nome);
    if (platform::Services::instance().execDialog(dialogo) != QDialog::Accepted)
        return QString();
    return dialogo.selectedFiles().value(0);
}
