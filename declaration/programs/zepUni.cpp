// zepUni: the monthly UniEmens declarations from the payroll archive.
#include "ZepUniAvvio.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return TZepUniAvvio::Esegui(app);
}
