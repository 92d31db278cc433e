#pragma once

#include <cstdint>
#include <optional>

#include <QDialog>
#include <QString>

#include "editor/widget/clipboard_formats.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace quillon {

// "Select Data Format": a list of the offered formats, OK, Cancel and the "Hex Text" box, which
// can be ticked only while a text format is selected.
class FormatSelDialog : public QDialog {
    Q_OBJECT
public:
    FormatSelDialog(const ClipFormats& formats, bool hexText, QWidget* owner);

    // The format of the selected item; none when nothing is selected.
    std::optional<ClipFormat> SelectedFormat() const;
    bool HexTextTicked() const;

private:
    void AddFormat(ClipFormat format);
    void SelectLastChosen();
    void UpdateHexTextBox();

    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QCheckBox* hexTextBox_;
    QListWidget* formatList_;
};

// How the dialog names a format: the fixed names of formats 1 to 16, the registered name, or the
// number in parentheses.
QString FormatDisplayName(ClipFormat format);

// The format last confirmed in the dialog, for the whole process; -1 before the first.
std::int32_t LastChosenFormat();
void SetLastChosenFormat(std::int32_t format);

// Picks one of the candidates the data offers: none -> false; one -> that one; several -> the
// dialog decides. hexText is shown in the dialog and takes the box's state when a text format
// is confirmed.
bool ChooseFormat(const ClipFormats& candidates, const FormatEnum& offered, bool& hexText,
                  ClipFormat& chosenFormat, QWidget* owner);

} // namespace quillon
