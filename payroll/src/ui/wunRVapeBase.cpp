#include "wunRVapeBase.h"

#include "WunFCalendario.h"
#include "WunUUtil.h"
#include "WunUUtilUi.h"
#include "wunFInputOreMinuti.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "Exceptions.h"
#include "Field.h"
#include "SearchDialog.h"
#include "UqMessages.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

using platform::DataSet;
using platform::Field;
using platform::Value;

namespace {

// The grid's model: what the user types goes through the rules (hours read
// as hours and minutes, dates checked); an error is shown and the cell keeps
// its value. Hours are edited as their text.
class TModelloPeriodi : public platform::DataSetModel {
public:
    TModelloPeriodi(TWunVapeBase &regole, QObject *parent) : DataSetModel(&regole.xqcMain, parent), m_regole(regole) {}

    QVariant data(const QModelIndex &index, int role) const override
    {
        const Field *campo = fieldAt(index.column());
        if (role == Qt::EditRole && campo && TWunVapeBase::CampoOre(*campo))
            return DataSetModel::data(index, Qt::DisplayRole);
        return DataSetModel::data(index, role);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const Field *campo = fieldAt(index.column());
        Qt::ItemFlags f = DataSetModel::flags(index);
        // A flag is swapped by a double click or the space bar, never typed.
        if (campo && TWunVapeBase::CampoFlag(*campo))
            f &= ~Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
            return false;
        try {
            setCurrentRow(index.row());
            m_regole.ScriviCampo(*fieldAt(index.column()), Value::fromQVariant(value));
            return true;
        } catch (const platform::Exception &e) {
            UqShowException(e);
            return false;
        }
    }

private:
    TWunVapeBase &m_regole;
};

// An editor with an ellipsis button beside it: the date or hours text of a
// cell, the absence kind's box.
class TEditorConPulsante : public QWidget {
public:
    TEditorConPulsante(QWidget *editor, QWidget *parent) : QWidget(parent), editor(editor)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        editor->setParent(this);
        layout->addWidget(editor, 1);
        pulsante = new QToolButton(this);
        pulsante->setObjectName(QStringLiteral("buEllissi"));
        pulsante->setText(QStringLiteral("..."));
        layout->addWidget(pulsante);
        setFocusProxy(editor);
    }
    QWidget *editor;
    QToolButton *pulsante;
};

// Flags drawn as the confirm action's image; the hours and date columns
// edited with an ellipsis button.
class TDelegatoPeriodi : public QStyledItemDelegate {
public:
    TDelegatoPeriodi(TfrWunVapeBase &frame) : QStyledItemDelegate(&frame), m_frame(frame) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const Field *campo = m_frame.grModel->fieldAt(index.column());
        if (!campo || !TWunVapeBase::CampoFlag(*campo)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyledItemDelegate::paint(painter, option, index.siblingAtColumn(index.column()));
        if (index.data(platform::DataSetModel::ValueRole).toInt() != 1)
            return;
        const int lato = qMin(16, qMin(option.rect.width(), option.rect.height()) - 2);
        QRect riquadro(0, 0, lato, lato);
        riquadro.moveCenter(option.rect.center());
        m_frame.acPost->icon().paint(painter, riquadro, Qt::AlignCenter);
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const Field *campo = m_frame.grModel->fieldAt(index.column());
        if (!campo || !ConPulsante(*campo))
            return QStyledItemDelegate::createEditor(parent, option, index);
        // Hours and dates are typed as text: a date that does not exist is
        // refused when the cell is left, never moved to another day.
        auto *editor = new QLineEdit;
        if (!TWunVapeBase::CampoOre(*campo))
            editor->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
        auto *cella = new TEditorConPulsante(editor, parent);
        auto *delegato = const_cast<TDelegatoPeriodi *>(this);
        QObject::connect(cella->pulsante, &QToolButton::clicked, &m_frame, [delegato, cella] {
            // The dialog writes the field itself: the editor is done with.
            emit delegato->closeEditor(cella, QAbstractItemDelegate::NoHint);
            delegato->m_frame.grDatiEditButtonClick();
        });
        return cella;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *cella = dynamic_cast<TEditorConPulsante *>(editor);
        if (!cella) {
            QStyledItemDelegate::setEditorData(editor, index);
            return;
        }
        auto *testo = static_cast<QLineEdit *>(cella->editor);
        const Field *campo = m_frame.grModel->fieldAt(index.column());
        if (TWunVapeBase::CampoOre(*campo)) {
            testo->setText(index.data(Qt::EditRole).toString());
            return;
        }
        const QDate data = index.data(Qt::EditRole).toDate();
        testo->setText((data.isValid() ? data : m_frame.Dati().InizioMese()).toString(QStringLiteral("dd/MM/yyyy")));
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *cella = dynamic_cast<TEditorConPulsante *>(editor);
        if (!cella) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        const QString testo = static_cast<QLineEdit *>(cella->editor)->text();
        const Field *campo = m_frame.grModel->fieldAt(index.column());
        if (TWunVapeBase::CampoOre(*campo)) {
            model->setData(index, testo, Qt::EditRole);
            return;
        }
        try {
            model->setData(index, platform::typedValue(*campo, testo.trimmed()).toQVariant(), Qt::EditRole);
        } catch (const platform::Exception &e) {
            UqShowException(e);
        }
    }

    static bool ConPulsante(const Field &campo)
    {
        const QString nome = campo.fieldName().toUpper();
        return nome == QLatin1String("IVAPEORESERVIZIO") || nome == QLatin1String("IVAPEOREECCEDENTI")
               || nome == QLatin1String("DVAPEDAL") || nome == QLatin1String("DVAPEAL");
    }

private:
    TfrWunVapeBase &m_frame;
};

} // namespace

TfrWunVapeBase::TfrWunVapeBase(std::unique_ptr<TWunVapeBase> dati, QWidget *parent)
    : TfrWunDBES(std::move(dati), parent), m_vape(static_cast<TWunVapeBase &>(TfrWunDBES::Dati()))
{
    setObjectName(QStringLiteral("frWunVapeBase"));

    paGiorni = new QLabel(orFrame);
    paGiorni->setObjectName(QStringLiteral("paGiorni"));
    QFont grassetto = paGiorni->font();
    grassetto.setBold(true);
    paGiorni->setFont(grassetto);
    orFrame->layout()->addWidget(paGiorni);

    paTop = new QWidget(paClient);
    paTop->setObjectName(QStringLiteral("paTop"));
    auto *alto = new QHBoxLayout(paTop);
    alto->setContentsMargins(2, 2, 2, 2);
    laInps = new QLabel(QStringLiteral("INPS"), paTop);
    laInps->setObjectName(QStringLiteral("laInps"));
    alto->addWidget(laInps);
    alto->addStretch(1);
    cbModificaQualifica = new QCheckBox(QStringLiteral("Abilita modifica qualifica"), paTop);
    cbModificaQualifica->setObjectName(QStringLiteral("cbModificaQualifica"));
    alto->addWidget(cbModificaQualifica);
    ClientLayout()->addWidget(paTop);

    grDati = new QTableView(paClient);
    grDati->setObjectName(QStringLiteral("grDati"));
    grDati->setSelectionMode(QAbstractItemView::SingleSelection);
    grDati->setSelectionBehavior(QAbstractItemView::SelectItems);
    grModel = new TModelloPeriodi(m_vape, grDati);
    grDati->setModel(grModel);
    grDati->setItemDelegate(new TDelegatoPeriodi(*this));
    grDati->installEventFilter(this);
    ClientLayout()->addWidget(grDati, 1);

    paBottom = new QWidget(paClient);
    paBottom->setObjectName(QStringLiteral("paBottom"));
    auto *basso = new QHBoxLayout(paBottom);
    basso->setContentsMargins(2, 2, 2, 2);
    laTag = new QLabel(QStringLiteral("Tipologia assenza"), paBottom);
    basso->addWidget(laTag);
    dcTag = new QLineEdit;
    dcTag->setObjectName(QStringLiteral("dcTag"));
    dcTag->setReadOnly(true);
    auto *tag = new TEditorConPulsante(dcTag, paBottom);
    buTag = tag->pulsante;
    buTag->setObjectName(QStringLiteral("buTag"));
    basso->addWidget(tag, 1);
    ClientLayout()->addWidget(paBottom);
    paBottom->hide();

    acRefresh->setVisible(false);
    acInsert->setEnabled(false);
    acDelete->setEnabled(false);

    connect(cbModificaQualifica, &QCheckBox::toggled, this, [this](bool on) { m_vape.ModificaQualifica = on; });
    m_vape.OnSceltaQualifica = [this](int iniziale) {
        return Cerca(TWunUtil::TestoQuery(QStringLiteral("QRY_QAR"), QStringLiteral("RICERCA")), Value(iniziale),
                     false);
    };
    connect(grDati->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &corrente, const QModelIndex &precedente) {
                if (corrente.row() != precedente.row() && corrente.isValid())
                    try {
                        grModel->setCurrentRow(corrente.row());
                    } catch (const platform::Exception &e) {
                        UqShowException(e);
                    }
                if (corrente.column() != precedente.column())
                    grDatiColEnter(corrente.column());
            });
    connect(grDati, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { grDatiDblClick(i); });
    connect(buTag, &QToolButton::clicked, this, [this] { dcTagButtonClick(); });
    // The grid stands on the period the collection stands on.
    connect(grModel, &platform::DataSetModel::currentRowChanged, this, [this](int riga) {
        if (riga >= 0 && grDati->currentIndex().row() != riga)
            grDati->setCurrentIndex(grModel->index(riga, qMax(0, grDati->currentIndex().column())));
    });
    m_osservatore = xqcMain.addObserver([this](const platform::DataChange &change) {
        if (change.kind == platform::DataChange::Destroyed)
            return;
        if (change.kind == platform::DataChange::Reset && xqcMain.isActive())
            ImpostaColonne();
        dcTag->setText(xqcMain.isActive() && xqcMain.findField(QStringLiteral("STAGDESCRIZIONE"))
                           ? xqcMain.fieldValue(QStringLiteral("STAGDESCRIZIONE")).toString()
                           : QString());
    });
    UpdateActions();
}

TfrWunVapeBase::~TfrWunVapeBase()
{
    xqcMain.removeObserver(m_osservatore);
    m_vape.OnSceltaQualifica = nullptr;
}

Field *TfrWunVapeBase::CampoCorrente() const
{
    return grModel->fieldAt(grDati->currentIndex().column());
}

void TfrWunVapeBase::ImpostaRicerca(int modo, platform::SearchDialog &ricerca, bool &mostra)
{
    if (cbModificaQualifica->isChecked()) {
        TfrWunDBES::ImpostaRicerca(modo, ricerca, mostra);
        return;
    }
    ricerca.Open();
    if (!ricerca.Data().locate(QStringLiteral("IQARID"), Value(m_vape.QualificaPersona)))
        throw platform::EAbort();
    mostra = false;
}

void TfrWunVapeBase::ImpostaColonne()
{
    grModel->reload();
    const int carattere = grDati->fontMetrics().averageCharWidth();
    for (int c = 0; c < grModel->columnCount(); ++c)
        grDati->setColumnWidth(c, grModel->fieldAt(c)->displayWidth() * carattere + 8);
    paGiorni->setText(QStringLiteral("Giorni da liquidare: %1").arg(m_vape.GiorniDaPagare));
}

void TfrWunVapeBase::MostraTipologiaAssenza(bool mostra)
{
    paBottom->setVisible(mostra);
}

void TfrWunVapeBase::grDatiColEnter(int colonna)
{
    const Field *campo = grModel->fieldAt(colonna);
    if (!campo)
        return;
    const bool flag = TWunVapeBase::CampoFlag(*campo);
    grDati->setEditTriggers(flag ? QAbstractItemView::NoEditTriggers
                                 : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                       | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    if (campo->fieldName().compare(QLatin1String("LVAPEPARTTIME"), Qt::CaseInsensitive) == 0)
        try {
            m_vape.RicalcolaPartTime();
        } catch (const platform::Exception &e) {
            UqShowException(e);
        }
}

void TfrWunVapeBase::grDatiDblClick(const QModelIndex &indice)
{
    Field *campo = grModel->fieldAt(indice.column());
    if (!campo || !TWunVapeBase::CampoFlag(*campo) || !xqcMain.canModify())
        return;
    try {
        grModel->setCurrentRow(indice.row());
        m_vape.InvertiFlag(*campo);
    } catch (const platform::Exception &e) {
        UqShowException(e);
    }
}

bool TfrWunVapeBase::grDatiKeyPress(int tasto)
{
    Field *campo = CampoCorrente();
    if (!campo || !TWunVapeBase::CampoFlag(*campo))
        return false;
    if (tasto == Qt::Key_Space)
        grDatiDblClick(grDati->currentIndex());
    return true;
}

bool TfrWunVapeBase::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grDati && event->type() == QEvent::KeyPress) {
        auto *tasto = static_cast<QKeyEvent *>(event);
        // The moves and the frame's keys go on; a flag column takes the rest.
        const bool movimento = tasto->key() == Qt::Key_Left || tasto->key() == Qt::Key_Right
                               || tasto->key() == Qt::Key_Up || tasto->key() == Qt::Key_Down
                               || tasto->key() == Qt::Key_Tab || tasto->key() == Qt::Key_Backtab
                               || tasto->modifiers() & Qt::ControlModifier;
        if (!movimento && grDatiKeyPress(tasto->key()))
            return true;
    }
    return TfrWunDBES::eventFilter(watched, event);
}

void TfrWunVapeBase::grDatiEditButtonClick()
{
    Field *campo = CampoCorrente();
    if (!campo)
        return;
    try {
        if (TWunVapeBase::CampoOre(*campo))
            TfmWunInputOreMinuti::Execute(*campo);
        else
            TfmWunCalendario::Execute(*grDati, m_vape.InizioMese());
    } catch (const platform::Exception &e) {
        UqShowException(e);
    }
}

void TfrWunVapeBase::dcTagButtonClick()
{
    if (!xqcMain.isActive())
        return;
    try {
        platform::SearchDialog ricerca(this);
        ricerca.SetConnection(&xqcMain.Connection());
        ricerca.SetSQL(TWunUtil::TestoQuery(QStringLiteral("QRY_TAG"), QStringLiteral("RICERCA")));
        platform::SearchColumn &codice = ricerca.Column(0);
        codice.FieldName = QStringLiteral("CODICE");
        codice.Caption = QStringLiteral("Codice");
        codice.Indexed = true;
        platform::SearchColumn &descrizione = ricerca.Column(1);
        descrizione.FieldName = QStringLiteral("DESCRIZIONE");
        descrizione.Caption = QStringLiteral("Descrizione");
        descrizione.Width = 400;
        descrizione.Indexed = true;
        ricerca.KeyField = QStringLiteral("ITAGID");
        ricerca.InitialKey = xqcMain.fieldValue(QStringLiteral("ITAGID"));
        TTovUtil::EditDataSet(&xqcMain);
        const Value scelta = ricerca.Execute();
        m_vape.ImpostaAssenza(scelta.isEmpty() ? 0 : scelta.toInt());
    } catch (const platform::Exception &e) {
        UqShowException(e);
    }
}

void TfrWunVapeBase::alFrameUpdate()
{
    UpdateActions();
}

void TfrWunVapeBase::UpdateActions()
{
    TfrWunDBES::UpdateActions();
    acRefresh->setEnabled(false);
    acRefresh->setVisible(false);
}
