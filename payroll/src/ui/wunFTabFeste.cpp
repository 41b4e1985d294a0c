#include "wunFTabFeste.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "DataSource.h"
#include "Field.h"
#include "FormRegistry.h"
#include "UqMessages.h"
#include "WunUUtil.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString NomeClasse = QStringLiteral("TfmTabFeste");

// What the window's close asks about: a row being typed or changes not
// written; saving writes them all (TWunTabFeste::Salva), cancelling drops
// them all.
class FonteFeste : public platform::DataSource {
public:
    FonteFeste(QObject *parent, TWunTabFeste &regole) : DataSource(parent, &regole.xqcChiusure), m_regole(regole) {}
    bool Pending() const override { return m_regole.Modificato(); }
    void Post() override { m_regole.Salva(); }
    void Cancel() override { m_regole.Annulla(); }

private:
    TWunTabFeste &m_regole;
};

// The grid's editors: the date is typed as text ("gg/mm/aaaa") and taken
// as a box over the field takes it, so that a date that does not exist
// ("31/02/2026") is refused naming the column, never moved to another day;
// what the dataset refuses of a typed cell is said (a description too long
// is refused whole, never cut), never thrown into the event loop.
class DelegatoFeste : public QStyledItemDelegate {
public:
    explicit DelegatoFeste(TfmTabFeste &finestra) : QStyledItemDelegate(&finestra), m_finestra(finestra) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!campoData(index))
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *editor = new QLineEdit(parent);
        editor->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *riga = qobject_cast<QLineEdit *>(editor);
        if (!riga || !campoData(index)) {
            QStyledItemDelegate::setEditorData(editor, index);
            return;
        }
        const QDate valore = index.data(Qt::EditRole).toDate();
        riga->setText(valore.isValid() ? valore.toString(QStringLiteral("dd/MM/yyyy")) : QString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        try {
            auto *riga = qobject_cast<QLineEdit *>(editor);
            if (const platform::Field *data = campoData(index); riga && data) {
                model->setData(index, platform::typedValue(*data, riga->text().trimmed()).toQVariant());
                return;
            }
            if (riga) {
                const QString errore = m_finestra.Regole().ControllaDescrizione(riga->text());
                if (!errore.isEmpty()) {
                    UqShowError(errore);
                    return;
                }
            }
            QStyledItemDelegate::setModelData(editor, model, index);
        } catch (const std::exception &errore) {
            UqShowException(errore);
        }
    }

private:
    // The field of the date column, null for the others.
    const platform::Field *campoData(const QModelIndex &index) const
    {
        const platform::Field *campo = m_finestra.grModel->fieldAt(index.column());
        return campo && campo->fieldName().compare(QStringLiteral("DFESDATA"), Qt::CaseInsensitive) == 0 ? campo
                                                                                                         : nullptr;
    }

    TfmTabFeste &m_finestra;
};

// Runs a command of the window: its error is shown, never lost.
template <typename F>
void esegui(F &&comando)
{
    try {
        comando();
    } catch (const std::exception &errore) {
        UqShowException(errore);
    }
}
} // namespace

TfmTabFeste::TfmTabFeste(QWidget *owner) : TfmUqChildDBDA(owner)
{
    setObjectName(QStringLiteral("fmTabFeste"));
    setWindowTitle(TWunTabFeste::Titolo);
    new FonteFeste(this, m_regole);

    seAnno = new QSpinBox(this);
    seAnno->setObjectName(QStringLiteral("seAnno"));
    seAnno->setRange(1900, 2999);
    const int anno = wunAnnoFinanziario().Year();
    seAnno->setValue(anno >= 1900 ? anno : QDate::currentDate().year());

    btInserisci = new QPushButton(QStringLiteral("Inserisci"), this);
    btCancella = new QPushButton(QStringLiteral("Cancella"), this);
    btSalva = new QPushButton(QStringLiteral("Salva"), this);
    btAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    auto *barra = new QHBoxLayout;
    barra->addWidget(new QLabel(QStringLiteral("Anno:"), this));
    barra->addWidget(seAnno);
    barra->addStretch();
    for (QPushButton *pulsante : {btInserisci, btCancella, btSalva, btAnnulla})
        barra->addWidget(pulsante);

    grModel = new platform::DataSetModel(&m_regole.xqcChiusure, this);
    grFeste = new QTableView(this);
    grFeste->setObjectName(QStringLiteral("grFeste"));
    grFeste->setModel(grModel);
    grFeste->setSelectionBehavior(QAbstractItemView::SelectRows);
    grFeste->setSelectionMode(QAbstractItemView::SingleSelection);
    grFeste->horizontalHeader()->setStretchLastSection(true);
    grFeste->setItemDelegate(new DelegatoFeste(*this));

    auto *fonte = new platform::DataSource(this, &m_regole.xqcChiusure);
    rgTipo = new platform::DBRadioGroup(QStringLiteral("Contratti"), this);
    rgTipo->setObjectName(QStringLiteral("rgTipo"));
    rgTipo->AddItem(QStringLiteral("Privati e pubblici"), QString::number(TWunTabFeste::TipoTutti));
    rgTipo->AddItem(QStringLiteral("Solo privati"), QString::number(TWunTabFeste::TipoPrivati));
    rgTipo->AddItem(QStringLiteral("Solo pubblici"), QString::number(TWunTabFeste::TipoPubblici));
    rgTipo->SetDataSource(fonte);
    rgTipo->SetDataField(QStringLiteral("IFESTIPO"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(barra);
    layout->addWidget(grFeste, 1);
    layout->addWidget(rgTipo);
    resize(640, 520);

    connect(seAnno, &QSpinBox::valueChanged, this, [this](int valore) { esegui([&] { CambiaAnno(valore); }); });
    connect(btInserisci, &QPushButton::clicked, this, [this] { esegui([this] { Inserisci(); }); });
    connect(btCancella, &QPushButton::clicked, this, [this] { esegui([this] { Cancella(); }); });
    connect(btSalva, &QPushButton::clicked, this, [this] { esegui([this] { Salva(); }); });
    connect(btAnnulla, &QPushButton::clicked, this, [this] { esegui([this] { Annulla(); }); });
    connect(grModel, &platform::DataSetModel::currentRowChanged, this, [this](int riga) {
        grFeste->selectRow(riga);
        rgTipo->Refresh();
    });
    connect(grFeste, &QTableView::clicked, this,
            [this](const QModelIndex &indice) { esegui([&] { grModel->setCurrentRow(indice.row()); }); });
    m_osservatore = m_regole.xqcChiusure.addObserver([this](const platform::DataChange &) { AggiornaPulsanti(); });
}

TfmTabFeste::~TfmTabFeste()
{
    m_regole.xqcChiusure.removeObserver(m_osservatore);
}

void TfmTabFeste::FormShow()
{
    m_regole.Apri(seAnno->value());
    grModel->reload();
    grFeste->resizeColumnsToContents();
    AggiornaPulsanti();
}

void TfmTabFeste::CambiaAnno(int anno)
{
    if (anno == m_regole.Anno())
        return;
    // The changes of the year shown are saved or dropped first, as on close.
    if (!CanClose()) {
        const QSignalBlocker blocco(seAnno);
        seAnno->setValue(m_regole.Anno());
        return;
    }
    m_regole.Apri(anno);
    grModel->reload();
    AggiornaPulsanti();
}

void TfmTabFeste::Inserisci()
{
    m_regole.xqcChiusure.append();
    grFeste->setFocus();
    grFeste->setCurrentIndex(grModel->index(grModel->currentRow(), grModel->columnOf(QStringLiteral("DFESDATA"))));
}

void TfmTabFeste::Cancella()
{
    if (m_regole.xqcChiusure.isEmpty() || !UqConfirmDelete())
        return;
    m_regole.xqcChiusure.deleteRecord();
}

void TfmTabFeste::Salva()
{
    m_regole.Salva();
    AggiornaPulsanti();
}

void TfmTabFeste::Annulla()
{
    m_regole.Annulla();
    grModel->reload();
    AggiornaPulsanti();
}

void TfmTabFeste::AggiornaPulsanti()
{
    const bool aperto = m_regole.xqcChiusure.isActive();
    const bool modificato = m_regole.Modificato();
    btInserisci->setEnabled(aperto);
    btCancella->setEnabled(aperto && !m_regole.xqcChiusure.isEmpty());
    btSalva->setEnabled(modificato);
    btAnnulla->setEnabled(modificato);
}

void TfmTabFeste::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse, [](QWidget *owner) -> QWidget * { return new TfmTabFeste(owner); });
}

void TfmTabFeste::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
