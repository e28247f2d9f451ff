// Optional callbacks a reader of attribute-tree files gets from its caller:
// macro lookups from the caller's environment and a filter on the files a
// read opens. Each callback may be missing; the answers then are "not
// defined", "none" and "read it" respectively.
#pragma once

class ut_client_interface {
 public:
  using destroy_fn = void (*)(void* context);
  using is_defined_fn = bool (*)(void* context, const char* name);
  // The returned text belongs to the client and must stay valid until the
  // next call of any callback.
  using lookup_fn = const char* (*)(void* context, const char* name);
  // `depth` is 0 for the file a read starts with, else the number of files
  // open when the include was met. False skips the file.
  using preprocess_file_fn = bool (*)(void* context, const char* path, int depth);

  ut_client_interface() = default;
  ut_client_interface(void* context, destroy_fn destroy, is_defined_fn is_defined, lookup_fn lookup,
                      preprocess_file_fn preprocess_file)
      : context_(context),
        destroy_(destroy),
        is_defined_(is_defined),
        lookup_(lookup),
        preprocess_file_(preprocess_file) {}
  // Hands the context to the destroy callback.
  ~ut_client_interface();
  ut_client_interface(const ut_client_interface&) = delete;
  ut_client_interface& operator=(const ut_client_interface&) = delete;

  void* get_context() const { return context_; }
  bool is_defined(const char* name) const;
  const char* lookup(const char* name) const;
  bool preprocess_file(const char* path, int depth) const;

 private:
  void* context_ = nullptr;
  destroy_fn destroy_ = nullptr;
  is_defined_fn is_defined_ = nullptr;
  lookup_fn lookup_ = nullptr;
  preprocess_file_fn preprocess_file_ = nullptr;
};
