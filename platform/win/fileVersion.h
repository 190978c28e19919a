// Version resources: the block GetFileVersionInfoA fills and VerQueryValueA reads. The
// system libraries this layer stands in for carry one (module.h); files on this platform
// carry none.
#pragma once

#include "platform/win/module.h"

constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

// The size of the version block of a file or a library named without a folder; 0 when it
// has none (ERROR_RESOURCE_TYPE_NOT_FOUND, or ERROR_FILE_NOT_FOUND for a missing file).
// `handle` is set to 0.
DWORD GetFileVersionInfoSizeA(const char* fileName, DWORD* handle);
// Copies the version block into `data` (`length` bytes, at least the size above).
BOOL GetFileVersionInfoA(const char* fileName, DWORD handle, DWORD length, void* data);
// "\\" gives the fixed file information inside the block and its length; other sub-blocks
// (string tables, translations) are not kept: FALSE.
BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* length);
