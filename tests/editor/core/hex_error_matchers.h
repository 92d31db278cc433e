#pragma once

#include <string>

#include <gtest/gtest.h>

#include "editor/core/hex_error.h"

namespace quillon {

// Runs `action` and checks that it raises EHexEditor with exactly `message`.
template <typename Action>
::testing::AssertionResult RaisesHexError(Action&& action, const std::string& message) {
    try {
        action();
    } catch (const EHexEditor& error) {
        if (error.what() == message) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "raised \"" << error.what() << "\"";
    }
    return ::testing::AssertionFailure() << "raised nothing";
}

} // namespace quillon
