#pragma once
// Balancer flags read outside the balancer.
namespace kb::balancer {

struct BalancerState {
  bool BalancerPolling = false;
  bool ExecutingBoard1 = false;
  bool ExecutingOtherBoards = false;
};

}  // namespace kb::balancer
