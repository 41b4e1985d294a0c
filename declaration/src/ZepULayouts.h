#pragma once
// The layouts of the declaration programs' tables (program code "zep"):
// project files compiled into the program (declaration/layouts/zep), which
// the archive's creation or upgrade writes into the declaration-table store.
#include <QString>

// The resource folder of the layouts: ":/layouts/zep".
QString CartellaLayoutDenunce();
// Registers that folder with the store's layout installer (start-up, before
// the archive is opened; registering twice counts once), and its undoing.
void RegistraLayoutDenunce();
void AnnullaLayoutDenunce();
