#include "WunCCalendario.h"

#include "tovUUtil.h"

#include "Field.h"

QDate TWunCalendario::DataIniziale(const platform::Field *campo, const QDate &predefinita, const QDate &oggi)
{
    if (campo && !campo->isNull() && campo->asDate().isValid())
        return campo->asDate();
    return predefinita.isValid() ? predefinita : oggi;
}

QPoint TWunCalendario::Posizione(const QPoint &angoloGriglia, const QSize &form, const QRect &schermo)
{
    QPoint p(angoloGriglia.x(), angoloGriglia.y() + 20);
    if (p.x() - 2 >= schermo.left())
        p.rx() -= 2;
    if (p.y() + form.height() > schermo.bottom())
        p.ry() -= form.height() + 20;
    return p;
}

void TWunCalendario::Applica(platform::Field &campo, const QDate &data)
{
    TTovUtil::EditDataSet(&campo);
    campo.setAsDate(data);
}
