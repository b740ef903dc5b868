#pragma once
// Test helpers for CP932 text: failures print the text as UTF-8.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/core/Text.h"

namespace testsupport {

// Compares two CP932 strings; on failure shows both as UTF-8 and as bytes.
inline ::testing::AssertionResult SjisEq(const char* aExpr, const char* bExpr, std::string_view a,
                                         std::string_view b)
{
    if (a == b) return ::testing::AssertionSuccess();
    auto hex = [](std::string_view s) {
        std::string h;
        char buf[4];
        for (unsigned char c : s) {
            std::snprintf(buf, sizeof buf, "%02X ", c);
            h += buf;
        }
        return h;
    };
    return ::testing::AssertionFailure()
           << aExpr << " vs " << bExpr << "\n  left:  \"" << platform::SjisToUtf8(a) << "\" [" << hex(a)
           << "]\n  right: \"" << platform::SjisToUtf8(b) << "\" [" << hex(b) << "]";
}

}  // namespace testsupport

#define EXPECT_SJIS_EQ(a, b) EXPECT_PRED_FORMAT2(::testsupport::SjisEq, a, b)
