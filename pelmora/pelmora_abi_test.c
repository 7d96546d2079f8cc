/* Loads libPelmora through dlopen/dlsym exactly as the host does and checks the bytes
 * of the icon files it writes. Usage: pelmora_abi_test [path/to/libPelmora.so] */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef int (*PelmoraFn)(const char*, const char*, const unsigned char*);
typedef int (*Callback)(const char*, void*);
typedef void (*SetCallbackFn)(Callback, void*);

static int failures = 0;
#define CHECK(cond)                                                            \
  do {                                                                         \
    if (!(cond)) {                                                             \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                              \
    }                                                                          \
  } while (0)

static char lastMessage[2048];
static int messageCount = 0;
static int RecordMessage(const char* text, void* context) {
  (void)context;
  snprintf(lastMessage, sizeof lastMessage, "%s", text);
  ++messageCount;
  return 7; /* handed back as the call's result */
}

static unsigned U16(const unsigned char* p) {
  return p[0] | (p[1] << 8);
}
static unsigned long U32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | ((unsigned long)p[2] << 16) | ((unsigned long)p[3] << 24);
}
static void Put16(unsigned char* p, unsigned v) {
  p[0] = v & 255;
  p[1] = (v >> 8) & 255;
}
static void Put32(unsigned char* p, unsigned long v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, (v >> 16) & 0xFFFF);
}

/* Writes a bitmap file of the size and depth whose colour table and rows hold a
 * counting pattern; returns its length. */
static long WriteBmp(const char* path, int w, int h, int bits, unsigned long imageSize,
                     long cutAt) {
  long table = bits <= 8 ? 4L << bits : 0;
  long stride = ((long)w * bits + 31) / 32 * 4;
  long rows = stride * h;
  long size = 54 + table + rows;
  unsigned char* b = calloc(1, size);
  long i;
  memcpy(b, "BM", 2);
  Put32(b + 2, size);
  Put32(b + 10, 54 + table);
  Put32(b + 14, 40);
  Put32(b + 18, w);
  Put32(b + 22, h);
  Put16(b + 26, 1);
  Put16(b + 28, bits);
  Put32(b + 34, imageSize);
  Put32(b + 38, 2835); /* resolutions, cleared in the icon */
  Put32(b + 42, 2835);
  Put32(b + 46, bits <= 8 ? 1UL << bits : 0);
  Put32(b + 50, 3);
  for (i = 54; i < size; ++i)
    b[i] = (unsigned char)(i * 7 + 1);
  FILE* f = fopen(path, "wb");
  fwrite(b, 1, cutAt > 0 ? cutAt : size, f);
  fclose(f);
  free(b);
  return size;
}

static unsigned char* ReadAll(const char* path, long* len) {
  FILE* f = fopen(path, "rb");
  unsigned char* b;
  if (!f) return NULL;
  fseek(f, 0, SEEK_END);
  *len = ftell(f);
  fseek(f, 0, SEEK_SET);
  b = malloc(*len ? *len : 1);
  if (fread(b, 1, *len, f) != (size_t)*len) *len = -1;
  fclose(f);
  return b;
}

/* Checks an icon written from a bitmap made by WriteBmp. */
static void CheckIcon(const char* ico, const char* bmp, int w, int h, int bits,
                      const unsigned char* mask, long expectResource) {
  long icoLen = 0, bmpLen = 0;
  unsigned char* i = ReadAll(ico, &icoLen);
  unsigned char* b = ReadAll(bmp, &bmpLen);
  long table = bits <= 8 ? 4L << bits : 0;
  long rows = ((long)w * bits + 31) / 32 * 4 * h;
  long maskBytes = ((long)w + 31) / 32 * 4 * h;
  long k;
  CHECK(i != NULL && b != NULL);
  if (!i || !b) return;
  CHECK(icoLen == 22 + expectResource);
  CHECK(U16(i) == 0 && U16(i + 2) == 1 && U16(i + 4) == 1);
  CHECK(i[6] == (w & 255) && i[7] == (h & 255));
  CHECK(i[8] == (bits < 8 ? 1 << bits : 0) && i[9] == 0);
  CHECK(U16(i + 10) == 1 && U16(i + 12) == (unsigned)bits);
  CHECK(U32(i + 14) == (unsigned long)expectResource && U32(i + 18) == 22);
  CHECK(U32(i + 22) == 40 && U32(i + 26) == (unsigned long)w);
  CHECK(U32(i + 30) == (unsigned long)(2 * h));
  CHECK(U32(i + 42) == (unsigned long)(rows + maskBytes));
  CHECK(U32(i + 46) == 0 && U32(i + 50) == 0 && U32(i + 54) == 0 && U32(i + 58) == 0);
  CHECK(memcmp(i + 62, b + 54, table + rows) == 0);
  for (k = 0; k < maskBytes; ++k) {
    if (i[62 + table + rows + k] != (mask ? mask[k] : 0)) {
      CHECK(!"mask byte differs");
      break;
    }
  }
  free(i);
  free(b);
}

static int Exists(const char* path) {
  return access(path, F_OK) == 0;
}

int main(int argc, char** argv) {
  const char* lib = argc > 1 ? argv[1] : "libPelmora.so";
  void* handle = dlopen(lib, RTLD_NOW | RTLD_LOCAL);
  PelmoraFn pelmora;
  SetCallbackFn setCallback;
  unsigned char mask[256 * 32];
  long k;
  char dir[] = "/tmp/pelmora_abi_XXXXXX";
  char bmp[256], ico[256], text[600];

  if (!handle) {
    fprintf(stderr, "cannot load %s: %s\n", lib, dlerror());
    return 1;
  }
  pelmora = (PelmoraFn)dlsym(handle, "_Pelmora");
  setCallback = (SetCallbackFn)dlsym(handle, "PelmoraSetMessageCallback");
  CHECK(pelmora != NULL && setCallback != NULL);
  if (!pelmora || !setCallback) return 1;
  setCallback(RecordMessage, NULL);
  if (!mkdtemp(dir)) return 1;
  snprintf(bmp, sizeof bmp, "%s/sv.bmp", dir);
  snprintf(ico, sizeof ico, "%s/out.ico", dir);
  for (k = 0; k < (long)sizeof mask; ++k)
    mask[k] = (unsigned char)(k * 13 + 5);

  /* 256 x 256 at 32 bits: width and height bytes 0, no colour table, 256 rows of 32
   * mask bytes. */
  WriteBmp(bmp, 256, 256, 32, 256L * 256 * 4, 0);
  CHECK(pelmora(bmp, ico, mask) == 0);
  CheckIcon(ico, bmp, 256, 256, 32, mask, 40 + 262144 + 8192);

  /* 16 x 16 at 4 bits with a mask: 64 table, 128 colour and 64 mask bytes = 296. */
  WriteBmp(bmp, 16, 16, 4, 128, 0);
  CHECK(pelmora(bmp, ico, mask) == 0);
  CheckIcon(ico, bmp, 16, 16, 4, mask, 296);

  /* Without a mask the mask rows are all zero (fully opaque). */
  CHECK(pelmora(bmp, ico, NULL) == 0);
  CheckIcon(ico, bmp, 16, 16, 4, NULL, 296);

  /* Two colours: 8-byte table, colour count 2, bit count 1. */
  WriteBmp(bmp, 16, 16, 1, 64, 0);
  CHECK(pelmora(bmp, ico, mask) == 0);
  CheckIcon(ico, bmp, 16, 16, 1, mask, 40 + 8 + 64 + 64);

  /* 256 colours: 1024-byte table, colour count 0; odd width pads the mask rows. */
  WriteBmp(bmp, 33, 5, 8, 36 * 5, 0);
  CHECK(pelmora(bmp, ico, mask) == 0);
  CheckIcon(ico, bmp, 33, 5, 8, mask, 40 + 1024 + 36 * 5 + 8 * 5);

  /* An image size of 0 (allowed for uncompressed bitmaps) means stride * height. */
  WriteBmp(bmp, 24, 24, 24, 0, 0);
  CHECK(pelmora(bmp, ico, NULL) == 0);
  CheckIcon(ico, bmp, 24, 24, 24, NULL, 40 + 72 * 24 + 4 * 24);
  CHECK(messageCount == 0);

  /* An empty bitmap path: 0, no message. */
  CHECK(pelmora("", ico, mask) == 0);
  CHECK(messageCount == 0);

  /* Not a bitmap: the message, the callback's answer as result, no output file. */
  {
    char other[300];
    FILE* f;
    snprintf(other, sizeof other, "%s/fresh.ico", dir);
    f = fopen(bmp, "wb");
    fputs("XX not a bitmap at all, but long enough for the headers ..........", f);
    fclose(f);
    CHECK(pelmora(bmp, other, mask) == 7);
    snprintf(text, sizeof text, "%s\n入力したファイルはビットマップではありません！", bmp);
    CHECK(strcmp(lastMessage, text) == 0);
    CHECK(!Exists(other));
  }

  /* A missing input file. */
  {
    char missing[300];
    snprintf(missing, sizeof missing, "%s/missing.bmp", dir);
    CHECK(pelmora(missing, ico, mask) == 7);
    snprintf(text, sizeof text, "%s\n入力ファイルを開けません！", missing);
    CHECK(strcmp(lastMessage, text) == 0);
  }

  /* An output that cannot be created; the old icon survives a failed later call. */
  {
    char bad[300];
    long before = 0, after = 0;
    unsigned char *old, *now;
    WriteBmp(bmp, 16, 16, 4, 128, 0);
    snprintf(bad, sizeof bad, "%s/no/such/folder/x.ico", dir);
    CHECK(pelmora(bmp, bad, mask) == 7);
    snprintf(text, sizeof text, "%s\n出力ファイルを開けません！", bad);
    CHECK(strcmp(lastMessage, text) == 0);

    CHECK(pelmora(bmp, ico, mask) == 0);
    old = ReadAll(ico, &before);
    /* A bitmap cut short: refused as not a bitmap; the existing icon is untouched. */
    WriteBmp(bmp, 32, 32, 32, 4096, 1000);
    CHECK(pelmora(bmp, ico, mask) == 7);
    now = ReadAll(ico, &after);
    CHECK(before == after && old && now && memcmp(old, now, before) == 0);
    free(old);
    free(now);
  }

  /* Back to stderr: the call still reports through its result. */
  setCallback(NULL, NULL);
  CHECK(pelmora(bmp, ico, mask) == 1);

  {
    char cmd[400];
    snprintf(cmd, sizeof cmd, "rm -rf '%s'", dir);
    if (system(cmd) != 0) fprintf(stderr, "could not remove %s\n", dir);
  }
  dlclose(handle);
  if (failures)
    fprintf(stderr, "%d check(s) failed\n", failures);
  else
    printf("pelmora ABI: all checks passed\n");
  return failures ? 1 : 0;
}
