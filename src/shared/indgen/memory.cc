// Allocation hooks, owned-string helpers, scratch buffers and string arrays.
#include "shared/indgen/indgen.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

gen_alloc_fn gen_alloc = gen_default_alloc;
gen_realloc_fn gen_realloc = gen_default_realloc;

namespace {
// Writes straight to descriptor 2: stdio may itself need memory.
[[noreturn]] void out_of_memory() {
  auto put = [](const char* s) {
    size_t left = std::strlen(s);
    while (left > 0) {
      ssize_t n = write(2, s, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      s += n;
      left -= static_cast<size_t>(n);
    }
  };
  if (gen_progname) {
    put(gen_progname);
    put(": ");
  }
  put("fatal: Out of memory\n");
  gen_do_exit(3);
}

char* concat_list(std::initializer_list<const char*> parts) {
  size_t total = 1;
  for (const char* p : parts)
    if (p) total += std::strlen(p);
  char* out = static_cast<char*>(gen_alloc(static_cast<long>(total), 1));
  char* at = out;
  for (const char* p : parts) {
    if (!p) continue;
    size_t n = std::strlen(p);
    std::memcpy(at, p, n);
    at += n;
  }
  *at = 0;
  return out;
}

char* fconcat_list(char* first, std::initializer_list<const char*> rest) {
  size_t total = 1 + (first ? std::strlen(first) : 0);
  for (const char* p : rest)
    if (p) total += std::strlen(p);
  char* out = static_cast<char*>(gen_realloc(first, static_cast<long>(total)));
  if (!first) *out = 0;
  for (const char* p : rest)
    if (p) std::strcat(out, p);
  return out;
}

struct TempRing {
  char** bufs = nullptr;
  long* sizes = nullptr;
  int slots = 0;
  int at = -1;
};
TempRing ring;
}  // namespace

void* gen_default_alloc(long count, long size) {
  if (count <= 0 || size <= 0) return nullptr;
  void* p = calloc(static_cast<size_t>(count), static_cast<size_t>(size));
  if (!p) out_of_memory();
  return p;
}

void* gen_default_realloc(void* block, long size) {
  if (size < 1) {
    free(block);
    return nullptr;
  }
  void* p = block ? realloc(block, static_cast<size_t>(size)) : malloc(static_cast<size_t>(size));
  if (!p) out_of_memory();
  return p;
}

void* gen_allocate(void* block, long count, long size) {
  if (!block) return gen_alloc(count, size);
  return gen_realloc(block, count * size);
}

void gen_free(void* block) { free(block); }

char* gen_copy(const char* s) {
  if (!s) return nullptr;
  return gen_copyn(s, static_cast<long>(std::strlen(s)));
}

char* gen_copyn(const char* s, long n) {
  if (!s) return nullptr;
  if (n < 0) n = 0;
  char* out = static_cast<char*>(gen_alloc(n + 1, 1));
  std::memcpy(out, s, static_cast<size_t>(n));
  out[n] = 0;
  return out;
}

char* gen_concat(const char* a, const char* b) { return concat_list({a, b}); }
char* gen_concat3(const char* a, const char* b, const char* c) { return concat_list({a, b, c}); }
char* gen_concat4(const char* a, const char* b, const char* c, const char* d) {
  return concat_list({a, b, c, d});
}
char* gen_concat5(const char* a, const char* b, const char* c, const char* d, const char* e) {
  return concat_list({a, b, c, d, e});
}
char* gen_concat6(const char* a, const char* b, const char* c, const char* d, const char* e,
                  const char* f) {
  return concat_list({a, b, c, d, e, f});
}
char* gen_concat7(const char* a, const char* b, const char* c, const char* d, const char* e,
                  const char* f, const char* g) {
  return concat_list({a, b, c, d, e, f, g});
}
char* gen_concat8(const char* a, const char* b, const char* c, const char* d, const char* e,
                  const char* f, const char* g, const char* h) {
  return concat_list({a, b, c, d, e, f, g, h});
}
char* gen_concat9(const char* a, const char* b, const char* c, const char* d, const char* e,
                  const char* f, const char* g, const char* h, const char* i) {
  return concat_list({a, b, c, d, e, f, g, h, i});
}

char* gen_fconcat(char* a, const char* b) { return fconcat_list(a, {b}); }
char* gen_fconcat3(char* a, const char* b, const char* c) { return fconcat_list(a, {b, c}); }
char* gen_fconcat4(char* a, const char* b, const char* c, const char* d) {
  return fconcat_list(a, {b, c, d});
}
char* gen_fconcat5(char* a, const char* b, const char* c, const char* d, const char* e) {
  return fconcat_list(a, {b, c, d, e});
}
char* gen_fconcat6(char* a, const char* b, const char* c, const char* d, const char* e,
                   const char* f) {
  return fconcat_list(a, {b, c, d, e, f});
}
char* gen_fconcat7(char* a, const char* b, const char* c, const char* d, const char* e,
                   const char* f, const char* g) {
  return fconcat_list(a, {b, c, d, e, f, g});
}
char* gen_fconcat8(char* a, const char* b, const char* c, const char* d, const char* e,
                   const char* f, const char* g, const char* h) {
  return fconcat_list(a, {b, c, d, e, f, g, h});
}
char* gen_fconcat9(char* a, const char* b, const char* c, const char* d, const char* e,
                   const char* f, const char* g, const char* h, const char* i) {
  return fconcat_list(a, {b, c, d, e, f, g, h, i});
}

char* gen_sconcat(const char* dir, const char* name) {
  if (!dir || !*dir) return gen_copy(name ? name : "");
  if (!name) name = "";
  size_t dl = std::strlen(dir);
  while (dl > 1 && dir[dl - 1] == '/') --dl;
  while (*name == '/') ++name;
  const bool root = dl == 1 && dir[0] == '/';
  char* out = static_cast<char*>(gen_alloc(static_cast<long>(dl + std::strlen(name) + 2), 1));
  std::memcpy(out, dir, dl);
  size_t at = dl;
  if (!root) out[at++] = '/';
  std::strcpy(out + at, name);
  return out;
}

void* gen_structcopy(const void* block, long size) {
  if (!block || size <= 0) return nullptr;
  void* out = gen_alloc(1, size);
  std::memcpy(out, block, static_cast<size_t>(size));
  return out;
}

char* gen_get_temp_buf(int slots, long bytes) {
  if (slots < 1) slots = 1;
  if (bytes < 1) bytes = 1;
  if (slots > ring.slots) {
    ring.bufs = static_cast<char**>(gen_realloc(ring.bufs, slots * static_cast<long>(sizeof(char*))));
    ring.sizes = static_cast<long*>(gen_realloc(ring.sizes, slots * static_cast<long>(sizeof(long))));
    for (int i = ring.slots; i < slots; ++i) {
      ring.bufs[i] = nullptr;
      ring.sizes[i] = 0;
    }
    ring.slots = slots;
  }
  ring.at = (ring.at + 1) % slots;
  if (ring.sizes[ring.at] < bytes) {
    ring.bufs[ring.at] = static_cast<char*>(gen_realloc(ring.bufs[ring.at], bytes));
    ring.sizes[ring.at] = bytes;
  }
  return ring.bufs[ring.at];
}

char* gen_get_zeroed_temp_buf(int slots, long bytes) {
  char* buf = gen_get_temp_buf(slots, bytes);
  std::memset(buf, 0, static_cast<size_t>(bytes < 1 ? 1 : bytes));
  return buf;
}

char* gen_temp_copy(int slots, const char* s) {
  if (!s) s = "";
  long n = static_cast<long>(std::strlen(s));
  char* buf = gen_get_temp_buf(slots, n + 1);
  std::memcpy(buf, s, static_cast<size_t>(n) + 1);
  return buf;
}

void gen_strarray_init(gen_strarray* a) {
  a->strs = nullptr;
  a->count = 0;
}

void gen_strarray_free(gen_strarray* a) {
  for (int i = 0; i < a->count; ++i) gen_free(a->strs[i]);
  gen_free(a->strs);
  gen_strarray_init(a);
}

void gen_strarray_add_strn(gen_strarray* a, const char* s, long n) {
  a->strs = static_cast<char**>(
      gen_realloc(a->strs, (a->count + 1) * static_cast<long>(sizeof(char*))));
  a->strs[a->count++] = gen_copyn(s ? s : "", s ? n : 0);
}

void gen_strarray_add_str(gen_strarray* a, const char* s) {
  gen_strarray_add_strn(a, s, s ? static_cast<long>(std::strlen(s)) : 0);
}

const char* gen_getenv(const char* name, const char* fallback) {
  const char* v = getenv(name);
  return (v && *v) ? v : fallback;
}

char* gen_quotify_string(const char* s) {
  if (!s) s = "";
  size_t extra = 2;
  for (const char* p = s; *p; ++p) extra += (*p == '\'') ? 4 : 1;
  char* out = static_cast<char*>(gen_alloc(static_cast<long>(extra + 1), 1));
  char* at = out;
  *at++ = '\'';
  for (const char* p = s; *p; ++p) {
    if (*p == '\'') {
      std::memcpy(at, "'\\''", 4);
      at += 4;
    } else {
      *at++ = *p;
    }
  }
  *at++ = '\'';
  *at = 0;
  return out;
}
