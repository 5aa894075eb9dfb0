// The print server (CUPS): its queues and handing it a finished PDF document.
//
// Under tests (TESMIRA_TEST set) the server is used only when named (CUPS_SERVER or SetServer), so a test never
// prints on the machine's own printers.
#pragma once

#include <string>
#include <vector>

namespace gdi::cups {

struct Printer {
  std::string name;      // the queue
  std::string info;      // its description, UTF-8 (may be empty)
  bool isDefault = false;
};

// The server's queues; empty when no server answers.
std::vector<Printer> ListPrinters();
// The queue of that name, when the server has it.
bool HasPrinter(const std::string& name);
// The server's default queue, or empty.
std::string DefaultPrinter();
// Sends a PDF file to a queue, titled (UTF-8); the server's job number, or 0 with `error` set.
int SubmitPdf(const std::string& queue, const std::string& path, const std::string& title, std::string& error,
              int copies = 1, bool collate = false);
// The server to talk to: a host name or a local socket's path; empty goes back to the default.
void SetServer(const std::string& server);

}  // namespace gdi::cups
