#pragma once
// The base of the public-sector (ex DMA) frames: the person frame and the
// section frames E0, V1 and E1. Like the other declaration tables' frames,
// every post and every delete writes the whole table back; the detail
// pages are laid out from lists of captions and fields.
#include "ZepRDatiDenuncia.h"

#include <QList>
#include <QPair>

class QGridLayout;
class QTabWidget;
class QVBoxLayout;

namespace platform {
class DBEdit;
}

// A caption and the field of its box.
using TQuvCampo = QPair<QString, QString>;

class TfrQuvBase : public TfrZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfrQuvBase(QWidget *parent = nullptr);

    // A page of `pagine` holding a scrolled column; returns the column.
    static QVBoxLayout *Pagina(QTabWidget *pagine, const QString &titolo, const QString &nome);
    // A heading label on the column.
    static void Titolo(QVBoxLayout *colonna, const QString &testo);
    // The boxes of `campi`, `perRiga` captioned boxes a row, on a box of
    // their own (titled when `titolo` is given) added to the column.
    void Campi(QVBoxLayout *colonna, const QList<TQuvCampo> &campi, const QString &titolo = {}, int perRiga = 2);

    // Enabled: editable, in the tab order, window colour; disabled:
    // read-only, out of the tab order, button-face colour.
    static void AbilitaEdit(platform::DBEdit *edit, bool abilitato);
};
