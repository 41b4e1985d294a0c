#pragma once
// The grid of the pay periods of one owner in one month (the rules are
// TWunVapeBase's; the frame holds one of a subclass): an editable grid with
// the reduction columns, the flag columns drawn as the confirm action's
// image (a double click or the space bar swaps 0 and 1; other keys do
// nothing there), an ellipsis button on the hours columns (the dialog
// "Inserire ore e minuti ...") and on the dates (the calendar, opened on the
// month's first day), the top panel "INPS" with "Abilita modifica
// qualifica", and the bottom panel "Tipologia assenza" (hidden unless a
// subclass shows it) whose button searches the absence kinds.
#include "WunRDBES.h"
#include "wunCVapeBase.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTableView;
class QToolButton;

namespace platform {
class DataSetModel;
}

class TfrWunVapeBase : public TfrWunDBES {
    Q_OBJECT
public:
    explicit TfrWunVapeBase(std::unique_ptr<TWunVapeBase> dati, QWidget *parent = nullptr);
    ~TfrWunVapeBase() override;

    TWunVapeBase &Dati() const { return m_vape; }

    QTableView *grDati;
    platform::DataSetModel *grModel;
    QLabel *paGiorni; // in the control bar, bold: the days to pay
    QWidget *paTop;
    QLabel *laInps;
    QCheckBox *cbModificaQualifica; // "Abilita modifica qualifica"
    QWidget *paBottom;              // "Tipologia assenza", hidden
    QLabel *laTag;
    QLineEdit *dcTag;
    QToolButton *buTag;

    // With "Abilita modifica qualifica" the usual columns; otherwise the
    // dialog's rows stand on the person's own qualification (a silent
    // abort when the archive lacks it) and the dialog is not shown.
    void ImpostaRicerca(int modo, platform::SearchDialog &ricerca, bool &mostra) override;
    // After xqcMain was opened: the grid's columns and widths, the days to
    // pay, the absence kind's box.
    void ImpostaColonne();
    // Shows the bottom panel with the absence kind.
    void MostraTipologiaAssenza(bool mostra);

    // Handlers (public so that tests drive them as the grid does).
    void grDatiColEnter(int colonna);
    void grDatiDblClick(const QModelIndex &indice);
    // True when the key was taken (a flag column takes them all).
    bool grDatiKeyPress(int tasto);
    void grDatiEditButtonClick();
    void dcTagButtonClick();
    void alFrameUpdate();
    void UpdateActions() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    platform::Field *CampoCorrente() const;

    TWunVapeBase &m_vape;
    int m_osservatore = 0;
};
