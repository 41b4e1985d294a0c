#pragma once
// The framework's search dialog: a pick list over the rows of a SELECT on
// the payroll archive. The caller gives the statement, the columns to show
// (caption, width, whether the user may search in them) and the key field;
// Execute runs the statement, shows the rows and returns the key of the
// row the user chose.
//
//     platform::SearchDialog dlg;
//     dlg.SetSQL("SELECT CODICE, DESCRIZIONE, ITAGID FROM ...");
//     dlg.Column(0).FieldName = "CODICE";      // or TTovUtilUi::SetupSearchColumns
//     dlg.KeyField = "ITAGID";
//     platform::Value key = dlg.Execute();      // Null when cancelled
//
// Searching: the edit below the grid finds, as the user types, the first
// row (in the order of the search column) whose search column begins with
// the text, without regard to case; a miss leaves the cursor. A click on
// the title of an indexed column makes it the search column. Up, Down,
// Page Up and Page Down in the edit move the cursor; Enter or a double
// click choose the row.
//
// A statement that marks the places of a condition and an order
// ("##WHERE##", "##ORDERBY##": SearchStatement.h) gets every row, in the
// order of its first column: the dialog searches among the rows it holds.
#include "UqQueryCollection.h"
#include "Value.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QLineEdit;
class QTableView;

namespace platform {

class Database;
class DataSetModel;

struct SearchColumn {
    // The statement's column; empty: the column at this position.
    QString FieldName;
    // The title; empty: the column's own name.
    QString Caption;
    // Width in pixels; 0: the grid's default.
    int Width = 0;
    // The user may search in it.
    bool Indexed = false;
    bool Visible = true;
};

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchDialog(QWidget *parent = nullptr);
    ~SearchDialog() override;

    // The statement and the connection it runs on (none: the global one).
    void SetSQL(const QString &sql) { m_data.SetSelectSQL(sql); }
    QString SQL() const { return m_data.SelectSQL(); }
    void SetConnection(Database *database) { m_data.SetConnection(database); }

    // The columns shown, in the statement's order of fields. When the list
    // is empty every column of the statement is shown and indexed; else
    // only the listed ones.
    QList<SearchColumn> Columns;
    // The column at the index, the list grown with plain columns up to it.
    SearchColumn &Column(int index);
    // The field whose value Execute returns; empty: the first shown column.
    QString KeyField;
    // The key of the row the dialog opens on (Null: the first row). A key
    // no row holds leaves the dialog on the first row.
    Value InitialKey;

    // Runs the statement and lets the user pick: the key of the chosen row;
    // Null when cancelled or when there is no row. Database errors reach
    // the caller before anything is shown.
    Value Execute();

    // The pieces of Execute, for callers and tests that drive the window.
    // Runs the statement and sets up the grid and the search column.
    void Open();
    DataSet &Data() { return m_data; }
    // The search column's field name (empty: none).
    QString SearchField() const { return m_searchField; }
    // Makes the grid column the search column when it is indexed; true
    // when it did.
    bool SetSearchColumn(int column);
    // Positions on the first row whose search column begins with the text
    // (without regard to case); true when one was found.
    bool Search(const QString &text);
    // The key of the current row (Null when there is none).
    Value CurrentKey() const;

    QTableView *grSearch;
    QLabel *laCampo;
    QLineEdit *edValue;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The field name a column stands for (by name or position), empty when
    // the statement has no such column.
    QString ColumnField(int index) const;
    const SearchColumn *ColumnOfField(const QString &fieldName) const;
    void ApplyColumns();
    int VisibleRows() const;

    TUqQueryCollection m_data;
    DataSetModel *m_model;
    QString m_searchField;
    bool m_ignoreChange = false;
};

} // namespace platform
