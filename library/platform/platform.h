// The library's only window on the operating system: one UDP socket, a way
// for the worker to sleep until a datagram waits or it is woken, a recursive
// mutex with a time limit, and a thread. One implementation per OS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tolm::platform {

// Why the socket could not be opened, as a user is told: the OS's error
// codes are sorted into these where they are met.
enum class SocketStatus {
    kOk,
    kPortInUse,     // another socket holds the port
    kAccessDenied,  // not allowed to bind the port or to broadcast
    kNoNetwork,     // no IPv4 networking (sockets layer missing, network down)
    kFailed,        // any other reason; the OS error tells
    kNoMemory,      // the library could not allocate its state
};

struct SocketError {
    SocketStatus status = SocketStatus::kFailed;
    int os_error = 0;  // errno or WSAGetLastError(); 0 when none applies
};

enum class ReceiveStatus {
    kDatagram,        // one datagram of *length bytes (length may be 0)
    kNothingWaiting,  // the socket is drained
    kDropped,         // one datagram was consumed but cannot be used (too long, error)
};

// Where a received datagram came from.
struct Origin {
    std::uint32_t interface_index = 0;  // the adapter it arrived on; 0 when unknown
    std::uint32_t sender_address = 0;   // first dotted number most significant
    std::uint16_t sender_port = 0;
};

// An up IPv4 adapter with a broadcast address; addresses as in Origin.
struct Adapter {
    std::string name;  // interface name; Windows: the friendly name
    std::uint32_t index = 0;
    std::uint32_t address = 0;
    std::uint32_t subnet_mask = 0;
    std::uint32_t broadcast = 0;
};

struct Socket;
struct Waiter;
struct Mutex;
struct Thread;

// A non-blocking IPv4 UDP socket with broadcasting on, bound to INADDR_ANY:port.
// Null on failure, with why in *error.
Socket* SocketOpen(std::uint16_t port, int receive_buffer_bytes, SocketError* error);
void SocketClose(Socket* socket);
// Sends to 255.255.255.255:port; false when the socket refused it.
bool SocketSendBroadcast(Socket* socket, std::uint16_t port, const char* data, std::size_t length);
// Sends to address:port (a directed broadcast, say); false when refused.
bool SocketSendTo(Socket* socket, std::uint32_t address, std::uint16_t port, const char* data,
                  std::size_t length);
// Sends to 255.255.255.255:port out of this adapter only, whatever the routes
// say, so that the datagram reaches that link and no other; false when refused.
bool SocketSendThrough(Socket* socket, const Adapter& adapter, std::uint16_t port, const char* data,
                       std::size_t length);
// Never blocks; a datagram longer than capacity is consumed and reported dropped.
// Fills *origin, when given, as far as the OS tells it.
ReceiveStatus SocketReceive(Socket* socket, char* buffer, std::size_t capacity, std::size_t* length,
                            Origin* origin = nullptr);

// The adapters that sends through every adapter use; false when they cannot
// be listed.
bool ListAdapters(std::vector<Adapter>* adapters);
// The name of the interface with this index, up or not; empty when none.
std::string InterfaceName(std::uint32_t index);

// Sleeps the worker until the socket (may be null) has a datagram or WaiterWake is called.
Waiter* WaiterCreate(Socket* socket);
void WaiterDestroy(Waiter* waiter);
void WaiterWait(Waiter* waiter);
void WaiterWake(Waiter* waiter);

// Recursive: the thread that holds it may take it again. MutexDestroy takes null.
Mutex* MutexCreate();
void MutexDestroy(Mutex* mutex);
bool MutexLock(Mutex* mutex, unsigned timeout_ms);
void MutexUnlock(Mutex* mutex);

Thread* ThreadStart(void (*entry)(void* arg), void* arg);
// Waits without time limit for the thread to end, then releases it.
void ThreadJoin(Thread* thread);
// Whether the calling thread is this thread.
bool ThreadIsCurrent(const Thread* thread);
// Releases the calling thread's own handle without waiting: a thread cannot
// wait for itself to end.
void ThreadRelease(Thread* thread);
// Finishes a stopped thread while the library unloads. POSIX: waits for it,
// since nothing else keeps the library's code loaded under it. Windows: the
// thread holds its own reference on the library, so by the time it unloads
// the thread has left the library's code and is only exiting, which it cannot
// do while the loader, which runs the unload, is busy: the handle is released
// without waiting.
void ThreadFinishAtUnload(Thread* thread);
// Gives the processor to another thread that is ready to run, if any.
void ThreadYield();
// Never 0, and unique among the process's running threads.
std::uint64_t CurrentThreadId();

}  // namespace tolm::platform
