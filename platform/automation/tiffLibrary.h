// libtiff, loaded the first time a TIFF file is read. Linked at start it brought its own
// libraries (Lerc, WebP, JBIG, deflate) into every start of the program, which only reading
// a TIFF page needs.
#pragma once

#include <tiffio.h>

struct TiffLibrary {
    decltype(&TIFFOpen) Open;
    decltype(&TIFFClose) Close;
    decltype(&TIFFReadDirectory) ReadDirectory;
    decltype(&TIFFLastDirectory) LastDirectory;
    decltype(&TIFFGetField) GetField;
    decltype(&TIFFGetFieldDefaulted) GetFieldDefaulted;
    decltype(&TIFFIsTiled) IsTiled;
    decltype(&TIFFIsCODECConfigured) IsCODECConfigured;
    decltype(&TIFFRGBAImageOK) RGBAImageOK;
    decltype(&TIFFRGBAImageBegin) RGBAImageBegin;
    decltype(&TIFFRGBAImageGet) RGBAImageGet;
    decltype(&TIFFRGBAImageEnd) RGBAImageEnd;
    decltype(&TIFFCurrentDirOffset) CurrentDirOffset;
    decltype(&TIFFSetSubDirectory) SetSubDirectory;
    decltype(&TIFFScanlineSize64) ScanlineSize64;
    decltype(&TIFFReadScanline) ReadScanline;
    decltype(&TIFFTileRowSize64) TileRowSize64;
    decltype(&TIFFTileSize64) TileSize64;
    decltype(&TIFFReadTile) ReadTile;
    decltype(&TIFFSetErrorHandler) SetErrorHandler;
    decltype(&TIFFSetWarningHandler) SetWarningHandler;
};

// The library's functions; raises Exception when it cannot be loaded.
const TiffLibrary& Tiff();
