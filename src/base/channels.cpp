#include "base/channels.h"

namespace kolvane {

Channels::Channels() {
  for (auto& channel : inputs_) channel.DigestInto(&digests_);
}

void Channels::CloseAll() {
  for (auto& channel : outputs_) channel.Close();
  for (auto& channel : inputs_) channel.Close();
}

std::string Channels::ReadFailure() const {
  for (const auto& channel : inputs_)
    if (channel.Failed()) return channel.Failure();
  return "";
}

void Channels::ForgetReadFailures() {
  for (auto& channel : inputs_) channel.ForgetFailure();
}

}  // namespace kolvane
