#include "shared/libcxxutil/ut_client_interface.h"

ut_client_interface::~ut_client_interface() {
  if (destroy_) destroy_(context_);
}

bool ut_client_interface::is_defined(const char* name) const {
  return is_defined_ ? is_defined_(context_, name) : false;
}

const char* ut_client_interface::lookup(const char* name) const {
  return lookup_ ? lookup_(context_, name) : nullptr;
}

bool ut_client_interface::preprocess_file(const char* path, int depth) const {
  return preprocess_file_ ? preprocess_file_(context_, path, depth) : true;
}
