// A document made of pictures alone, written as PDF without the office: each picture's
// pixels go into the file row by row as they are read from its bitmap, so a picture of any
// size takes the memory of a row. The office holds a whole picture in memory and refuses
// large ones.
#pragma once

#include <string>
#include <vector>

namespace office {

struct PlacedPicture {
    std::string file;
    double left = 0, top = 0, width = 0, height = 0;  // points from the page's top left
};

// Whether the file is a bitmap this writer takes: an uncompressed BMP of 1 or 24 bits a
// pixel whose rows run from the bottom.
bool PdfTakesPicture(const std::string& file);

// Pages of one size (points), each with its pictures in the order they are drawn. Raises
// EOleError naming the file that cannot be read or written.
void WritePicturePdf(const std::string& pdf, double width, double height,
                     const std::vector<std::vector<PlacedPicture>>& pages);

}  // namespace office
