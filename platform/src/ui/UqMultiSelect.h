#pragma once
// The framework's multi-select dialog: a grid over a list of candidates in
// which the user selects any number of rows, with an info panel above it, a
// search edit and a progress label below it, and OK and Cancel.
//
//     TfmUqMultiSelect dlg;
//     dlg.SetDataSet(&candidates);                     // not owned
//     dlg.SetColumns({{"CODICE", "Codice", 43}, ...}); // the fields shown, in order
//     dlg.ShowModal();
//     for (Bookmark b : dlg.SelectedRows()) ...        // in the order the user selected them
//
// The selection is kept in the order the user made it (a range selected at
// once comes in grid order) and follows the rows through a new order; what
// happens to it on a filter change is the owner's (ClearSelection).
// A click on a column's title orders the list by OrdineColonna(field) (the
// field itself when unset). Typing in the search edit searches the grid's
// current column: OnSearchValue may do it (answering true); otherwise the
// first row whose text begins with the typed one, without regard to case,
// becomes current. The current row moves without touching the selection.
#include "UqDialog.h"

#include "DataSet.h"

#include <QList>
#include <QString>
#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QTableView;

namespace platform {
class DataSetModel;
}

class TfmUqMultiSelect : public TfmUqDialog {
    Q_OBJECT
public:
    // A column of the grid.
    struct Column {
        QString field;
        QString title;
        int width = 0; // pixels; 0: the grid's default
    };

    explicit TfmUqMultiSelect(QWidget *parent = nullptr);
    ~TfmUqMultiSelect() override;

    QFrame *frAxMultiSel; // the grid frame
    QLabel *paInfo;       // info panel above the grid
    QTableView *grFrame;  // the grid, several rows selectable
    QLineEdit *edCerca;   // "Cerca:"
    QLabel *laProgress;   // progress label below the grid

    // The candidates (not owned; nullptr detaches).
    void SetDataSet(platform::DataSet *dataSet);
    platform::DataSet *DataSet() const { return m_dataSet; }
    platform::DataSetModel &Model() const { return *m_model; }
    // Shows only these fields, in this order, with their titles and widths
    // (a width narrower than its title grows to the title's).
    void SetColumns(const QList<Column> &columns);

    // The rows selected, in the order the user selected them.
    const QList<platform::Bookmark> &SelectedRows() const { return m_selected; }
    int SelectedCount() const { return int(m_selected.size()); }
    void ClearSelection();
    // Adds the grid row to the selection (as a click with Ctrl would).
    void SelectRow(int row);

    // The order of the list for a click on a field's column title.
    std::function<QString(const QString &field)> OrdineColonna;
    // The search of a typed value in a field; true when it searched.
    std::function<bool(const QString &field, const QString &text)> OnSearchValue;

    // Orders the list by the field's column (what a title click does).
    void OrdinaPerColonna(const QString &field);
    // Searches the text in the current column (what typing does).
    void Cerca(const QString &text);

signals:
    // The selection or the rows of the list changed.
    void SelectionChanged();

private:
    void TrackSelection();
    void Reselect();
    QString CurrentField() const;

    platform::DataSet *m_dataSet = nullptr;
    platform::DataSetModel *m_model;
    QList<Column> m_columns;
    QList<platform::Bookmark> m_selected;
    bool m_reselecting = false;
};
