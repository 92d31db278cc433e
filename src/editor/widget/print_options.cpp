#include "editor/widget/print_options.h"

#include <algorithm>

namespace quillon {

template <typename Options>
auto& HexPrintOptions::MarginField(Options& options, std::int32_t index) {
    switch (index) {
    case kMarginLeft:
        return options.marginLeft_;
    case kMarginTop:
        return options.marginTop_;
    case kMarginRight:
        return options.marginRight_;
    default:
        return options.marginBottom_;
    }
}

std::int32_t HexPrintOptions::Margin(std::int32_t index) const {
    return MarginField(*this, index);
}

void HexPrintOptions::SetMargin(std::int32_t index, std::int32_t millimetres) {
    MarginField(*this, index) = std::max(0, millimetres);
}

const QString& HexPrintOptions::HeaderFooter(std::int32_t index) const {
    return index == kPageHeader ? pageHeader_ : pageFooter_;
}

void HexPrintOptions::SetHeaderFooter(std::int32_t index, const QString& text) {
    (index == kPageHeader ? pageHeader_ : pageFooter_) = text;
}

} // namespace quillon
