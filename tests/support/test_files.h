// Files as the tests read and write them, whole, in any byte container
// (std::vector<uint8_t> by default, std::string, std::vector<char>).
//
// Entry points:
//   read_file<Bytes>(path)     the file's bytes; empty when it cannot be read
//   write_file(path, bytes)    the file holds exactly `bytes`
//   le16(bytes, at), le32(bytes, at)   a little-endian number at byte `at`
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

template <typename Bytes = std::vector<uint8_t>>
Bytes read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

template <typename Bytes>
void write_file(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

template <typename Bytes>
uint16_t le16(const Bytes& bytes, size_t at)
{
    return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
}

template <typename Bytes>
uint32_t le32(const Bytes& bytes, size_t at)
{
    return le16(bytes, at) | uint32_t(le16(bytes, at + 2)) << 16;
}
