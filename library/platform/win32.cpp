// The platform layer on Windows: Windows Sockets 2.2, socket events for the
// worker's sleep, a Win32 mutex and a Win32 thread.
// winsock2.h brings windows.h in the order the two need.
#include <winsock2.h>

#include <climits>
#include <new>

#include "platform/platform.h"

namespace tolm::platform {

struct Socket {
    SOCKET handle;
};

struct Waiter {
    Socket* socket;
    WSAEVENT readable;  // manual-reset; set by the stack while a datagram waits
    HANDLE wake;        // auto-reset; set by waiter_wake
};

struct Mutex {
    HANDLE handle;
};

struct Thread {
    HANDLE handle;
    HMODULE module;  // the worker's own reference on this library
    void (*entry)(void*);
    void* arg;
};

namespace {

void Report(SocketStatus* status, SocketStatus value) {
    if (status != nullptr) *status = value;
}

SocketStatus Configure(SOCKET handle, std::uint16_t port, int receive_buffer_bytes) {
    const BOOL on = TRUE;
    if (setsockopt(handle, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                   sizeof on) == SOCKET_ERROR)
        return SocketStatus::option_failed;
    if (setsockopt(handle, SOL_SOCKET, SO_RCVBUF,
                   reinterpret_cast<const char*>(&receive_buffer_bytes),
                   sizeof receive_buffer_bytes) == SOCKET_ERROR)
        return SocketStatus::option_failed;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR)
        return SocketStatus::bind_failed;
    u_long non_blocking = 1;
    if (ioctlsocket(handle, FIONBIO, &non_blocking) == SOCKET_ERROR)
        return SocketStatus::option_failed;
    return SocketStatus::ok;
}

DWORD WINAPI RunThread(LPVOID param) {
    Thread* thread = static_cast<Thread*>(param);
    HMODULE module = thread->module;
    thread->entry(thread->arg);
    // Drops the reference only after the last instruction of this library ran.
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

Socket* socket_open(std::uint16_t port, int receive_buffer_bytes, SocketStatus* status) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        Report(status, SocketStatus::sockets_layer_failed);
        return nullptr;
    }
    // Overlapped as socket() makes it, spelled out: Wine creates a reloaded
    // ws2_32's first socket without the flag, and its bind then fails.
    SOCKET handle = WSASocketW(AF_INET, SOCK_DGRAM, 0, nullptr, 0, WSA_FLAG_OVERLAPPED);
    if (handle == INVALID_SOCKET) {
        WSACleanup();
        Report(status, SocketStatus::create_failed);
        return nullptr;
    }
    const SocketStatus configured = Configure(handle, port, receive_buffer_bytes);
    Socket* opened = configured == SocketStatus::ok ? new (std::nothrow) Socket{handle} : nullptr;
    if (opened == nullptr) {
        closesocket(handle);
        WSACleanup();
        Report(status, configured == SocketStatus::ok ? SocketStatus::create_failed : configured);
        return nullptr;
    }
    Report(status, SocketStatus::ok);
    return opened;
}

void socket_close(Socket* socket) {
    if (socket == nullptr) return;
    closesocket(socket->handle);
    WSACleanup();
    delete socket;
}

bool socket_send_broadcast(Socket* socket, std::uint16_t port, const char* data,
                           std::size_t length) {
    if (socket == nullptr || length > INT_MAX) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(port);
    const int sent = sendto(socket->handle, data, static_cast<int>(length), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent != SOCKET_ERROR && static_cast<std::size_t>(sent) == length;
}

// No FIONREAD here: a waiting zero-length datagram reads as 0 bytes waiting
// and would end the drain with the datagram still queued.
ReceiveStatus socket_receive(Socket* socket, char* buffer, std::size_t capacity,
                             std::size_t* length) {
    if (socket == nullptr) return ReceiveStatus::nothing_waiting;
    sockaddr_in from{};
    int from_length = sizeof from;
    const int capacity_int = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
    const int received = recvfrom(socket->handle, buffer, capacity_int, 0,
                                  reinterpret_cast<sockaddr*>(&from), &from_length);
    if (received == SOCKET_ERROR) {
        // WSAEMSGSIZE: longer than the buffer, and the rest is already gone.
        return WSAGetLastError() == WSAEWOULDBLOCK ? ReceiveStatus::nothing_waiting
                                                   : ReceiveStatus::dropped;
    }
    *length = static_cast<std::size_t>(received);
    return ReceiveStatus::datagram;
}

Waiter* waiter_create(Socket* socket) {
    Waiter* waiter = new (std::nothrow) Waiter{socket, WSA_INVALID_EVENT, nullptr};
    if (waiter == nullptr) return nullptr;
    waiter->wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (waiter->wake == nullptr) {
        delete waiter;
        return nullptr;
    }
    if (socket == nullptr) return waiter;
    waiter->readable = WSACreateEvent();
    if (waiter->readable == WSA_INVALID_EVENT ||
        WSAEventSelect(socket->handle, waiter->readable, FD_READ) == SOCKET_ERROR) {
        waiter_destroy(waiter);
        return nullptr;
    }
    return waiter;
}

void waiter_destroy(Waiter* waiter) {
    if (waiter == nullptr) return;
    if (waiter->readable != WSA_INVALID_EVENT) {
        // Detaches the event; the socket stays non-blocking.
        WSAEventSelect(waiter->socket->handle, nullptr, 0);
        WSACloseEvent(waiter->readable);
    }
    CloseHandle(waiter->wake);
    delete waiter;
}

void waiter_wait(Waiter* waiter) {
    const HANDLE handles[] = {waiter->wake, waiter->readable};
    const DWORD count = waiter->readable == WSA_INVALID_EVENT ? 1 : 2;
    const DWORD woken = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0 + 1) {
        // Resets the event; every later recvfrom re-arms FD_READ, so a datagram
        // that arrives after the drain sets it again.
        WSANETWORKEVENTS events;
        WSAEnumNetworkEvents(waiter->socket->handle, waiter->readable, &events);
    } else if (woken == WAIT_FAILED) {
        Sleep(1);  // keeps a broken wait from spinning the worker
    }
}

void waiter_wake(Waiter* waiter) {
    SetEvent(waiter->wake);
}

Mutex* mutex_create() {
    HANDLE handle = CreateMutexW(nullptr, FALSE, nullptr);
    if (handle == nullptr) return nullptr;
    Mutex* mutex = new (std::nothrow) Mutex{handle};
    if (mutex == nullptr) CloseHandle(handle);
    return mutex;
}

void mutex_destroy(Mutex* mutex) {
    if (mutex == nullptr) return;
    CloseHandle(mutex->handle);
    delete mutex;
}

bool mutex_lock(Mutex* mutex, unsigned timeout_ms) {
    // An abandoned mutex is ours all the same; its former owner has ended.
    const DWORD result = WaitForSingleObject(mutex->handle, timeout_ms);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void mutex_unlock(Mutex* mutex) {
    ReleaseMutex(mutex->handle);
}

Thread* thread_start(void (*entry)(void* arg), void* arg) {
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

void thread_join(Thread* thread) {
    if (thread == nullptr) return;
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    delete thread;
}

}  // namespace tolm::platform
