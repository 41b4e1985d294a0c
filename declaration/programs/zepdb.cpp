// zepdb: the monthly E-Mens declarations of 2008 and 2009 from the payroll
// archive.
#include "Emens/ui/ZepEMensAvvio.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return TZepEMensAvvio::Esegui(app, TZepEMensAvvio::Forma::Database);
}
