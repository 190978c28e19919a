// Message texts of the styled controls.
#pragma once

inline constexpr const char* SLZRWCorrupt = "LZRW Error! 压缩数据已被损坏";
inline constexpr const char* SLZRWNoRoom = "LZRW Error! 目标缓冲区太小";

inline constexpr const char* SStyUnknownUser = "(未知)";
inline constexpr const char* SStyNoTimers = "没有足够的定时器可用";
inline constexpr const char* SStyListIndexTooBig = "列表索引超过了最大值(%d)";
inline constexpr const char* SStyBadInterval = "间隔与 MinInterval 属性不相容";
inline constexpr const char* SStyInvalidOwner = "主人无效 (<>TForm) 或者窗体的第二个实例";
