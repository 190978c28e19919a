#pragma once

// Which characters the watermark stamp can draw. A text of ASCII alone is drawn in
// Helvetica; any other text goes through Ghostscript's Chinese CID font STSong-Light with
// the UniGB-UTF8-H character map, which the installed Song face (AR PL UMing) stands in
// for. A character outside both is drawn as nothing, so the stamp would be wrong while the
// run reports success: such a text is refused before the run.

#include <string>

// Whether the stamp's fonts draw the character (a blank counts: it is drawn as space).
bool WatermarkFontsDraw(char32_t c);

// The first character of a UTF-8 text the stamp cannot draw, as "U+XXXX"; empty when
// every character can be drawn. Bytes that are not UTF-8 are named by their first byte
// ("0xB2").
std::string FirstUndrawableCharacter(const std::string& text);

// Why a watermark text cannot be stamped, as the message says it; empty when it can.
std::string WatermarkTextProblem(const std::string& text);
