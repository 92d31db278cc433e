#include "print_test_support.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quillon::print_test {

std::vector<std::string> PrintedLines(const std::vector<DrawnText>& texts, int left, int cellWidth,
                                      const Projection& project) {
    std::map<double, std::string> rows;
    for (const DrawnText& drawn : texts) {
        std::string& row = rows[drawn.position.y()];
        const auto column =
            static_cast<std::size_t>(std::lround((drawn.position.x() - left) / cellWidth));
        const std::string text = project ? project(drawn) : drawn.text.toStdString();
        if (row.size() < column + text.size()) {
            row.resize(column + text.size(), ' ');
        }
        row.replace(column, text.size(), text);
    }
    std::vector<std::string> lines;
    for (const auto& [y, row] : rows) {
        lines.push_back(row);
    }
    return lines;
}

std::string AttributeCodes(const std::vector<std::uint8_t>& attributes) {
    std::string codes;
    for (const std::uint8_t attribute : attributes) {
        const int colorClass = attribute & kPrintClassMask;
        codes += (attribute & kPrintBold) != 0 ? static_cast<char>('A' + colorClass)
                                               : static_cast<char>('0' + colorClass);
    }
    return codes;
}

} // namespace quillon::print_test
