#pragma once

#include <string_view>
#include <unistd.h>

#include <gtest/gtest.h>

namespace konfigor::kvr {

// Standard input for one reader: `text`, then its end.
class InputPipe {
public:
    explicit InputPipe(std::string_view text) {
        int ends[2] = {-1, -1};
        EXPECT_EQ(::pipe(ends), 0);
        readEnd_ = ends[0];
        EXPECT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(ends[1]);
    }
    ~InputPipe() { ::close(readEnd_); }
    InputPipe(const InputPipe&) = delete;
    InputPipe& operator=(const InputPipe&) = delete;

    int fd() const { return readEnd_; }

private:
    int readEnd_ = -1;
};

} // namespace konfigor::kvr
