// Message texts of the extended controls (the layer's string table).
#pragma once

inline constexpr const char* SXcEmptySearchPattern = "搜索字串不能为空";

// GIF picture errors.
inline constexpr const char* SGifCodeSizeRange = "GIF 编码大小不在 2 到 9 之间的范围中";
inline constexpr const char* SGifCorruptData = "GIF 编码数据已被损坏";
inline constexpr const char* SGifEncodeError = "GIF 图像编码错误";
// The class library's text for a stream that ends too early.
inline constexpr const char* SStreamReadError = "线程读取错误";
inline constexpr const char* SGifColorCount = "颜色数目不对，必须是 2 的幂数。";
inline constexpr const char* SGifPixelArraySize = "GIF 像素数组的大小不对";
inline constexpr const char* SXcInvalidFileDate = "文件日期时间无效 (只能是 1980 到 2107 年)";
inline constexpr const char* SXcIconFormat = "图标数据无效";
