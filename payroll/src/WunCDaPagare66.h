#pragma once
// The rules of the dialog "Bonus Irpef" (TfmWunDaPagare66): the number of
// payments over which a collaborator's bonus or deduction is spread. The
// dialog shows the person and the proposed number; only a whole number of
// at least 1 is accepted.
#include <QString>

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

private:
    int m_numero;
};
