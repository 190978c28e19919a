// fontconfig's own set-up (its configuration files parsed, the font caches read) costs more
// than anything else the program does at start, and the first text it measures needs it. When
// the program asks for it, it runs on a thread of its own from the moment the window system
// starts, while the program reads its forms; the first text measured or drawn waits for it.
// Left off, fontconfig sets itself up when first used, as before (tests that count the open
// files or change the environment keep the process to one thread that way). When no thread
// can be started, the set-up is done at once instead (platform/rtl/workAhead.h).
#pragma once

namespace qtbridge {

// Asks for the set-up ahead; the window system's start starts it.
void RequestFontSetUpAhead();
// Starts the set-up once when it was asked for (otherwise, and later, does nothing). Called
// once the environment is set: fontconfig reads it.
void StartFontSetUp();
// Returns once the set-up started by StartFontSetUp has ended (at once when none started).
void WaitForFontSetUp();

}  // namespace qtbridge
