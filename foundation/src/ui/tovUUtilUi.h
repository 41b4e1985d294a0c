#pragma once
// The helpers of tovUUtil that work on windows: panel placement, the search
// dialog's columns and the image lists.
#include <QString>

class QLineEdit;

class QWidget;

namespace platform {
class ImageList;
class SearchDialog;
} // namespace platform

class TTovUtilUi {
public:
    // The panel's left edge goes to the right edge of the reference control
    // when that control is not hidden, else to 0.
    static void PlacePanel(QWidget &panel, const QWidget &control);
    // The columns of a search dialog on a code table: the first is "Codice"
    // (100 pixels wide), the second "Descrizione", both searchable; with
    // `extendedDescription` a third, "Descrizione estesa" (400 pixels wide,
    // not searchable). All three shown; the statement gives their fields in
    // that order unless the dialog names them already.
    static void SetupSearchColumns(platform::SearchDialog &dialog, bool extendedDescription);
    // Loads the images named in `names` (separated by ";", blanks around a
    // name ignored, empty names skipped) into the list at its size, in
    // order: the program's image file of each name or its drawn stand-in.
    // Returns the index of the first image added.
    static int LoadImages(platform::ImageList &images, const QString &names);
    // Puts the text into the box and makes the box wide enough to show it
    // whole from its first character (a code and its description were cut
    // at the left in a box of the layout's width).
    static void ShowWholeText(QLineEdit &edit, const QString &text);
};
