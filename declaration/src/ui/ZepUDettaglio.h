#pragma once
// What the frames of the declaration tables (employees, collaborators,
// declarant, performing-arts workers) share on screen: the labelled
// data-aware controls of their detail pages, the code lookups (ellipsis
// button or F8: the search window on the code table, the first visible
// column of the chosen row written into the field), the citizenship search
// on the archive's states, and the grid rows marked for deletion drawn
// white on red. The rules stay in the core classes (ZepCTabellaDenuncia.h).
#include "ZepCTabellaDenuncia.h"

#include <QHash>
#include <QObject>
#include <QString>

class QBoxLayout;
class QGridLayout;
class QGroupBox;
class QLabel;
class TfrTovBase;

namespace platform {
class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBRadioGroup;
class SearchDialog;
} // namespace platform

class TZepDettaglio : public QObject {
    Q_OBJECT
public:
    // The controls made here show the frame's main dataset.
    explicit TZepDettaglio(TfrTovBase *frame);
    ~TZepDettaglio() override;

    // A caption at (row, column) of the grid and a box over the field
    // beside it (spanning `span` columns); letters become upper case.
    platform::DBEdit *Testo(QGridLayout *grid, int row, int column, const QString &caption, const QString &field,
                            int span = 1);
    // A box over the field without a caption.
    platform::DBEdit *Casella(const QString &field, QWidget *parent);
    // A caption label.
    static QLabel *Etichetta(const QString &caption, QWidget *parent);
    // A grid on a box of its own, added to the layout.
    static QGridLayout *Riquadro(QBoxLayout *layout, QWidget *parent);
    // A titled group holding a grid, added to the layout.
    static QGroupBox *Gruppo(const QString &caption, QBoxLayout *layout, QWidget *parent, QGridLayout *&grid);
    // The worker's boxes of the employee and performing-arts pages: fiscal
    // code, names, company number, qualification, contribution type,
    // municipality, contract and kind of worker in rows 0 to 2, the
    // citizenship at (3, 0).
    void Lavoratore(QGridLayout *grid);
    // The groups " Assunzione " and " Cessazione " side by side.
    void AssunzioneCessazione(QBoxLayout *layout, QWidget *parent, QGroupBox *&assunzione, QGroupBox *&cessazione);
    // "Qualifica" at (row, column) and the boxes of Qualifica1, 2 and 3
    // beside it.
    void Qualifica(QGridLayout *grid, int row, int column);
    // A group of a kind ("Tipo") and a day ("Giorno"): hiring, termination.
    QGroupBox *TipoGiorno(const QString &caption, const QString &tipo, const QString &giorno, QWidget *parent);
    // The group holding the check box of "Elimina" ("S" checked, "N" not).
    QGroupBox *GruppoElimina(QWidget *parent, platform::DBCheckBox *&check);
    // A drop-down list of the texts over the field.
    platform::DBComboBox *Scelte(const QString &field, const QStringList &items, QWidget *parent);
    // Option buttons over the field, one per (caption, value).
    platform::DBRadioGroup *Opzioni(const QString &caption, const QString &field,
                                    const QList<QPair<QString, QString>> &items, QWidget *parent);
    // The box of a field made here (nullptr when none).
    platform::DBEdit *Edit(const QString &field) const { return m_edits.value(field.toLower()); }

    // Gives each box of a listed field its code lookup.
    void Ricerche(const QList<TZepRicerca> &ricerche);
    // The citizenship box: the search on the archive's states.
    void RicercaCittadinanza(platform::DBEdit *edit);
    // The lookups themselves (the button's and F8's work).
    void Cerca(platform::DBEdit *edit);
    void CercaCittadinanza(platform::DBEdit *edit);

    // Each box as wide as its field's values need (codes narrow, names
    // wide), once the dataset is open.
    void AdattaLarghezze();
    // Once the dataset is open: each field of a box made with a caption is
    // named in messages (its display label) by that caption's first line,
    // after the title of the group the box stands in, unless the grid
    // already gave it a title.
    void ImpostaEtichette();
    // Grid rows whose "Elimina" is "S" are drawn white on red.
    void ColoraRigheEliminate();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Collega(platform::DBEdit *edit, const QString &tabella);

    TfrTovBase *m_frame;
    QHash<QString, platform::DBEdit *> m_edits;      // by field name, lower case
    QHash<platform::DBEdit *, QString> m_tabelle;    // the code table of a lookup box
    QHash<platform::DBEdit *, QLabel *> m_etichette; // the caption of a box
    platform::DBEdit *m_cittadinanza = nullptr;
    platform::SearchDialog *m_stati = nullptr; // made on first use
};
