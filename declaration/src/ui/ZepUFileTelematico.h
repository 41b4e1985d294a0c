#pragma once
// What the two file windows "Generazione file telematico" (UniEmens and
// E-Mens) show alike: the selection grid of "su Prenotazione" and the save
// dialog of "Crea file telematico".
#include <QString>

class QTableView;
class QWidget;

namespace platform {
class DataSet;
class DataSetModel;
} // namespace platform

class TZepFileTelematicoUi {
public:
    // The grid "grPrenota": read-only, whole rows, several at once,
    // disabled until "su Prenotazione" is chosen; its model is a child of
    // the grid.
    static QTableView *CreaGrigliaPrenota(QWidget *parent, platform::DataSetModel *&modello);
    // The captions of the selection list's columns ("Codice fiscale",
    // "Matricola INPS", "Orario Intero / PT"), then the list into the grid.
    static void MostraPrenota(QTableView *griglia, platform::DataSetModel &modello, platform::DataSet &prenota);
    // The save dialog "s_FileTel" in `cartella` with `nome` proposed: the
    // chosen file, empty when cancelled. The question before an existing
    // file is replaced is the writer's own (in Italian, through the message
    // service), so the dialog does not ask it.
    static QString ScegliFile(QWidget *owner, const QString &cartella, const QString &nome);
};
