#pragma once
// Sets a flag for the length of a scope and gives it its previous value back, also when a fault
// leaves the scope early.

namespace kb::balancer {

class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = before_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool before_;
};

}  // namespace kb::balancer
