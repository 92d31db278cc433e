// One QApplication for a whole widget test binary, gone before the program's exit handlers run
// (destroying it later crashes in Qt's thread storage).
#include <QApplication>
#include <gtest/gtest.h>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance() == nullptr) {
            new QApplication(argc_, argv_);
        }
    }
    void TearDown() override { delete QApplication::instance(); }

private:
    int argc_ = 1;
    char name_[13] = "quillon_test";
    char* argv_[2] = {name_, nullptr};
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
