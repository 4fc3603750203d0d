#include "link/requests.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct RequestCase {
    const char* name;
    Frame frame;
    Bytes wire;
};

Bytes pageWriteWire(const std::array<std::uint8_t, 32>& data, std::uint8_t wirePage,
                    std::uint8_t checksum) {
    Bytes wire = {0x4D, 0x58, 0x53};
    wire.insert(wire.end(), data.begin(), data.end());
    wire.push_back(wirePage);
    wire.push_back(checksum);
    return wire;
}

TEST(Requests, BuildTheExactBytes) {
    std::array<std::uint8_t, 32> page{};
    page.front() = 0x11;
    page.back() = 0x22;
    const std::vector<RequestCase> cases = {
        {"version", requests::requestVersion(), {0x4D, 0x58, 0x56, 0x43}},
        {"ping", requests::sendPing(), {0x4D, 0x58, 0x44, 0x51}},
        {"page 0", requests::requestPage(0), {0x4D, 0x58, 0x45, 0x01, 0x51}},
        {"last page", requests::requestPage(220), {0x4D, 0x58, 0x45, 0xDD, 0x8D}},
        {"page write", requests::sendPage(5, page), pageWriteWire(page, 0x06, 0x73)},
        {"record of slot 0", requests::requestRecord(0), {0x4D, 0x58, 0x4C, 0x20, 0x00, 0x79}},
        {"record of slot 703", requests::requestRecord(703), {0x4D, 0x58, 0x4C, 0xDF, 0x02, 0x84}},
        {"record write, multi and copy-locked",
         requests::sendRecord(5, 0x4012'3456, 0xBEEF, {1, 2, 4, 8}, true),
         {0x4D, 0x58, 0x43, 0x56, 0x34, 0x12, 0xC0, 0xEF, 0xBE, 0xEF, 0xBE, 0x21, 0x84, 0x25, 0x00,
          0x66}},
        {"record write: the flag alone decides the lock, masks keep four channels",
         requests::sendRecord(0, 0x8000'0007, 1, {0x1F, 0, 0, 3}, false),
         {0x4D, 0x58, 0x43, 0x07, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x0F, 0x30, 0x20, 0x00,
          0x4E}},
        {"press channels 1 and 2", requests::sendPress(0x03), {0x4D, 0x58, 0x50, 0x03, 0x46}},
        {"press keeps four channels", requests::sendPress(0xFF), {0x4D, 0x58, 0x50, 0x0F, 0x4A}},
        {"reset", requests::requestReset(), {0x4D, 0x58, 0x52, 0x47}},
        {"answer", requests::sendAnswer(), {0x4D, 0x58, 0x41, 0x54}},
        {"end of connection", requests::endConnection(), {0x4D, 0x58, 0x4B, 0x5E}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Bytes(c.frame.bytes().begin(), c.frame.bytes().end()), c.wire);
    }
}

} // namespace
} // namespace konfigor
