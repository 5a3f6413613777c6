// The platform layer on Windows: Windows Sockets 2.2, socket events for the
// worker's sleep, an in-process lock and a Win32 thread.
// winsock2.h brings windows.h in the order the two need.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/platform.h"

namespace tolm::platform {

// How far the drain that the worker's last wake began has come.
enum class DrainStep {
    kFirst,   // nothing read since the wake
    kSecond,  // one datagram read: asks FIONREAD before the next receive
    kRest,    // FIONREAD showed more: receives until the socket is empty
};

struct Socket {
    SOCKET handle;
    DrainStep step;
    // WSARecvMsg with IP_PKTINFO, which tells the arrival interface; null
    // where the sockets layer lacks either, and recvfrom serves.
    LPFN_WSARECVMSG receive_message;
    // The waiter's event while one is attached, and whether a long drain
    // has detached FD_READ from it.
    HANDLE read_event;
    bool read_signals_off;
};

struct Waiter {
    Socket* socket;
    // Auto-reset, so the wait itself consumes it: set by WaiterWake and,
    // through WSAEventSelect, when a datagram arrives.
    HANDLE signal;
};

// An in-process recursive lock with a time limit: a slim reader/writer lock
// guards the holder, and waiters sleep on a condition variable. Under Wine
// both work on futexes inside the process, whereas each take and release of
// a Win32 mutex is a round trip to the wineserver, the same server every
// socket read of the worker waits for; and the host takes the lock once for
// every answer.
struct Mutex {
    SRWLOCK guard = SRWLOCK_INIT;
    CONDITION_VARIABLE released = CONDITION_VARIABLE_INIT;
    // The holder's thread id, 0 when free; written under guard.
    std::atomic<DWORD> holder{0};
    // The holder's nested takes; only the holder touches it.
    unsigned depth = 0;
};

struct Thread {
    HANDLE handle;
    HMODULE module;  // the worker's own reference on this library
    void (*entry)(void*);
    void* arg;
};

namespace {

SocketStatus StatusOf(int os_error) {
    switch (os_error) {
        case WSAEADDRINUSE:
            return SocketStatus::kPortInUse;
        case WSAEACCES:
            return SocketStatus::kAccessDenied;
        case WSASYSNOTREADY:
        case WSAVERNOTSUPPORTED:
        case WSAEAFNOSUPPORT:
        case WSAEADDRNOTAVAIL:
        case WSAENETDOWN:
            return SocketStatus::kNoNetwork;
        case WSAENOBUFS:
        case WSA_NOT_ENOUGH_MEMORY:
            return SocketStatus::kNoMemory;
        default:
            return SocketStatus::kFailed;
    }
}

SocketError ErrorOf(int os_error) {
    return {StatusOf(os_error), os_error};
}

// 0 when the socket is ready, else the failing call's error.
int Configure(SOCKET handle, std::uint16_t port, int receive_buffer_bytes) {
    const BOOL on = TRUE;
    if (setsockopt(handle, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                   sizeof on) == SOCKET_ERROR)
        return WSAGetLastError();
    if (setsockopt(handle, SOL_SOCKET, SO_RCVBUF,
                   reinterpret_cast<const char*>(&receive_buffer_bytes),
                   sizeof receive_buffer_bytes) == SOCKET_ERROR)
        return WSAGetLastError();
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR)
        return WSAGetLastError();
    u_long non_blocking = 1;
    if (ioctlsocket(handle, FIONBIO, &non_blocking) == SOCKET_ERROR) return WSAGetLastError();
    return 0;
}

LPFN_WSARECVMSG MessageReceiver(SOCKET handle) {
    const DWORD on = 1;
    if (setsockopt(handle, IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&on), sizeof on) ==
        SOCKET_ERROR)
        return nullptr;
    GUID id = WSAID_WSARECVMSG;
    LPFN_WSARECVMSG function = nullptr;
    DWORD returned = 0;
    if (WSAIoctl(handle, SIO_GET_EXTENSION_FUNCTION_POINTER, &id, sizeof id, &function,
                 sizeof function, &returned, nullptr, nullptr) == SOCKET_ERROR)
        return nullptr;
    return function;
}

DWORD WINAPI RunThread(LPVOID param) {
    Thread* thread = static_cast<Thread*>(param);
    HMODULE module = thread->module;
    thread->entry(thread->arg);
    // Drops the reference only after the last instruction of this library ran.
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

Socket* SocketOpen(std::uint16_t port, int receive_buffer_bytes, SocketError* error) {
    WSADATA data;
    if (const int started = WSAStartup(MAKEWORD(2, 2), &data); started != 0) {
        *error = ErrorOf(started);
        return nullptr;
    }
    // Overlapped as socket() makes it, spelled out: Wine creates a reloaded
    // ws2_32's first socket without the flag, and its bind then fails.
    SOCKET handle = WSASocketW(AF_INET, SOCK_DGRAM, 0, nullptr, 0, WSA_FLAG_OVERLAPPED);
    if (handle == INVALID_SOCKET) {
        *error = ErrorOf(WSAGetLastError());
        WSACleanup();
        return nullptr;
    }
    const int failed = Configure(handle, port, receive_buffer_bytes);
    Socket* opened = nullptr;
    if (failed == 0)
        opened = new (std::nothrow)
            Socket{handle, DrainStep::kFirst, MessageReceiver(handle), nullptr, false};
    if (opened == nullptr) {
        closesocket(handle);
        WSACleanup();
        *error = failed != 0 ? ErrorOf(failed) : SocketError{SocketStatus::kNoMemory, 0};
        return nullptr;
    }
    *error = {SocketStatus::kOk, 0};
    return opened;
}

void SocketClose(Socket* socket) {
    if (socket == nullptr) return;
    closesocket(socket->handle);
    WSACleanup();
    delete socket;
}

bool SocketSendTo(Socket* socket, std::uint32_t address, std::uint16_t port, const char* data,
                  std::size_t length) {
    if (socket == nullptr || length > INT_MAX) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    to.sin_port = htons(port);
    const int sent = sendto(socket->handle, data, static_cast<int>(length), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent != SOCKET_ERROR && static_cast<std::size_t>(sent) == length;
}

bool SocketSendBroadcast(Socket* socket, std::uint16_t port, const char* data, std::size_t length) {
    return SocketSendTo(socket, INADDR_BROADCAST, port, data, length);
}

// A limited broadcast from a socket bound to the adapter's address leaves
// through that adapter. The main socket holds port 3250 on every address, so
// this one takes a port of the system's choosing; replies come to 3250 anyway.
bool SocketSendThrough(Socket* socket, const Adapter& adapter, std::uint16_t port, const char* data,
                       std::size_t length) {
    if (socket == nullptr || length > INT_MAX) return false;
    const SOCKET handle = WSASocketW(AF_INET, SOCK_DGRAM, 0, nullptr, 0, WSA_FLAG_OVERLAPPED);
    if (handle == INVALID_SOCKET) return false;
    const BOOL on = TRUE;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(adapter.address);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(port);
    const bool sent =
        setsockopt(handle, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                   sizeof on) != SOCKET_ERROR &&
        bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) != SOCKET_ERROR &&
        sendto(handle, data, static_cast<int>(length), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to) == static_cast<int>(length);
    closesocket(handle);
    return sent;
}

namespace {

// Under Wine a receive costs two round trips to the wineserver and FIONREAD
// one, so after the first datagram of a drain, the common lone answer, FIONREAD
// rather than a failing receive tells that the socket is empty. Its 0 can also
// mean a waiting zero-length datagram; that one is not lost: the receive before
// re-enabled FD_READ, so it signals the waiter again, and the next drain
// begins with a real receive. When more waits, FD_READ is detached from the
// waiter's event for the rest of the drain: with it attached, Wine's server
// polls the socket and signals the event again after every receive, and a
// flood then drained at a third of the rate in some runs.
bool NothingMoreWaiting(Socket* socket) {
    if (socket->step != DrainStep::kSecond) return false;
    u_long waiting = 0;
    if (ioctlsocket(socket->handle, FIONREAD, &waiting) == SOCKET_ERROR) return false;
    socket->step = DrainStep::kRest;
    if (waiting != 0 && socket->read_event != nullptr &&
        WSAEventSelect(socket->handle, socket->read_event, 0) != SOCKET_ERROR)
        socket->read_signals_off = true;
    return waiting == 0;
}

// Attaches FD_READ to the waiter's event again at the end of a long drain;
// true when it was detached, so that one more receive takes what arrived
// meanwhile (whatever arrives after it signals the event).
bool ResumeReadSignals(Socket* socket) {
    if (!socket->read_signals_off) return false;
    socket->read_signals_off = false;
    WSAEventSelect(socket->handle, socket->read_event, FD_READ);
    return true;
}

std::uint32_t ArrivalInterface(WSAMSG* message) {
    for (WSACMSGHDR* header = WSA_CMSG_FIRSTHDR(message); header != nullptr;
         header = WSA_CMSG_NXTHDR(message, header)) {
        if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
        IN_PKTINFO info;
        std::memcpy(&info, WSA_CMSG_DATA(header), sizeof info);
        return info.ipi_ifindex;
    }
    return 0;
}

// One datagram into buffer, as recvfrom returns it; with the arrival
// interface where WSARecvMsg serves.
int ReceiveOne(Socket* socket, char* buffer, int capacity, sockaddr_in* from,
               std::uint32_t* interface_index) {
    int from_length = sizeof *from;
    if (socket->receive_message == nullptr)
        return recvfrom(socket->handle, buffer, capacity, 0, reinterpret_cast<sockaddr*>(from),
                        &from_length);
    WSABUF data{static_cast<ULONG>(capacity), buffer};
    alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))];
    WSAMSG message{};
    message.name = reinterpret_cast<sockaddr*>(from);
    message.namelen = from_length;
    message.lpBuffers = &data;
    message.dwBufferCount = 1;
    message.Control = {sizeof control, control};
    DWORD received = 0;
    if (socket->receive_message(socket->handle, &message, &received, nullptr, nullptr) ==
        SOCKET_ERROR)
        return SOCKET_ERROR;
    *interface_index = ArrivalInterface(&message);
    return static_cast<int>(received);
}

}  // namespace

ReceiveStatus SocketReceive(Socket* socket, char* buffer, std::size_t capacity, std::size_t* length,
                            Origin* origin) {
    if (socket == nullptr) return ReceiveStatus::kNothingWaiting;
    if (NothingMoreWaiting(socket)) {
        socket->step = DrainStep::kFirst;
        return ReceiveStatus::kNothingWaiting;
    }
    sockaddr_in from{};
    std::uint32_t interface_index = 0;
    const int capacity_int = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
    const int received = ReceiveOne(socket, buffer, capacity_int, &from, &interface_index);
    if (received == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
        if (ResumeReadSignals(socket))
            return SocketReceive(socket, buffer, capacity, length, origin);
        socket->step = DrainStep::kFirst;
        return ReceiveStatus::kNothingWaiting;
    }
    if (socket->step == DrainStep::kFirst) socket->step = DrainStep::kSecond;
    // WSAEMSGSIZE: longer than the buffer, and the rest is already gone.
    if (received == SOCKET_ERROR) return ReceiveStatus::kDropped;
    *length = static_cast<std::size_t>(received);
    if (origin != nullptr)
        *origin = {interface_index, ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)};
    return ReceiveStatus::kDatagram;
}

Waiter* WaiterCreate(Socket* socket) {
    Waiter* waiter = new (std::nothrow) Waiter{socket, nullptr};
    if (waiter == nullptr) return nullptr;
    waiter->signal = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (waiter->signal == nullptr) {
        delete waiter;
        return nullptr;
    }
    if (socket != nullptr &&
        WSAEventSelect(socket->handle, waiter->signal, FD_READ) == SOCKET_ERROR) {
        CloseHandle(waiter->signal);
        delete waiter;
        return nullptr;
    }
    if (socket != nullptr) socket->read_event = waiter->signal;
    return waiter;
}

void WaiterDestroy(Waiter* waiter) {
    if (waiter == nullptr) return;
    // Detaches the event; the socket stays non-blocking.
    if (waiter->socket != nullptr) {
        WSAEventSelect(waiter->socket->handle, nullptr, 0);
        waiter->socket->read_event = nullptr;
        waiter->socket->read_signals_off = false;
    }
    CloseHandle(waiter->signal);
    delete waiter;
}

// Nothing to reset after the wait: every recvfrom re-enables FD_READ, so a
// datagram that arrives after the drain's last recvfrom sets the event again.
void WaiterWait(Waiter* waiter) {
    // A drain cut short (Stop) must not leave the event deaf to the socket.
    if (waiter->socket != nullptr) ResumeReadSignals(waiter->socket);
    if (WaitForSingleObject(waiter->signal, INFINITE) == WAIT_FAILED)
        Sleep(1);  // keeps a broken wait from spinning the worker
    if (waiter->socket != nullptr) waiter->socket->step = DrainStep::kFirst;
}

void WaiterWake(Waiter* waiter) {
    SetEvent(waiter->signal);
}

Mutex* MutexCreate() {
    return new (std::nothrow) Mutex;
}

void MutexDestroy(Mutex* mutex) {
    delete mutex;
}

namespace {

// How long a waiter sleeps before it looks whether the holder still runs.
constexpr DWORD kHolderCheckMs = 50;

// A holder that ended leaves the lock to the next taker, as a Win32 mutex
// is abandoned to it.
bool ThreadEnded(DWORD id) {
    const HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
    if (thread == nullptr) return true;
    const bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

}  // namespace

bool MutexLock(Mutex* mutex, unsigned timeout_ms) {
    const DWORD self = GetCurrentThreadId();
    if (mutex->holder.load() == self) {
        ++mutex->depth;
        return true;
    }
    const ULONGLONG start = GetTickCount64();
    AcquireSRWLockExclusive(&mutex->guard);
    while (mutex->holder.load() != 0) {
        const ULONGLONG waited = GetTickCount64() - start;
        if (waited >= timeout_ms) {
            ReleaseSRWLockExclusive(&mutex->guard);
            return false;
        }
        const DWORD slice =
            static_cast<DWORD>(std::min<ULONGLONG>(timeout_ms - waited, kHolderCheckMs));
        if (!SleepConditionVariableSRW(&mutex->released, &mutex->guard, slice, 0) &&
            ThreadEnded(mutex->holder.load()))
            break;
    }
    mutex->holder.store(self);
    mutex->depth = 1;
    ReleaseSRWLockExclusive(&mutex->guard);
    return true;
}

void MutexUnlock(Mutex* mutex) {
    if (mutex->holder.load() != GetCurrentThreadId()) return;  // not held by this thread
    if (--mutex->depth > 0) return;
    AcquireSRWLockExclusive(&mutex->guard);
    mutex->holder.store(0);
    ReleaseSRWLockExclusive(&mutex->guard);
    WakeConditionVariable(&mutex->released);
}

Thread* ThreadStart(void (*entry)(void* arg), void* arg) {
    Thread* thread = new (std::nothrow) Thread{nullptr, nullptr, entry, arg};
    if (thread == nullptr) return nullptr;
    // Taken here rather than in the new thread, so that a host unloading the
    // library right after the start cannot get in before the reference.
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&RunThread), &thread->module)) {
        delete thread;
        return nullptr;
    }
    thread->handle = CreateThread(nullptr, 0, RunThread, thread, 0, nullptr);
    if (thread->handle == nullptr) {
        FreeLibrary(thread->module);
        delete thread;
        return nullptr;
    }
    SetThreadPriority(thread->handle, THREAD_PRIORITY_NORMAL);
    return thread;
}

void ThreadJoin(Thread* thread) {
    if (thread == nullptr) return;
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    delete thread;
}

bool ThreadIsCurrent(const Thread* thread) {
    return thread != nullptr && GetThreadId(thread->handle) == GetCurrentThreadId();
}

void ThreadRelease(Thread* thread) {
    CloseHandle(thread->handle);
    delete thread;
}

void ThreadFinishAtUnload(Thread* thread) {
    ThreadRelease(thread);
}

void ThreadYield() {
    SwitchToThread();
}

std::uint64_t CurrentThreadId() {
    return GetCurrentThreadId();
}

}  // namespace tolm::platform
