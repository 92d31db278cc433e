#include "editor/widget/select_format_dialog.h"

#include <array>

#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace quillon {

namespace {

// The names of the standard formats 1 to 16.
constexpr std::array<const char*, 16> kStandardFormatNames = {
    "Text",
    "Bitmap Picture",
    "Metafile Picture",
    "Microsoft Symbolic Link (SYLK) data",
    "Software Arts' Data Interchange Format",
    "Tagged Image File Format (TIFF) Picture",
    "OEM Text",
    "Device Independent Bitmap Picture",
    "Color Palete",
    "Pen Data",
    "RIFF Audio Data",
    "Wave Audio",
    "Unicode Text",
    "Enhanced Metafile Picture",
    "File List",
    "Text Locale",
};

std::int32_t lastChosenFormat = -1;

bool IsTextFormat(std::optional<ClipFormat> format) {
    return format == CF_TEXT || format == CF_OEMTEXT;
}

QRect ScreenGeometry(const QWidget* owner) {
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

QString FormatDisplayName(ClipFormat format) {
    if (format >= 1 && format <= kStandardFormatNames.size()) {
        return QString::fromLatin1(kStandardFormatNames[format - 1]);
    }
    const QString name = ClipboardFormatName(format).trimmed();
    return name.isEmpty() ? QStringLiteral("(%1)").arg(format) : name;
}

std::int32_t LastChosenFormat() {
    return lastChosenFormat;
}

void SetLastChosenFormat(std::int32_t format) {
    lastChosenFormat = format;
}

FormatSelDialog::FormatSelDialog(const ClipFormats& formats, bool hexText, QWidget* owner)
    : QDialog(owner != nullptr ? owner->window() : nullptr),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("Cancel"), this)),
      hexTextBox_(new QCheckBox(QStringLiteral("Hex Text"), this)),
      formatList_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Select Data Format"));
    const QRect screen = ScreenGeometry(owner);
    const int width = screen.width() / 4;
    const int height = screen.height() / 4;
    setFixedSize(width, height);

    okButton_->setObjectName(QStringLiteral("OkButton"));
    okButton_->setDefault(true);
    okButton_->setEnabled(false);
    const int buttonWidth = width / 2 - 32;
    const int buttonHeight = okButton_->sizeHint().height();
    const int buttonTop = height - buttonHeight - 8;
    okButton_->setGeometry(16, buttonTop, buttonWidth, buttonHeight);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    cancelButton_->setGeometry(width - buttonWidth - 16, buttonTop, buttonWidth, buttonHeight);

    hexTextBox_->setObjectName(QStringLiteral("HexTextBox"));
    hexTextBox_->setEnabled(false);
    hexTextBox_->setChecked(hexText);
    const int boxHeight = hexTextBox_->sizeHint().height();
    hexTextBox_->setGeometry(16, buttonTop - boxHeight - 8, width - 16, boxHeight);

    formatList_->setObjectName(QStringLiteral("FormatList"));
    formatList_->setGeometry(0, 0, width, height - buttonHeight - boxHeight - 24);

    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(formatList_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(formatList_, &QListWidget::currentRowChanged, this, &FormatSelDialog::UpdateHexTextBox);

    for (const ClipFormat format : formats) {
        AddFormat(format);
    }
    SelectLastChosen();
    UpdateHexTextBox();
}

void FormatSelDialog::AddFormat(ClipFormat format) {
    auto* item = new QListWidgetItem(FormatDisplayName(format), formatList_);
    item->setData(Qt::UserRole, format);
    okButton_->setEnabled(true);
}

void FormatSelDialog::SelectLastChosen() {
    int row = 0;
    for (int i = 0; i < formatList_->count(); ++i) {
        if (formatList_->item(i)->data(Qt::UserRole).toInt() == lastChosenFormat) {
            row = i;
            break;
        }
    }
    formatList_->setCurrentRow(row);
}

void FormatSelDialog::UpdateHexTextBox() {
    hexTextBox_->setEnabled(IsTextFormat(SelectedFormat()));
}

std::optional<ClipFormat> FormatSelDialog::SelectedFormat() const {
    const QListWidgetItem* item = formatList_->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return std::nullopt;
    }
    return static_cast<ClipFormat>(item->data(Qt::UserRole).toUInt());
}

bool FormatSelDialog::HexTextTicked() const {
    return hexTextBox_->isChecked();
}

bool ChooseFormat(const ClipFormats& candidates, const FormatEnum& offered, bool& hexText,
                  ClipFormat& chosenFormat, QWidget* owner) {
    ClipFormats kept;
    for (const ClipFormat format : candidates) {
        if (offered.HasFormat(format)) {
            kept.push_back(format);
        }
    }
    if (kept.size() <= 1) {
        if (!kept.empty()) {
            chosenFormat = kept.front();
        }
        return !kept.empty();
    }
    FormatSelDialog dialog(kept, hexText, owner);
    const std::optional<ClipFormat> selected =
        dialog.exec() == QDialog::Accepted ? dialog.SelectedFormat() : std::nullopt;
    if (!selected) {
        return false;
    }
    chosenFormat = *selected;
    if (IsTextFormat(selected)) {
        hexText = dialog.HexTextTicked();
    }
    lastChosenFormat = *selected;
    return true;
}

} // namespace quillon
