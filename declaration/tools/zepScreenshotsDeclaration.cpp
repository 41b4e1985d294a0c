// Takes a picture of the declaration programs' windows with sample data,
// as zepScreenshots and wunScreenshots do for the foundation's and the
// payroll library's windows:
//
//     zepScreenshotsDeclaration [output folder]   (default: build/screenshots)
//
// writes
//   giorni-mese.png   the month day grid of March 2024 for an employee hired
//                     on the 4th, sick on the 12th and 13th, the box of the
//                     14th focused
//
// Run it on a display or under Xvfb (scripts/screenshots.sh).
#include "ScreenshotSupport.h"

#include "zepRMese.h"

#include "DataSet.h"
#include "ZepUUtil.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>

using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

void monthGrid()
{
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
    DataSet employees;
    employees.setFieldDefs({{QStringLiteral("CFLavoratore"), FieldType::String, 16},
                            {QStringLiteral("GIORNI"), FieldType::String, 31}});
    employees.createDataSet();
    employees.appendRecord({Value(QStringLiteral("BNCMRA80A41A944K")),
                            Value(QStringLiteral("   SSSSSSNSNNSSSNSSSSSSNSSSSSSN"))});

    QWidget window;
    window.setWindowTitle(QStringLiteral("Giorni del mese (esempio)"));
    auto *layout = new QVBoxLayout(&window);
    auto *grid = new TfrZepMese(&window);
    layout->addWidget(grid);
    grid->Inizializza(&employees);
    window.show();
    QApplication::setActiveWindow(&window);
    grid->CasellaGiorno(14)->setFocus();
    screenshots::settle();
    screenshots::save(screenshots::withTitleBar(window), QStringLiteral("giorni-mese.png"));
}

} // namespace

int main(int argc, char **argv)
{
    return screenshots::run(argc, argv, "zepScreenshotsDeclaration", [](screenshots::PictureServices &) { monthGrid(); });
}
