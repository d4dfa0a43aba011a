// Test byte sources: data held in memory, and a source whose reads fail.
#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/core/stream_source.h"

namespace testing_support {

class MemorySource : public kesh::StreamSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    explicit MemorySource(const std::string& bytes) : bytes_(bytes.begin(), bytes.end()) {}

    std::uint32_t read(void* buffer, std::uint32_t count) override {
        const std::uint32_t copied = count < remaining() ? count : remaining();
        if (copied > 0) {
            std::memcpy(buffer, bytes_.data() + position_, copied);
        }
        position_ += copied;
        return copied;
    }
    std::uint32_t remaining() const override {
        return static_cast<std::uint32_t>(bytes_.size() - position_);
    }
    std::uint32_t size() const override { return static_cast<std::uint32_t>(bytes_.size()); }
    std::size_t position() const { return position_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Fails every read, as a file on a vanished device would.
class FailingSource : public kesh::StreamSource {
public:
    std::uint32_t read(void*, std::uint32_t) override {
        ++reads;
        throw std::runtime_error("device gone");
    }
    std::uint32_t remaining() const override { return 100; }
    std::uint32_t size() const override { return 100; }
    int reads = 0;
};

}  // namespace testing_support
