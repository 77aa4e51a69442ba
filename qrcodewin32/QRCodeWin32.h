/* SPDX-License-Identifier: MIT */
/*
 * QRCodeWin32: turns a text into a QR code symbol and writes it as a BMP picture.
 *
 * Use: set the message and the settings in any order, then call QRSaveAsBMP. Settings stay
 * until they are set again, across any number of QRSaveAsBMP calls. A program that loads the
 * library at run time looks the seven functions up by these names; they have C linkage.
 *
 * Return values: every function returns nonzero on success and 0 on failure. After a 0, errno
 * says why (the values are listed with each function); after success errno is unspecified.
 *
 * Thread safety: the library keeps one process-wide state and takes no locks. Call it from one
 * thread at a time; concurrent calls from several threads are undefined behaviour.
 *
 * State when the library has just been loaded:
 *   message          empty
 *   background       255, 255, 255 (white)      bar colour       0, 0, 0 (black)
 *   version          automatic                  level            L
 *   quiet zone       4 modules
 *   minimum contrast 0.2                        module size      whole pixels
 *   colours          not inverted               picture size     500 x 500 pixels
 *
 * What a symbol holds: a message of ASCII bytes (all below 0x80) is encoded as it is, without an
 * ECI designator. Any other message is converted from GB18030 to UTF-8 and follows an ECI 26
 * (UTF-8) designator, which readers need to show Chinese text correctly; bytes that are not
 * valid GB18030 are carried over unchanged into the UTF-8 bytes, never dropped.
 *
 * Encoding: the data is split into numeric, alphanumeric and byte segments so that it takes the
 * fewest bits for each range of versions that share character-count widths (1-9, 10-26, 27-40),
 * and the smallest version that holds it at the chosen level is used. The level is never raised
 * above the one asked for. The mask pattern is chosen by the standard's penalty rules.
 */
#ifndef QRCODEWIN32_H
#define QRCODEWIN32_H

#if defined(__GNUC__)
#define QRCODEWIN32_API __attribute__((visibility("default")))
#else
#define QRCODEWIN32_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Sets the text of the next symbols.
 *
 * message: NUL-terminated bytes in the GB18030 code page (ASCII, GBK and the four-byte
 *          sequences), line breaks as the caller has them (CR LF from an edit box); null or ""
 *          gives an empty symbol of version 1. The bytes are copied: the caller keeps ownership
 *          and may free them on return.
 *
 * Returns nonzero when the message was taken. Returns 0, with errno EMSGSIZE, when it is longer
 * than any symbol can hold (more than 7089 bytes after conversion, the most a version 40-L
 * symbol holds even as digits), or with ENOMEM when memory runs out. After a 0 the old message
 * is gone too: QRSaveAsBMP fails with the same errno until a message is taken again. A nonzero
 * result does not promise that the message fits the chosen version and level; QRSaveAsBMP
 * checks that.
 */
QRCODEWIN32_API int QRSetMessage(const char* message);

/*
 * Sets the background colour: the light modules, the quiet zone and every margin pixel.
 *
 * red, green, blue: each 0..255; values outside are clamped to that range.
 *
 * Returns nonzero (always succeeds).
 */
QRCODEWIN32_API int QRSetBackColor(int red, int green, int blue);

/*
 * Sets the bar colour: the dark modules.
 *
 * red, green, blue: each 0..255; values outside are clamped to that range.
 *
 * Returns nonzero (always succeeds).
 */
QRCODEWIN32_API int QRSetBarColor(int red, int green, int blue);

/*
 * Sets the symbol version, the error-correction level and the width of the quiet zone.
 *
 * version:          1..40 asks for that version; when the data does not fit it, the smallest
 *                   larger version that holds it is used instead. Any other value (0 for
 *                   "automatic", -1 for "nothing picked", anything out of range) picks the
 *                   smallest version that holds the data.
 * errorCorrection:  0 = L (about 7% of the symbol may be damaged), 1 = M (15%), 2 = Q (25%),
 *                   3 = H (30%), used exactly as given and never raised. Any other value (-1 for
 *                   "nothing picked", anything out of range) gives L, which keeps the symbol
 *                   smallest.
 * quietZone:        the light border round the symbol, in modules. Values below 4, the
 *                   standard's minimum, give 4; there is no upper clamp. The module size in
 *                   pixels is chosen so that the symbol and this border fit the picture: a
 *                   wider border means smaller modules, and one too wide for even one pixel per
 *                   module makes QRSaveAsBMP fail. Five modules, a little above the minimum,
 *                   keeps the symbol clear of whatever is drawn round the picture.
 *
 * Returns nonzero (always succeeds: every value has a meaning).
 */
QRCODEWIN32_API int QRConfigure(int version, int errorCorrection, int quietZone);

/*
 * Sets how the symbol is drawn.
 *
 * minimumContrast:   the least difference in relative luminance (0 = none, 1 = black on white;
 *                    sRGB colours linearised, ITU-R BT.709 weights) that the bar and
 *                    background colours must have. Below it QRSaveAsBMP refuses to write a
 *                    symbol that readers could not tell from its background. 0.2 is the lowest
 *                    symbol contrast that still passes print-quality grading (grade 1 of
 *                    ISO/IEC 15415); black on white has 1.0. Values below 0 give 0 (no check),
 *                    above 1 give 1 (only black and white together pass), NaN gives 0.2.
 * wholePixelModules: nonzero (1): every module is the same whole number of pixels, the largest
 *                    that fits with the quiet zone, and the rest of the picture is margin; this
 *                    reads best. 0: modules are scaled by a fractional factor so that symbol and
 *                    quiet zone fill the shorter side of the picture exactly, module edges
 *                    rounded to the nearest pixel (modules then differ by up to one pixel).
 * invertedColours:   0: dark modules in the bar colour on the background colour. Nonzero: a
 *                    reflectance-reversed symbol, dark modules in the background colour and the
 *                    light modules and the quiet zone in the bar colour; only readers that try
 *                    inverted symbols read it.
 *
 * Returns nonzero (always succeeds).
 */
QRCODEWIN32_API int QRAppearance(double minimumContrast, int wholePixelModules,
                                 int invertedColours);

/*
 * Sets the size of the picture in pixels.
 *
 * width, height: each 1..16384. The symbol is centred; when the picture is not square, modules
 *                stay square and the symbol is sized by the shorter side.
 *
 * Returns nonzero when the size was taken. Returns 0, with errno EINVAL, when either value is out
 * of range; the size is then unset and QRSaveAsBMP fails with EINVAL until a valid size is set,
 * rather than writing a picture of a size nobody asked for.
 */
QRCODEWIN32_API int QRSetSize(int width, int height);

/*
 * Encodes the message with the current settings and writes the picture.
 *
 * path: NUL-terminated file name in the file system's own bytes, absolute or relative to the
 *       current directory. The directory must exist.
 *
 * Format: an uncompressed Windows bitmap (BITMAPFILEHEADER, BITMAPINFOHEADER, BI_RGB), 1 bit per
 * pixel with a two-entry palette, rows bottom-up and padded to 4 bytes. Two colours need no
 * more: a 500 x 500 picture takes 32 062 bytes instead of 750 054 at 24 bits, so it is written
 * and read back many times faster, and every BMP reader knows the format. 96 dpi is recorded.
 *
 * Writing: the picture goes to a new temporary file in the same directory, which is given the
 * old file's permissions (or, for a new file, 0666 less the umask) and then renamed over the
 * path in one step. Readers see either the old file or the whole new one, never a part. A
 * symbolic link at the path is replaced, not followed. The file is not flushed to the disk, so a
 * power failure right afterwards may lose it. Nothing else is ever written.
 *
 * Returns nonzero when the file has been written. Returns 0 and leaves any old file untouched,
 * with no temporary file left behind, when:
 *   EINVAL    path is null or "", or no valid size is set (QRSetSize);
 *   EMSGSIZE  the data fits no version at the chosen level, or QRSetMessage refused it;
 *   ENOMEM    memory ran out, here or in QRSetMessage;
 *   EDOM      the colours differ by less than the minimum contrast (QRAppearance);
 *   ERANGE    the symbol and its quiet zone do not fit the picture even at one pixel per module;
 *   other     the error of the failed file operation (ENOENT, ENOTDIR, EACCES, ENOSPC, EISDIR...).
 */
QRCODEWIN32_API int QRSaveAsBMP(const char* path);

#ifdef __cplusplus
}
#endif

#endif /* QRCODEWIN32_H */
