#include "ZepUDettaglio.h"

#include "ZepUMainState.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "Field.h"
#include "SearchDialog.h"
#include "TovFCdsSearch.h"
#include "TovRBase.h"
#include "UqMessages.h"
#include "tovCQueryText.h"
#include "ZepULayoutNomi.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

using platform::DataSet;
using platform::DBEdit;
using platform::Field;

namespace {

const QString QryCittadinanza = QStringLiteral("QRY_STA_CITTADINANZA");

// Paints the cells of a row marked for deletion white on red, then as any
// other cell.
class TZepRigheEliminate : public QStyledItemDelegate {
public:
    TZepRigheEliminate(platform::DataSetModel *model, QObject *parent) : QStyledItemDelegate(parent), m_model(model) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const DataSet *ds = m_model->dataSet();
        if (!ds || !TZepTabellaDenuncia::DaEliminare(*ds, m_model->bookmarkAt(index.row())))
            return;
        option->backgroundBrush = QBrush(Qt::red);
        option->palette.setColor(QPalette::Text, Qt::white);
        option->palette.setColor(QPalette::HighlightedText, Qt::white);
        option->palette.setColor(QPalette::Highlight, Qt::darkRed);
    }

private:
    platform::DataSetModel *m_model;
};

// Whether the user's work on the dataset may begin: a dataset that cannot be
// modified is not searched.
bool modificabile(const DBEdit *edit)
{
    const Field *field = edit ? edit->TheField() : nullptr;
    return field && field->dataSet()->canModify();
}

// Whether the box is the only one in its row of the grid (beside its
// caption): it can then take the width of the whole field.
bool soloNellaRiga(const DBEdit *edit)
{
    auto *grid = qobject_cast<QGridLayout *>(edit->parentWidget() ? edit->parentWidget()->layout() : nullptr);
    const int posto = grid ? grid->indexOf(edit) : -1;
    if (posto < 0)
        return false;
    int riga = 0, colonna = 0, righe = 0, colonne = 0;
    grid->getItemPosition(posto, &riga, &colonna, &righe, &colonne);
    for (int c = 0; c < grid->columnCount(); ++c) {
        if (c == colonna || c == colonna - 1)
            continue;
        if (QLayoutItem *item = grid->itemAtPosition(riga, c); item && (item->widget() || item->layout()))
            return false;
    }
    return true;
}

} // namespace

TZepDettaglio::TZepDettaglio(TfrTovBase *frame) : QObject(frame), m_frame(frame) {}

TZepDettaglio::~TZepDettaglio() = default;

QLabel *TZepDettaglio::Etichetta(const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QGridLayout *TZepDettaglio::Riquadro(QBoxLayout *layout, QWidget *parent)
{
    auto *box = new QWidget(parent);
    layout->addWidget(box);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

QGroupBox *TZepDettaglio::Gruppo(const QString &caption, QBoxLayout *layout, QWidget *parent, QGridLayout *&grid)
{
    auto *group = new QGroupBox(caption, parent);
    grid = new QGridLayout(group);
    layout->addWidget(group);
    return group;
}

void TZepDettaglio::Lavoratore(QGridLayout *g)
{
    Testo(g, 0, 0, QStringLiteral("Codice Fiscale"), layouts::TEMD_DIPENDENTI::CFLavoratore);
    Testo(g, 0, 2, QStringLiteral("Cognome"), layouts::TEMD_DIPENDENTI::Cognome);
    Testo(g, 0, 4, QStringLiteral("Nome"), layouts::TEMD_DIPENDENTI::Nome);
    Testo(g, 1, 0, QStringLiteral("Matricola INPS"), layouts::TEMD_DIPENDENTI::Matricola);
    Qualifica(g, 1, 2);
    Testo(g, 1, 4, QStringLiteral("Tipo contribuzione"), layouts::TEMD_DIPENDENTI::TipoContribuzione);
    Testo(g, 2, 0, QStringLiteral("Comune di lavoro"), layouts::TEMD_DIPENDENTI::CodiceComune);
    Testo(g, 2, 2, QStringLiteral("Codice contratto"), layouts::TEMD_DIPENDENTI::CodiceContratto);
    Testo(g, 2, 4, QStringLiteral("Tipo lavoratore"), layouts::TEMD_DIPENDENTI::TipoLavoratore);
    RicercaCittadinanza(Testo(g, 3, 0, QStringLiteral("Cittadinanza"), layouts::TEMD_DIPENDENTI::Cittadinanza));
}

void TZepDettaglio::AssunzioneCessazione(QBoxLayout *layout, QWidget *parent, QGroupBox *&assunzione,
                                         QGroupBox *&cessazione)
{
    auto *row = new QHBoxLayout;
    layout->addLayout(row);
    assunzione = TipoGiorno(QStringLiteral(" Assunzione "), layouts::TEMD_DIPENDENTI::TipoAssunzione,
                            layouts::TEMD_DIPENDENTI::GiornoAssunzione, parent);
    cessazione = TipoGiorno(QStringLiteral(" Cessazione "), layouts::TEMD_DIPENDENTI::TipoCessazione,
                            layouts::TEMD_DIPENDENTI::GiornoCessazione, parent);
    row->addWidget(assunzione);
    row->addWidget(cessazione);
}

void TZepDettaglio::Qualifica(QGridLayout *grid, int row, int column)
{
    QWidget *parent = grid->parentWidget();
    grid->addWidget(Etichetta(QStringLiteral("Qualifica"), parent), row, column);
    auto *boxes = new QHBoxLayout;
    for (const QString &field : {layouts::TEMD_DIPENDENTI::Qualifica1, layouts::TEMD_DIPENDENTI::Qualifica2,
                                 layouts::TEMD_DIPENDENTI::Qualifica3})
        boxes->addWidget(Casella(field, parent));
    boxes->addStretch(1);
    grid->addLayout(boxes, row, column + 1);
}

QGroupBox *TZepDettaglio::TipoGiorno(const QString &caption, const QString &tipo, const QString &giorno,
                                     QWidget *parent)
{
    auto *group = new QGroupBox(caption, parent);
    auto *grid = new QGridLayout(group);
    Testo(grid, 0, 0, QStringLiteral("Tipo"), tipo);
    Testo(grid, 0, 2, QStringLiteral("Giorno"), giorno);
    return group;
}

QGroupBox *TZepDettaglio::GruppoElimina(QWidget *parent, platform::DBCheckBox *&check)
{
    auto *group = new QGroupBox(parent);
    group->setObjectName(QStringLiteral("gbElimina"));
    check = new platform::DBCheckBox(QStringLiteral(
                                         "Elimina (impostare solo per annullare una denuncia inviata in precedenza)"),
                                     group);
    check->setObjectName(QStringLiteral("chElimina"));
    check->ValueChecked = QStringLiteral("S");
    check->ValueUnchecked = QStringLiteral("N");
    check->SetDataSource(m_frame->dsMain);
    check->SetDataField(TZepTabellaDenuncia::CampoElimina);
    (new QVBoxLayout(group))->addWidget(check);
    return group;
}

platform::DBComboBox *TZepDettaglio::Scelte(const QString &field, const QStringList &items, QWidget *parent)
{
    auto *combo = new platform::DBComboBox(items, parent);
    combo->setObjectName(QStringLiteral("cb") + field);
    combo->SetDataSource(m_frame->dsMain);
    combo->SetDataField(field);
    return combo;
}

platform::DBRadioGroup *TZepDettaglio::Opzioni(const QString &caption, const QString &field,
                                               const QList<QPair<QString, QString>> &items, QWidget *parent)
{
    auto *group = new platform::DBRadioGroup(caption, parent);
    group->setObjectName(QStringLiteral("rg") + field);
    for (const auto &[text, value] : items)
        group->AddItem(text, value);
    group->SetDataSource(m_frame->dsMain);
    group->SetDataField(field);
    return group;
}

DBEdit *TZepDettaglio::Casella(const QString &field, QWidget *parent)
{
    auto *edit = new DBEdit(parent);
    edit->setObjectName(QStringLiteral("ed") + field);
    edit->SetUpperCase(true);
    edit->SetDataSource(m_frame->dsMain);
    edit->SetDataField(field);
    m_edits.insert(field.toLower(), edit);
    return edit;
}

DBEdit *TZepDettaglio::Testo(QGridLayout *grid, int row, int column, const QString &caption, const QString &field,
                             int span)
{
    QWidget *parent = grid->parentWidget();
    QLabel *label = Etichetta(caption, parent);
    DBEdit *edit = Casella(field, parent);
    label->setBuddy(edit);
    m_etichette.insert(edit, label);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1, 1, span, Qt::AlignLeft);
    return edit;
}

void TZepDettaglio::Collega(DBEdit *edit, const QString &tabella)
{
    m_tabelle.insert(edit, tabella);
    edit->SetButtonVisible(true);
    edit->installEventFilter(this);
    connect(edit, &DBEdit::ButtonClick, this, [this, edit] {
        if (edit == m_cittadinanza)
            CercaCittadinanza(edit);
        else
            Cerca(edit);
    });
}

void TZepDettaglio::Ricerche(const QList<TZepRicerca> &ricerche)
{
    for (const TZepRicerca &r : ricerche) {
        DBEdit *edit = Edit(r.campo);
        ZEP_ASSERT(edit, QStringLiteral("Casella di ricerca mancante: ") + r.campo);
        Collega(edit, r.tabella);
    }
}

void TZepDettaglio::RicercaCittadinanza(DBEdit *edit)
{
    m_cittadinanza = edit;
    Collega(edit, QString());
}

void TZepDettaglio::Cerca(DBEdit *edit)
{
    if (!modificabile(edit))
        return;
    Field &field = *edit->TheField();
    DataSet &ds = *field.dataSet();
    const bool browsing = ds.state() == platform::DataSetState::Browse;
    try {
        const QString file = TZepTabellaDenuncia::FileTabella(IZepMainState::Require(m_frame), m_tabelle.value(edit));
        fmTovRicerca()->SearchField(field, file);
    } catch (const std::exception &e) {
        // A code table that cannot be read, named in the message.
        UqShowException(e);
    }
    // A cancelled or failed search changes nothing: not even the dataset's
    // state.
    if (browsing && ds.isEditing() && !ds.isModified())
        ds.cancel();
}

void TZepDettaglio::CercaCittadinanza(DBEdit *edit)
{
    if (!modificabile(edit))
        return;
    try {
        if (!m_stati) {
            m_stati = new platform::SearchDialog(m_frame);
            m_stati->setObjectName(QStringLiteral("sdStati"));
            m_stati->SetSQL(TovQueryText().GetSQL(QryCittadinanza, QStringLiteral("SELECT")));
            platform::SearchColumn &codice = m_stati->Column(0);
            codice.FieldName = QStringLiteral("SSTAISTAT");
            codice.Caption = QStringLiteral("Codice");
            codice.Indexed = true;
            platform::SearchColumn &stato = m_stati->Column(1);
            stato.FieldName = QStringLiteral("SSTALDESC");
            stato.Caption = QStringLiteral("Stato");
            stato.Width = 360;
            stato.Indexed = true;
            m_stati->KeyField = QStringLiteral("SSTAISTAT");
        }
        const platform::Value codice = m_stati->Execute();
        // The dataset may have been closed while the dialog was open.
        if (codice.isEmpty() || !modificabile(edit))
            return;
        Field &field = *edit->TheField();
        DataSet &ds = *field.dataSet();
        if (ds.state() == platform::DataSetState::Browse)
            ds.edit();
        field.setValue(codice);
    } catch (const std::exception &e) {
        UqShowException(e);
    }
}

void TZepDettaglio::AdattaLarghezze()
{
    for (DBEdit *edit : std::as_const(m_edits)) {
        const Field *field = edit->TheField();
        if (!field)
            continue;
        int caratteri = 12;
        switch (field->dataType()) {
        case platform::FieldType::String: caratteri = qBound(3, field->size(), 40); break;
        case platform::FieldType::Integer: caratteri = 8; break;
        case platform::FieldType::Date: caratteri = 10; break;
        default: break;
        }
        // The ellipsis button takes its room at the right end of the box.
        const int pulsante = edit->Button() && edit->Button()->isVisible()
                                 ? edit->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, edit) + 12
                                 : 0;
        const int larghezza = edit->fontMetrics().horizontalAdvance(QString(caratteri + 1, QLatin1Char('N'))) + 12
                              + pulsante;
        // Long texts side by side share the row, each at least half its
        // width; alone in its row a box shows the whole field.
        edit->setMinimumWidth(caratteri <= 20 || soloNellaRiga(edit) ? larghezza : larghezza / 2);
        edit->setMaximumWidth(larghezza);
    }
    // The boxes keep to the left; the room that is left goes to the right.
    for (QGridLayout *grid : m_frame->findChildren<QGridLayout *>())
        if (grid->columnStretch(grid->columnCount() - 1) == 0)
            grid->setColumnStretch(grid->columnCount(), 1);
}

void TZepDettaglio::ImpostaEtichette()
{
    for (auto it = m_etichette.cbegin(); it != m_etichette.cend(); ++it) {
        Field *field = it.key()->TheField();
        if (!field || field->displayLabel() != field->fieldName())
            continue;
        QString etichetta = it.value()->text().section(QLatin1Char('\n'), 0, 0).trimmed();
        for (QWidget *w = it.key()->parentWidget(); w; w = w->parentWidget())
            if (auto *gruppo = qobject_cast<QGroupBox *>(w); gruppo && !gruppo->title().trimmed().isEmpty()) {
                etichetta = gruppo->title().trimmed() + QStringLiteral(" - ") + etichetta;
                break;
            }
        field->setDisplayLabel(etichetta);
    }
}

void TZepDettaglio::ColoraRigheEliminate()
{
    m_frame->grFrame->setItemDelegate(new TZepRigheEliminate(m_frame->grModel, m_frame->grFrame));
}

bool TZepDettaglio::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F8
        && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        if (auto *edit = qobject_cast<DBEdit *>(watched); edit && m_tabelle.contains(edit)) {
            emit edit->ButtonClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
