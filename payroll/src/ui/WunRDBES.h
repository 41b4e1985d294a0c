#pragma once
// The base of the payroll's browse-and-edit frames: the bar of dataset
// actions with fixed shortcuts over the frame's query collection, the
// duplicate action (hidden unless a subclass shows it) and the search dialog
// of a search statement. The rules (saving on every post and delete, the
// refusals, the duplicate, ids) are TWunDBES's; the frame holds one,
// possibly of a subclass.
//
// | action    | caption       | hint                 | keys        |
// |-----------|---------------|----------------------|-------------|
// | acFirst   | "&Primo"      | "Primo elemento"     | Ctrl+Home   |
// | acPrior   | "Pre&cedente" | "Elemento precedente"| Ctrl+Up     |
// | acNext    | "&Successivo" | "Elemento successivo"| Ctrl+Down   |
// | acLast    | "&Ultimo"     | "Ultimo elemento"    | Ctrl+End    |
// | acInsert  | "&Inserisci"  | "Nuovo elemento"     | Ctrl+Ins    |
// | acDelete  | "C&ancella"   | "Cancella elemento"  | Ctrl+Del    |
// | acEdit    | "&Modifica"   | "Modifica elemento"  | F2          |
// | acPost    | "C&onferma"   | "Conferma modifiche" | Ctrl+Enter  |
// | acCancel  | "A&nnulla"    | "Annulla modifiche"  | Ctrl+Z      |
// | acRefresh | "Aggi&orna"   | "Aggiorna dati"      | F5          |
// | acDuplica | "&Duplica"    | "Duplica riga"       | F3          |
//
// An action that fails shows its error (a silent abort shows nothing).
#include "UqFrame.h"
#include "WunCDBES.h"

#include <memory>

namespace platform {
class SearchDialog;
} // namespace platform

class TfrWunDBES : public TfrUqBase {
    Q_OBJECT
public:
    // The images of the actions, then "DUPLICAZIONE".
    static const QString ImmaginiAzioni;

    explicit TfrWunDBES(std::unique_ptr<TWunDBES> dati, QWidget *parent = nullptr);
    ~TfrWunDBES() override;

    TWunDBES &Dati() const { return *m_dati; }
    TUqQueryCollection &xqcMain;
    platform::DataSource &dsMain;

    QAction *acFirst, *acPrior, *acNext, *acLast, *acInsert, *acDelete, *acEdit, *acPost, *acCancel, *acRefresh,
        *acDuplica;
    // The separator before acDuplica, shown with it.
    QAction *sepDuplica;
    // The index of the image "DUPLICAZIONE" in ilImages.
    int ImmagineDuplicazione = -1;

    // Shows the duplicate action (and its separator).
    void MostraDuplica(bool mostra);

    // Prepares the search dialog (the columns "Codice", "Descrizione");
    // `mostra` false takes the row the dialog stands on without showing it.
    virtual void ImpostaRicerca(int modo, platform::SearchDialog &ricerca, bool &mostra);
    // A search on a statement's search text (TWunDBES::TestoCerca) on
    // xqcMain's connection, 600 pixels wide, opened on `chiave`: the key
    // chosen (the dialog closed with OK on a numeric key), else -1. With
    // `modifica`, a key above 0 puts xqcMain into edit unless it is editing.
    int Cerca(const QString &testo, const platform::Value &chiave, platform::SearchDialog &ricerca, bool modifica);
    // The same with a dialog of its own.
    int Cerca(const QString &testo, const platform::Value &chiave, bool modifica);

    // Handlers.
    void acRefreshExecute();
    void acDuplicaExecute();
    void acDuplicaUpdate();
    // Enables the actions for xqcMain's state and position.
    virtual void UpdateActions();

protected:
    // Runs an action's work unless the action is disabled; an error is
    // shown, a silent abort is not.
    void Esegui(QAction *azione, const std::function<void()> &lavoro);

private:
    std::unique_ptr<TWunDBES> m_dati;
    int m_osservatore = 0;
};
