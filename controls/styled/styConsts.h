// Message texts of the styled controls.
#pragma once

inline constexpr const char* SLZRWCorrupt = "LZRW Error! 压缩数据已被损坏";
inline constexpr const char* SLZRWNoRoom = "LZRW Error! 目标缓冲区太小";
