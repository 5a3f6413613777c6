// The library's only window on the operating system: one UDP socket, a way
// for the worker to sleep until a datagram waits or it is woken, a recursive
// mutex with a time limit, and a thread. One implementation per OS.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolm::platform {

// Why the socket could not be opened; the engine only keeps "none".
enum class SocketStatus { ok, sockets_layer_failed, create_failed, option_failed, bind_failed };

enum class ReceiveStatus {
    datagram,         // one datagram of *length bytes (length may be 0)
    nothing_waiting,  // the socket is drained
    dropped,          // one datagram was consumed but cannot be used (too long, error)
};

struct Socket;
struct Waiter;
struct Mutex;
struct Thread;

// A non-blocking IPv4 UDP socket with broadcasting on, bound to INADDR_ANY:port.
Socket* socket_open(std::uint16_t port, int receive_buffer_bytes, SocketStatus* status);
void socket_close(Socket* socket);
// Sends to 255.255.255.255:port; false when the socket refused it.
bool socket_send_broadcast(Socket* socket, std::uint16_t port, const char* data,
                           std::size_t length);
// Never blocks; a datagram longer than capacity is consumed and reported dropped.
ReceiveStatus socket_receive(Socket* socket, char* buffer, std::size_t capacity,
                             std::size_t* length);

// Sleeps the worker until the socket (may be null) has a datagram or waiter_wake is called.
Waiter* waiter_create(Socket* socket);
void waiter_destroy(Waiter* waiter);
void waiter_wait(Waiter* waiter);
void waiter_wake(Waiter* waiter);

// Recursive: the thread that holds it may take it again. mutex_destroy takes null.
Mutex* mutex_create();
void mutex_destroy(Mutex* mutex);
bool mutex_lock(Mutex* mutex, unsigned timeout_ms);
void mutex_unlock(Mutex* mutex);

Thread* thread_start(void (*entry)(void* arg), void* arg);
// Waits without time limit for the thread to end, then releases it.
void thread_join(Thread* thread);

}  // namespace tolm::platform
