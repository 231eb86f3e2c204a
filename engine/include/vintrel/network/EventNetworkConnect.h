#pragma once

#include "vintrel/network/EventNetwork.h"

namespace vt {

/// Sent by the network manager when a connection started with connect() is
/// made, or has failed (refused, unreachable, or no answer in time).
class EventNetworkConnect : public EventNetwork {
  public:
    /// Label 1; the socket and the result are set by the sender.
    EventNetworkConnect();

    /// 0 when connected; -1 when the attempt failed and the socket is gone.
    void setResult(int result) { m_result = result; }
    int getResult() const { return m_result; }

  private:
    int m_result;
};

} // namespace vt
