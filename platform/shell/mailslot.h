// Mailslots over AF_UNIX datagram sockets. "\\.\mailslot\<name>" is the socket <runtime folder>/<name> in a
// folder only its user may enter: $XDG_RUNTIME_DIR/tesmira-mailslots/, else <temporary folder>/tesmira-mailslots-<uid>/.
// One datagram is one mailslot message. A live owner makes a second CreateMailslot fail with
// ERROR_ALREADY_EXISTS; a socket left by a process that died is removed and taken over. Messages from another
// user id are dropped unread.
#pragma once

#include "platform/base/kernel_object.h"

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr DWORD MAILSLOT_WAIT_FOREVER = 0xFFFFFFFF;
inline constexpr DWORD MAILSLOT_NO_MESSAGE = 0xFFFFFFFF;

// INVALID_HANDLE_VALUE with GetLastError on failure (ERROR_INVALID_NAME for a name outside "\\.\mailslot\").
// Security attributes are ignored: the folder's mode decides who may write.
HANDLE CreateMailslotA(LPCSTR name, DWORD maxMessageSize, DWORD readTimeout, LPSECURITY_ATTRIBUTES attributes);

// Takes one message of a mailslot handle, waiting as the mailslot's read time-out says (ERROR_SEM_TIMEOUT when
// it runs out). A message longer than the buffer is consumed and refused with ERROR_INSUFFICIENT_BUFFER.
// CloseHandle from another thread ends a waiting read with ERROR_INVALID_HANDLE. Only mailslot handles are read
// here; overlapped reads are not supported.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPVOID overlapped);

inline constexpr DWORD ERROR_SEM_TIMEOUT = 121;

namespace platform {

// The socket path of a mailslot name, or "" when the name is not a mailslot's. Makes the folder.
std::string MailslotSocketPath(std::string_view name);

// The writer's side (CreateFile and WriteFile on a mailslot name): one message to the mailslot's owner.
// ERROR_FILE_NOT_FOUND when nobody owns the name.
DWORD WriteMailslot(std::string_view name, const void* data, std::size_t size);

}  // namespace platform
