#pragma once

#include <QDialog>
#include <QPicture>
#include <QSizeF>
#include <QWidget>

class QCheckBox;
class QFontDialog;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace quillon {

class HexEditorEx;

// Shows a page picture: at its paper size from the top left, stretched over the widget, or
// scaled with its proportions kept (only shrunk unless stretched as well).
class PrintViewImage : public QWidget {
public:
    explicit PrintViewImage(QWidget* parent = nullptr);

    const QPicture& Picture() const { return picture_; }
    // A picture whose units are pixels of this widget's screen.
    void SetPicture(const QPicture& picture);
    // A picture whose units are dots of a device of the given resolution (a printer page).
    void SetPicture(const QPicture& picture, const QSizeF& dotsPerInch);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Proportional() const { return proportional_; }
    void SetProportional(bool proportional);
    // Where the picture is drawn, in widget coordinates.
    QRectF DestRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPicture picture_;
    QSizeF paperSize_;
    bool stretch_ = false;
    bool proportional_ = false;
};

// The print preview: one page of the editor as the print engine renders it, the page number,
// margins, header and footer templates and print font, and printing of the page on view.
// Every change goes straight into the editor's print options and print font.
class PrintPreviewDialog : public QDialog {
public:
    explicit PrintPreviewDialog(HexEditorEx& editor, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildPageRow();
    QGroupBox* BuildViewGroup();
    QGroupBox* BuildMarginGroup();
    QGroupBox* BuildTextGroup();
    QGroupBox* BuildFontGroup();
    QSpinBox* AddMarginSpinEdit(QGridLayout* layout, const char* name, const QString& caption,
                                const QString& hint, int tag);

    // Refreshes the options, the font label and the page each time the form opens.
    void FormShow();
    void ShowPage();
    void ShowRenderedPage(int page);
    void MarginChanged(QSpinBox* spinEdit);
    void ApplyHeader();
    void ApplyFooter();
    void ChooseFont();
    void PrintPageOnView();
    void SetPageLabel(int page, int pageCount);
    void UpdateFontLabel();
    // The page on view to the system printer, or to a PDF file the user names when there is
    // none.
    void PrintPicture(const QPicture& picture);

    HexEditorEx& editor_;
    PrintViewImage* printView_ = nullptr;
    QGroupBox* pageControls_ = nullptr;
    QSpinBox* pageSpinEdit_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QSpinBox* marginLeft_ = nullptr;
    QSpinBox* marginRight_ = nullptr;
    QSpinBox* marginTop_ = nullptr;
    QSpinBox* marginBottom_ = nullptr;
    QLineEdit* header_ = nullptr;
    QLineEdit* footer_ = nullptr;
    QLabel* fontLabel_ = nullptr;
    QFontDialog* fontDialog_ = nullptr;
    QCheckBox* fitToWindow_ = nullptr;
    QCheckBox* proportional_ = nullptr;
};

} // namespace quillon
