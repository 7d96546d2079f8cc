#pragma once
/* Pelmora: turns a bitmap file plus a packed mask into a single-image icon file.
 *
 * The host finds `_Pelmora` by name (dlsym) and calls it with two UTF-8 paths and a
 * packed mask: 1 bit per pixel, rows bottom row first, each row padded to 32 bits,
 * bit 1 = transparent; height rows of ((width + 31) / 32) * 4 bytes. A null mask
 * writes an all-zero (fully opaque) mask.
 *
 * The result carries no meaning for the caller: 0 for an empty bitmap path or a
 * completed call, otherwise the answer of the message that ended the call.
 *
 * The library reports its three failures through a message callback. Without one it
 * prints the message to stderr. The output file is written to a temporary file beside
 * the target and renamed over it, so a failed call never leaves a partial icon file
 * where an older one was. */

#ifdef __cplusplus
extern "C" {
#endif

/* Receives the text of a message (the path, a line break and the message, at most
 * 1024 bytes, UTF-8). The returned value becomes the result of `_Pelmora`. */
typedef int (*PelmoraMessageCallback)(const char* text, void* context);

int _Pelmora(const char* bmpPath, const char* icoPath, const unsigned char* mask);

/* Sets (or with a null callback, resets to stderr) the receiver of the messages. */
void PelmoraSetMessageCallback(PelmoraMessageCallback callback, void* context);

#ifdef __cplusplus
}
#endif
