#include "ZepULayouts.h"

#include "tovUDBCdsLayouts.h"

QString CartellaLayoutDenunce()
{
    return QStringLiteral(":/layouts/zep");
}

void RegistraLayoutDenunce()
{
    TTovDBCdsLayouts::RegisterFolder(CartellaLayoutDenunce());
}

void AnnullaLayoutDenunce()
{
    TTovDBCdsLayouts::UnregisterFolder(CartellaLayoutDenunce());
}
