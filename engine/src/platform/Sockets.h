#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vt::platform {

/// Opens a non-blocking TCP socket listening on address:port; the socket or
/// -1 with the error code in *p_error. Port "0" lets the system choose.
int openListeningSocket(const std::string& address, const std::string& port, int* p_error);
/// One resolved peer address, kept opaque so that callers need no system headers.
struct SocketAddress {
    std::vector<unsigned char> bytes;
    int family = 0;
};

/// The addresses host:port resolves to, in the resolver's order; empty, with
/// the error code in *p_error, when there are none. Numeric hosts resolve at
/// once; a name may wait for the system's resolver.
std::vector<SocketAddress> resolvePeer(const std::string& host, const std::string& port, int* p_error);
/// Opens a non-blocking socket and starts connecting it to the address,
/// without waiting; the socket (connected or still connecting), or -1 with
/// the error code in *p_error.
int startConnect(const SocketAddress& address, int* p_error);
/// Starts connecting the address on a fresh socket that takes over the
/// descriptor `sock` (which keeps its number); 0, or -1 with *p_error.
int restartConnect(int sock, const SocketAddress& address, int* p_error);
/// Where a connection started with startConnect stands, without waiting:
/// 1 connected (even when the peer has already reset it), 0 still
/// connecting, -1 failed with the code in *p_error.
int connectProgress(int sock, int* p_error);
/// Takes one waiting connection off a listening socket, non-blocking like
/// its listener; the socket or -1 (see lastSocketError()).
int acceptConnection(int listening_sock);
/// Sends without raising SIGPIPE when the peer has gone; bytes sent or -1.
long sendBytes(int sock, const void* buffer, std::size_t bytes);
/// Reads what is waiting without blocking; bytes read, 0 when the peer has
/// closed, -1 on error (would-block included).
long receiveBytes(int sock, void* buffer, std::size_t bytes, bool peek);
/// Closes a socket; 0 or -1.
int closeSocket(int sock);
/// The local port a socket is bound to, or -1.
int localPort(int sock);

/// The error code of the last failed socket call on this thread.
int lastSocketError();
/// True when the code means that a non-blocking call found nothing to do.
bool isWouldBlock(int error);
/// True when the code means that a call may simply be tried again later
/// (interrupted, or short of buffers for the moment).
bool isTransient(int error);
/// True when the code means that the connection is gone (peer closed or
/// reset, not connected, bad descriptor).
bool isConnectionGone(int error);
/// The system's message for an error code; empty when it has none.
std::string socketErrorText(int error);

} // namespace vt::platform
