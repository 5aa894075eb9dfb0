// Posts one record to the running program's mailslot: qorr_post <message> <wParam> <lParam>, numbers decimal or
// 0x-hexadecimal. Exit status 0 when the record was written.
#include "outside/mailslot/mailslot_sender.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: qorr_post <message> <wParam> <lParam>\n");
    return 2;
  }
  DWORD values[3];
  for (int i = 0; i < 3; ++i) {
    char* end = nullptr;
    unsigned long value = std::strtoul(argv[i + 1], &end, 0);
    if (end == argv[i + 1] || *end != '\0' || value > 0xFFFFFFFFul) {
      std::fprintf(stderr, "qorr_post: not a 32-bit number: %s\n", argv[i + 1]);
      return 2;
    }
    values[i] = static_cast<DWORD>(value);
  }
  DWORD error = qormail::SendRecord(values[0], values[1], values[2]);
  if (error != 0) {
    std::fprintf(stderr, "qorr_post: the program's mailslot did not take the record (error %lu)\n",
                 static_cast<unsigned long>(error));
    return 1;
  }
  return 0;
}
