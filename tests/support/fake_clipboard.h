#pragma once

#include "sheet/clipboard.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::testing_support {

// The system clipboard in memory; it can be busy for a number of opening attempts.
class FakeClipboard final : public Clipboard {
public:
    int busyAttempts = 0;
    std::optional<std::vector<std::uint8_t>> block;
    std::string text;

    bool open() override {
        if (busyAttempts > 0) {
            --busyAttempts;
            return false;
        }
        EXPECT_FALSE(isOpen_);
        isOpen_ = true;
        return true;
    }
    void close() override {
        EXPECT_TRUE(isOpen_);
        isOpen_ = false;
    }
    void put(std::span<const std::uint8_t> privateBlock, std::string_view utf8) override {
        EXPECT_TRUE(isOpen_);
        block.emplace(privateBlock.begin(), privateBlock.end());
        text = utf8;
    }
    std::optional<std::vector<std::uint8_t>> privateBlock() const override {
        EXPECT_TRUE(isOpen_);
        return block;
    }
    bool offersPrivateBlock() const override { return block.has_value(); }

private:
    bool isOpen_ = false;
};

} // namespace konfigor::testing_support
