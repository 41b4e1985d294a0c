#include "WunRDBES.h"

#include "WunUUtilUi.h"

#include "Exceptions.h"
#include "SearchDialog.h"
#include "UqMessages.h"

#include <QAction>

using platform::DataSet;
using platform::Value;

const QString TfrWunDBES::ImmaginiAzioni = QStringLiteral(
    "PRIMO;PRECEDENTE;SUCCESSIVO;ULTIMO;INSERISCI;CANCELLA;MODIFICA;CONFERMA;ANNULLA;AGGIORNA");

TfrWunDBES::TfrWunDBES(std::unique_ptr<TWunDBES> dati, QWidget *parent)
    : TfrUqBase(parent), xqcMain(dati->xqcMain), dsMain(dati->dsMain), m_dati(std::move(dati))
{
    setObjectName(QStringLiteral("frWunDBES"));
    const int immagini = TWunUtilUi::CaricaImmagini(ilImages, ImmaginiAzioni);
    ImmagineDuplicazione = TWunUtilUi::CaricaImmagini(ilImages, QStringLiteral("DUPLICAZIONE"));

    acFirst = AddAction(QStringLiteral("acFirst"), QStringLiteral("&Primo"), QStringLiteral("Primo elemento"),
                        QKeySequence(Qt::CTRL | Qt::Key_Home), immagini);
    acPrior = AddAction(QStringLiteral("acPrior"), QStringLiteral("Pre&cedente"), QStringLiteral("Elemento precedente"),
                        QKeySequence(Qt::CTRL | Qt::Key_Up), immagini + 1);
    acNext = AddAction(QStringLiteral("acNext"), QStringLiteral("&Successivo"), QStringLiteral("Elemento successivo"),
                       QKeySequence(Qt::CTRL | Qt::Key_Down), immagini + 2);
    acLast = AddAction(QStringLiteral("acLast"), QStringLiteral("&Ultimo"), QStringLiteral("Ultimo elemento"),
                       QKeySequence(Qt::CTRL | Qt::Key_End), immagini + 3);
    AddSeparator();
    acInsert = AddAction(QStringLiteral("acInsert"), QStringLiteral("&Inserisci"), QStringLiteral("Nuovo elemento"),
                         QKeySequence(Qt::CTRL | Qt::Key_Insert), immagini + 4);
    acDelete = AddAction(QStringLiteral("acDelete"), QStringLiteral("C&ancella"), QStringLiteral("Cancella elemento"),
                         QKeySequence(Qt::CTRL | Qt::Key_Delete), immagini + 5);
    acEdit = AddAction(QStringLiteral("acEdit"), QStringLiteral("&Modifica"), QStringLiteral("Modifica elemento"),
                       QKeySequence(Qt::Key_F2), immagini + 6);
    AddSeparator();
    acPost = AddAction(QStringLiteral("acPost"), QStringLiteral("C&onferma"), QStringLiteral("Conferma modifiche"),
                       QKeySequence(Qt::CTRL | Qt::Key_Return), immagini + 7);
    // The keypad's Enter confirms as the main one does.
    acPost->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    acCancel = AddAction(QStringLiteral("acCancel"), QStringLiteral("A&nnulla"), QStringLiteral("Annulla modifiche"),
                         QKeySequence(Qt::CTRL | Qt::Key_Z), immagini + 8);
    acRefresh = AddAction(QStringLiteral("acRefresh"), QStringLiteral("Aggi&orna"), QStringLiteral("Aggiorna dati"),
                          QKeySequence(Qt::Key_F5), immagini + 9);
    sepDuplica = AddSeparator();
    acDuplica = AddAction(QStringLiteral("acDuplica"), QStringLiteral("&Duplica"), QStringLiteral("Duplica riga"),
                          QKeySequence(Qt::Key_F3), ImmagineDuplicazione);
    MostraDuplica(false);
    RefreshActionLists();

    DataSet &ds = xqcMain;
    connect(acFirst, &QAction::triggered, this, [this, &ds] { Esegui(acFirst, [&ds] { ds.first(); }); });
    connect(acPrior, &QAction::triggered, this, [this, &ds] { Esegui(acPrior, [&ds] { ds.prior(); }); });
    connect(acNext, &QAction::triggered, this, [this, &ds] { Esegui(acNext, [&ds] { ds.next(); }); });
    connect(acLast, &QAction::triggered, this, [this, &ds] { Esegui(acLast, [&ds] { ds.last(); }); });
    connect(acInsert, &QAction::triggered, this, [this, &ds] { Esegui(acInsert, [&ds] { ds.append(); }); });
    connect(acDelete, &QAction::triggered, this, [this, &ds] { Esegui(acDelete, [&ds] { ds.deleteRecord(); }); });
    connect(acEdit, &QAction::triggered, this, [this, &ds] { Esegui(acEdit, [&ds] { ds.edit(); }); });
    connect(acPost, &QAction::triggered, this, [this, &ds] { Esegui(acPost, [&ds] { ds.post(); }); });
    connect(acCancel, &QAction::triggered, this, [this, &ds] { Esegui(acCancel, [&ds] { ds.cancel(); }); });
    connect(acRefresh, &QAction::triggered, this, [this] { Esegui(acRefresh, [this] { acRefreshExecute(); }); });
    connect(acDuplica, &QAction::triggered, this, [this] { Esegui(acDuplica, [this] { acDuplicaExecute(); }); });

    m_osservatore = xqcMain.addObserver([this](const platform::DataChange &change) {
        if (change.kind != platform::DataChange::Destroyed)
            UpdateActions();
    });
    UpdateActions();
}

TfrWunDBES::~TfrWunDBES()
{
    xqcMain.removeObserver(m_osservatore);
}

void TfrWunDBES::MostraDuplica(bool mostra)
{
    acDuplica->setVisible(mostra);
    sepDuplica->setVisible(mostra);
}

void TfrWunDBES::Esegui(QAction *azione, const std::function<void()> &lavoro)
{
    if (!azione->isEnabled())
        return;
    try {
        lavoro();
    } catch (const platform::Exception &e) {
        UqShowException(e);
    }
    UpdateActions();
}

void TfrWunDBES::UpdateActions()
{
    UpdateDataSetActions({acFirst, acPrior, acNext, acLast, acInsert, acDelete, acEdit, acPost, acCancel}, xqcMain);
    acRefresh->setEnabled(xqcMain.isActive() && !xqcMain.isEditing());
    acDuplicaUpdate();
}

void TfrWunDBES::acRefreshExecute()
{
    xqcMain.Requery();
}

void TfrWunDBES::acDuplicaExecute()
{
    Dati().Duplica();
}

void TfrWunDBES::acDuplicaUpdate()
{
    acDuplica->setEnabled(xqcMain.isActive());
}

void TfrWunDBES::ImpostaRicerca(int, platform::SearchDialog &ricerca, bool &)
{
    TWunUtilUi::ColonneRicerca(ricerca, false);
}

int TfrWunDBES::Cerca(const QString &testo, const Value &chiave, platform::SearchDialog &ricerca, bool modifica)
{
    ricerca.SetConnection(&xqcMain.Connection());
    ricerca.SetSQL(TWunDBES::TestoCerca(testo));
    ricerca.resize(600, ricerca.height());
    ricerca.InitialKey = chiave;
    bool mostra = true;
    ImpostaRicerca(0, ricerca, mostra);
    const Value scelta = mostra ? ricerca.Execute() : ricerca.CurrentKey();
    if (scelta.isEmpty() || !scelta.isNumeric())
        return -1;
    const int id = scelta.toInt();
    if (modifica && id > 0 && !xqcMain.isEditing())
        xqcMain.edit();
    return id;
}

int TfrWunDBES::Cerca(const QString &testo, const Value &chiave, bool modifica)
{
    platform::SearchDialog ricerca(this);
    return Cerca(testo, chiave, ricerca, modifica);
}
