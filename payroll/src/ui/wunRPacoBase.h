#pragma once
// The company-parameter frame: the company parameters of the working year
// (see TWunPaco), laid out by its subclasses.
#include "UqFrame.h"
#include "wunCPaco.h"

class TfrWunPacoBase : public TfrUqBase {
    Q_OBJECT
public:
    explicit TfrWunPacoBase(QWidget *parent = nullptr);

    TUqQueryCollection &xqcMain;
    platform::DataSource &xdsMain;

    // The working year's row (made when there is none).
    void ApriDati();
    // Writes the changes; the parameters module follows.
    void Salva();
    // The data the frame shows (for the rules of the window that holds it).
    TWunPaco &Dati() { return m_dati; }

private:
    TWunPaco m_dati;
};
