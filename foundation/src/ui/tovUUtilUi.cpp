#include "tovUUtilUi.h"

#include "ImageList.h"
#include "SearchDialog.h"

#include <QLineEdit>
#include <QStringList>
#include <QWidget>

void TTovUtilUi::PlacePanel(QWidget &panel, const QWidget &control)
{
    const int left = control.isHidden() ? 0 : control.x() + control.width();
    panel.move(left, panel.y());
}

void TTovUtilUi::SetupSearchColumns(platform::SearchDialog &dialog, bool extendedDescription)
{
    platform::SearchColumn &code = dialog.Column(0);
    code.Caption = QStringLiteral("Codice");
    code.Width = 100;
    code.Indexed = true;
    code.Visible = true;
    platform::SearchColumn &description = dialog.Column(1);
    description.Caption = QStringLiteral("Descrizione");
    description.Indexed = true;
    description.Visible = true;
    if (extendedDescription) {
        platform::SearchColumn &extended = dialog.Column(2);
        extended.Caption = QStringLiteral("Descrizione estesa");
        extended.Width = 400;
        extended.Indexed = false;
        extended.Visible = true;
    }
}

int TTovUtilUi::LoadImages(platform::ImageList &images, const QString &names)
{
    QStringList list;
    for (const QString &name : names.split(QLatin1Char(';'))) {
        const QString trimmed = name.trimmed();
        if (!trimmed.isEmpty())
            list << trimmed;
    }
    return images.AddDefaultImages(list);
}

void TTovUtilUi::ShowWholeText(QLineEdit &edit, const QString &text)
{
    edit.setText(text);
    edit.setCursorPosition(0);
    // The frame and the text margins of the style, beside the text itself.
    const QMargins margins = edit.textMargins() + edit.contentsMargins();
    edit.setMinimumWidth(edit.fontMetrics().horizontalAdvance(text) + margins.left() + margins.right() + 12);
}
