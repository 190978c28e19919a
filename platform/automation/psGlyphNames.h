// The characters of the printed text, kept through PostScript. The printer driver writes
// the document's fonts with glyph names of its own making ("~gs~gName~0001"), which say
// nothing about the characters they show, so a PDF made from the PostScript has text that
// cannot be searched or copied. Each such glyph is renamed after its characters, taken
// from the font's character map (its ToUnicode CMap): "uni4F60" for 你, "uni00660069" for
// the ligature fi, "u1F600" beyond the basic plane. A PDF maker reads those names back
// as the characters.
#pragma once

#include <map>
#include <string>

namespace office {

// Character codes of a simple font and the UTF-16BE text each stands for, read from a
// ToUnicode CMap program (its bfchar and bfrange sections).
std::map<int, std::u16string> ReadToUnicode(const std::string& cmap);

// The glyph name for a text of UTF-16 units; empty when the text is empty or malformed.
std::string GlyphNameFor(const std::u16string& text);

// The PostScript written by the printer driver with its invented glyph names replaced
// by names after the characters (TrueType fonts only, whose glyphs the PostScript finds
// through the encoding). Whatever it cannot read stays as it is.
std::string NameGlyphsByCharacters(const std::string& ps);

// A PDF written by Ghostscript, its character maps' one-code ranges ("<01><01><4f60>")
// rewritten as single codes ("<01>    <4f60>"), byte for byte in place, so that the file's
// offsets hold. Ghostscript's PostScript writer misreads such ranges of characters beyond
// Latin-1 in a PDF it reads; single codes it reads right. Maps must be unpacked (written
// with -dCompressStreams=false); blocks holding any wider range stay as they are.
std::string SpellOutOneCodeRanges(const std::string& pdf);

}  // namespace office
