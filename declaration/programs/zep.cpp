// zep: the monthly E-Mens declarations of 2005 to 2007, imported from the
// payroll archive and kept in the files of a folder per year.
#include "Emens/ui/ZepEMensAvvio.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return TZepEMensAvvio::Esegui(app, TZepEMensAvvio::Forma::FileLocali);
}
