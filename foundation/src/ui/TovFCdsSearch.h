#pragma once
// The search window ("Finestra di ricerca"): shows a code table in a grid,
// finds rows as the user types and hands back the first visible column of
// the chosen row. One instance (fmTovRicerca) serves every search.
//
// TTovSearchCursor holds the logic (typing, column choice, keys) over the
// dataset, without a window; the dialog puts it on screen.
#include "DataSet.h"
#include "UqDialog.h"

#include <QString>

class QLabel;
class QLineEdit;
class QTableView;
class ITovDBCds;

namespace platform {
class DataSetModel;
class Field;
}

class TTovSearchCursor {
public:
    explicit TTovSearchCursor(platform::DataSet &dataSet) : m_ds(dataSet) {}

    // The search column's field name (empty: none).
    QString IndexField() const { return m_ds.indexFieldNames(); }
    // Sorts on the field and searches in it.
    void SetIndexField(const QString &fieldName) { m_ds.setIndexFieldNames(fieldName); }
    // Positions on the row matching the text in the search column: exactly
    // in a numeric column (text that is not a number matches nothing), as a
    // case-sensitive prefix otherwise. A miss leaves the cursor; empty text
    // does nothing. True when a row was found.
    bool Search(const QString &text);

    // Keys of the search edit: moves the cursor (rows) or `column` (grid
    // columns, 0 .. columnCount-1); true when the key was used up. Digits,
    // letters and every other key belong to the edit (false).
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers, int &column, int columnCount, int pageRows);

private:
    platform::DataSet &m_ds;
};

class TfmTovRicerca : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmTovRicerca(QWidget *parent = nullptr);
    ~TfmTovRicerca() override;

    // Registers the window class by name ("TfmTovRicerca") with the form
    // registry; the program calls it at start-up. UnregisterClass undoes it.
    static void RegisterClass();
    static void UnregisterClass();

    platform::DataSet cdsSearch;
    QTableView *grSearch;
    platform::DataSetModel *grModel;
    QLabel *laCerca; // "Cerca per "
    QLabel *laCampo; // search column's display name
    QLineEdit *edValue;

    // Lets the user pick and writes the value into `field` (its dataset is
    // put into edit when browsing; posting is the caller's). A field of a
    // read-only dataset is not searched. Cancelling leaves the field.
    // With a store, `name` is a table of the store, loaded for the store's
    // current year and month; without one, a code-table file.
    void SearchField(platform::Field &field, const QString &name, ITovDBCds *store = nullptr);
    // Without a window: the result column of the row whose keys equal the
    // values ("A;B" for several), Unassigned when none.
    platform::Value LookupValue(const QString &fileName, const platform::ValueList &keyValues, const QString &keyFields,
                                const QString &resultField);
    // Lets the user pick from the file; the dataset positioned on the chosen
    // row, nullptr when cancelled.
    platform::DataSet *SearchRecord(const QString &fileName);
    // The common core: Null when cancelled. A stored table shows no row
    // number column ("IFISRIGO").
    platform::Value SearchValue(const QString &name, platform::Field *field, ITovDBCds *store = nullptr);

    // Makes a grid column the search column (a title click).
    void SetSearchColumn(int column);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cdsSearchAfterOpen();
    void edValueChange();
    int VisibleRows() const;

    TTovSearchCursor m_cursor;
    platform::Field *m_field = nullptr;
    bool m_ignoreChange = false;
};

// The program's single search window (created on first use, freed when
// the application's message loop ends).
TfmTovRicerca *fmTovRicerca();
