// One COM interface reference, released when the holder goes, on every path
// (also when an exception passes).
#pragma once

#include <unknwn.h>

template <class Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  // Where a call that hands out a reference stores it; holds none yet.
  void** Out() { return reinterpret_cast<void**>(&pointer_); }
  Interface* operator->() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};
