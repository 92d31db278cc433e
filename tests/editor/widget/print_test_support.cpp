#include "print_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "editor/core/hex_memory_stream.h"

namespace quillon::print_test {
namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { delete QApplication::instance(); }
};

[[maybe_unused]] ::testing::Environment* const kApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "test_print";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        new QApplication(argc, argv);
    }
}

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

void LoadBytes(HexEditorCore& core, const std::vector<std::uint8_t>& bytes) {
    HexMemoryStream stream;
    stream.Write(bytes.data(), bytes.size());
    core.LoadStream(stream);
}

void LoadCountingBytes(HexEditorCore& core, std::int32_t size) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    LoadBytes(core, bytes);
}

} // namespace quillon::print_test
