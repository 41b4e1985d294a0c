// Takes a picture of each base window of the foundation with sample data,
// so that a reader can see that they render with their Italian texts:
//
//     zepScreenshots [output folder]        (default: build/screenshots)
//
// writes
//   ricerca.png           the search window on a small code table, a code typed
//   dati-griglia.png      a data window (MDI child of a main window) holding a
//                         frame on the base data-entry frame, grid page
//   dati-dettaglio.png    the same frame editing a record, detail page
//   informazioni.png      the check-result dialog with messages, asking
//                         whether to go on
//
// Run it on a display or under Xvfb (scripts/screenshots.sh). There is no
// window manager under Xvfb, so a dialog has no frame of its own: its
// title bar is drawn above the picture by the widget style, with the
// window's own caption. The data window's title bar is the MDI sub-window's.
#include "ScreenshotSupport.h"
#include "TovFCdsSearch.h"
#include "TovFInfo.h"
#include "TovRBase.h"
#include "UqFChildDBDA.h"

#include "Currency.h"
#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "Field.h"
#include "DesktopServices.h"
#include "UqDialog.h"
#include "UqMDIMain.h"

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

using namespace screenshots;

// ---- the search window ----

void searchWindow(PictureServices &services, const QString &folder)
{
    DataSet table;
    table.addFieldDef(QStringLiteral("CODICE"), FieldType::String, 4);
    table.addFieldDef(QStringLiteral("DESCRIZIONE"), FieldType::String, 60);
    table.createDataSet();
    const QList<QPair<const char *, const char *>> rows{{"1", "Operaio"},
                                                        {"2", "Impiegato"},
                                                        {"3", "Dirigente"},
                                                        {"4", "Apprendista"},
                                                        {"5", "Lavoratore a domicilio"},
                                                        {"6", "Quadro"},
                                                        {"7", "Viaggiatore o piazzista"},
                                                        {"8", "Dirigente con contratto a termine"},
                                                        {"9", "Pilota"},
                                                        {"A", "Sportivo professionista"},
                                                        {"B", "Giornalista"}};
    for (const auto &[code, text] : rows)
        table.appendRecord({Value(QString::fromLatin1(code)), Value(QString::fromUtf8(text))});
    table.fieldByName(QStringLiteral("CODICE")).setDisplayLabel(QStringLiteral("Codice"));
    table.fieldByName(QStringLiteral("DESCRIZIONE")).setDisplayLabel(QStringLiteral("Descrizione"));
    const QString file = QDir(folder).filePath(QStringLiteral("TQAS_QUALASSICUR.cds"));
    platform::DataSetFile::saveToFile(table, file);

    TfmTovRicerca search;
    services.onDialog = [](QDialog &dialog) {
        auto &s = static_cast<TfmTovRicerca &>(dialog);
        s.grSearch->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        s.grSearch->horizontalHeader()->setStretchLastSection(true);
        QTest::keyClicks(s.edValue, QStringLiteral("6"));
        settle();
        save(withTitleBar(s), QStringLiteral("ricerca.png"));
        return int(mrCancel);
    };
    search.SearchRecord(file);
}

// ---- a data window with a frame on the base data-entry frame ----

class SampleFrame : public TfrTovBase {
public:
    explicit SampleFrame(QWidget *parent) : TfrTovBase(parent)
    {
        cdsMain.addFieldDef(QStringLiteral("Matricola"), FieldType::String, 10);
        cdsMain.addFieldDef(QStringLiteral("Cognome"), FieldType::String, 40);
        cdsMain.addFieldDef(QStringLiteral("Nome"), FieldType::String, 40);
        cdsMain.addFieldDef(QStringLiteral("GiorniRetribuiti"), FieldType::Integer);
        cdsMain.addFieldDef(QStringLiteral("Imponibile"), FieldType::Currency);
        cdsMain.createDataSet();
        cdsMain.fieldByName(QStringLiteral("GiorniRetribuiti")).setDisplayLabel(QStringLiteral("Giorni"));
        cdsMain.fieldByName(QStringLiteral("GiorniRetribuiti")).setOnGetText(&TfrTovBase::NumericFieldGetText);
        platform::Field &amount = cdsMain.fieldByName(QStringLiteral("Imponibile"));
        amount.setDisplayFormat(QStringLiteral("#,##0.00"));
        amount.setOnGetText(&TfrTovBase::NumericFieldGetText);
        SetPostAllowed(true);
        const QList<std::tuple<const char *, const char *, const char *, int, const char *>> rows{
            {"000101", "Bianchi", "Maria", 26, "2450.00"},
            {"000102", "Esposito", "Luca", 26, "1987.35"},
            {"000107", "Ferrari", "Giulia", 0, "0"},
            {"000110", "Romano", "Paolo", 13, "1012.40"},
            {"000115", "Colombo", "Sara", 26, "3120.00"}};
        for (const auto &[code, surname, name, days, amountText] : rows)
            cdsMain.appendRecord({Value(QString::fromLatin1(code)), Value(QString::fromLatin1(surname)),
                                  Value(QString::fromLatin1(name)), Value(days),
                                  Value(platform::Currency::fromString(QString::fromLatin1(amountText)))});
        SetPostAllowed(false);
        // Appending switched to the detail page, as typing a new record does.
        pcMain->setCurrentWidget(tsGrid);

        // Context bar: the record position.
        auto *position = new QLabel(QStringLiteral("Posizione:"), paContext);
        edPosition = new QLineEdit(paContext);
        edPosition->setReadOnly(true);
        edPosition->setMaximumWidth(90);
        paContext->layout()->addWidget(position);
        paContext->layout()->addWidget(edPosition);
        paContext->show();

        // Detail page: the record's values.
        auto *form = new QFormLayout(tsDetail);
        for (const QString &field : cdsMain.fieldNames()) {
            auto *edit = new QLineEdit(tsDetail);
            edit->setObjectName(QStringLiteral("ed") + field);
            form->addRow(cdsMain.fieldByName(field).displayLabel() + QLatin1Char(':'), edit);
            m_edits << edit;
        }
        cdsMain.first();
    }

    // Shows the current record in the context bar and on the detail page.
    void ShowRecord()
    {
        ShowRecordPosition(edPosition);
        const QStringList fields = cdsMain.fieldNames();
        for (int i = 0; i < fields.size(); ++i)
            m_edits.at(i)->setText(cdsMain.fieldByName(fields.at(i)).displayText());
    }

    QLineEdit *edPosition;

private:
    QList<QLineEdit *> m_edits;
};

void dataWindow()
{
    TfmUqMDIMain main;
    main.setWindowTitle(QStringLiteral("zepUni"));
    main.resize(980, 600);
    main.show();

    auto *child = new TfmUqChildDBDA;
    child->setWindowTitle(QStringLiteral("Finestra dati (esempio)"));
    auto *layout = new QGridLayout(child);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *frame = new SampleFrame(child);
    layout->addWidget(frame);
    QMdiSubWindow *sub = main.AddChild(child);
    sub->resize(760, 420);
    sub->move(10, 10);
    frame->grFrame->horizontalHeader()->setStretchLastSection(true);
    frame->cdsMain.setRecNo(2);
    frame->ShowRecord();
    settle();
    save(main.grab().toImage(), QStringLiteral("dati-griglia.png"));

    // Editing switches to the detail page; the record is being edited.
    frame->acEdit->trigger();
    frame->ShowRecord();
    settle();
    save(main.grab().toImage(), QStringLiteral("dati-dettaglio.png"));
    frame->acCancel->trigger();
}

// ---- the check-result dialog ----

void infoDialog(PictureServices &services)
{
    // Two persons checked against three mandatory fields.
    DataSet persons;
    persons.addFieldDef(QStringLiteral("CFLavoratore"), FieldType::String, 16);
    persons.addFieldDef(QStringLiteral("DataAssunzione"), FieldType::Date);
    persons.addFieldDef(QStringLiteral("GiorniRetribuiti"), FieldType::Integer);
    persons.createDataSet();
    persons.appendRecord({Value(QString()), Value(QDate()), Value(26)});

    TfmTovInfo info;
    info.SetFieldLabels({QStringLiteral("CFLavoratore=Codice fiscale"),
                         QStringLiteral("DataAssunzione=Data di assunzione"),
                         QStringLiteral("GiorniRetribuiti=Giorni retribuiti")});
    info.Clear();
    info.SetSectionTitle(QStringLiteral("Bianchi Maria"));
    info.CheckDataSets({&persons});
    persons.first();
    persons.edit();
    persons.setFieldValue(QStringLiteral("CFLavoratore"), Value(QStringLiteral("FRRGLI80A41F205Z")));
    persons.setFieldValue(QStringLiteral("DataAssunzione"), Value(QDate(2015, 3, 1)));
    persons.setFieldValue(QStringLiteral("GiorniRetribuiti"), Value(0));
    persons.post();
    info.SetSectionTitle(QStringLiteral("Ferrari Giulia"));
    info.CheckDataSets({&persons});
    services.onDialog = [](QDialog &dialog) {
        save(withTitleBar(dialog), QStringLiteral("informazioni.png"));
        return int(mrNo);
    };
    info.ShowInfo(true);
}

} // namespace

int main(int argc, char **argv)
{
    return screenshots::run(argc, argv, "zepScreenshots", [](screenshots::PictureServices &services) {
        QTemporaryDir folder;
        searchWindow(services, folder.path());
        dataWindow();
        infoDialog(services);
    });
}
