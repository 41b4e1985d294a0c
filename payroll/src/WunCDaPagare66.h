#pragma once
// The rules of the dialog "Bonus Irpef" (TfmWunDaPagare66): the number of
// payments over which a collaborator's bonus or deduction is spread. The
// dialog shows the person and the proposed number; only a whole number of
// at least 1 is accepted.
#include <QString>
#include <functional>

namespace platform {
class DataSet;
} // namespace platform

class TWunDaPagare66 {
public:
    static const QString Titolo;          // "Bonus Irpef"
    static const QString Etichetta;       // "Liquidazioni su cui suddividere il bonus/detrazione"
    static const QString MsgValoreErrato; // "Valore errato"

    // The person's payroll number (as a plain number), " - ", surname and
    // name: SANACAGCODE, SANACOGNOME, SANANOME of the person row.
    static QString Dipendente(const platform::DataSet &persona);

    explicit TWunDaPagare66(int numero = 1) : m_numero(numero) {}

    // The value last accepted and its text.
    int Numero() const { return m_numero; }
    QString Testo() const { return QString::number(m_numero); }
    // Takes the text when it holds a whole number of at least 1 (blanks
    // around it ignored); otherwise false and the value stays.
    bool Accetta(const QString &testo);

    // The number of payments the rules use for the person: the proposal
    // shown in the dialog (OnConferma) and confirmed or changed by the
    // user; without the windows, or when the user cancels, the proposal.
    static int Conferma(const platform::DataSet &persona, int proposto);
    // Who shows the dialog (the windows install it).
    static std::function<void(const platform::DataSet &persona, int &numero)> OnConferma;

private:
    int m_numero;
};
