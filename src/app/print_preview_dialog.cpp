#include "app/print_preview_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <tuple>

#include "editor/widget/hex_editor_ex.h"
#include "editor/widget/print_device.h"

namespace quillon {
namespace {

constexpr int kPanelHeight = 181;
constexpr int kMaxMargin = 9999;
constexpr int kTemplateEditWidth = 150;

// Hint = tool tip and status tip, as everywhere in the program.
template <typename Widget> Widget* WithHint(Widget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
    return widget;
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter belongs to the edit boxes; no button of the form takes it.
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeBoundLabel(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, buddy->parentWidget());
    label->setObjectName(buddy->objectName() + "Label");
    label->setBuddy(buddy);
    return label;
}

// Sizes in points; a font given in pixels is read at the screen's 96 dots per inch.
int PointSize(const QFont& font) {
    return font.pointSize() > 0 ? font.pointSize()
                                : static_cast<int>(std::lround(font.pixelSize() * 72.0 / 96.0));
}

// A command of the form: an error ends it with the message the program shows for every
// command, and never reaches the event loop.
template <typename Command> void Guarded(Command command) {
    try {
        command();
    } catch (const std::exception& error) {
        QMessageBox::critical(QApplication::activeWindow(), "Quillon",
                              QString::fromUtf8(error.what()));
    }
}

// A margin box's Tag (1 left, 2 right, 3 top, 4 bottom) as the print options index it edits.
int MarginIndexOfTag(const QSpinBox* spinEdit) {
    switch (spinEdit->property("Tag").toInt()) {
    case 1:
        return HexPrintOptions::kMarginLeft;
    case 2:
        return HexPrintOptions::kMarginRight;
    case 3:
        return HexPrintOptions::kMarginTop;
    default:
        return HexPrintOptions::kMarginBottom;
    }
}

bool IsEnter(QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

PrintViewImage::PrintViewImage(QWidget* parent) : QWidget(parent) {}

void PrintViewImage::SetPicture(const QPicture& picture) {
    SetPicture(picture, QSizeF(logicalDpiX(), logicalDpiY()));
}

void PrintViewImage::SetPicture(const QPicture& picture, const QSizeF& dotsPerInch) {
    picture_ = picture;
    const QRect bounds = picture.boundingRect();
    paperSize_ = QSizeF(bounds.width() * logicalDpiX() / dotsPerInch.width(),
                        bounds.height() * logicalDpiY() / dotsPerInch.height());
    update();
}

void PrintViewImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

void PrintViewImage::SetProportional(bool proportional) {
    proportional_ = proportional;
    update();
}

QRectF PrintViewImage::DestRect() const {
    double width = paperSize_.width();
    double height = paperSize_.height();
    const double clientWidth = this->width();
    const double clientHeight = this->height();
    const bool larger = width > clientWidth || height > clientHeight;
    if (stretch_ || (proportional_ && larger)) {
        if (proportional_ && width > 0 && height > 0) {
            const double aspect = width / height;
            width = clientWidth;
            height = clientWidth / aspect;
            if (height > clientHeight) {
                height = clientHeight;
                width = clientHeight * aspect;
            }
        } else {
            width = clientWidth;
            height = clientHeight;
        }
    }
    return {0, 0, width, height};
}

void PrintViewImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawPictureStretched(painter, picture_, DestRect());
}

PrintPreviewDialog::PrintPreviewDialog(HexEditorEx& editor, QWidget* parent)
    : QDialog(parent), editor_(editor) {
    setObjectName("TForm5");
    setWindowTitle("Предварительный просмотр");
    resize(630, 567);
    BuildControls();
}

void PrintPreviewDialog::BuildControls() {
    auto* viewGroup = new QGroupBox("Просмотр", this);
    viewGroup->setObjectName("sGroupBox1");
    printView_ = new PrintViewImage(viewGroup);
    printView_->setObjectName("PrintView");
    auto* viewLayout = new QVBoxLayout(viewGroup);
    viewLayout->addWidget(printView_);

    auto* panel = new QFrame(this);
    panel->setObjectName("sPanel1");
    panel->setFixedHeight(kPanelHeight);
    pageControls_ = new QGroupBox(panel);
    pageControls_->setObjectName("sGroupBox2");
    auto* controls = new QGridLayout(pageControls_);
    controls->addWidget(BuildPageRow(), 0, 0);
    controls->addWidget(BuildViewGroup(), 1, 0);
    controls->addWidget(BuildMarginGroup(), 0, 1, 2, 1);
    controls->addWidget(BuildTextGroup(), 0, 2, 2, 1);
    controls->addWidget(BuildFontGroup(), 0, 3, 2, 1);
    controls->setColumnStretch(2, 1);

    auto* close = MakeButton("bClose", "Закрыть", panel);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(pageControls_, 1);
    panelLayout->addWidget(close, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(viewGroup, 1);
    layout->addWidget(panel);
}

QWidget* PrintPreviewDialog::BuildPageRow() {
    auto* group = new QWidget(pageControls_);
    pageSpinEdit_ = new QSpinBox(group);
    pageSpinEdit_->setObjectName("sSpinEdit1");
    pageSpinEdit_->setRange(1, 65535);
    pageSpinEdit_->setValue(1);
    pageSpinEdit_->installEventFilter(this);
    pageLabel_ = MakeBoundLabel("Страница [1/1]", pageSpinEdit_);
    connect(pageSpinEdit_, &QSpinBox::valueChanged, this,
            [this] { Guarded([this] { ShowPage(); }); });

    auto* show = WithHint(MakeButton("sBitBtn1", "Показать", group), "Показать страницу");
    connect(show, &QPushButton::clicked, this, [this] { Guarded([this] { ShowPage(); }); });
    auto* print = MakeButton("sBitBtn2", "Печать", group);
    QFont bold = print->font();
    bold.setBold(true);
    print->setFont(bold);
    connect(print, &QPushButton::clicked, this, [this] { PrintPageOnView(); });

    auto* layout = new QGridLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pageLabel_, 0, 0);
    layout->addWidget(pageSpinEdit_, 0, 1);
    layout->addWidget(show, 1, 0);
    layout->addWidget(print, 1, 1);
    return group;
}

QGroupBox* PrintPreviewDialog::BuildViewGroup() {
    auto* group = new QGroupBox("Вид", pageControls_);
    group->setObjectName("sGroupBox3");
    fitToWindow_ = WithHint(new QCheckBox("На весь экран", group), "На весь экран");
    fitToWindow_->setObjectName("sCheckBox1");
    connect(fitToWindow_, &QCheckBox::toggled, printView_, &PrintViewImage::SetStretch);
    proportional_ = WithHint(new QCheckBox("Пропорционально", group), "Пропорционально");
    proportional_->setObjectName("sCheckBox2");
    connect(proportional_, &QCheckBox::toggled, printView_, &PrintViewImage::SetProportional);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(fitToWindow_);
    layout->addWidget(proportional_);
    return group;
}

QSpinBox* PrintPreviewDialog::AddMarginSpinEdit(QGridLayout* layout, const char* name,
                                                const QString& caption, const QString& hint,
                                                int tag) {
    auto* spinEdit = WithHint(new QSpinBox(layout->parentWidget()), hint);
    spinEdit->setObjectName(name);
    spinEdit->setRange(0, kMaxMargin);
    spinEdit->setProperty("Tag", tag);
    connect(spinEdit, &QSpinBox::valueChanged, this,
            [this, spinEdit] { Guarded([this, spinEdit] { MarginChanged(spinEdit); }); });
    const int row = layout->rowCount();
    layout->addWidget(MakeBoundLabel(caption, spinEdit), row, 0);
    layout->addWidget(spinEdit, row, 1);
    return spinEdit;
}

QGroupBox* PrintPreviewDialog::BuildMarginGroup() {
    auto* group = new QGroupBox("Отступ", pageControls_);
    group->setObjectName("sGroupBox4");
    auto* layout = new QGridLayout(group);
    marginLeft_ = AddMarginSpinEdit(layout, "sSpinEdit2", "Слева", "Отступ слева", 1);
    marginRight_ = AddMarginSpinEdit(layout, "sSpinEdit3", "Справа", "Отступ справа", 2);
    marginTop_ = AddMarginSpinEdit(layout, "sSpinEdit5", "Сверху", "Отступ сверху", 3);
    marginBottom_ = AddMarginSpinEdit(layout, "sSpinEdit4", "Снизу", "Отступ снизу", 4);
    return group;
}

QGroupBox* PrintPreviewDialog::BuildTextGroup() {
    auto* group = new QGroupBox("Текст", pageControls_);
    group->setObjectName("sGroupBox5");
    const auto addEdit = [this, group](const char* name, const char* buttonName,
                                       const QString& caption, const QString& hint) {
        auto* edit = new QLineEdit(group);
        edit->setObjectName(name);
        edit->setMinimumWidth(kTemplateEditWidth);
        edit->installEventFilter(this);
        auto* button = WithHint(new QToolButton(group), hint);
        button->setObjectName(buttonName);
        button->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
        return std::tuple{MakeBoundLabel(caption, edit), edit, button};
    };
    const auto [headerLabel, header, headerButton] =
        addEdit("eHeader", "sSpeedButton1", "Текст сверху", "Установить текст сверху страницы");
    const auto [footerLabel, footer, footerButton] =
        addEdit("eFooter", "sSpeedButton2", "Тект снизу", "Установить текст снизу страницы");
    header_ = header;
    footer_ = footer;
    connect(headerButton, &QToolButton::clicked, this,
            [this] { Guarded([this] { ApplyHeader(); }); });
    connect(footerButton, &QToolButton::clicked, this,
            [this] { Guarded([this] { ApplyFooter(); }); });

    auto* layout = new QGridLayout(group);
    layout->addWidget(headerLabel, 0, 0, 1, 2);
    layout->addWidget(header, 1, 0);
    layout->addWidget(headerButton, 1, 1);
    layout->addWidget(footerLabel, 2, 0, 1, 2);
    layout->addWidget(footer, 3, 0);
    layout->addWidget(footerButton, 3, 1);
    return group;
}

QGroupBox* PrintPreviewDialog::BuildFontGroup() {
    auto* group = new QGroupBox("Шрифт", pageControls_);
    group->setObjectName("sGroupBox6");
    fontLabel_ = new QLabel("Имя:\r\nРазмер:\r\nСтиль:", group);
    fontLabel_->setObjectName("lPrintFont");
    auto* choose = WithHint(MakeButton("sBitBtn3", "Выбрать", group), "Изменить текущий шрифт");
    connect(choose, &QPushButton::clicked, this, [this] { Guarded([this] { ChooseFont(); }); });
    fontDialog_ = new QFontDialog(QFont("MS Sans Serif", 8), this);
    fontDialog_->setObjectName("FontDialog1");
    fontDialog_->setOption(QFontDialog::DontUseNativeDialog);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(fontLabel_, 1);
    layout->addWidget(choose);
    return group;
}

void PrintPreviewDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

bool PrintPreviewDialog::eventFilter(QObject* watched, QEvent* event) {
    if (!IsEnter(event)) {
        return QDialog::eventFilter(watched, event);
    }
    if (watched == pageSpinEdit_) {
        pageSpinEdit_->interpretText();
        Guarded([this] { ShowPage(); });
    } else if (watched == header_) {
        Guarded([this] { ApplyHeader(); });
    } else if (watched == footer_) {
        Guarded([this] { ApplyFooter(); });
    } else {
        return QDialog::eventFilter(watched, event);
    }
    return true;
}

void PrintPreviewDialog::FormShow() {
    const int pageCount = editor_.PageCount();
    const HexPrintOptions& options = editor_.PrintOptions();
    for (QSpinBox* margin : {marginLeft_, marginRight_, marginTop_, marginBottom_}) {
        const QSignalBlocker blocker(margin);
        margin->setValue(options.Margin(MarginIndexOfTag(margin)));
    }
    UpdateFontLabel();
    header_->setText(options.PageHeader());
    footer_->setText(options.PageFooter());
    {
        const QSignalBlocker blocker(pageSpinEdit_);
        pageSpinEdit_->setMinimum(pageCount >= 1 ? 1 : 0);
        if (pageCount >= 1) {
            pageSpinEdit_->setMaximum(pageCount);
        }
        pageSpinEdit_->setValue(pageCount >= 1 ? 1 : 0);
    }
    SetPageLabel(pageSpinEdit_->value(), std::max(pageCount, 0));
    if (pageCount >= 1) {
        ShowRenderedPage(1);
    }
    pageControls_->setEnabled(pageCount > 0);
}

// The label follows the page count, which margins, templates and the font change.
void PrintPreviewDialog::ShowPage() {
    const int pageCount = editor_.PageCount();
    const int page = pageSpinEdit_->value();
    SetPageLabel(page, pageCount);
    if (pageCount > 0 && page > 0 && page <= pageCount) {
        ShowRenderedPage(page);
    }
}

// A page is rendered in the printer's dots; on screen it keeps its paper size.
void PrintPreviewDialog::ShowRenderedPage(int page) {
    const QPrinter& printer = CurrentPrinter();
    printView_->SetPicture(*editor_.RenderPage(page),
                           QSizeF(printer.logicalDpiX(), printer.logicalDpiY()));
}

void PrintPreviewDialog::MarginChanged(QSpinBox* spinEdit) {
    editor_.PrintOptions().SetMargin(MarginIndexOfTag(spinEdit), spinEdit->value());
    ShowPage();
}

void PrintPreviewDialog::ApplyHeader() {
    editor_.PrintOptions().SetPageHeader(header_->text());
    ShowPage();
}

void PrintPreviewDialog::ApplyFooter() {
    editor_.PrintOptions().SetPageFooter(footer_->text());
    ShowPage();
}

void PrintPreviewDialog::ChooseFont() {
    if (fontDialog_->exec() != QDialog::Accepted) {
        return;
    }
    HexFont font = editor_.PrintFont();
    font.font = fontDialog_->selectedFont();
    editor_.SetPrintFont(font);
    UpdateFontLabel();
    ShowPage();
}

void PrintPreviewDialog::SetPageLabel(int page, int pageCount) {
    pageLabel_->setText(QString::asprintf("Страница [%d/%d]", page, pageCount));
}

void PrintPreviewDialog::UpdateFontLabel() {
    const QFont& font = editor_.PrintFont().font;
    fontLabel_->setText(
        QString("Имя:%1\r\nРазмер:%2\r\nСтиль:Uncknow").arg(font.family()).arg(PointSize(font)));
}

void PrintPreviewDialog::PrintPageOnView() {
    try {
        PrintPicture(printView_->Picture());
    } catch (const std::exception& error) {
        QMessageBox::critical(this, "Quillon", QString("Ошибка \r\n%1").arg(error.what()));
    }
}

void PrintPreviewDialog::PrintPicture(const QPicture& picture) {
    if (CurrentPrinterIsSystemPrinter()) {
        quillon::PrintPicture(picture, CurrentPrinter());
        return;
    }
    QFileDialog dialog(this, "Сохранить страницу в PDF");
    dialog.setObjectName("PdfFileDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("PDF (*.pdf)");
    dialog.setDefaultSuffix("pdf");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        quillon::PrintPicture(picture, *MakePdfPrinter(dialog.selectedFiles().front()));
    }
}

} // namespace quillon
