#pragma once

#include "vintrel/events/Event.h"

namespace vt {

/// Network traffic: which connection, and what happened to it (the label).
/// Labels run from -1 (undefined) to 3; the manager sends 0 when it accepts
/// a connection, 1 when a connection it was making is made or has failed,
/// 2 when it closes one, and 3 once per step for sending that step's state.
class EventNetwork : public Event {
  public:
    static constexpr int LABEL_UNDEFINED = -1;
    static constexpr int LABEL_ACCEPT = 0;
    static constexpr int LABEL_CONNECT = 1;
    static constexpr int LABEL_CLOSE = 2;
    static constexpr int LABEL_SYNC = 3;

    /// A label outside -1..3 is logged and replaced by -1.
    explicit EventNetwork(int label = LABEL_UNDEFINED);

    /// A label outside -1..3 is logged and stored as -1.
    void setLabel(int label);
    int getLabel() const { return m_label; }
    void setSocket(int sock) { m_socket = sock; }
    /// The connection's socket, -1 until set.
    int getSocket() const { return m_socket; }
    void setBytes(int bytes) { m_bytes = bytes; }
    int getBytes() const { return m_bytes; }
    /// Data the sender attaches, not owned by the event; the engine sets none.
    void setMessage(const void* p_message) { m_p_message = p_message; }
    const void* getMessage() const { return m_p_message; }

  private:
    int m_label;
    int m_socket;
    int m_bytes;
    const void* m_p_message;
};

} // namespace vt
