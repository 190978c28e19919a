// MD5 digests, for names other programs derive from one (never for security).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

std::array<uint8_t, 16> Md5(std::string_view bytes);
