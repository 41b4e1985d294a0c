#pragma once
// The rules of the month day grid (TfrZepMese), without a display: the
// days of the working month with their labels, the day codes the grid
// shows, which keys change a day, and the tie to the dataset field that
// keeps the codes (GIORNI, one character per day, TGiorniDis).
//
// Tied to a dataset, the codes follow the field: a change of record, a
// cancel, a load or a value written into the field by code shows the
// field's codes again (a text longer than the month shows its first days);
// a key that changes a day puts the dataset into edit when it is browsing
// and writes the whole text into the field at once, so whatever posts the
// record posts the grid's codes. Without the field only the dataset's
// edit state is touched.
#include "tovCGiorniDis.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <functional>

namespace platform {
class DataSet;
struct DataChange;
} // namespace platform

class TZepMese {
public:
    static const QString Intestazione; // "Giorni (S=Lavorato; N=Non lavorato; vuoto=non in servizio)"
    static const QString CampoGiorni;  // "GIORNI"

    // What a key does in a day box.
    enum class Tasto {
        Codice,     // the day takes a code (Backspace and Delete a blank)
        Precedente, // the focus goes to the previous day (Left, Up)
        Successivo, // the focus goes to the next day (Right, Down)
        Focus,      // the window moves the focus as usual (Tab, Shift+Tab)
        Ignorato    // nothing happens; the box never receives the key
    };
    // The key (Qt::Key) with the text it types; `codice` is the code for
    // Tasto::Codice: blank, 'S' or 'N' ('s' and 'n' typed in lower case
    // count as upper case).
    static Tasto AzioneTasto(int tasto, const QString &testo, QChar &codice);

    // The weekday's initial as an Italian calendar shows it (L M M G V S
    // D), whatever the machine's language.
    static QChar LetteraGiorno(const QDate &data);

    TZepMese();
    ~TZepMese();
    TZepMese(const TZepMese &) = delete;
    TZepMese &operator=(const TZepMese &) = delete;

    // The working month (ZepUUtil.h: EUqError when none is set), all days
    // blank, tied to the field `campo` of `dataSet` (no tie when null; the
    // dataset must outlive the tie or be destroyed first, which unties it).
    // The codes are then the field's.
    void Inizializza(platform::DataSet *dataSet, const QString &campo = CampoGiorni);
    platform::DataSet *DataSetGiorni() const { return m_dataSet; }

    int Giorni() const { return m_giorni.Giorni(); }
    QDate Data(int giorno) const { return m_primo.addDays(giorno - 1); }
    QChar LetteraGiorno(int giorno) const { return LetteraGiorno(Data(giorno)); }
    QChar Giorno(int giorno) const { return m_giorni.GetGiorno(giorno); }

    // The codes as one text, and the codes from a text (as TGiorniDis).
    QString GetGiorni() const { return m_giorni.GetGiorni(); }
    void SetGiorni(const QString &testo);

    // A key in the box of a day: for Tasto::Codice, when the dataset can
    // take it (none, or one that can be modified), it is put into edit if
    // browsing, the day takes the code and the field the codes. Returns
    // what the key does. Dataset errors (an edit refused) reach the caller
    // and the day stays as it was.
    Tasto Premi(int giorno, int tasto, const QString &testo);

    // Called whenever the codes change (key, field, SetGiorni).
    std::function<void()> OnCambio;

private:
    void Scollega();
    void Osserva(const platform::DataChange &change);
    void CaricaDalCampo();
    void Cambiati();

    TGiorniDis m_giorni{0};
    QDate m_primo;
    platform::DataSet *m_dataSet = nullptr;
    QString m_campo;
    int m_osservatore = -1;
    bool m_scrivendo = false;
};
